#pragma once
// Submitting one search: "client.pl?create_task_id" for a task id and the
// upload program, then one POST that streams the search body (prefix, peak
// list from memory or from its file, closing delimiter) to that program.
#include "search/JobSession.h"
#include "search/SearchContext.h"

#include <QByteArray>
#include <QString>

namespace platform {
class AdoRecordset;
}

namespace tavrelsvc {

// The job's values the submission reads.
struct SubmissionInput {
    QByteArray SearchFormPrefix;  // clsJob_BuildSearchTitle
    QByteArray PeakListText;      // sent when not empty ...
    QString PeakListFile;         // ... else this file, streamed
    QString CurrentMethodCode;    // "?1" data file, "?4" follow-up of selected queries
    QString task_sorvex_url;
    QString Search_title;
};

enum class SubmitOutcome {
    Submitted,  // Job_searching := True, PendingNiceValue := -search_priority,
                // Job_submitted := now, sorvex_task_id := result; timer on
    TimerOn,    // nothing sent; the next tick tries the file again
    Pause,      // failed (logged): Job_searching and PleasePause := False, PauseTask
};

struct SubmitResult {
    SubmitOutcome outcome = SubmitOutcome::Pause;
    QString sorvex_task_id;  // from the reply (also on TimerOn, as the job field is set)
    bool rowStored = false;  // the Files row holds the task id ("Search submitted" logged)
};

// The body as the sender streams it. Content-Length is exact and 64-bit.
struct SearchBody {
    QByteArray prefix;
    QByteArray text;  // in-memory content, or
    QString file;     // the file streamed when text is empty
    qint64 fileSize = 0;
    // A peak list must not hold the form's boundary; a follow-up's
    // intermediate parts are framed with it on purpose.
    bool refuseBoundary = true;
    qint64 contentLength() const;
};

// Runs the whole exchange. `FilesList` stands on the current Files row: on
// success it gets sorvex_task_id and file_comment (first 255 characters of
// the title), stored with modGlobal_UpdateRecord; nullptr skips the row.
// When the row cannot be stored the search still counts as submitted, so that
// the job polls it, but "Search submitted" is not logged.
SubmitResult clsJob_SubmitSearch(JobSession& session, const SubmissionInput& in, platform::AdoRecordset* FilesList,
                                 const SearchJobContext& job);

enum class SendResult { Sent, Failed, FileFailed };

// Streams the body on the open POST request. Failed: the transfer broke
// (worth another try). FileFailed: the file could not be opened or read, or
// changed size while it was sent (logged here; another try would not help).
// `headers` are the request's header lines (Content-Type, Content-Length).
SendResult clsJob_SendMultipartBody(const platform::HInternet& request, const QString& headers, const SearchBody& body,
                                    const SearchJobContext& job);

}  // namespace tavrelsvc
