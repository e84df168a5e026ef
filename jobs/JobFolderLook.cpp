// Looking for new items of a "monitor" task. The whole tree is walked on the
// first due tick, without notifications on every due tick, and otherwise
// seldom (fullWalkSeconds); in between only the folders that a notification
// named and the folders that have none are listed. A folder is watched before
// it is listed, so an item that arrives while the walk goes on is either
// listed or notified.
#include "jobs/JobFolderLook.h"

#include "jobs/FolderWatchHub.h"
#include "jobs/JobWatchedFolders.h"
#include "jobs/clsJob.h"
#include "service/Globals.h"

#include <QCoreApplication>

namespace tavrelsvc {

JobFolderWatch::JobFolderWatch() = default;

JobFolderWatch::~JobFolderWatch() {
    if (hub) hub->removeAll(*this);
}

void JobFolderWatch::noteChanged(const QString& folder) {
    if (closed) return;
    if (levels.contains(folder)) rematch = true;
    if (folders.contains(folder)) changed.insert(folder);
    if (wake) wake();
}

void JobFolderWatch::noteGone(const QString& folder) {
    watched.remove(folder);  // looked at on every due tick until it is watched again
    noteChanged(folder);
}

void JobFolderWatch::noteLost() {
    if (closed) return;
    lost = true;
    if (wake) wake();
}

namespace {

class Look {
public:
    Look(clsJob& job, JobFolderWatch& watch)
        : job_(job), w_(watch), subFolders_(job.settings.sub_directories != 0),
          itemsAreFolders_(clsJob_QuellmarkDataIsFolder(job.import_filter(), job.settings.filter_options)) {}

    bool everything(const QDateTime& now) {
        w_.changed.clear();
        w_.rematch = w_.lost = false;
        QSet<QString> levels, folders;
        const QStringList roots = matchRoots(levels);
        for (const QString& root : roots) {
            collect(root, folders, {});
            if (stopped_) {
                w_.folders.unite(folders);
                w_.levels.unite(levels);
                w_.lost = true;  // walked again in whole next time
                return false;
            }
        }
        // What is no longer there is no longer watched.
        for (const QString& f : std::as_const(w_.folders))
            if (!folders.contains(f)) unfollow(f);
        for (const QString& f : std::as_const(w_.levels))
            if (!levels.contains(f)) unfollow(f);
        w_.folders = std::move(folders);
        w_.levels = std::move(levels);
        w_.roots = QSet<QString>(roots.begin(), roots.end());
        w_.lastFullWalk = now;
        return true;
    }

    bool changes() {
        bool levelsPolled = false;
        for (const QString& f : std::as_const(w_.levels)) levelsPolled = levelsPolled || !w_.watched.contains(f);
        if ((w_.rematch || levelsPolled) && !rematchRoots()) return false;
        QSet<QString> pending = std::exchange(w_.changed, {});
        for (const QString& f : std::as_const(w_.folders))
            if (!w_.watched.contains(f)) pending.insert(f);
        for (auto it = pending.cbegin(); it != pending.cend(); ++it) {
            const QString& folder = *it;
            if (!w_.folders.contains(folder)) continue;  // dropped meanwhile
            if (!folderExists(folder)) {
                if (!w_.roots.contains(folder)) drop(folder);  // a missing root is looked for again
                continue;
            }
            collect(folder, w_.folders, [this](const QString& sub) { return !w_.folders.contains(sub); });
            if (stopped_) {
                for (; it != pending.cend(); ++it) w_.changed.insert(*it);
                return false;
            }
        }
        return true;
    }

private:
    bool keepGoing() {
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
        stopped_ = ShuttingDown || w_.closed || !job_.mayGoOn();
        return !stopped_;
    }

    void follow(const QString& folder) {
        if (!w_.hub || w_.closed || w_.watched.contains(folder)) return;
        if (w_.hub->add(w_, folder) == platform::FolderWatchResult::Watching) w_.watched.insert(folder);
    }

    void unfollow(const QString& folder) {
        if (w_.watched.remove(folder) && w_.hub) w_.hub->remove(w_, folder);
    }

    // The folder and everything below it are no longer looked at.
    void drop(const QString& folder) {
        const QString below = folder == u"/" ? folder : folder + u'/';
        for (auto it = w_.folders.begin(); it != w_.folders.end();) {
            if (*it == folder || it->startsWith(below)) {
                unfollow(*it);
                it = w_.folders.erase(it);
            } else {
                ++it;
            }
        }
    }

    QStringList matchRoots(QSet<QString>& levels) {
        const QString& directory = job_.settings.monitor_directory;
        if (!directory.contains(u'*') && !directory.contains(u'?')) return {folderKey(directory)};
        return clsJob_ExpandFolderPattern(directory, [&](const QString& f) {
            levels.insert(f);
            follow(f);
        });
    }

    // A level changed (or has no notifications): the roots are matched again;
    // a new root is walked in whole, one gone is dropped.
    bool rematchRoots() {
        w_.rematch = false;
        QSet<QString> levels;
        const QStringList matched = matchRoots(levels);
        for (const QString& f : std::as_const(w_.levels))
            if (!levels.contains(f)) unfollow(f);
        w_.levels = std::move(levels);
        const QSet<QString> roots(matched.begin(), matched.end());
        for (const QString& root : std::as_const(w_.roots))
            if (!roots.contains(root)) drop(root);
        for (const QString& root : roots) {
            if (w_.roots.contains(root)) continue;
            w_.roots.insert(root);
            collect(root, w_.folders, [this](const QString& sub) { return !w_.folders.contains(sub); });
            if (stopped_) {
                w_.lost = true;
                return false;
            }
        }
        w_.roots = roots;
        return true;
    }

    void collect(const QString& folder, QSet<QString>& seen, std::function<bool(const QString&)> descend) {
        FolderWalkHooks hooks;
        hooks.keepGoing = [this] { return keepGoing(); };
        hooks.entering = [this, &seen](const QString& f) {
            seen.insert(f);
            follow(f);
        };
        hooks.descend = std::move(descend);
        clsJob_CollectNewItems(folder, job_.settings.monitor_filename, w_.KnownFiles, w_.NewFiles, subFolders_,
                               itemsAreFolders_, hooks);
    }

    clsJob& job_;
    JobFolderWatch& w_;
    const bool subFolders_;
    const bool itemsAreFolders_;
    bool stopped_ = false;
};

}  // namespace

bool lookForNewItems(clsJob& job, JobFolderWatch& watch, bool everything, const QDateTime& now) {
    Look look(job, watch);
    return everything ? look.everything(now) : look.changes();
}

}  // namespace tavrelsvc
