#pragma once
// The client's task database connection across an outage (the database
// server restarted or went silent, the connection was cut). The loss is said
// once; the connection is then opened again beside the window, again and
// again with growing pauses, while every refresh goes on at once without it.
// Once it is back, the next refresh (or the one onBack starts) catches up
// with whatever was written meanwhile. Other failures are not its business
// and go on to their caller as before.
#include <QDeadlineTimer>
#include <QString>
#include <QTimer>

#include <functional>

namespace platform {
class AdoConnection;
class Error;
}  // namespace platform

namespace tavrel {

class TaskDbReconnect {
public:
    explicit TaskDbReconnect(platform::AdoConnection& connection);

    // True when the connection can be used: it was never lost, or it is
    // back. False at once while the database is still out of reach.
    bool ready();
    // After a failure of the connection: true when it is gone; false for any
    // other failure.
    bool noteFailure(const platform::Error& failure);
    // Says the loss noted since the last call, once for the whole outage
    // (after the busy pointer is gone: the box waits for the user).
    void sayLoss();
    bool lost() const { return lost_; }

    // Runs from the event loop when the connection came back between two
    // refreshes.
    std::function<void()> onBack;

private:
    // One turn of the attempts: starts one when its pause is over, or asks
    // the one under way how it went. True once the connection is back.
    bool attempt();

    platform::AdoConnection& connection_;
    bool lost_ = false;
    QString unsaid_;  // the loss not yet said
    QTimer turns_;    // the attempts' own turns while the connection is lost
    QDeadlineTimer nextAttempt_;
    int pauseMs_ = 0;  // before the attempt after the next failed one
};

}  // namespace tavrel
