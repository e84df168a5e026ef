// The threads that read ahead of a reader and write behind a writer, at
// either side's pace: whichever side is the slower, every byte arrives once
// and in order, and neither side waits for the other forever.
#include "convert/PeakListIo.h"
#include "convert/PeakListMerge.h"
#include "convert/PeakListReadAhead.h"
#include "convert/PeakListWriteBehind.h"

#include "ConvertTestHelpers.h"

#include <QByteArray>
#include <QFile>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <csignal>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
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

// Reads all a read-ahead hands over, giving each block back; the error of
// the block that ended it, if any.
int drain(detail::ReadAhead& ahead, QByteArray& got, int pauseUs = 0) {
    for (;;) {
        detail::ReadAhead::Block block = ahead.take();
        if (block.error) return block.error;
        if (block.size == 0) return 0;
        got.append(block.data.get() + block.at, block.size);
        ahead.giveBack(std::move(block.data));
        pause(pauseUs);
    }
}

// Files may be no larger than `bytes` while it lives; a write past that
// fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldSignal_)(int);
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
            EXPECT_EQ(drain(ahead, got, pace.consumerUs), 0);
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


// A read that fails mid-stream ends the blocks with its error, after every
// byte read before it, in order; asked again, the read-ahead stays at its end.
TEST(PeakListPipeline, ReadAheadFailureMidStreamComesAfterEveryByteBefore) {
    constexpr qsizetype kBlock = 4 << 10;
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    const QByteArray some = numbered(3 * kBlock + 11);
    ASSERT_EQ(::write(fds[1], some.constData(), size_t(some.size())), some.size());
    ASSERT_EQ(::write(fds[0], "x", 1), 1);  // unread by the peer, so its close resets
    ::close(fds[1]);
    QByteArray got;
    {
        detail::ReadAhead ahead(fds[0], -1, detail::ReadAhead::kFront + kBlock, 64);
        EXPECT_EQ(drain(ahead, got), ECONNRESET);
        const detail::ReadAhead::Block after = ahead.take();
        EXPECT_EQ(after.size, 0);
    }
    ::close(fds[0]);
    EXPECT_TRUE(got == some);
}

// A file that shrinks while it is read ahead ends before the length it was
// measured to hold: the lines before the cut come whole and in order, and
// the reader fails with the error of a file that ended too soon, as a short
// file read at once does, instead of passing for whole.
TEST(PeakListPipeline, FileCutWhileReadAheadFailsAfterTheLinesBeforeTheCut) {
    testsupport::TempHome home;
    const qsizetype block = PeakListLineReader::kBlockSize;
    const QByteArray bytes = numbered(20 * block);
    const qsizetype cut = bytes.indexOf("\r\n", 11 * block) + 2;
    const QString path = home.file("shrinking");
    testsupport::writeFile(path, bytes);
    PeakListLineReader reader(path, PeakListLineReader::kTextLength);
    std::string_view line;
    ASSERT_TRUE(reader.readLine(line));
    QByteArray got = QByteArray(line.data(), qsizetype(line.size())) + "\r\n";
    // The read-ahead holds a few blocks at most: the cut lies beyond them.
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), off_t(cut)), 0);
    while (reader.readLine(line)) got += QByteArray(line.data(), qsizetype(line.size())) + "\r\n";
    EXPECT_TRUE(got == bytes.left(cut)) << got.size() << " of " << cut;
    EXPECT_TRUE(reader.failed());
    EXPECT_TRUE(reader.errorText().contains("Input past end of file")) << reader.errorText().toStdString();
}

// The write-behind thread and its queue at either pace: every byte reaches
// the reader of the pipe in order, whether the queue runs full or empty, and
// finish() returns once the last block is written.
TEST(PeakListPipeline, WriteBehindDeliversEveryByteInOrderAtEitherPace) {
    constexpr qsizetype kBlock = 4 << 10;
    for (const Pace& pace : kPaces) {
        for (int blocks : {1, 2, 5, 23}) {
            SCOPED_TRACE(testing::Message() << pace.name << ", " << blocks << " blocks");
            const QByteArray bytes = numbered(blocks * kBlock);
            int fds[2];
            ASSERT_EQ(::pipe(fds), 0);
            QByteArray got;
            std::thread consumer([&] {
                std::vector<char> piece(size_t(kBlock / 2));
                for (ssize_t n; (n = ::read(fds[0], piece.data(), piece.size())) > 0;) {
                    got.append(piece.data(), n);
                    pause(pace.consumerUs);
                }
            });
            {
                detail::WriteBehind behind(fds[1], "pipe", kBlock);
                std::unique_ptr<char[]> block = std::make_unique<char[]>(size_t(kBlock));
                for (int i = 0; i < blocks; ++i) {
                    std::memcpy(block.get(), bytes.constData() + i * kBlock, size_t(kBlock));
                    block = behind.hand(std::move(block), kBlock);
                    pause(pace.producerUs);
                }
                behind.finish();
                EXPECT_FALSE(behind.failed());
                EXPECT_EQ(behind.written(), bytes.size());
            }
            ::close(fds[1]);
            consumer.join();
            ::close(fds[0]);
            EXPECT_TRUE(got == bytes);
        }
    }
}

// A write that fails mid-file (the file may grow no further) is reported by
// close() and by the merge, which then does not pass for complete; what the
// file took before the failure is the output's start, nothing in between
// lost or out of order.
TEST(PeakListPipeline, WriteFailureMidFileIsReportedAndTheFileHoldsTheStart) {
    converttest::LoggedHome home;
    const qsizetype block = PeakListWriter::kWriteBlock;
    const QByteArray bytes = numbered(9 * block + 17);
    const qsizetype limit = 3 * block + 1000;
    {
        const FileSizeLimit small(rlim_t{static_cast<rlim_t>(limit)});
        PeakListWriter out;
        ASSERT_TRUE(out.create(home.file("out")));
        for (qsizetype at = 0; at < bytes.size(); at += block / 3)
            out.write(std::string_view(bytes.constData() + at, size_t(std::min(block / 3, bytes.size() - at))));
        EXPECT_FALSE(out.close());
        EXPECT_TRUE(out.failed());
        EXPECT_TRUE(out.errorText().contains(home.file("out"))) << out.errorText().toStdString();
        EXPECT_EQ(out.bytesWritten(), limit);
    }
    const QByteArray kept = testsupport::readFile(home.file("out"));
    EXPECT_EQ(kept.size(), limit);
    EXPECT_TRUE(kept == bytes.left(limit));

    // The merge of inputs larger than the file may grow.
    const QString dta = home.put("big.dta", "1001.5 2\r\n" + QByteArray("123.4567 1234.0\r\n").repeated(4 * block / 17));
    const QList<MergeInput> inputs = {{dta, kFormatDta}, {dta, kFormatDta}};
    {
        const FileSizeLimit small(rlim_t{static_cast<rlim_t>(limit)});
        EXPECT_EQ(mergePeakLists(mergeFilePath(home.home.path()), inputs, {}), MergeOutcome::Failed);
    }
    EXPECT_TRUE(home.log().contains("Cannot write merged peak list")) << home.log().toStdString();
    EXPECT_TRUE(testsupport::readFile(dta).startsWith("1001.5 2\r\n123.4567"));  // the input as it was
}

// A Sequest file converted into a file, at every size around the blocks the
// reader reads ahead and the writer writes behind: nothing, a first line
// only, one peak, a block give or take a byte (a line cut by each block's
// edge), and more blocks than either queue holds. The output is the block
// a one-peak file gives, with the peak lines of the long file as they stand.
TEST(PeakListPipeline, SequestFileAtEverySizeAroundTheBlocks) {
    testsupport::TempHome home;
    const qsizetype block = PeakListLineReader::kBlockSize;
    const QByteArray first = "1001.5 2\r\n";
    // The block of a file with one peak: its head, the peak, its tail.
    const QString path = home.file("in.dta");
    testsupport::writeFile(path, first + "1.5 7\r\n");
    PeakListWriter small;
    convertDtaToQpl(path, small);
    const qsizetype peakAt = small.text().indexOf("1.5 7\r\n");
    ASSERT_GT(peakAt, 0);
    const QByteArray head = small.text().left(peakAt), tail = small.text().mid(peakAt + 7);

    // Peak lines of varying lengths, cut to end in a whole line near `bytes`.
    const auto peaksOf = [](qsizetype bytes) {
        QByteArray text;
        for (int i = 0; text.size() < bytes; ++i) text += QByteArray::number(100 + i % 997) + "." + QByteArray::number(i) + " " + QByteArray::number(i % 13 + 1) + "\r\n";
        text.truncate(text.lastIndexOf("\r\n", bytes - 1) + 2);
        return text;
    };
    const struct {
        const char* name;
        QByteArray file, expected;
    } cases[] = {
        {"empty", "", ""},
        {"first line only", first, ""},
        {"one peak", first + "1.5 7\r\n", small.text()},
        {"a block less a byte", first + peaksOf(block - 1 - first.size()), {}},
        {"a block", first + peaksOf(block - first.size()), {}},
        {"a block and a line", first + peaksOf(block + 20), {}},
        {"two and a half blocks", first + peaksOf(block * 5 / 2), {}},
        {"eleven blocks", first + peaksOf(11 * block + 7), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::writeFile(path, c.file);
        const QByteArray expected = c.file.size() > 100 ? head + c.file.mid(first.size()) + tail : c.expected;
        PeakListWriter out;
        ASSERT_TRUE(out.create(home.file("out.qpl")));
        const PeakListReadResult result = convertDtaToQpl(path, out);
        ASSERT_TRUE(out.close());
        EXPECT_TRUE(result.readable);
        EXPECT_EQ(result.spectra, expected.isEmpty() ? 0 : 1);
        const QByteArray got = testsupport::readFile(home.file("out.qpl"));
        EXPECT_EQ(got.size(), expected.size());
        EXPECT_TRUE(got == expected);
    }
}
