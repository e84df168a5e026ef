#include "platform/InetTransfer.h"

#include "platform/InetWait.h"

#include <QCoreApplication>

#include <memory>

namespace platform {

namespace {

// Short enough that a stop or a client's request is served at once, long
// enough that a waiting service costs next to nothing.
constexpr int kServingSliceMs = 20;
constexpr int kBlockingSliceMs = 200;

RequestWaitPolicy& policy() {
    thread_local RequestWaitPolicy value;
    return value;
}

int& waitDepth() {
    thread_local int depth = 0;
    return depth;
}

struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};

// Keeps the easy handle in the multi handle for the transfer's life.
class Attached {
public:
    Attached(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) { ok_ = curl_multi_add_handle(multi, easy) == CURLM_OK; }
    ~Attached() {
        if (ok_) curl_multi_remove_handle(multi_, easy_);
    }
    bool ok() const { return ok_; }

private:
    CURLM* multi_;
    CURL* easy_;
    bool ok_ = false;
};

}  // namespace

ServedWaitMark::ServedWaitMark(bool on) : on_(on) {
    if (on_) ++waitDepth();
}

ServedWaitMark::~ServedWaitMark() {
    if (on_) --waitDepth();
}

RequestWaitPolicy setRequestWaitPolicy(RequestWaitPolicy next) {
    RequestWaitPolicy previous = std::move(policy());
    policy() = std::move(next);
    return previous;
}

bool requestWaiting() { return waitDepth() > 0; }

CURLcode performTransfer(CURL* easy) {
    // A copy: the events served below may install another policy.
    const RequestWaitPolicy rule = policy();
    const bool serve = rule.serveEvents && QCoreApplication::instance();
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi) return CURLE_OUT_OF_MEMORY;
    const Attached attached(multi.get(), easy);
    if (!attached.ok()) return CURLE_OUT_OF_MEMORY;
    const ServedWaitMark depth(serve);

    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) return CURLE_FAILED_INIT;
        if (running == 0) break;
        if (rule.cancelled && rule.cancelled()) return CURLE_ABORTED_BY_CALLBACK;
        curl_multi_poll(multi.get(), nullptr, 0, serve ? kServingSliceMs : kBlockingSliceMs, nullptr);
        if (serve) {
            if (rule.serve)
                rule.serve();
            else
                QCoreApplication::processEvents();
        }
        // A stop may have come in with those events: the test above sees it
        // before the transfer goes on.
    }
    int left = 0;
    for (CURLMsg* msg = curl_multi_info_read(multi.get(), &left); msg; msg = curl_multi_info_read(multi.get(), &left))
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) return msg->data.result;
    return CURLE_FAILED_INIT;
}

}  // namespace platform
