#pragma once
// How a request waits for its answer. By default a request blocks its thread
// until the server answers or a time-out passes. A program that must keep
// answering while a server is slow (the service) has the wait serve its event
// loop between short slices, and gives it a test that abandons the request in
// flight (a stop): the request then fails at once with 12017.
#include <functional>

namespace platform {

struct RequestWaitPolicy {
    bool serveEvents = false;
    // Asked between slices; true abandons the request.
    std::function<bool()> cancelled;
};

// Process-wide; the previous policy is returned.
RequestWaitPolicy setRequestWaitPolicy(RequestWaitPolicy policy);

// True while a request waits and serves events: code that the events run
// (a timer) can tell that it runs inside that wait.
bool requestWaiting();

}  // namespace platform
