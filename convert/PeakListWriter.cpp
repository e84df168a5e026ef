#include "convert/PeakListIo.h"

#include "platform/SharedFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace tavrelsvc {

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
            background_ = std::make_unique<detail::WriteBehind>(fd_.get(), path_, kWriteBlock);
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
    if (const int error = detail::writeAll(fd_.get(), data, size, written_)) {
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
