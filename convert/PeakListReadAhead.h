#pragma once
// Reading a long file one block ahead of the reader that takes its lines.
#include <QtGlobal>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace tavrelsvc::detail {

// Reads a file's blocks on a thread of its own while the reader splits the
// block before: copying the bytes out of the file costs about a third of
// what splitting their lines does, and the two need not wait for each other.
// It holds at most one block read ahead, so memory stays at two blocks.
class ReadAhead {
public:
    // Bytes kept free at the start of every block, so that the start of a
    // line that the block before cut off can be put in front of the new bytes
    // instead of moving them.
    static constexpr qsizetype kFront = 64 << 10;

    // Reads from fd's position on, at most `limit` bytes (<0: to the end), in
    // blocks of `blockBytes` + `padding` bytes, each read into from kFront up
    // to blockBytes. Throws std::system_error when no thread can be started.
    ReadAhead(int fd, qint64 limit, qsizetype blockBytes, qsizetype padding);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    struct Block {
        std::unique_ptr<char[]> data;
        qsizetype at = 0, size = 0;  // the bytes read stand at [at, at + size)
        int error = 0;               // errno of the read that failed (size is 0 then)
    };
    // The next block, once it is read; size 0 and no error at the end.
    Block take();
    // A block the reader is done with, to read into again.
    void giveBack(std::unique_ptr<char[]> data);

private:
    void run();

    const int fd_;
    qint64 limit_;
    const qsizetype blockBytes_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::unique_ptr<char[]> free_;  // to read into next
    Block ready_;
    bool haveReady_ = false;
    bool finished_ = false;  // the last block (end or error) is handed over
    bool stop_ = false;
    std::thread thread_;  // last: it starts once the members above are made
};

}  // namespace tavrelsvc::detail
