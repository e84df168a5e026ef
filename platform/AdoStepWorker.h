#pragma once
// The thread on which a server connection's blocking steps run, one at a
// time, while the thread that asked waits for each as its DatabaseWaitPolicy
// says, within a bound. A step that overruns it or is cancelled is
// interrupted (its connection's socket shut, so that it fails at once) and
// waited for; one that cannot be interrupted (an open, before there is a
// socket) is left to end on its own, and the worker with it.
#include <QString>

#include <functional>
#include <memory>
#include <thread>

namespace platform {

class AdoStepWorker {
public:
    AdoStepWorker();
    ~AdoStepWorker();  // ends the thread; an abandoned step ends on its own
    AdoStepWorker(const AdoStepWorker&) = delete;
    AdoStepWorker& operator=(const AdoStepWorker&) = delete;

    enum class Outcome { Done, Overran, Cancelled };

    struct Wait {
        QString address;                  // what the wait names: "HOST:PORT"
        int boundMs = 0;                  // how long the step may take
        std::function<void()> interrupt;  // empty: the step cannot be interrupted
    };

    // Runs `step` on the worker's thread and waits for it. After Overran or
    // Cancelled without an interrupt the step still runs: it must own what
    // it uses, and the worker is abandoned.
    Outcome run(std::function<void()> step, const Wait& wait);

    // The same in two halves: start() hands the step over and returns at
    // once; finished() tells whether it is done; wait() waits for it.
    void start(std::function<void()> step);
    bool finished() const;
    Outcome wait(const Wait& wait);

    // The step under way ends on its own; the worker takes no other.
    void abandon() { abandoned_ = true; }
    bool abandoned() const { return abandoned_; }

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    bool abandoned_ = false;
};

}  // namespace platform
