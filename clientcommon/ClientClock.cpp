#include "clientcommon/ClientClock.h"

namespace tavrel {

namespace {
ClientClock currentClock;
}

QDateTime clientNow() { return currentClock ? currentClock() : QDateTime::currentDateTime(); }

ClientClock setClientClock(ClientClock clock) {
    ClientClock previous = std::move(currentClock);
    currentClock = std::move(clock);
    return previous;
}

}  // namespace tavrel
