#pragma once
// The result of a finished search: "client.pl?results" read into the top hit
// and the search's record, and one row of Sorvex_Tavrel_Results.
#include "search/JobSession.h"
#include "search/SearchContext.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tavrelsvc {

struct SearchResultsRecord {
    QString file;
    QString release;
    qint32 queries = 0;
    qint32 num_hits = 0;
    QString h1;
    QString h1_text;
    double sigscoreprot = 0;
    qint16 selectpeptides = 0;
    QString resultsperlscript;
    QString resultUrl;
    QStringList lines;  // the whole reply, line by line
};

// The outputs the caller passes in and the parse fills.
struct SearchResultOutputs {
    QString accession;
    qint32 mass = 0;
    qint32 score = 0;
    QString title;
    QString database;
    QString resultFile;
};

enum class ParseOutcome {
    Parsed,      // outputs and record filled; the job runs its "PostSearch" action
                 // with record.file and record.resultUrl
    ParseError,  // the reply could not be read: logged, outputs hold the "<error>" result
    EmptyReply,  // nothing came back: nothing changed; the job pauses (PauseTask)
                 // and a resume polls the same search again
    Failed,      // "(TVS1018) ..." logged; outputs as the caller gave them
};

// Reads a results reply into outputs and record (no request). Throws
// platform::Error for a value that is not a number or out of range.
void parseSearchResultsReply(const QString& reply, const QString& task_sorvex_url, SearchResultOutputs& out,
                             SearchResultsRecord& record);

ParseOutcome clsJob_ParseResult(JobSession& session, const QString& task_sorvex_url, const QString& sorvex_task_id,
                                SearchResultOutputs& out, SearchResultsRecord& record, const SearchJobContext& job);

// The job's values of a result row.
struct ResultRowInput {
    long uID = 0;
    QString Data_path;
    QString Search_title;
    QDateTime Job_submitted;
    bool auto_print = false;
    QString QuellmarkProjectPath;  // "" none
    QDateTime now;
};

// Appends the row on TaskDbConnection with a new result_number; false after
// "(TVS1019) ..." (or the key helper's own report).
bool clsJob_WriteResultRow(const ResultRowInput& in, const SearchResultOutputs& out, const QString& resultUrl,
                           const SearchJobContext& job);

}  // namespace tavrelsvc
