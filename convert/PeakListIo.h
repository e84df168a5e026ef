#pragma once
// Byte-level reading and writing of peak lists. Peak lists can be gigabytes,
// so nothing here holds a whole file: the reader hands out one line at a time
// from a fixed block, the writer gathers output in a fixed block.
#include "platform/Error.h"

#include <QByteArray>
#include <QString>

#include <cstring>
#include <memory>
#include <string_view>

namespace tavrelsvc {

// Maps the errno of a failed file call to the run-time error numbers the
// service reports (53 file not found, 70 permission denied, 61 disk full ...).
platform::Error fileError(int errnoValue, const QString& path);

// Reads a file line by line. A line ends at CR LF, LF or a lone CR, so files
// written on any system give the same lines. A line longer than the block is
// cut at the block size and the rest of it is skipped, which keeps memory flat
// whatever the input holds.
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
    bool readLine(std::string_view& line);
    // Whether the last line read was followed by a line end.
    bool lastLineTerminated() const { return lastTerminated_; }
    // No byte is left to read.
    bool atEnd();
    // The rest of the input as it stands, in blocks; false at the end.
    bool readRaw(std::string_view& chunk);

    bool failed() const { return failed_; }
    const QString& errorText() const { return errorText_; }

private:
    bool fill();  // appends to the buffer; false when nothing more arrives
    void skipPendingLineEnd();

    int fd_ = -1;
    QString path_;
    qint64 remaining_;  // bytes still allowed by the limit (<0: no limit)
    std::unique_ptr<char[]> buffer_;
    qsizetype begin_ = 0, end_ = 0;
    qsizetype nextCr_ = -1;  // position of the next CR at or after begin_, end_ when none
    bool eof_ = false;
    bool failed_ = false;
    bool skipLf_ = false;        // the last line ended in CR at the end of a block
    bool discardToEol_ = false;  // the last line was cut; skip its remainder
    bool lastTerminated_ = false;
    QString errorText_;
};

// Gathers output in a block and writes it to a file, or keeps it in memory.
// The first failing write is remembered and later writes are dropped, so a
// caller checks failed() once at the end instead of after every line.
class PeakListWriter {
public:
    PeakListWriter();  // in memory: see text()
    ~PeakListWriter();
    PeakListWriter(const PeakListWriter&) = delete;
    PeakListWriter& operator=(const PeakListWriter&) = delete;

    // Creates (or empties) the file and writes into it from now on.
    bool create(const QString& path);

    void write(std::string_view bytes) {
        if (toFile_ && used_ + qsizetype(bytes.size()) <= kWriteBlock) {
            std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
            used_ += qsizetype(bytes.size());
        } else {
            writeSlow(bytes);
        }
    }
    void writeLine(std::string_view line) { write(line); write("\r\n"); }
    void writeLine(std::string_view a, std::string_view b) { write(a); write(b); write("\r\n"); }

    // Writes what is gathered and closes the file. False when any write failed.
    bool close();
    bool failed() const { return failed_; }
    const QString& errorText() const { return errorText_; }
    qint64 bytesWritten() const { return written_; }

    // The output of a writer in memory.
    const QByteArray& text() const { return memory_; }

    static constexpr qsizetype kWriteBlock = 1 << 20;

private:
    void writeSlow(std::string_view bytes);
    void flushBuffer();
    void writeOut(const char* data, qsizetype size);

    int fd_ = -1;
    bool toFile_ = false;
    QString path_;
    std::unique_ptr<char[]> buffer_;
    qsizetype used_ = 0;
    qint64 written_ = 0;
    QByteArray memory_;
    bool failed_ = false;
    QString errorText_;
};

}  // namespace tavrelsvc
