#include "status/TaskDbReconnect.h"

#include "common/TaskDatabase.h"
#include "common/TaskDbConnection.h"
#include "platform/AdoConnection.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <utility>

namespace tavrel {

bool TaskDbReconnect::ready() {
    if (!lost_) return true;
    try {
        if (!connection_.reopen()) return false;
    } catch (const platform::Error&) {
        return false;  // still out of reach: said once already
    }
    lost_ = false;
    // The shared recordset may hold rows from before the outage.
    try {
        if (&connection_ == &TaskDbConnection && TasksRecordset.isOpen()) TasksRecordset.requery();
    } catch (const platform::Error&) {
        // Its next user reads it again.
    }
    return true;
}

bool TaskDbReconnect::noteFailure(const platform::Error& failure) {
    if (lost_) return true;
    if (!connection_.isOpen() || connection_.ping()) return false;
    lost_ = true;
    unsaid_ = QStringLiteral("The connection to the task database is lost (") + failure.description() +
              QStringLiteral("). Sorvex Tavrel connects again at each refresh (") +
              common::describeTaskDatabase(connection_.connectionString()) + QStringLiteral(").");
    return true;
}

void TaskDbReconnect::sayLoss() {
    if (unsaid_.isEmpty()) return;
    const QString text = std::exchange(unsaid_, QString());
    platform::MsgBox(text, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
}

}  // namespace tavrel
