#include "convert/PeakListIo.h"

#include "convert/PeakListCache.h"

#include <QFile>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>


namespace tavrelsvc {

platform::Error fileError(int errnoValue, const QString& path) {
    long number = 57;  // device I/O error
    switch (errnoValue) {
        case ENOENT: case ENOTDIR: number = platform::errnum::FileNotFound; break;
        case EACCES: case EPERM: case EROFS: number = 70; break;
        case ENOSPC: case EDQUOT: number = 61; break;
        case EISDIR: number = 75; break;
        case ENAMETOOLONG: number = 52; break;
        default: break;
    }
    return platform::Error(number, QString::fromLocal8Bit(std::strerror(errnoValue)) +
                                       QStringLiteral(" (") + path + QLatin1Char(')'));
}

using detail::lineEndBits;

PeakListLineReader::PeakListLineReader(const QString& path, qint64 limit)
    : path_(path), remaining_(limit) {
    const QByteArray name = QFile::encodeName(path);
    // Never waiting on a fifo someone put in a peak list's place.
    fd_.reset(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd_) throw fileError(errno, path);
    struct stat kind {};
    if (::fstat(fd_.get(), &kind) == 0 && !S_ISREG(kind.st_mode) && !S_ISDIR(kind.st_mode))
        throw platform::Error(75, platform::openFailureText(platform::kNotRegularFile) + QStringLiteral(" (") + path +
                                      QLatin1Char(')'));
    ::fcntl(fd_.get(), F_SETFL, ::fcntl(fd_.get(), F_GETFL) & ~O_NONBLOCK);
    if (limit == kTextLength) {
        if (readWholeText()) return;
        remaining_ = textLengthOf(fd_.get(), path);
    }
    qint64 expected = remaining_;
    struct stat st {};
    if (expected < 0) expected = ::fstat(fd_.get(), &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : kBlockSize;
    readAheadWanted_ = expected > kBlockSize;
    capacity_ = qsizetype(std::clamp<qint64>(expected, kChunk, kBlockSize));
    buffer_ = std::make_unique_for_overwrite<char[]>(size_t(capacity_ + kChunk));
    std::memset(buffer_.get(), 0, size_t(kChunk));
    if (remaining_ == 0) eof_ = true;
}

bool PeakListLineReader::readWholeText() {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0) throw fileError(errno, path_);
    if (!S_ISREG(st.st_mode) || st.st_size > kBlockSize) return false;
    // A file that fits in the block is read at once, and its end-of-file
    // marks are found in the block, instead of reading its tail twice.
    const qsizetype size = qsizetype(st.st_size);
    capacity_ = std::max<qsizetype>(size, kChunk);
    buffer_ = std::make_unique_for_overwrite<char[]>(size_t(capacity_ + kChunk));
    while (end_ < size) {
        const ssize_t got = ::read(fd_.get(), buffer_.get() + end_, size_t(size - end_));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw fileError(errno, path_);
        if (got == 0) throw inputPastEndOfFile(path_);
        end_ += got;
    }
    if (end_ < 2) end_ = 0;  // as textFileLength counts a file of one byte
    while (end_ > 0 && buffer_[end_ - 1] == 26) --end_;
    std::memset(buffer_.get() + end_, 0, size_t(kChunk));
    remaining_ = 0;
    eof_ = true;
    return true;
}

void PeakListLineReader::grow() {
    auto bigger = std::make_unique_for_overwrite<char[]>(size_t(kBlockSize + kChunk));
    std::memcpy(bigger.get(), buffer_.get(), size_t(end_));
    buffer_ = std::move(bigger);
    capacity_ = kBlockSize;
}

PeakListLineReader::~PeakListLineReader() {
    readAhead_.reset();  // its thread reads from fd_, which closes after
}

void PeakListLineReader::fail(const platform::Error& error) {
    failed_ = true;
    errorText_ = error.description();
}

bool PeakListLineReader::fill() {
    if (eof_) return false;
    chunkAt_ = -1;  // positions move and bytes arrive: scan afresh
    if (readAhead_) return fillAhead();
    if (begin_ > 0) {  // keep the unread part at the start of the block
        std::memmove(buffer_.get(), buffer_.get() + begin_, size_t(end_ - begin_));
        end_ -= begin_;
        begin_ = 0;
        std::memset(buffer_.get() + end_, 0, size_t(kChunk));
    }
    if (end_ == capacity_ && capacity_ < kBlockSize) grow();
    qsizetype room = capacity_ - end_;
    if (room == 0) return false;
    if (remaining_ >= 0 && remaining_ < room) room = qsizetype(remaining_);
    ssize_t got;
    do {
        got = ::read(fd_.get(), buffer_.get() + end_, size_t(room));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        fail(fileError(errno, path_));
        eof_ = true;
        return false;
    }
    if (got == 0) {
        // Shorter than it was measured: cut while being read, which must not
        // pass for the whole file.
        if (remaining_ > 0) fail(inputPastEndOfFile(path_));
        eof_ = true;
        return false;
    }
    end_ += got;
    std::memset(buffer_.get() + end_, 0, size_t(kChunk));
    if (remaining_ >= 0) {
        remaining_ -= got;
        if (remaining_ == 0) eof_ = true;
    }
    if (readAheadWanted_ && !eof_) startReadAhead();
    return true;
}

void PeakListLineReader::startReadAhead() {
    readAheadWanted_ = false;
    if (capacity_ < kBlockSize) return;
    try {
        readAhead_ = std::make_unique<detail::ReadAhead>(fd_.get(), remaining_, kBlockSize, kChunk);
    } catch (const std::system_error&) {
        // No thread to be had: the blocks are read here, as for short files.
    }
}

bool PeakListLineReader::fillAhead() {
    if (!ahead_.data) {
        ahead_ = readAhead_->take();
        if (ahead_.error || ahead_.size == 0) {
            if (ahead_.error) fail(fileError(ahead_.error, path_));
            else if (ahead_.endedEarly) fail(inputPastEndOfFile(path_));
            ahead_ = {};
            eof_ = true;
            return false;
        }
    }
    const qsizetype pending = end_ - begin_;
    if (pending <= ahead_.at) {
        // The unread bytes go in front of the new ones, and the reader goes
        // on in the new block: a few bytes copied instead of a block. The
        // bytes stand as fill() would have put them, only further on.
        std::memcpy(ahead_.data.get() + ahead_.at - pending, buffer_.get() + begin_, size_t(pending));
        begin_ = ahead_.at - pending;
        end_ = ahead_.at + ahead_.size;
        std::swap(buffer_, ahead_.data);
        readAhead_->giveBack(std::move(ahead_.data));
        ahead_ = {};
    } else {
        // A line longer than the free front of a block: it moves to the
        // start, as many new bytes as the block holds follow it, and the rest
        // waits for the next fill.
        std::memmove(buffer_.get(), buffer_.get() + begin_, size_t(pending));
        begin_ = 0;
        end_ = pending;
        const qsizetype take = std::min(capacity_ - end_, ahead_.size);
        if (take == 0) return false;
        std::memcpy(buffer_.get() + end_, ahead_.data.get() + ahead_.at, size_t(take));
        end_ += take;
        ahead_.at += take;
        ahead_.size -= take;
        if (ahead_.size == 0) {
            readAhead_->giveBack(std::move(ahead_.data));
            ahead_ = {};
        }
    }
    std::memset(buffer_.get() + end_, 0, size_t(kChunk));
    return true;
}

qsizetype PeakListLineReader::nextLineEnd(qsizetype from) {
    while (from < end_) {
        if (chunkAt_ < 0 || from < chunkAt_ || from >= chunkAt_ + kChunk) {
            chunkAt_ = from;
            lineEndBits_ = lineEndBits(buffer_.get() + from);
            if (end_ - from < kChunk) lineEndBits_ &= (quint64(1) << (end_ - from)) - 1;
        }
        const quint64 rest = lineEndBits_ >> (from - chunkAt_);
        if (rest) return from + std::countr_zero(rest);
        from = chunkAt_ + kChunk;
    }
    return end_;
}

void PeakListLineReader::skipPendingLineEnd() {
    for (;;) {
        if (skipLf_) {
            if (begin_ == end_ && !fill()) { skipLf_ = false; return; }
            if (buffer_[begin_] == '\n') ++begin_;
            skipLf_ = false;
        }
        if (!discardToEol_) return;
        const qsizetype at = nextLineEnd(begin_);
        if (at == end_) {
            begin_ = end_;
            if (!fill()) { discardToEol_ = false; return; }
            continue;
        }
        begin_ = at + 1;
        discardToEol_ = false;
        skipLf_ = (buffer_[at] == '\r');
    }
}

bool PeakListLineReader::readLineSlow(std::string_view& line) {
    skipPendingLineEnd();
    qsizetype scanFrom = begin_;
    for (;;) {
        const qsizetype at = nextLineEnd(scanFrom);
        const char* base = buffer_.get();
        if (at < end_) {
            takeLine(line, at);
            return true;
        }
        const qsizetype pending = end_ - begin_;
        if (pending == kBlockSize) {  // a line longer than the block: cut it
            line = std::string_view(base + begin_, size_t(pending));
            lineAt_ = begin_;
            lineEnd_ = end_;
            lastTerminated_ = true;
            begin_ = end_;
            discardToEol_ = true;
            return true;
        }
        if (!fill()) {
            if (end_ == begin_) return false;
            line = std::string_view(buffer_.get() + begin_, size_t(end_ - begin_));
            lineAt_ = begin_;
            lineEnd_ = end_;
            lastTerminated_ = false;
            begin_ = end_;
            return true;
        }
        scanFrom = begin_ + pending;  // fill() moved the pending part to the start
    }
}

char PeakListLineReader::fieldSeparator() {
    return std::memchr(buffer_.get() + lineAt_, '\t', size_t(lineEnd_ - lineAt_)) ? '\t' : ' ';
}

bool PeakListLineReader::atEnd() {
    skipPendingLineEnd();
    if (begin_ < end_) return false;
    return !fill();
}

bool PeakListLineReader::readRaw(std::string_view& chunk) {
    skipPendingLineEnd();
    if (begin_ == end_) {
        begin_ = end_ = 0;
        if (!fill()) return false;
    }
    chunk = std::string_view(buffer_.get() + begin_, size_t(end_ - begin_));
    begin_ = end_;
    return true;
}

}  // namespace tavrelsvc
