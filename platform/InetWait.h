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
    // Serves the events of one slice when serveEvents is set; empty: all
    // pending events are processed. A window uses it to hold back user input
    // until it shows what the request waits for.
    std::function<void()> serve = {};
};

// For the calling thread; the previous policy is returned.
RequestWaitPolicy setRequestWaitPolicy(RequestWaitPolicy policy);

// True while a request or a database step waits and serves events: code
// that the events run (a timer) can tell that it runs inside that wait.
bool requestWaiting();

// For its life (when on) requestWaiting() answers true on this thread: a
// wait that serves events is under way.
class ServedWaitMark {
public:
    explicit ServedWaitMark(bool on);
    ~ServedWaitMark();
    ServedWaitMark(const ServedWaitMark&) = delete;
    ServedWaitMark& operator=(const ServedWaitMark&) = delete;

private:
    bool on_;
};

}  // namespace platform
