#include "convert/PeakListIo.h"

#include "convert/PeakListCache.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

// ---- reader -----------------------------------------------------------------

PeakListLineReader::PeakListLineReader(const QString& path, qint64 limit)
    : path_(path), remaining_(limit) {
    const QByteArray name = QFile::encodeName(path);
    fd_ = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw fileError(errno, path);
    if (limit == kTextLength) {
        try {
            remaining_ = textLengthOf(fd_, path);
        } catch (...) {
            ::close(fd_);
            throw;
        }
    }
    buffer_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
    if (remaining_ == 0) eof_ = true;
}

PeakListLineReader::~PeakListLineReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool PeakListLineReader::fill() {
    if (eof_) return false;
    nextCr_ = -1;
    if (begin_ > 0) {  // keep the unread part at the start of the block
        std::memmove(buffer_.get(), buffer_.get() + begin_, size_t(end_ - begin_));
        end_ -= begin_;
        begin_ = 0;
    }
    qsizetype room = kBlockSize - end_;
    if (room == 0) return false;
    if (remaining_ >= 0 && remaining_ < room) room = qsizetype(remaining_);
    ssize_t got;
    do {
        got = ::read(fd_, buffer_.get() + end_, size_t(room));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        failed_ = true;
        errorText_ = fileError(errno, path_).description();
        eof_ = true;
        return false;
    }
    if (got == 0) {
        eof_ = true;
        return false;
    }
    end_ += got;
    if (remaining_ >= 0) {
        remaining_ -= got;
        if (remaining_ == 0) eof_ = true;
    }
    return true;
}

void PeakListLineReader::skipPendingLineEnd() {
    for (;;) {
        if (skipLf_) {
            if (begin_ == end_ && !fill()) { skipLf_ = false; return; }
            if (buffer_[begin_] == '\n') ++begin_;
            skipLf_ = false;
        }
        if (!discardToEol_) return;
        const char* p = buffer_.get() + begin_;
        const char* e = buffer_.get() + end_;
        while (p < e && *p != '\n' && *p != '\r') ++p;
        begin_ = p - buffer_.get();
        if (p == e) {
            if (!fill()) { discardToEol_ = false; return; }
            continue;
        }
        ++begin_;
        discardToEol_ = false;
        skipLf_ = (*p == '\r');
    }
}

bool PeakListLineReader::readLine(std::string_view& line) {
    skipPendingLineEnd();
    qsizetype scanFrom = begin_;
    for (;;) {
        const char* base = buffer_.get();
        const char* e = base + end_;
        const char* p = static_cast<const char*>(std::memchr(base + scanFrom, '\n', size_t(end_ - scanFrom)));
        if (!p) p = e;
        // Files rarely hold a lone CR, so where the next CR stands is kept
        // rather than searched for on every line.
        if (nextCr_ < scanFrom) {
            const void* cr = std::memchr(base + scanFrom, '\r', size_t(end_ - scanFrom));
            nextCr_ = cr ? static_cast<const char*>(cr) - base : end_;
        }
        if (base + nextCr_ < p) p = base + nextCr_;
        if (p < e) {
            line = std::string_view(base + begin_, size_t(p - (base + begin_)));
            lastTerminated_ = true;
            begin_ = (p - base) + 1;
            if (*p == '\r') {
                if (begin_ < end_) {
                    if (base[begin_] == '\n') ++begin_;
                } else {
                    skipLf_ = true;
                }
            }
            return true;
        }
        const qsizetype pending = end_ - begin_;
        if (pending == kBlockSize) {  // a line longer than the block: cut it
            line = std::string_view(base + begin_, size_t(pending));
            lastTerminated_ = true;
            begin_ = end_;
            discardToEol_ = true;
            return true;
        }
        if (!fill()) {
            if (end_ == begin_) return false;
            line = std::string_view(buffer_.get() + begin_, size_t(end_ - begin_));
            lastTerminated_ = false;
            begin_ = end_;
            return true;
        }
        scanFrom = begin_ + pending;  // fill() moved the pending part to the start
    }
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

// ---- writer -----------------------------------------------------------------

PeakListWriter::PeakListWriter() = default;

PeakListWriter::~PeakListWriter() { close(); }

bool PeakListWriter::create(const QString& path) {
    close();
    path_ = path;
    failed_ = false;
    errorText_.clear();
    written_ = 0;
    const QByteArray name = QFile::encodeName(path);
    fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        failed_ = true;
        errorText_ = fileError(errno, path).description();
        return false;
    }
    toFile_ = true;
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBlock);
    used_ = 0;
    return true;
}

void PeakListWriter::writeSlow(std::string_view bytes) {
    if (failed_ || bytes.empty()) return;
    if (!toFile_) {
        memory_.append(bytes.data(), qsizetype(bytes.size()));
        written_ += qint64(bytes.size());
        return;
    }
    if (used_ + qsizetype(bytes.size()) <= kWriteBlock) {
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += qsizetype(bytes.size());
        return;
    }
    flushBuffer();
    if (qsizetype(bytes.size()) >= kWriteBlock) {
        writeOut(bytes.data(), qsizetype(bytes.size()));
    } else {
        std::memcpy(buffer_.get(), bytes.data(), bytes.size());
        used_ = qsizetype(bytes.size());
    }
}

void PeakListWriter::flushBuffer() {
    if (used_ > 0) writeOut(buffer_.get(), used_);
    used_ = 0;
}

void PeakListWriter::writeOut(const char* data, qsizetype size) {
    while (size > 0 && !failed_) {
        const ssize_t put = ::write(fd_, data, size_t(size));
        if (put < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
            errorText_ = fileError(errno, path_).description();
            return;
        }
        data += put;
        size -= put;
        written_ += put;
    }
}

bool PeakListWriter::close() {
    if (toFile_) {
        if (!failed_) flushBuffer();
        used_ = 0;
        if (fd_ >= 0 && ::close(fd_) != 0 && !failed_) {
            failed_ = true;
            errorText_ = fileError(errno, path_).description();
        }
        fd_ = -1;
        toFile_ = false;
    }
    return !failed_;
}

}  // namespace tavrelsvc
