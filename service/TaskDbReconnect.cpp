#include "service/TaskDbReconnect.h"

#include "platform/Error.h"
#include "service/EventLog.h"
#include "service/TaskDb.h"

namespace tavrelsvc {

namespace {

bool& lost() {
    static bool value = false;
    return value;
}

void log(short type, const QString& message) {
    modGlobal_WriteEventLog(type, 0, QStringLiteral(" "), QStringLiteral(" "), message);
}

}  // namespace

bool taskDatabaseLost() { return lost(); }

bool noteTaskDatabaseFailure(const QString& engineText) {
    if (lost()) return true;
    if (!TaskDbConnection.isOpen() || TaskDbConnection.ping()) return false;
    lost() = true;
    log(EventError, QStringLiteral("The connection to the task database is lost (") + engineText +
                        QStringLiteral("); the service holds its tasks and connects again"));
    return true;
}

Reconnect reconnectTaskDatabase() {
    if (!lost()) return Reconnect::Connected;
    try {
        if (!TaskDbConnection.reopen()) {
            lost() = false;
            return Reconnect::TakenOver;
        }
    } catch (const platform::Error&) {
        return Reconnect::StillLost;
    }
    lost() = false;
    log(EventInfo, QStringLiteral("The connection to the task database is back; the service goes on"));
    return Reconnect::Back;
}

}  // namespace tavrelsvc
