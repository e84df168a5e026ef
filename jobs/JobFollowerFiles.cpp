// Choosing the next row of a follower task, whose list another task fills
// (follow-up searches moved to it) while this one runs.
#include "common/UncName.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/clsJob.h"
#include "service/EventLog.h"
#include "service/Preferences.h"

#include <algorithm>

namespace tavrelsvc {

namespace {
// An idle follower looks again after this many seconds. At least one: with
// 0 the step machine would take up a row at once while the cursor stands
// past the end of the list.
qint64 followerDelaySeconds() { return std::max<qint64>(1, FollowerActionDelay); }
}  // namespace

bool clsJob::NextFollowerFile() {
    const QDateTime now = clsJob_Now();
    try {
        NextActionTime = now.addDays(1);
        try {
            filesList_.moveFirst();
        } catch (const platform::Error&) {
        }
        while (!filesList_.eof()) {
            if (rowIsDue()) {
                const QDateTime due = filesList_.value(QStringLiteral("next_action")).toDateTime();
                const QString intermediate = filesList_.value(QStringLiteral("intermediate")).toString();
                const QString peakList = filesList_.value(QStringLiteral("peak_list")).toString();
                if (!intermediate.isEmpty() || !peakList.isEmpty()) {
                    NextActionTime = due;
                    break;
                }
                const QString path =
                    common::modUncName_GetLocalPathFromUnc(filesList_.value(QStringLiteral("file_name")).toString());
                if (GetItemSize(path) > 0) {
                    NextActionTime = due;
                    break;
                }
                if (!retireCurrentRow(QStringLiteral(" does not exist"))) return false;
            }
            filesList_.moveNext();
        }
        const QDateTime latest = now.addSecs(followerDelaySeconds());
        if (NextActionTime.dateTime() > latest) NextActionTime = latest;
        return true;
    } catch (const std::exception& e) {
        modGlobal_WriteEventLog(EventError, settings.uID, settings.task_label, QStringLiteral(" "),
                                jobErrorText(QStringLiteral("(TVS1030) "), e));
        NextActionTime = now.addSecs(followerDelaySeconds());
        return false;
    }
}

}  // namespace tavrelsvc
