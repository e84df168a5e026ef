// The threads that read ahead of a reader and write behind a writer, at
// either side's pace: whichever side is the slower, every byte arrives once
// and in order, and neither side waits for the other forever.
#include "convert/PeakListIo.h"
#include "convert/PeakListReadAhead.h"

#include "ConvertTestHelpers.h"

#include <QByteArray>
#include <QFile>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavrelsvc;

namespace {

// Bytes that differ from block to block, so a block out of order shows.
QByteArray numbered(qsizetype bytes) {
    QByteArray text;
    text.reserve(bytes);
    for (int i = 0; text.size() < bytes; ++i) text += QByteArray::number(i) + "\r\n";
    text.truncate(bytes);
    return text;
}

void pause(int us) {
    if (us) std::this_thread::sleep_for(std::chrono::microseconds(us));
}

// Writes `bytes` into `fd` in pieces of `piece`, pausing between them.
void feed(int fd, const QByteArray& bytes, qsizetype piece, int pauseUs) {
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.constData() + at, size_t(std::min(piece, bytes.size() - at)));
        if (put <= 0) break;
        at += put;
        pause(pauseUs);
    }
}

struct Pace {
    const char* name;
    int producerUs, consumerUs;  // pause after each piece or block
};

const Pace kPaces[] = {
    {"both quick", 0, 0},
    {"slow consumer: the queue runs full", 0, 300},
    {"slow producer: the queue runs empty", 300, 0},
};

}  // namespace

TEST(PeakListPipeline, ReadAheadHandsOverEveryByteInOrderAtEitherPace) {
    constexpr qsizetype kBlock = 64 << 10, kPadding = 64;
    const QByteArray bytes = numbered(40 * kBlock + 123);
    for (const Pace& pace : kPaces) {
        SCOPED_TRACE(pace.name);
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        std::thread producer([&] {
            feed(fds[1], bytes, kBlock / 4, pace.producerUs);
            ::close(fds[1]);
        });
        QByteArray got;
        {
            // The front of each block is left free, so the block reads less
            // than its size.
            detail::ReadAhead ahead(fds[0], -1, detail::ReadAhead::kFront + kBlock, kPadding);
            for (;;) {
                detail::ReadAhead::Block block = ahead.take();
                ASSERT_EQ(block.error, 0);
                if (block.size == 0) break;
                got.append(block.data.get() + block.at, block.size);
                ahead.giveBack(std::move(block.data));
                pause(pace.consumerUs);
            }
            EXPECT_EQ(ahead.take().size, 0);  // the end stays the end
        }
        producer.join();
        ::close(fds[0]);
        EXPECT_EQ(got.size(), bytes.size());
        EXPECT_TRUE(got == bytes);
    }
}

// A read-ahead dropped before the end stops its thread, with blocks queued.
TEST(PeakListPipeline, ReadAheadLeftBeforeTheEndStops) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const QByteArray bytes = numbered(60 << 10);
    {
        detail::ReadAhead ahead(fds[0], -1, detail::ReadAhead::kFront + (4 << 10), 64);
        feed(fds[1], bytes, 4 << 10, 0);
        EXPECT_GT(ahead.take().size, 0);
        ::close(fds[1]);  // the thread may be reading: the end lets it return
    }
    ::close(fds[0]);
}

// Output of every length around the writer's blocks through a pipe that is
// read at either pace: the writer's thread and its queue of blocks give the
// reader every byte in order, whether the queue runs full or empty, and
// close() returns once the last block is written.
TEST(PeakListPipeline, WriterThreadDeliversEveryByteInOrderAtEitherPace) {
    testsupport::TempHome home;
    const qsizetype block = PeakListWriter::kWriteBlock;
    const qsizetype lengths[] = {block + 1, 2 * block, 3 * block - 5, 4 * block, 5 * block + 3, 9 * block + 17};
    const QString fifo = home.file("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const Pace& pace : kPaces) {
        for (qsizetype length : lengths) {
            SCOPED_TRACE(testing::Message() << pace.name << ", " << length << " bytes");
            const QByteArray bytes = numbered(length);
            QByteArray got;
            std::thread consumer([&] {
                const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY);
                if (fd < 0) return;
                std::vector<char> piece(size_t(block / 2));
                for (ssize_t n; (n = ::read(fd, piece.data(), piece.size())) > 0;) {
                    got.append(piece.data(), n);
                    pause(pace.consumerUs);
                }
                ::close(fd);
            });
            PeakListWriter out;
            ASSERT_TRUE(out.create(fifo));
            // In pieces of a third of a block, so blocks fill across writes.
            for (qsizetype at = 0; at < bytes.size(); at += block / 3) {
                out.write(std::string_view(bytes.constData() + at, size_t(std::min(block / 3, bytes.size() - at))));
                pause(pace.producerUs * 4);
            }
            EXPECT_TRUE(out.close());
            consumer.join();
            EXPECT_EQ(got.size(), bytes.size());
            EXPECT_TRUE(got == bytes);
        }
    }
}
