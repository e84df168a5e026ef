#include "convert/PeakListReadAhead.h"

#include <cerrno>
#include <new>
#include <unistd.h>

namespace tavrelsvc::detail {

ReadAhead::ReadAhead(int fd, qint64 limit, qsizetype blockBytes, qsizetype padding)
    : fd_(fd), limit_(limit), blockBytes_(blockBytes), padding_(padding), thread_([this] { run(); }) {}

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
    if (ready_.empty() && !finished_) {
        waiting_ = true;
        changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
        waiting_ = false;
    }
    if (ready_.empty()) return Block{};  // asked again after the end: still the end
    Block block = std::move(ready_.front());
    ready_.pop_front();
    return block;
}

void ReadAhead::giveBack(std::unique_ptr<char[]> data) {
    std::unique_lock lock(mutex_);
    free_.push_back(std::move(data));
    const bool wake = idle_ && qsizetype(ready_.size()) <= kBlocksAhead - kWakeAfter;
    lock.unlock();
    if (wake) changed_.notify_all();
}

void ReadAhead::run() {
    int made = 0;          // blocks made here; the reader's own block comes on top
    bool canMake = true;   // false once memory ran short
    std::unique_lock lock(mutex_);
    for (;;) {
        const auto canRead = [&] {
            return qsizetype(ready_.size()) < kBlocksAhead && (!free_.empty() || (canMake && made < kBlocksAhead));
        };
        if (!canRead()) {
            // Full: wait until there is room for a few blocks, not just one.
            idle_ = true;
            changed_.wait(lock, [&] {
                return stop_ || (qsizetype(ready_.size()) <= kBlocksAhead - kWakeAfter && canRead());
            });
            idle_ = false;
        }
        if (stop_) return;
        Block block;
        block.at = kFront;
        if (!free_.empty()) {
            block.data = std::move(free_.back());
            free_.pop_back();
        }
        lock.unlock();
        if (!block.data) {
            try {
                block.data = std::make_unique_for_overwrite<char[]>(size_t(blockBytes_ + padding_));
                ++made;
            } catch (const std::bad_alloc&) {
                canMake = false;
                if (made > 0) {  // go on with the blocks there are
                    lock.lock();
                    continue;
                }
            }
        }
        qsizetype room = blockBytes_ - kFront;
        if (limit_ >= 0 && limit_ < room) room = qsizetype(limit_);
        ssize_t got = 0;
        if (!block.data) {
            got = -1;
            block.error = ENOMEM;
        } else if (room > 0) {
            do {
                got = ::read(fd_, block.data.get() + kFront, size_t(room));
            } while (got < 0 && errno == EINTR);
            if (got < 0) block.error = errno;
        }
        if (got > 0) {
            block.size = got;
            if (limit_ >= 0) limit_ -= got;
        } else if (got == 0 && limit_ > 0) {
            block.endedEarly = true;
        }
        lock.lock();
        ready_.push_back(std::move(block));
        finished_ = got <= 0;  // the end, or a failed read: nothing follows
        if (waiting_) changed_.notify_all();
        if (finished_) return;
    }
}

}  // namespace tavrelsvc::detail
