#pragma once
// A handler, timer tick or poll that an inner event loop could enter again
// while it still runs: the flag is set for the outer scope only and put back
// however that scope ends, an exception included.

namespace common {

// Sets a flag for its scope, unless it was set already (then entered() is false
// and the flag is left alone).
class ReentryGuard {
public:
    explicit ReentryGuard(bool& flag) : flag_(flag), entered_(!flag) { if (entered_) flag_ = true; }
    ~ReentryGuard() { if (entered_) flag_ = false; }
    ReentryGuard(const ReentryGuard&) = delete;
    ReentryGuard& operator=(const ReentryGuard&) = delete;
    bool entered() const { return entered_; }

private:
    bool& flag_;
    bool entered_;
};

}  // namespace common
