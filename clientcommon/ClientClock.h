#pragma once
// The client's one clock. Every "now" the client shows or compares is read
// here, so tests can fix the time of a report or step a timed check.
#include <QDateTime>

#include <functional>

namespace tavrel {

using ClientClock = std::function<QDateTime()>;

QDateTime clientNow();

// Installs a clock (empty: the system clock) and returns the previous one.
ClientClock setClientClock(ClientClock clock);

}  // namespace tavrel
