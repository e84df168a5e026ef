#pragma once
// Watched folders of "monitor" tasks: finding new data items in the watched
// folders, recording each as a Files row, and choosing the next row whose
// item has stopped growing.
//
// The rows in the task database are the memory of what was seen: a job made
// again after a restart takes the items of the task's rows as known, so no
// item gets a second row. With "new files only", what the folders hold when a
// watch starts (a restart included) is recorded and not searched. Change notifications only hint that a folder
// changed; the folders are also walked again on the job's ticks, so items
// that arrive unnoticed (network mounts, a service that was stopped) are
// found all the same.
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFileSystemWatcher;

namespace tavrelsvc {

class clsJob;

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
    std::unique_ptr<QFileSystemWatcher> ChangeNotification;  // null: none
    QSet<QString> watchedFolders;
    bool changed = false;        // the watch saw a change since the last walk
    QDateTime lastWalk;          // job clock; invalid before the first walk
    bool closed = false;         // the task was cancelled

    JobFolderWatch();
    ~JobFolderWatch();
    JobFolderWatch(const JobFolderWatch&) = delete;
    JobFolderWatch& operator=(const JobFolderWatch&) = delete;
};

struct WatchOptions {
    // Off: no operating-system notification is used and the folders are
    // walked on every due tick that comes MonitorActionDelay seconds after
    // the last walk (as for folders where notifications never come).
    bool changeNotifications = true;
};

// One due tick of a "monitor" task. Leaves job.FilesList() on the chosen row
// (or at its end) and sets the job's next due time. Always true.
bool clsJob_NextMonitoredFile(clsJob& job, const WatchOptions& options = {});

// Ends the folder watch of a cancelled task.
void clsJob_CloseWatch(clsJob& job);

// Items of `folder` matching `mask` that `known` lacks are added to
// `newItems`; sub-folders are walked too when asked. `keepGoing` is asked
// before each sub-folder (after pending events were served) and ends the walk
// when false. Answers the number of matching items seen. Sub-folders walked
// are added to `foldersSeen` when it is given.
qint64 clsJob_CollectNewItems(const QString& folder, const QString& mask, const QSet<QString>& known,
                              OrderedItems& newItems, bool subFolders, bool itemsAreFolders,
                              const std::function<bool()>& keepGoing = {}, QStringList* foldersSeen = nullptr);

// The folders that match a path whose components may hold "*" and "?",
// matched one level at a time from the root.
QStringList clsJob_ExpandFolderPattern(const QString& pattern);

// The folder a change watch is placed on: the path up to the last "/" before
// its first wildcard.
QString watchBaseFolder(const QString& monitorDirectory);

// A name matches a mask as on the instrument computers: "*" and "?"
// wildcards, letter case ignored, "*.*" matching every name.
bool matchesMask(const QString& name, const QString& mask);

// Whether the task's raw data items are folders (some Quellmark formats).
bool clsJob_QuellmarkDataIsFolder(const QString& importFilter, const QString& filterOptions);

}  // namespace tavrelsvc
