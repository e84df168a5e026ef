#pragma once
// Writing a long output a few blocks behind the writer that gathers it.
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tavrelsvc::detail {

// Writes all `size` bytes and adds those the file took to `written`; 0, or
// the errno of the write that failed.
int writeAll(int fd, const char* data, qsizetype size, qint64& written);

// Writes the writer's full blocks, in order, while the writer gathers the
// next. It holds up to kBlocksQueued of them: were it one, the two threads
// would take turns block by block, and each turn would wait for the other to
// be woken and given a processor, which on a busy machine costs more than
// writing the block. The writer blocks in hand() while that many are still
// to be written, so the output never runs further ahead than that.
class WriteBehind {
public:
    static constexpr int kBlocksQueued = 4;
    // Either thread, once it waits for the other, is woken only when it can
    // go on for this many blocks, which halves the wake-ups.
    static constexpr int kWakeAfter = 2;

    // Writes to fd, whose errors name `path`, blocks of `blockBytes`. Throws
    // std::system_error when no thread can be started.
    WriteBehind(int fd, QString path, qsizetype blockBytes);
    ~WriteBehind();  // writes what it still holds, then stops
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Takes the `size` bytes of `block` to write and gives back a block to
    // gather the next in: one it wrote before, or a new one.
    std::unique_ptr<char[]> hand(std::unique_ptr<char[]> block, qsizetype size);
    // Returns once every block it holds is written.
    void finish();

    bool failed() const { return failed_.load(std::memory_order_acquire); }
    // Only once failed() is true; it no longer changes then.
    const QString& errorText() const { return errorText_; }
    qint64 written() const { return written_.load(std::memory_order_relaxed); }

private:
    struct Pending {
        std::unique_ptr<char[]> data;
        qsizetype size;
    };

    // The writer's waits, marked so that the thread wakes it only when it
    // may go on.
    template <typename Ready>
    void waitFor(std::unique_lock<std::mutex>& lock, Ready ready) {
        waiting_ = true;
        changed_.wait(lock, ready);
        waiting_ = false;
    }
    // Blocks handed and not yet written; with the lock held.
    int queued() const { return int(pending_.size()) + (writing_ ? 1 : 0); }
    std::unique_ptr<char[]> takeSpare();
    void run();

    const int fd_;
    const QString path_;
    const qsizetype blockBytes_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending> pending_;                 // handed, in the order they go to the file
    bool writing_ = false;                        // one taken from pending_ is being written
    bool idle_ = false;                           // the thread waits for blocks
    bool waiting_ = false;                        // the writer waits for the thread
    bool finishing_ = false;                      // the writer waits for what is pending
    std::vector<std::unique_ptr<char[]>> spare_;  // written, to be gathered into again
    bool stop_ = false;
    std::atomic<bool> failed_{false};
    QString errorText_;  // set before failed_
    std::atomic<qint64> written_{0};
    std::thread thread_;  // last: it starts once the members above are made
};

}  // namespace tavrelsvc::detail
