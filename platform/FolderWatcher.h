#pragma once
// Folder change notifications for a whole program: one watcher, one system
// notification channel, however many folders are watched. A folder is watched
// for its entries (names added, removed or renamed), not for the contents of
// its files. What the system cannot watch is said so, with the reason, so the
// caller can look at such a folder itself instead of waiting for news that
// never comes.
#include <QString>

#include <functional>
#include <memory>

namespace platform {

enum class FolderWatchResult {
    Watching,  // changes of the folder's entries are reported
    Missing,   // no such folder
    Refused,   // the system's limits on watches (or watchers) are reached
    Remote,    // a network file system: what other computers write there goes unreported
};

class FolderWatcher {
public:
    struct Handlers {
        // Entries of the folder were added, removed or renamed. Called once per
        // folder for the notifications that came together.
        std::function<void(const QString& folder)> changed;
        // The folder's watch ended: it was deleted, moved or unmounted (a moved
        // folder is watched again only under its new name).
        std::function<void(const QString& folder)> gone;
        // Notifications were lost (the system's queue overflowed): any watched
        // folder may have changed.
        std::function<void()> lost;
    };

    virtual ~FolderWatcher() = default;
    virtual void setHandlers(Handlers handlers) = 0;
    // Watching a folder that is watched already answers Watching again; one
    // unwatch ends it.
    virtual FolderWatchResult watch(const QString& folder, QString* reason = nullptr) = 0;
    virtual void unwatch(const QString& folder) = 0;
};

// The system's watcher (inotify).
std::unique_ptr<FolderWatcher> makeFolderWatcher();

}  // namespace platform
