#include "search/SearchPoll.h"

#include "common/ServerReplies.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"

namespace tavrelsvc {

namespace {

QString withSession(QString path, const JobSession& session) {
    if (!session.sessionID.isEmpty()) path += QStringLiteral("&sessionID=") + session.sessionID;
    return path;
}

// A completion code is a 16-bit number; anything else is no code.
qint16 completionCodeOf(const QString& value) {
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    const std::optional<qint32> rounded = ok ? common::roundToInt32(number) : std::nullopt;
    if (!rounded || *rounded < -32768 || *rounded > 32767)
        throw platform::Error(13, QStringLiteral("Type mismatch: search error code \"%1\"").arg(value));
    return static_cast<qint16>(*rounded);
}

}  // namespace

std::pair<QString, QString> splitStatusReply(const QString& reply) {
    const QString first = common::splitReplyLines(reply).value(0);
    const qsizetype eq = first.indexOf(QLatin1Char('='));
    if (eq < 0) return {first.toLower(), QString()};
    return {first.left(eq).toLower(), first.mid(eq + 1)};
}

PollResult clsJob_SearchRunning(JobSession& session, const SearchPollInput& in, const QDateTime& now,
                                const SearchJobContext& job) {
    PollResult r;
    r.PendingNiceValue = in.PendingNiceValue;
    try {
        if (in.PleasePause) {
            r.outcome = PollOutcome::Pause;
            return r;
        }
        if (in.Job_submitted.msecsTo(now) < 10 * 1000) return r;
        const QString reply = platform::fromCp1252(session.GetHttpDocWithLogin(
            in.task_sorvex_url, withSession(QStringLiteral("client.pl?status&task_id=") + in.sorvex_task_id, session)));
        if (reply.isEmpty()) return r;
        const auto [state, value] = splitStatusReply(reply);
        if (state == QLatin1String("problem")) {
            job.log(EventError, value);
        } else if (state == QLatin1String("unknown_id")) {
            job.log(EventError, QStringLiteral("Invalid task ID"));
            r.statusMessage = QStringLiteral("Invalid task ID");
            r.outcome = PollOutcome::AbandonSearch;
        } else if (state == QLatin1String("id_assigned")) {
            if (in.Job_submitted.secsTo(now) > 3600) {
                r.statusMessage = QStringLiteral("Failed to reach queued or running status after 1 hour");
                job.log(EventError, r.statusMessage);
                r.outcome = PollOutcome::EndFileSearch;
            }
        } else if (state == QLatin1String("running")) {
            if (in.PendingNiceValue >= 0) {
                session.GetHttpDocWithLogin(
                    in.task_sorvex_url,
                    withSession(QStringLiteral("client.pl?nice_job&task_id=%1&nice_value=%2")
                                    .arg(in.sorvex_task_id)
                                    .arg(in.PendingNiceValue),
                                session));
                r.PendingNiceValue = -1;
            }
        } else if (state == QLatin1String("complete")) {
            job.log(EventInfo, QStringLiteral("Search completed"));
            r.outcome = PollOutcome::FollowUp;
            r.completionCode = 0;
        } else if (state == QLatin1String("error")) {
            const qint16 code = completionCodeOf(value);
            job.log(EventWarning, QStringLiteral("Search completed (with error)"));
            r.outcome = PollOutcome::FollowUp;
            r.completionCode = code;
        } else if (state == QLatin1String("searchcontrol-error")) {
            job.log(EventError, QStringLiteral("Error return from ms-searchcontrol.exe: ") + value);
        }
        return r;
    } catch (const platform::Error& e) {
        job.log(EventError, e.report(QStringLiteral("(TVS1016) ")));
    }
    r.outcome = PollOutcome::RearmTimer;
    return r;
}

}  // namespace tavrelsvc
