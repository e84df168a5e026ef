#pragma once
// The service's one folder watcher, shared by every "monitor" task. A folder
// is watched once however many tasks look at it, and its notifications go to
// the watches of those tasks. A folder the system refuses to watch is looked
// at by its tasks on every due tick instead; the event log says so once.
#include "platform/FolderWatcher.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <memory>

namespace tavrelsvc {

struct JobFolderWatch;

class FolderWatchHub {
public:
    explicit FolderWatchHub(std::unique_ptr<platform::FolderWatcher> watcher = platform::makeFolderWatcher());
    ~FolderWatchHub();
    FolderWatchHub(const FolderWatchHub&) = delete;
    FolderWatchHub& operator=(const FolderWatchHub&) = delete;

    // The folder's changes now reach `watch` when the answer is Watching.
    platform::FolderWatchResult add(JobFolderWatch& watch, const QString& folder);
    void remove(JobFolderWatch& watch, const QString& folder);
    // Every folder of the watch (its `watched` set).
    void removeAll(JobFolderWatch& watch);

private:
    void changed(const QString& folder);
    void gone(const QString& folder);
    void lost();
    void reportRefusal(const JobFolderWatch& watch, const QString& folder, const QString& reason);

    std::unique_ptr<platform::FolderWatcher> watcher_;
    QHash<QString, QSet<JobFolderWatch*>> subscribers_;  // folder -> the watches it reports to
    bool refusalReported_ = false;
};

}  // namespace tavrelsvc
