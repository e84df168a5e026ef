#pragma once
// Byte-level reading and writing of peak lists. Peak lists can be gigabytes,
// so nothing here holds a whole file: the reader hands out one line at a time
// from a fixed block, the writer gathers output in a fixed block.
#include "convert/PeakListMasks.h"
#include "convert/PeakListReadAhead.h"
#include "convert/PeakListText.h"
#include "convert/PeakListWriteBehind.h"
#include "platform/Error.h"
#include "platform/UniqueFd.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <string_view>

namespace tavrelsvc {

namespace detail {

// Bit i is set when p[i] is CR or LF, for the 64 bytes from p.
inline quint64 lineEndBits(const char* p) {
    const LineEnds e = lineEndsAt(p);
    return e.cr | e.lf;
}

}  // namespace detail

// Maps the errno of a failed file call to the run-time error numbers the
// service reports (53 file not found, 70 permission denied, 61 disk full ...).
platform::Error fileError(int errnoValue, const QString& path);

// Reads a file line by line. A line ends at CR LF, LF or a lone CR, so files
// written on any system give the same lines. A line longer than the block is
// cut at the block size and the rest of it is skipped, which keeps memory flat
// whatever the input holds. The block is allocated for the bytes the file
// holds when that is less, so a merge of many small files neither allocates
// nor clears a whole block per file.
class PeakListLineReader {
public:
    static constexpr qsizetype kBlockSize = 1 << 20;

    // `limit`: read no more than this many bytes (-1: the whole file;
    // kTextLength: up to the trailing end-of-file marks, see textFileLength).
    // Throws platform::Error when the file cannot be opened.
    static constexpr qint64 kTextLength = -2;
    explicit PeakListLineReader(const QString& path, qint64 limit = -1);
    ~PeakListLineReader();
    PeakListLineReader(const PeakListLineReader&) = delete;
    PeakListLineReader& operator=(const PeakListLineReader&) = delete;

    // The next line without its line end; valid until the next call. False at
    // the end of the input or after a read error (see failed()).
    bool readLine(std::string_view& line) {
        // Fast path: the line end lies in the chunk already scanned.
        if (!skipLf_ && !discardToEol_ && chunkAt_ >= 0 && begin_ >= chunkAt_ && begin_ < chunkAt_ + kChunk) {
            const quint64 rest = lineEndBits_ >> (begin_ - chunkAt_);
            if (rest) {
                const qsizetype at = begin_ + std::countr_zero(rest);
                if (buffer_[at] == '\n' || at + 1 < end_) {
                    takeLine(line, at);
                    return true;
                }
            }
        }
        return readLineSlow(line);
    }
    // Hands the complete lines that stand in the block from the reading point
    // on, each ended by CR LF, to f(line) until f returns false; the line f
    // refused, and any line not ended by CR LF, is left for readLine. The
    // line ends of 64 bytes are found at once and the lines taken by stepping
    // from one LF bit to the next, so finding a line never waits for the
    // line before; the loop keeps its state in locals, so the writes f makes
    // do not force the reader's fields to be reloaded line after line.
    template <typename F>
    __attribute__((always_inline)) void scanLines(F&& f) {
        if (skipLf_ || discardToEol_) return;  // readLine settles these first
        const char* const base = buffer_.get();
        Sweep sweep{begin_};
        for (qsizetype chunk = begin_; !sweep.stop && chunk < end_; chunk += 64) {
            const detail::LineEnds e = detail::lineEndsAt(base + chunk);
            const quint64 valid = end_ - chunk >= 64 ? ~quint64(0) : (quint64(1) << (end_ - chunk)) - 1;
            sweep.take(base, chunk, {e.cr & valid, e.lf & valid}, ~quint64(0),
                       [&](std::string_view line, qsizetype) __attribute__((always_inline)) { return f(line); });
        }
        endSweep(sweep);
    }

    // The unread bytes of the block, for a caller that takes whole lines ended
    // by CR LF from them itself (reads of up to 64 bytes from any of them stay
    // inside the block); empty while a line end from before is still to be
    // settled, which readLine does. Valid until the next read.
    std::string_view unreadInBlock() const {
        if (skipLf_ || discardToEol_) return {};
        return std::string_view(buffer_.get() + begin_, size_t(end_ - begin_));
    }
    // The caller of unreadInBlock took the lines up to `next`, the last of them
    // from `lastLine` on; each ended by CR LF.
    void tookLines(const char* lastLine, const char* next) {
        const char* const base = buffer_.get();
        lineAt_ = lastLine - base;
        lineEnd_ = next - 2 - base;
        begin_ = next - base;
        lastTerminated_ = true;
        chunkAt_ = -1;  // the line ends scanned before lie behind
    }

    // The complete lines from the reading point on that end in CR LF and count
    // as numeric, as one span with their line ends (so they can be copied as
    // they stand); empty when the next line is not one. Valid until the next
    // read.
    std::string_view readNumericRun();
    // The same for lines of any content.
    std::string_view readRun();

    // Whether a line handed out by this reader counts as numeric (its leading
    // number is above 0): isPositive, with the common case settled from 16
    // bytes at once. Only for lines that lie in the reader's block, which has
    // room past its end for the wide read.
    static bool numericInBlock(std::string_view line) {
#if defined(__SSE2__)
        const char* p = line.data();
        const size_t n = line.size();
        if (n != 0 && p[0] >= '1' && p[0] <= '9') {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)),
                                                _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)));
            const __m128i point = _mm_cmpeq_epi8(v, _mm_set1_epi8('.'));
            const unsigned numeric = unsigned(_mm_movemask_epi8(_mm_or_si128(digit, point)));
            const unsigned q = unsigned(std::countr_one(numeric));  // first byte that is no digit or point
            if (q < 16 && (q >= n || (p[q] | 0x20) != 'e')) return true;
        }
#endif
        return isPositive(line);
    }

    // Whether the last line read was followed by a line end.
    bool lastLineTerminated() const { return lastTerminated_; }
    // No byte is left to read.
    bool atEnd();
    // The rest of the input as it stands, in blocks; false at the end.
    bool readRaw(std::string_view& chunk);
    // The field separator of the last line read: TAB when the line holds one
    // anywhere, else a space.
    char fieldSeparator();

    bool failed() const { return failed_; }
    const QString& errorText() const { return errorText_; }

private:
    bool readLineSlow(std::string_view& line);

    // Where a sweep of lines ended by CR LF stands.
    struct Sweep {
        qsizetype start;      // of the next line
        qsizetype last = -1;  // of the last line taken
        quint64 crBefore = 0;  // the byte before the chunk is CR
        bool stop = false;     // a line that is not taken came
        qsizetype chunk = -1;  // and the line ends of the chunk it came in
        quint64 ends = 0;

        // The lines that end in the 64 bytes from `chunk`, whose CR and LF
        // bits are `e`, counting only those from the bits in `from` on, to
        // f(line, offset) until f refuses one or a line end is no CR LF.
        template <typename F>
        __attribute__((always_inline)) void take(const char* base, qsizetype at, const detail::LineEnds& e,
                                                 quint64 from, F&& f) {
            const quint64 bad = detail::badLineEnds(e, crBefore) & from;
            quint64 lfs = e.lf & from;
            if (bad) lfs &= (bad & (~bad + 1)) - 1;  // the lines before the first bad line end
            stop = bad != 0;
            for (; lfs; lfs &= lfs - 1) {
                const qsizetype lineEnd = at + std::countr_zero(lfs) - 1;  // its CR
                if (!f(std::string_view(base + start, size_t(lineEnd - start)), start)) {
                    stop = true;
                    break;
                }
                last = start;
                start = lineEnd + 2;
            }
            crBefore = e.cr >> 63;
            chunk = at;
            ends = e.cr | e.lf;
        }
    };
    // The reader takes the lines the sweep took; the line readLine takes
    // next has its end found already.
    void endSweep(const Sweep& sweep) {
        if (sweep.last < 0) return;
        lineAt_ = sweep.last;
        lineEnd_ = sweep.start - 2;
        begin_ = sweep.start;
        lastTerminated_ = true;
        chunkAt_ = sweep.chunk;
        lineEndBits_ = sweep.ends;
    }
    // The line from begin_ up to the line end at `at`; steps over CR LF.
    void takeLine(std::string_view& line, qsizetype at) {
        const char* base = buffer_.get();
        line = std::string_view(base + begin_, size_t(at - begin_));
        lineAt_ = begin_;
        lineEnd_ = at;
        lastTerminated_ = true;
        begin_ = at + 1;
        if (base[at] == '\r') {
            if (begin_ < end_) {
                if (base[begin_] == '\n') ++begin_;
            } else {
                skipLf_ = true;
            }
        }
    }
    bool fill();  // appends to the buffer; false when nothing more arrives
    void fail(const platform::Error& error);  // notes the error; reading ends
    bool fillAhead();  // the same from the blocks read ahead
    void startReadAhead();
    void grow();  // to the whole block, for a file longer than it was at open
    bool readWholeText();  // kTextLength for a file no longer than the block; false for others
    void skipPendingLineEnd();
    qsizetype nextLineEnd(qsizetype from);  // next CR or LF at or after `from`, end_ when none

    // Line ends are found 64 bytes at a time: bit i of lineEndBits_ is set
    // when the byte at chunkAt_ + i is CR or LF. The buffer has room for a
    // whole chunk past its end, so a chunk is always read in one go; that
    // room is cleared after every read, so a wide read never sees stale or
    // unset memory.
    static constexpr qsizetype kChunk = 64;

    platform::UniqueFd fd_;
    QString path_;
    qint64 remaining_;  // bytes still allowed by the limit (<0: no limit)
    std::unique_ptr<char[]> buffer_;
    qsizetype capacity_ = 0;  // bytes the buffer holds before its padding, at most kBlockSize
    qsizetype begin_ = 0, end_ = 0;
    qsizetype chunkAt_ = -1;  // -1: no chunk scanned since the last fill
    quint64 lineEndBits_ = 0;
    qsizetype lineAt_ = 0, lineEnd_ = 0;  // the last line read
    bool eof_ = false;
    bool failed_ = false;
    bool skipLf_ = false;        // the last line ended in CR at the end of a block
    bool discardToEol_ = false;  // the last line was cut; skip its remainder
    bool lastTerminated_ = false;
    QString errorText_;
    // A file longer than the block is read a few blocks ahead from its first
    // fill on; `ahead_` is the block taken from it whose bytes are not all
    // in the buffer yet.
    bool readAheadWanted_ = false;
    std::unique_ptr<detail::ReadAhead> readAhead_;
    detail::ReadAhead::Block ahead_;
};

// Gathers output in a block and writes it to a file, or keeps it in memory.
// The first failing write is remembered and later writes are dropped, so a
// caller checks failed() once at the end instead of after every line.
//
// Once an output fills its first block, a thread of the writer's own writes
// each full block while the next is gathered: handing bytes to the file
// costs about as much as reading them and splitting their lines, and the two
// need not wait for each other. The blocks still reach the file whole and in
// order, and nothing but the writer touches them.
class PeakListWriter {
public:
    PeakListWriter();  // in memory: see text()
    ~PeakListWriter();
    PeakListWriter(const PeakListWriter&) = delete;
    PeakListWriter& operator=(const PeakListWriter&) = delete;

    // Creates (or empties) the file and writes into it from now on.
    bool create(const QString& path);

    void write(std::string_view bytes) {
        if (toFile_ && qsizetype(bytes.size()) < kDirectWrite && used_ + qsizetype(bytes.size()) <= kWriteBlock) {
            std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
            used_ += qsizetype(bytes.size());
        } else {
            writeSlow(bytes);
        }
    }
    // One line: the pieces in order, then CR LF.
    template <typename... Pieces>
    void writeLine(const Pieces&... pieces) {
        const qsizetype size = (qsizetype(std::string_view(pieces).size()) + ... + 2);
        if (!toFile_ || used_ + size > kWriteBlock) {
            (write(pieces), ...);
            write("\r\n");
            return;
        }
        char* out = buffer_.get() + used_;
        ((out = copyTo(out, pieces)), ...);
        out[0] = '\r';
        out[1] = '\n';
        used_ += size;
    }

    // Room for one short line written with fixed-size copies: up to
    // kLineRoom bytes from the returned pointer may be written, and
    // commitLine(end) keeps what lies before `end`. Nothing else may be
    // written between the two calls.
    static constexpr qsizetype kLineRoom = 64;
    char* lineRoom() { return room(kLineRoom); }
    // The same for `bytes` (at most kWriteBlock) written at once.
    char* room(qsizetype bytes) {
        if (toFile_ && used_ <= kWriteBlock - bytes) return buffer_.get() + used_;
        return lineRoomSlow(bytes);
    }
    void commitLine(const char* end) {
        if (toFile_) used_ = end - buffer_.get();
        else commitLineSlow(end);
    }

    // Writes what is gathered and closes the file. False when any write failed.
    bool close();
    bool failed() const;
    const QString& errorText() const;
    // Bytes the file took so far (those still gathered or being written not
    // counted); in memory, the bytes of text().
    qint64 bytesWritten() const;

    // The output of a writer in memory.
    const QByteArray& text() const { return memory_; }

    static constexpr qsizetype kWriteBlock = 1 << 20;
    // Where no thread could be started for the output, runs at least this
    // long (whole blocks of a reader) go to the file as they are, after what
    // is gathered, instead of being copied once more.
    static constexpr qsizetype kDirectWrite = 64 << 10;

private:
    static char* copyTo(char* out, std::string_view bytes) {
        std::memcpy(out, bytes.data(), bytes.size());
        return out + bytes.size();
    }
    void writeSlow(std::string_view bytes);
    char* lineRoomSlow(qsizetype bytes);
    void commitLineSlow(const char* end);
    void flushBuffer();      // hands the gathered block to the background
    void finishPending();    // waits until the background has written all it holds
    void writeOut(const char* data, qsizetype size);

    platform::UniqueFd fd_;
    bool toFile_ = false;
    QString path_;
    std::unique_ptr<char[]> buffer_;
    qsizetype used_ = 0;
    qint64 written_ = 0;  // by this thread
    QByteArray memory_;
    qsizetype lineAt_ = 0;  // in memory: where the line of lineRoom() starts
    bool failed_ = false;
    QString errorText_;
    std::unique_ptr<detail::WriteBehind> background_;  // from the first full block to close()
    bool alone_ = false;  // no thread could be started for this output
};

}  // namespace tavrelsvc
