// The system's folder watcher: one inotify instance for the whole program.
// A watcher per folder owner would use up the per-user limit of instances
// (128 by default) with a few hundred watched tasks; one instance holds as
// many folders as the per-user limit of watches allows.
#include "platform/FolderWatcher.h"

#include "platform/UniqueFd.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr uint32_t kEntryEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr uint32_t kWatchMask = kEntryEvents | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// The network file systems whose folders this computer mounts (the same ones
// that have universal names): their notifications only cover local writes.
bool onNetworkFileSystem(const QByteArray& path) {
    struct statfs fs {};
    if (::statfs(path.constData(), &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:      // nfs, nfs4
    case 0x517BUL:      // smbfs
    case 0xFF534D42UL:  // cifs
    case 0xFE534D42UL:  // smb3
        return true;
    default:
        return false;
    }
}

QString errorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

class InotifyFolderWatcher final : public FolderWatcher {
public:
    ~InotifyFolderWatcher() override {
        notifier_.reset();  // before the descriptor it watches closes
    }

    void setHandlers(Handlers handlers) override { handlers_ = std::move(handlers); }

    FolderWatchResult watch(const QString& folder, QString* reason) override {
        if (paths_.contains(folder)) return FolderWatchResult::Watching;
        const QByteArray path = QFile::encodeName(folder);
        if (!open(reason)) return FolderWatchResult::Refused;
        if (onNetworkFileSystem(path)) return FolderWatchResult::Remote;
        const int wd = ::inotify_add_watch(fd_.get(), path.constData(), kWatchMask);
        if (wd < 0) {
            const int error = errno;
            if (error == ENOENT || error == ENOTDIR || error == EACCES) return FolderWatchResult::Missing;
            if (reason)
                *reason = error == ENOSPC ? QStringLiteral("the system's limit of watched folders is reached "
                                                           "(fs.inotify.max_user_watches)")
                                          : errorText(error);
            return FolderWatchResult::Refused;
        }
        paths_.insert(folder, wd);
        folders_[wd].append(folder);
        return FolderWatchResult::Watching;
    }

    void unwatch(const QString& folder) override {
        const auto it = paths_.find(folder);
        if (it == paths_.end()) return;
        const int wd = *it;
        paths_.erase(it);
        QStringList& names = folders_[wd];
        names.removeAll(folder);
        if (names.isEmpty()) {
            folders_.remove(wd);
            ::inotify_rm_watch(fd_.get(), wd);
        }
    }

private:
    bool open(QString* reason) {
        if (fd_) return true;
        fd_.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        if (!fd_) {
            const int error = errno;
            if (reason)
                *reason = error == EMFILE ? QStringLiteral("no notifications can be had: the limit of watchers is reached "
                                                           "(fs.inotify.max_user_instances)")
                                          : errorText(error);
            return false;
        }
        notifier_ = std::make_unique<QSocketNotifier>(fd_.get(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { readEvents(); });
        return true;
    }

    // The watch of `wd` ended; its names are gone.
    void forget(int wd, QList<QString>& gone) {
        const auto it = folders_.find(wd);
        if (it == folders_.end()) return;
        for (const QString& name : *it) {
            paths_.remove(name);
            gone.append(name);
        }
        folders_.erase(it);
    }

    void readEvents() {
        alignas(inotify_event) char buffer[64 * 1024];
        QSet<int> changed;
        QList<QString> gone;
        bool lost = false;
        for (;;) {
            const ssize_t n = ::read(fd_.get(), buffer, sizeof buffer);
            if (n <= 0) break;  // EAGAIN: all read
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW) {
                    lost = true;
                } else if (event->mask & IN_IGNORED) {
                    forget(event->wd, gone);  // deleted or unmounted (nothing left when unwatched here)
                } else if (event->mask & IN_MOVE_SELF) {
                    // The watch follows the folder, its name here would be wrong.
                    ::inotify_rm_watch(fd_.get(), event->wd);
                    forget(event->wd, gone);
                } else if (event->mask & kEntryEvents) {
                    changed.insert(event->wd);
                }
            }
        }
        // Names first, then the handlers, which may watch and unwatch.
        QList<QString> changedFolders;
        for (const int wd : changed)
            if (const auto it = folders_.find(wd); it != folders_.end()) changedFolders += *it;
        if (lost && handlers_.lost) handlers_.lost();
        if (handlers_.gone)
            for (const QString& folder : gone) handlers_.gone(folder);
        if (handlers_.changed)
            for (const QString& folder : changedFolders) handlers_.changed(folder);
    }

    UniqueFd fd_;
    std::unique_ptr<QSocketNotifier> notifier_;
    Handlers handlers_;
    QHash<QString, int> paths_;          // folder -> watch
    QHash<int, QStringList> folders_;    // watch -> the names it was asked under
};

}  // namespace

std::unique_ptr<FolderWatcher> makeFolderWatcher() { return std::make_unique<InotifyFolderWatcher>(); }

}  // namespace platform
