#include "convert/PeakListIo.h"

#include "platform/SharedFile.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tavrelsvc {

namespace {

// Writes all `size` bytes and adds those the file took to `written`; 0, or
// the errno of the write that failed.
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

}  // namespace

// Writes the writer's full blocks, in order, while the writer gathers the
// next. It holds up to kBlocksQueued of them: were it one, the two threads
// would take turns block by block, and each turn would wait for the other to
// be woken and given a processor, which on a busy machine costs more than
// writing the block. The writer blocks in hand() while that many are still
// to be written, so the output never runs further ahead than that.
class PeakListWriter::Background {
public:
    static constexpr int kBlocksQueued = 4;
    // Either thread, once it waits for the other, is woken only when it can
    // go on for this many blocks, which halves the wake-ups.
    static constexpr int kWakeAfter = 2;

    Background(int fd, QString path) : fd_(fd), path_(std::move(path)), thread_([this] { run(); }) {}
    ~Background() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    // Takes the `size` bytes of `block` to write and gives back a block to
    // gather the next in: one it wrote before, or a new one.
    std::unique_ptr<char[]> hand(std::unique_ptr<char[]> block, qsizetype size) {
        std::unique_lock lock(mutex_);
        if (queued() >= kBlocksQueued) waitFor(lock, [this] { return queued() <= kBlocksQueued - kWakeAfter; });
        pending_.push_back({std::move(block), size});
        std::unique_ptr<char[]> next = takeSpare();
        const bool wake = idle_ && int(pending_.size()) >= kWakeAfter;
        lock.unlock();
        if (wake) changed_.notify_all();
        if (next) return next;
        try {
            return std::make_unique_for_overwrite<char[]>(kWriteBlock);
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
    // Returns once every block it holds is written.
    void finish() {
        std::unique_lock lock(mutex_);
        finishing_ = true;
        changed_.notify_all();
        waitFor(lock, [this] { return queued() == 0; });
        finishing_ = false;
    }

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
    std::unique_ptr<char[]> takeSpare() {
        if (spare_.empty()) return nullptr;
        std::unique_ptr<char[]> block = std::move(spare_.back());
        spare_.pop_back();
        return block;
    }

    void run() {
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

    const int fd_;
    const QString path_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending> pending_;                  // handed, in the order they go to the file
    bool writing_ = false;                         // one taken from pending_ is being written
    bool idle_ = false;                            // the thread waits for blocks
    bool waiting_ = false;                         // the writer waits for the thread
    bool finishing_ = false;                       // the writer waits for what is pending
    std::vector<std::unique_ptr<char[]>> spare_;   // written, to be gathered into again
    bool stop_ = false;
    std::atomic<bool> failed_{false};
    QString errorText_;  // set before failed_
    std::atomic<qint64> written_{0};
    std::thread thread_;  // last: it starts once the members above are made
};

PeakListWriter::PeakListWriter() = default;

PeakListWriter::~PeakListWriter() { close(); }

bool PeakListWriter::create(const QString& path) {
    close();
    path_ = path;
    failed_ = false;
    errorText_.clear();
    written_ = 0;
    // The cache folder is written by other accounts too: a link planted at
    // the name is replaced, never written through.
    fd_ = platform::openForWriting(path);
    if (!fd_) {
        failed_ = true;
        errorText_ = fileError(errno, path).description();
        return false;
    }
    toFile_ = true;
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBlock);
    used_ = 0;
    return true;
}

bool PeakListWriter::failed() const { return failed_ || (background_ && background_->failed()); }

const QString& PeakListWriter::errorText() const {
    return errorText_.isEmpty() && background_ && background_->failed() ? background_->errorText() : errorText_;
}

qint64 PeakListWriter::bytesWritten() const { return written_ + (background_ ? background_->written() : 0); }

void PeakListWriter::writeSlow(std::string_view bytes) {
    if (failed() || bytes.empty()) return;
    if (!toFile_) {
        memory_.append(bytes.data(), qsizetype(bytes.size()));
        written_ += qint64(bytes.size());
        return;
    }
    if (qsizetype(bytes.size()) < kDirectWrite && used_ + qsizetype(bytes.size()) <= kWriteBlock) {
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += qsizetype(bytes.size());
        return;
    }
    if (alone_ && qsizetype(bytes.size()) >= kDirectWrite) {
        flushBuffer();
        writeOut(bytes.data(), qsizetype(bytes.size()));
        return;
    }
    // The bytes are the caller's and may change once this returns, so even
    // a long run is copied into blocks: the copy costs less than writing it
    // here while the background waits.
    while (!bytes.empty()) {
        if (used_ == kWriteBlock) flushBuffer();
        const size_t take = std::min(bytes.size(), size_t(kWriteBlock - used_));
        std::memcpy(buffer_.get() + used_, bytes.data(), take);
        used_ += qsizetype(take);
        bytes.remove_prefix(take);
    }
}

char* PeakListWriter::lineRoomSlow(qsizetype bytes) {
    if (toFile_) {
        flushBuffer();
        return buffer_.get();
    }
    lineAt_ = memory_.size();
    memory_.resize(lineAt_ + bytes);
    return memory_.data() + lineAt_;
}

void PeakListWriter::commitLineSlow(const char* end) {
    const qsizetype size = end - (memory_.constData() + lineAt_);
    memory_.resize(lineAt_ + size);
    written_ += size;
}

void PeakListWriter::flushBuffer() {
    if (used_ == 0) return;
    if (!background_ && !alone_) {
        try {
            background_ = std::make_unique<Background>(fd_.get(), path_);
        } catch (const std::system_error&) {
            alone_ = true;  // no thread to be had: the blocks are written here
        }
    }
    if (background_) buffer_ = background_->hand(std::move(buffer_), used_);
    else writeOut(buffer_.get(), used_);
    used_ = 0;
}

void PeakListWriter::finishPending() {
    if (background_) background_->finish();
}

void PeakListWriter::writeOut(const char* data, qsizetype size) {
    if (failed()) return;
    if (const int error = writeAll(fd_.get(), data, size, written_)) {
        failed_ = true;
        errorText_ = fileError(error, path_).description();
    }
}

bool PeakListWriter::close() {
    if (toFile_) {
        // What is left of a small output is written here; a larger one's
        // last block goes the way of the blocks before it.
        if (background_) {
            flushBuffer();
            finishPending();
        } else if (used_ > 0) {
            writeOut(buffer_.get(), used_);
        }
        used_ = 0;
        if (background_) {
            written_ += background_->written();
            if (background_->failed() && !failed_) {
                failed_ = true;
                errorText_ = background_->errorText();
            }
            background_.reset();
        }
        alone_ = false;
        if (const int error = fd_.close(); error && !failed_) {
            failed_ = true;
            errorText_ = fileError(error, path_).description();
        }
        toFile_ = false;
    }
    return !failed_;
}

}  // namespace tavrelsvc
