#pragma once
// How a thread waits for its database. A step of a server connection (an
// open, a statement) runs beside the thread that asked for it, which waits
// for its answer within a bound. Without a policy the thread just waits; a
// windowed program installs one for its window's thread, and the wait then
// serves the window, names the server it waits for and can be cancelled.
#include <QString>

#include <functional>

namespace platform {

struct DatabaseWaitPolicy {
    // A step has not answered at once: it waits for `address` ("HOST:PORT").
    // Empty: the thread waits without serving anything.
    std::function<void(const QString& address)> begin;
    std::function<void()> end;
    // Serves one slice of the thread's events.
    std::function<void()> serve;
    // True once the user gave up on the wait.
    std::function<bool()> cancelled;
};

// For the calling thread; the previous policy is returned.
DatabaseWaitPolicy setDatabaseWaitPolicy(DatabaseWaitPolicy policy);

}  // namespace platform
