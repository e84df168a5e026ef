#pragma once
// The client's task database connection across an outage (the database
// server restarted, the connection was cut). The loss is said once; each
// refresh then tries to open the connection again and, once it is back, the
// status tree and list catch up with whatever was written meanwhile. Other
// failures are not its business and go on to their caller as before.
#include <QString>

namespace platform {
class AdoConnection;
class Error;
}  // namespace platform

namespace tavrel {

class TaskDbReconnect {
public:
    explicit TaskDbReconnect(platform::AdoConnection& connection) : connection_(connection) {}

    // True when the connection can be used: it was never lost, or it has
    // just been opened again. False while the database is still out of reach.
    bool ready();
    // After a failure of the connection: true when it is gone; false for any
    // other failure.
    bool noteFailure(const platform::Error& failure);
    // Says the loss noted since the last call, once for the whole outage
    // (after the busy pointer is gone: the box waits for the user).
    void sayLoss();
    bool lost() const { return lost_; }

private:
    platform::AdoConnection& connection_;
    bool lost_ = false;
    QString unsaid_;  // the loss not yet said
};

}  // namespace tavrel
