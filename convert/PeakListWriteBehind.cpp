#include "convert/PeakListWriteBehind.h"

#include "convert/PeakListIo.h"

#include <cerrno>
#include <new>
#include <unistd.h>

namespace tavrelsvc::detail {

int writeAll(int fd, const char* data, qsizetype size, qint64& written) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size_t(size));
        if (put < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += put;
        size -= put;
        written += put;
    }
    return 0;
}

WriteBehind::WriteBehind(int fd, QString path, qsizetype blockBytes)
    : fd_(fd), path_(std::move(path)), blockBytes_(blockBytes), thread_([this] { run(); }) {}

WriteBehind::~WriteBehind() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::unique_ptr<char[]> WriteBehind::hand(std::unique_ptr<char[]> block, qsizetype size) {
    std::unique_lock lock(mutex_);
    if (queued() >= kBlocksQueued) waitFor(lock, [this] { return queued() <= kBlocksQueued - kWakeAfter; });
    pending_.push_back({std::move(block), size});
    std::unique_ptr<char[]> next = takeSpare();
    const bool wake = idle_ && int(pending_.size()) >= kWakeAfter;
    lock.unlock();
    if (wake) changed_.notify_all();
    if (next) return next;
    try {
        return std::make_unique_for_overwrite<char[]>(size_t(blockBytes_));
    } catch (const std::bad_alloc&) {
        // Short of memory: wait for a block written; one is on its way.
        lock.lock();
        finishing_ = true;  // the writer must not wait for a second block
        changed_.notify_all();
        waitFor(lock, [this] { return !spare_.empty(); });
        finishing_ = false;
        return takeSpare();
    }
}

void WriteBehind::finish() {
    std::unique_lock lock(mutex_);
    finishing_ = true;
    changed_.notify_all();
    waitFor(lock, [this] { return queued() == 0; });
    finishing_ = false;
}

std::unique_ptr<char[]> WriteBehind::takeSpare() {
    if (spare_.empty()) return nullptr;
    std::unique_ptr<char[]> block = std::move(spare_.back());
    spare_.pop_back();
    return block;
}

void WriteBehind::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (pending_.empty()) {  // all written: wait for a few more
            idle_ = true;
            changed_.wait(lock, [this] {
                return stop_ || int(pending_.size()) >= kWakeAfter || (finishing_ && !pending_.empty());
            });
            idle_ = false;
            if (pending_.empty()) return;  // stopped with nothing left to write
        }
        Pending block = std::move(pending_.front());
        pending_.pop_front();
        writing_ = true;
        lock.unlock();
        // After a failure the rest is dropped, as the writer drops it.
        if (!failed()) {
            qint64 written = 0;
            const int error = writeAll(fd_, block.data.get(), block.size, written);
            written_.fetch_add(written, std::memory_order_relaxed);
            if (error) {
                errorText_ = fileError(error, path_).description();
                failed_.store(true, std::memory_order_release);
            }
        }
        lock.lock();
        writing_ = false;
        spare_.push_back(std::move(block.data));
        if (waiting_ && (finishing_ || queued() <= kBlocksQueued - kWakeAfter)) changed_.notify_all();
    }
}

}  // namespace tavrelsvc::detail
