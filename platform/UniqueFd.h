#pragma once
// A file descriptor with one owner, closed when the owner goes, and the one
// way these programs open a file that another account may have put in place:
// never through a symbolic link, never waiting on a fifo or a device.
#include <QString>

#include <cerrno>
#include <sys/types.h>

#include <utility>

namespace platform {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    bool valid() const noexcept { return fd_ >= 0; }
    explicit operator bool() const noexcept { return valid(); }
    int release() noexcept { return std::exchange(fd_, -1); }
    void reset(int fd = -1) noexcept;
    // Closes now: 0, or the errno of a close that failed (a write the file
    // system could not finish shows only here).
    int close() noexcept;

private:
    int fd_ = -1;
};

// The errno openNoFollow leaves for a name that is no regular file.
inline constexpr int kNotRegularFile = EINVAL;

// Opens the file the path names with `flags` (O_RDONLY, O_WRONLY | O_CREAT
// ...), close-on-exec. A symbolic link in the last place is never followed
// (errno ELOOP); anything but a regular file is refused without waiting for
// it (EISDIR for a folder, kNotRegularFile for a fifo or a device). Reads and writes of the
// descriptor block as usual. Invalid with errno set on failure.
UniqueFd openNoFollow(const QString& path, int flags, mode_t mode = 0666);

// The reason for an errno of openNoFollow, as a message tells it after the
// file's name: "it is a symbolic link, which is never followed", "it is a
// folder", "it is no regular file", or the system's text.
QString openFailureText(int error);

}  // namespace platform
