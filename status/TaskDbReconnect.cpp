#include "status/TaskDbReconnect.h"

#include "clientcommon/TaskDatabase.h"
#include "common/TaskDbConnection.h"
#include "platform/AdoConnection.h"
#include "platform/Error.h"
#include "platform/InetWait.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <utility>

namespace tavrel {

namespace {

// How often a lost connection looks at its attempt: a glance, no wait.
constexpr int kTurnMs = 250;
// The pause after a failed attempt doubles from the first to the longest.
constexpr int kFirstPauseMs = 1000;
constexpr int kLongestPauseMs = 30000;

}  // namespace

TaskDbReconnect::TaskDbReconnect(platform::AdoConnection& connection) : connection_(connection) {
    turns_.setInterval(kTurnMs);
    QObject::connect(&turns_, &QTimer::timeout, [this] {
        if (!attempt() || !onBack) return;
        // A refresh inside another wait would start inside what the user waits for; the next one catches up.
        if (!platform::requestWaiting()) onBack();
    });
}

bool TaskDbReconnect::ready() { return !lost_ || attempt(); }

bool TaskDbReconnect::attempt() {
    if (!lost_) return true;
    if (!connection_.reopenPending() && !nextAttempt_.hasExpired()) return false;
    platform::AdoConnection::Reopening how = platform::AdoConnection::Reopening::Failed;
    try {
        how = connection_.reopenWithoutWaiting();
    } catch (const platform::Error&) {
        // Still out of reach: said once already.
    }
    switch (how) {
    case platform::AdoConnection::Reopening::Pending:
        return false;
    case platform::AdoConnection::Reopening::Opened:
        break;
    case platform::AdoConnection::Reopening::LockTaken:
    case platform::AdoConnection::Reopening::Failed:
        nextAttempt_ = QDeadlineTimer(pauseMs_);
        pauseMs_ = std::min(pauseMs_ * 2, kLongestPauseMs);
        return false;
    }
    lost_ = false;
    turns_.stop();
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
    nextAttempt_ = QDeadlineTimer(0);
    pauseMs_ = kFirstPauseMs;
    turns_.start();
    unsaid_ = QStringLiteral("The connection to the task database is lost (") + failure.description() +
              QStringLiteral("). Sorvex Tavrel connects again in the background and catches up once the database "
                             "answers (") +
              common::describeTaskDatabase(connection_.connectionString()) + QStringLiteral(").");
    return true;
}

void TaskDbReconnect::sayLoss() {
    if (unsaid_.isEmpty()) return;
    const QString text = std::exchange(unsaid_, QString());
    platform::MsgBox(text, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
}

}  // namespace tavrel
