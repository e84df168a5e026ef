#include "jobs/FolderWatchHub.h"

#include "jobs/JobWatchedFolders.h"
#include "service/EventLog.h"

namespace tavrelsvc {

FolderWatchHub::FolderWatchHub(std::unique_ptr<platform::FolderWatcher> watcher) : watcher_(std::move(watcher)) {
    watcher_->setHandlers({[this](const QString& f) { changed(f); }, [this](const QString& f) { gone(f); },
                           [this] { lost(); }});
}

FolderWatchHub::~FolderWatchHub() { watcher_->setHandlers({}); }

platform::FolderWatchResult FolderWatchHub::add(JobFolderWatch& watch, const QString& folder) {
    const auto it = subscribers_.find(folder);
    if (it != subscribers_.end()) {
        it->insert(&watch);
        return platform::FolderWatchResult::Watching;
    }
    QString reason;
    const platform::FolderWatchResult result = watcher_->watch(folder, &reason);
    if (result == platform::FolderWatchResult::Watching) subscribers_[folder].insert(&watch);
    else if (result == platform::FolderWatchResult::Refused) reportRefusal(watch, folder, reason);
    return result;
}

void FolderWatchHub::remove(JobFolderWatch& watch, const QString& folder) {
    const auto it = subscribers_.find(folder);
    if (it == subscribers_.end()) return;
    it->remove(&watch);
    if (!it->isEmpty()) return;
    subscribers_.erase(it);
    watcher_->unwatch(folder);
}

void FolderWatchHub::removeAll(JobFolderWatch& watch) {
    for (const QString& folder : std::as_const(watch.watched)) remove(watch, folder);
    watch.watched.clear();
}

void FolderWatchHub::changed(const QString& folder) {
    const auto it = subscribers_.constFind(folder);
    if (it == subscribers_.constEnd()) return;
    for (JobFolderWatch* watch : QSet<JobFolderWatch*>(*it)) watch->noteChanged(folder);
}

void FolderWatchHub::gone(const QString& folder) {
    const QSet<JobFolderWatch*> watches = subscribers_.take(folder);
    for (JobFolderWatch* watch : watches) watch->noteGone(folder);
}

void FolderWatchHub::lost() {
    QSet<JobFolderWatch*> all;
    for (const auto& watches : std::as_const(subscribers_)) all.unite(watches);
    for (JobFolderWatch* watch : all) watch->noteLost();
}

// Once per service run: the folders concerned are still found, only later.
void FolderWatchHub::reportRefusal(const JobFolderWatch& watch, const QString& folder, const QString& reason) {
    if (refusalReported_) return;
    refusalReported_ = true;
    modGlobal_WriteEventLog(EventWarning, watch.uID, watch.taskLabel, QStringLiteral(" "),
                            QStringLiteral("Folder change notifications are refused for %1 (%2); folders without "
                                           "them are scanned every MonitorActionDelay seconds instead")
                                .arg(folder, reason));
}

}  // namespace tavrelsvc
