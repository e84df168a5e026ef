#pragma once
// Watched folders of "monitor" tasks: finding new data items in the watched
// folders, recording each as a Files row, and choosing the next row whose
// item has stopped growing.
//
// The rows in the task database are the memory of what was seen: a job made
// again after a restart takes the items of the task's rows as known, so no
// item gets a second row. With "new files only", what the folders hold when a
// watch starts (a restart included) is recorded and not searched.
//
// Change notifications come from the service's one watcher (FolderWatchHub).
// A notification has its task look again at the folder it names, not at the
// whole tree. Folders without notifications (refused by the system, on a
// network file system, or missing) are looked at on every due tick, and the
// whole tree is walked again now and then all the same (fullWalkSeconds), so
// an item that arrives unnoticed is found.
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace tavrelsvc {

class clsJob;
class FolderWatchHub;

// A set that keeps the order in which items were added.
struct OrderedItems {
    QStringList order;
    QSet<QString> members;

    bool contains(const QString& item) const { return members.contains(item); }
    bool isEmpty() const { return members.isEmpty(); }
    qsizetype size() const { return members.size(); }
    void add(const QString& item) {
        if (!members.contains(item)) members.insert(item), order.append(item);
    }
};

struct JobFolderWatch {
    QSet<QString> KnownFiles;    // local item paths already recorded
    OrderedItems NewFiles;       // local item paths found, not yet recorded
    QSet<QString> RecordedNames; // file_name of every row of the task, as stored

    // The folders, all named without a trailing "/".
    std::shared_ptr<FolderWatchHub> hub;  // null: no notifications, every due tick walks all
    QSet<QString> roots;     // the folders the task's path names, wildcards matched
    QSet<QString> levels;    // with wildcards: the folders whose entries decide the roots
    QSet<QString> folders;   // every folder whose items are collected: the roots, with
                             // sub-folders everything below them
    QSet<QString> watched;   // those of levels and folders whose changes are reported
    QSet<QString> changed;   // of folders, those notified since they were last looked at
    bool rematch = false;    // a level changed: the roots are matched again
    bool lost = false;       // notifications were lost: everything is walked
    QDateTime lastFullWalk;  // job clock; invalid before the first walk
    bool closed = false;     // the task was cancelled
    std::function<void()> wake;  // brings the job's next due tick forward
    qint32 uID = 0;          // the task, for the watcher's report
    QString taskLabel;

    JobFolderWatch();
    ~JobFolderWatch();
    JobFolderWatch(const JobFolderWatch&) = delete;
    JobFolderWatch& operator=(const JobFolderWatch&) = delete;

    // What the watcher reports.
    void noteChanged(const QString& folder);
    void noteGone(const QString& folder);
    void noteLost();
    bool hasNews() const { return rematch || lost || !changed.isEmpty(); }
};

// Local folders report their changes reliably; the whole tree is walked again
// this seldom, for what a notification could still miss. A walk of 100,000
// files costs about half a second of one core: 0.1% of it at this interval.
inline constexpr int kFullWalkSeconds = 600;

struct WatchOptions {
    // Off: no notifications; the folders are walked on every due tick, as for
    // folders where notifications never come.
    bool changeNotifications = true;
    // The service's one watcher; the steps make one for all their jobs when
    // none is given.
    std::shared_ptr<FolderWatchHub> hub;
    int fullWalkSeconds = kFullWalkSeconds;

    static WatchOptions withoutNotifications() {
        WatchOptions options;
        options.changeNotifications = false;
        return options;
    }
    static WatchOptions sharing(std::shared_ptr<FolderWatchHub> hub) {
        WatchOptions options;
        options.hub = std::move(hub);
        return options;
    }
};

// One due tick of a "monitor" task. Leaves job.FilesList() on the chosen row
// (or at its end) and sets the job's next due time. Always true.
bool clsJob_NextMonitoredFile(clsJob& job, const WatchOptions& options = {});

// Ends the folder watch of a cancelled task.
void clsJob_CloseWatch(clsJob& job);

// What a walk asks of its caller; every hook may be empty.
struct FolderWalkHooks {
    // Asked before each sub-folder, after pending events were served; false
    // ends the walk.
    std::function<bool()> keepGoing;
    // Each folder the walk is about to list (so its watch is in place first).
    std::function<void(const QString& folder)> entering;
    // Whether a sub-folder is walked (none: every one).
    std::function<bool(const QString& folder)> descend;
};

// Items of `folder` matching `mask` that `known` lacks are added to
// `newItems`; sub-folders are walked too when asked. Answers the number of
// matching items seen.
qint64 clsJob_CollectNewItems(const QString& folder, const QString& mask, const QSet<QString>& known,
                              OrderedItems& newItems, bool subFolders, bool itemsAreFolders,
                              const FolderWalkHooks& hooks = {});

// The folders that match a path whose components may hold "*" and "?",
// matched one level at a time from the root. `entering` is told every folder
// looked into from the first wildcard on, before it is looked into.
QStringList clsJob_ExpandFolderPattern(const QString& pattern,
                                       const std::function<void(const QString& folder)>& entering = {});

// A folder's name as the watch keeps it: without a trailing "/".
QString folderKey(const QString& folder);
bool folderExists(const QString& folder);

// The folder a change watch is placed on: the path up to the last "/" before
// its first wildcard.
QString watchBaseFolder(const QString& monitorDirectory);

// A name matches a mask as on the instrument computers: "*" and "?"
// wildcards, letter case ignored, "*.*" matching every name.
bool matchesMask(const QString& name, const QString& mask);

// Whether the task's raw data items are folders (some Quellmark formats).
bool clsJob_QuellmarkDataIsFolder(const QString& importFilter, const QString& filterOptions);

}  // namespace tavrelsvc
