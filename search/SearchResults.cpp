#include "search/SearchResults.h"

#include "common/ServerReplies.h"
#include "common/TaskDbTables.h"
#include "common/TaskRow.h"
#include "common/UncName.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "service/DbRows.h"
#include "service/TaskDb.h"

#include <QFileInfo>
#include <QSqlQuery>

#include <cmath>

namespace tavrelsvc {

namespace {

constexpr long kTypeMismatch = 13;

[[noreturn]] void badValue(const QString& key, const QString& value) {
    throw platform::Error(kTypeMismatch, QStringLiteral("Type mismatch: %1=%2").arg(key, value));
}

double number(const QString& key, const QString& value) {
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) badValue(key, value);
    return v;
}

qint32 int32(const QString& key, const QString& value) {
    const std::optional<qint32> v = common::roundToInt32(number(key, value));
    if (!v) badValue(key, value);
    return *v;
}

qint16 int16(const QString& key, const QString& value) {
    const qint32 v = int32(key, value);
    if (v < -32768 || v > 32767) badValue(key, value);
    return static_cast<qint16>(v);
}

qint32 leadingInt32(const QString& key, const QString& value) {
    const std::optional<qint32> v = common::roundToInt32(common::leadingNumber(value));
    if (!v) badValue(key, value);
    return *v;
}

}  // namespace

void parseSearchResultsReply(const QString& reply, const QString& task_sorvex_url, SearchResultOutputs& out,
                             SearchResultsRecord& record) {
    record.lines = common::splitReplyLines(reply);
    for (const QString& line : record.lines) {
        const auto kv = common::splitKeyLine(line);
        if (!kv) continue;
        const auto& [key, value] = *kv;
        if (key == QLatin1String("ionquery1")) break;
        if (key == QLatin1String("file")) record.file = value;
        else if (key == QLatin1String("release")) record.release = value;
        else if (key == QLatin1String("queries")) record.queries = int32(key, value);
        else if (key == QLatin1String("num_hits")) record.num_hits = int32(key, value);
        else if (key == QLatin1String("h1")) record.h1 = value;
        else if (key == QLatin1String("h1_text")) record.h1_text = value;
        else if (key == QLatin1String("sigscoreprot")) record.sigscoreprot = number(key, value);
        else if (key == QLatin1String("resultsperlscript")) record.resultsperlscript = value;
    }
    for (qsizetype i = record.lines.size() - 1; i >= 0; --i) {
        const auto kv = common::splitKeyLine(record.lines[i]);
        if (!kv) continue;
        if (kv->first == QLatin1String("selectpeptides")) record.selectpeptides = int16(kv->first, kv->second);
        break;
    }
    // Everything that can fail is read before any output changes.
    SearchResultOutputs next = out;
    next.resultFile = record.file;
    next.database = record.release;
    if (record.num_hits < 1) {
        next.accession = QStringLiteral("<no result>");
        next.score = 0;
        next.mass = 0;
        next.title = QStringLiteral("Search did not return any matches");
    } else {
        next.title = record.h1_text.left(250);
        const QStringList fields = record.h1.split(QLatin1Char(','));
        if (fields.size() >= 4) {
            next.accession = fields[0];
            next.score = leadingInt32(QStringLiteral("h1 score"), fields[1]);
            next.mass = leadingInt32(QStringLiteral("h1 mass"), fields[3]);
        }
    }
    if (!next.resultFile.isEmpty()) {
        QString base = task_sorvex_url +
                       (record.resultsperlscript.isEmpty() ? QStringLiteral("master_results.pl") : record.resultsperlscript) +
                       QStringLiteral("?file=");
        const qsizetype at = base.indexOf(QStringLiteral("/cgi/../cgi/"));
        if (at >= 0) base.remove(at + 5, 7);
        record.resultUrl = base + next.resultFile;
    }
    out = next;
}

ParseOutcome clsJob_ParseResult(JobSession& session, const QString& task_sorvex_url, const QString& sorvex_task_id,
                                SearchResultOutputs& out, SearchResultsRecord& record, const SearchJobContext& job) {
    QString reply;
    try {
        QString path = QStringLiteral("client.pl?results&task_id=") + sorvex_task_id;
        if (!session.sessionID.isEmpty()) path += QStringLiteral("&sessionID=") + session.sessionID;
        reply = platform::fromCp1252(session.GetHttpDocWithLogin(task_sorvex_url, path));
        if (reply.isEmpty()) return ParseOutcome::EmptyReply;
        try {
            parseSearchResultsReply(reply, task_sorvex_url, out, record);
        } catch (const platform::Error&) {
            job.log(EventError, QStringLiteral("Failed to parse response from ms-searchcontrol.exe: last 250 characters "
                                               "are in result description field"));
            out.resultFile = QStringLiteral(" ");
            out.database = QStringLiteral(" ");
            out.accession = QStringLiteral("<error>");
            out.score = 0;
            out.mass = 0;
            out.title = reply.right(250);
            return ParseOutcome::ParseError;
        }
        return ParseOutcome::Parsed;
    } catch (const platform::Error& e) {
        job.log(EventError, e.report(QStringLiteral("(TVS1018) ")));
    }
    return ParseOutcome::Failed;
}

bool clsJob_WriteResultRow(const ResultRowInput& in, const SearchResultOutputs& out, const QString& resultUrl,
                           const SearchJobContext& job) {
    try {
        const auto fit = [](const char* column, const QString& text) {
            return common::fitColumn(common::kResultsTable, QString::fromLatin1(column), text);
        };
        const bool storableUrl = out.accession != QLatin1String("<error>") && !resultUrl.isEmpty() &&
                                 resultUrl.size() <= common::columnLength(common::kResultsTable,
                                                                          QStringLiteral("result_url"));
        const QString dataFile = fit("input_data_file", common::modUncName_GetUncPath(in.Data_path));
        // The check and the insert are one change, so that two writers can
        // never both find the result missing.
        platform::TransactionGuard together(TaskDbConnection);
        // The same search's result stored already (its reply was read twice):
        // the same task, data file and submission, and the same result page. A
        // result page alone says nothing: a server that restarted reuses its
        // result file names for other searches.
        if (storableUrl && in.Job_submitted.isValid()) {
            QSqlQuery known = TaskDbConnection.query(
                QStringLiteral("SELECT COUNT(*) FROM Sorvex_Tavrel_Results WHERE task_UID = ? AND input_data_file = ? "
                               "AND submitted = ? AND result_url = ?"),
                {qint32(in.uID), dataFile, in.Job_submitted, resultUrl});
            const bool recorded = known.next() && known.value(0).toLongLong() > 0;
            known.finish();
            if (recorded) {
                job.log(EventInfo, QStringLiteral("Result already recorded: ") + resultUrl);
                together.commit();
                return true;
            }
        }
        common::ResultRow row;
        row.task_UID = qint32(in.uID);
        if (!out.accession.isEmpty()) row.accession = out.accession;
        row.hit_mass = out.mass;
        row.hit_score = out.score;
        if (!out.title.isEmpty()) row.title_text = fit("title_text", out.title);
        if (!out.database.isEmpty()) row.seq_database = fit("seq_database", out.database);
        row.input_data_file = dataFile;
        if (!in.Search_title.isEmpty()) row.result_comment = fit("result_comment", in.Search_title);
        // A URL longer than its column would be a broken link: it is not stored.
        if (storableUrl) row.result_url = resultUrl;
        row.submitted = in.Job_submitted;
        row.returned = in.now;
        row.auto_print = qint16(in.auto_print ? 1 : 0);
        if (!in.QuellmarkProjectPath.isEmpty() && QFileInfo::exists(in.QuellmarkProjectPath))
            row.quellmark_project = fit("quellmark_project", common::modUncName_GetUncPath(in.QuellmarkProjectPath));
        platform::AdoRecordset rs;
        rs.openQuery(TaskDbConnection, QStringLiteral("select * FROM Sorvex_Tavrel_Results WHERE task_UID = 0"), {},
                     common::kResultsTable, 15);
        rs.addNew();
        common::assignNewResultRow(rs, row);
        if (modGlobal_AddRowWithNewKey(rs, MaxResultNumberCommand, QStringLiteral("result_number")) == 0) return false;
        together.commit();
        return true;
    } catch (const platform::Error& e) {
        job.log(EventError, e.report(QStringLiteral("(TVS1019) ")));
    }
    return false;
}

}  // namespace tavrelsvc
