#include "convert/PeakListReadAhead.h"

#include <cerrno>
#include <unistd.h>

namespace tavrelsvc::detail {

ReadAhead::ReadAhead(int fd, qint64 limit, qsizetype blockBytes, qsizetype padding)
    : fd_(fd),
      limit_(limit),
      blockBytes_(blockBytes),
      free_(std::make_unique_for_overwrite<char[]>(size_t(blockBytes + padding))),
      thread_([this] { run(); }) {}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

ReadAhead::Block ReadAhead::take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return haveReady_ || finished_; });
    if (!haveReady_) return Block{};  // asked again after the end: still the end
    haveReady_ = false;
    Block block = std::move(ready_);
    ready_ = Block{};
    lock.unlock();
    changed_.notify_all();
    return block;
}

void ReadAhead::giveBack(std::unique_ptr<char[]> data) {
    {
        const std::lock_guard lock(mutex_);
        free_ = std::move(data);
    }
    changed_.notify_all();
}

void ReadAhead::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || (!haveReady_ && free_); });
        if (stop_) return;
        Block block;
        block.data = std::move(free_);
        block.at = kFront;
        lock.unlock();
        qsizetype room = blockBytes_ - kFront;
        if (limit_ >= 0 && limit_ < room) room = qsizetype(limit_);
        ssize_t got = 0;
        if (room > 0) {
            do {
                got = ::read(fd_, block.data.get() + kFront, size_t(room));
            } while (got < 0 && errno == EINTR);
        }
        if (got < 0) block.error = errno;
        else block.size = got;
        if (got > 0 && limit_ >= 0) limit_ -= got;
        lock.lock();
        ready_ = std::move(block);
        haveReady_ = true;
        finished_ = got <= 0;  // the end, or a failed read: nothing follows
        changed_.notify_all();
        if (finished_) return;
    }
}

}  // namespace tavrelsvc::detail
