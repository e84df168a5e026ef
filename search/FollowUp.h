#pragma once
// The end of one data file's search: retry after "too many searches", error
// results, the result itself, the follow-up decision (repeat the search, move
// the file to the follower task, limit the next search to the queries that
// failed), the result row, and the release of the Files row.
#include "common/TaskDbTables.h"
#include "common/TaskVocabulary.h"
#include "search/JobSession.h"
#include "search/SearchContext.h"
#include "search/SearchResults.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace platform {
class AdoRecordset;
}

namespace tavrelsvc {

struct FollowUpInput {
    QString task_sorvex_url;
    QString sorvex_task_id;
    qint16 follow_up = 0;
    qint32 fu_score = 0;
    bool fu_repeat = false;
    qint32 fu_number = 0;
    std::optional<common::FollowUpInterval> fu_interval;  // nothing for a word that is none of ours
    bool fu_move = false;
    bool fu_discard = false;
    QString fu_task;
    QString Peak_list_cache;   // local folder of the task's cache
    qint32 file_number = 0;    // of the current Files row
    QString FileComment;
    QString storedPeakList;    // the current row's peak_list as stored ("" none)
    QString PeakListFile;      // local path of the current peak list ("" none)
    ResultRowInput row;        // the result row's job values; row.now is "now"
    // The job's "PostSearch" action, run once the result is read.
    std::function<void(const QString& resultFile, const QString& resultUrl)> postSearch;
    // The LockedOutDelay wait (modGlobal_WaitSeconds keeps events flowing).
    std::function<void(int seconds)> wait;
};

enum class FollowUpOutcome {
    EndFileSearch,  // code 51: clsJob_EndFileSearch, the same file is submitted again
    Done,           // Job_searching := False; PleasePause ? clear it and PauseTask : re-arm the timer
    Pause,          // Job_searching and PleasePause := False, PauseTask (logged, or an
                    // empty results reply: the row keeps its task id and a resume polls again)
};

struct FollowUpResult {
    FollowUpOutcome outcome = FollowUpOutcome::Pause;
    QString quellmarkStatus;  // status message for a Quellmark project of the file
    SearchResultOutputs result;
    SearchResultsRecord record;
    bool resultRowWritten = false;
};

QString intermediateFilePath(const QString& peakListCache, qint32 fileNumber);
// 10 × log10(fu_score / 20), single precision; nothing for fu_score < 1.
std::optional<float> probabilityOffset(qint32 fu_score);
// Now plus fu_number units of fu_interval; the date value 0 for an unknown unit.
QDateTime followUpTime(const QDateTime& now, qint32 fu_number, std::optional<common::FollowUpInterval> fu_interval);

// `FilesList` is the job's open list of the task's Files rows.
FollowUpResult clsJob_FollowUp(JobSession& session, qint16& code, const FollowUpInput& in,
                               platform::AdoRecordset& FilesList, const SearchJobContext& job);

}  // namespace tavrelsvc
