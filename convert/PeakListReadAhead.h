#pragma once
// Reading a long file a few blocks ahead of the reader that takes its lines.
#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tavrelsvc::detail {

// Reads a file's blocks on a thread of its own while the reader splits the
// blocks before: copying the bytes out of the file costs about a third of
// what splitting their lines does, and the two need not wait for each other.
//
// It keeps up to kBlocksAhead blocks read ahead. With only one, the reader
// and this thread take turns block by block, and each turn waits for the
// other thread to be woken and given a processor: on a busy machine that
// wait costs more than reading the block. With a few in hand, either side
// runs on through a wake-up of the other. Memory stays at kBlocksAhead + 1
// blocks, made as they are first needed.
class ReadAhead {
public:
    // Bytes kept free at the start of every block, so that the start of a
    // line that the block before cut off can be put in front of the new bytes
    // instead of moving them.
    static constexpr qsizetype kFront = 64 << 10;
    static constexpr int kBlocksAhead = 4;
    // Once full, the thread is woken only when it can read this many blocks,
    // which halves its wake-ups.
    static constexpr int kWakeAfter = 2;

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
        bool endedEarly = false;     // the end came before the limit
    };
    // The next block, once it is read; size 0 and no error at the end (with
    // endedEarly set when the file ended before the limit).
    Block take();
    // A block the reader is done with, to read into again.
    void giveBack(std::unique_ptr<char[]> data);

private:
    void run();

    const int fd_;
    qint64 limit_;
    const qsizetype blockBytes_, padding_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::unique_ptr<char[]>> free_;  // given back, to read into next
    std::deque<Block> ready_;                    // read, in file order
    bool finished_ = false;  // the last block (end or error) is queued
    bool idle_ = false;      // the thread waits for room
    bool waiting_ = false;   // the reader waits for a block
    bool stop_ = false;
    std::thread thread_;  // last: it starts once the members above are made
};

}  // namespace tavrelsvc::detail
