#pragma once
// One poll of a submitted search: "client.pl?status", and the answer's
// consequence for the job. The clock is passed in.
#include "search/JobSession.h"
#include "search/SearchContext.h"

#include <QDateTime>
#include <QString>

namespace tavrelsvc {

struct SearchPollInput {
    QString task_sorvex_url;
    QString sorvex_task_id;
    QDateTime Job_submitted;
    qint16 PendingNiceValue = -1;
    bool PleasePause = false;
};

enum class PollOutcome {
    Pause,          // Job_searching and PleasePause := False, then PauseTask
    RearmTimer,     // poll again on the next tick
    AbandonSearch,  // the server does not know the id: clsJob_AbandonSearch
    EndFileSearch,  // never queued within an hour: clsJob_EndFileSearch
    FollowUp,       // finished: clsJob_FollowUp with completionCode
};

struct PollResult {
    PollOutcome outcome = PollOutcome::RearmTimer;
    qint16 completionCode = 0;
    qint16 PendingNiceValue = -1;  // the job's value after the poll
    QString statusMessage;         // for a Quellmark project's status, when it changed
};

PollResult clsJob_SearchRunning(JobSession& session, const SearchPollInput& in, const QDateTime& now,
                                const SearchJobContext& job);

// The first line of a status reply as state (lower case) and value.
std::pair<QString, QString> splitStatusReply(const QString& reply);

}  // namespace tavrelsvc
