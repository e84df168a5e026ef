// One due tick of a "monitor" task: look for new items where they may be,
// record them as Files rows, and choose the next row whose item has kept its
// size for LockedOutDelay seconds.
#include "jobs/JobWatchedFolders.h"

#include "jobs/FolderWatchHub.h"
#include "jobs/JobFolderLook.h"

#include "common/TaskDbTables.h"
#include "common/UncName.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/clsJob.h"
#include "platform/AdoErrors.h"
#include "service/DbRows.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/Preferences.h"
#include "service/TaskDb.h"

#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace tavrelsvc {

namespace {

qint64 monitorDelaySeconds() { return std::max<qint64>(0, MonitorActionDelay); }

int columnIndex(const platform::AdoRecordset& rs, const QString& name) {
    for (int i = 0; i < rs.fieldCount(); ++i)
        if (rs.fieldName(i).compare(name, Qt::CaseInsensitive) == 0) return i;
    throw platform::Error(platform::adoerr::ItemNotFound, QStringLiteral("Item cannot be found in the collection: ") + name);
}

void moveFirstIgnoringErrors(platform::AdoRecordset& rs) {
    try {
        rs.moveFirst();
    } catch (const platform::Error&) {
    }
}

// First due tick: the task's rows are what was seen before, by this job or
// by an earlier run of the service.
std::shared_ptr<JobFolderWatch> startWatch(clsJob& job, const WatchOptions& options) {
    auto watch = std::make_shared<JobFolderWatch>();
    platform::AdoRecordset& files = job.FilesList();
    moveFirstIgnoringErrors(files);
    if (!files.eof()) {
        const int name = columnIndex(files, QStringLiteral("file_name"));
        for (; !files.eof(); files.moveNext()) {
            const QString stored = files.value(name).toString();
            watch->RecordedNames.insert(stored);
            watch->KnownFiles.insert(common::modUncName_GetLocalPathFromUnc(stored));
        }
    }
    if (options.changeNotifications) watch->hub = options.hub;
    watch->uID = job.settings.uID;
    watch->taskLabel = job.settings.task_label;
    QPointer<clsJob> owner(&job);
    watch->wake = [owner] {
        // The next tick of the job looks at what changed.
        if (owner && owner->nextActionTime() > clsJob_Now()) owner->setNextActionTime(clsJob_Now());
    };
    return watch;
}

// New items become rows. False when a row could not be stored: that item
// and the ones after it stay new for the next walk.
bool recordNewItems(clsJob& job, JobFolderWatch& watch, bool searchNone, const QDateTime& now) {
    platform::AdoRecordset& files = job.FilesList();
    const QStringList items = watch.NewFiles.order;
    qsizetype done = 0;
    bool stored = true;
    for (const QString& item : items) {
        const QString unc = common::modUncName_GetUncPath(item);
        if (!watch.RecordedNames.contains(unc)) {
            files.addNew();
            files.setValue(QStringLiteral("task_UID"), job.settings.uID);
            files.setValue(QStringLiteral("file_name"), unc);
            if (searchNone) {
                files.setValue(QStringLiteral("next_action"), jetZeroDate());
            } else {
                const QFileInfo info(item);
                const qint64 size = info.isDir() || info.isFile() ? std::abs(job.GetItemSize(item)) : -1;
                files.setValue(QStringLiteral("next_action"), now);
                files.setValue(QStringLiteral("file_size"), size);
                files.setValue(QStringLiteral("size_checked"), now);
            }
            if (modGlobal_AddRowWithNewKey(files, MaxFileNumberCommand, QStringLiteral("file_number")) == 0) {
                stored = false;
                break;
            }
            watch.RecordedNames.insert(unc);
        }
        watch.KnownFiles.insert(item);
        ++done;
    }
    OrderedItems rest;
    for (qsizetype i = done; i < items.size(); ++i) rest.add(items[i]);
    watch.NewFiles = std::move(rest);
    return stored;
}

// Says what "new files only" left unsearched, so that no item goes unnoticed.
void reportPresentItems(const clsJob& job, qsizetype count) {
    if (count <= 0) return;
    const QString what = count == 1 ? QStringLiteral("1 item already in the watched folder when the watch started is")
                                    : QStringLiteral("%1 items already in the watched folder when the watch started are")
                                          .arg(count);
    modGlobal_WriteEventLog(EventInfo, job.settings.uID, job.settings.task_label, QStringLiteral(" "),
                            what + QStringLiteral(" recorded, not searched (new files only)"));
}

// Leaves the cursor on the first due row whose item has kept its size since
// the last reading, at least LockedOutDelay seconds ago. False when a checked
// size could not be stored.
bool chooseStableRow(clsJob& job, const QDateTime& now) {
    platform::AdoRecordset& files = job.FilesList();
    job.setNextActionTime(now.addDays(1));
    moveFirstIgnoringErrors(files);
    if (files.eof()) return true;
    const int nextAction = columnIndex(files, QStringLiteral("next_action"));
    const int checkedAt = columnIndex(files, QStringLiteral("size_checked"));
    const int fileSize = columnIndex(files, QStringLiteral("file_size"));
    const int fileName = columnIndex(files, QStringLiteral("file_name"));
    const QDateTime zero = jetZeroDate();
    // Most rows of a large watch hold the same next_action (the zero date of
    // a row recorded and not searched, or searched already), and reading a
    // stored date-time costs a parse and a time-zone look-up: a value equal
    // to the last row's is taken as read.
    QVariant lastStored;
    QDateTime due;
    bool isDue = false;
    for (; !files.eof(); files.moveNext()) {
        const QVariant stored = files.value(nextAction);
        if (stored.isNull()) continue;
        if (!lastStored.isValid() || stored.typeId() != lastStored.typeId() || stored != lastStored) {
            lastStored = stored;
            due = stored.toDateTime();
            isDue = due.isValid() && due > zero;
        }
        if (!isDue) continue;
        const QVariant checked = files.value(checkedAt);
        const QDateTime lastCheck = checked.isNull() ? zero : checked.toDateTime();
        if (lastCheck.secsTo(now) <= LockedOutDelay) continue;
        const QString item = common::modUncName_GetLocalPathFromUnc(files.value(fileName).toString());
        if (isSymbolicLink(item)) {  // put in the item's place since it was recorded
            modGlobal_WriteEventLog(EventError, job.settings.uID, job.settings.task_label, QStringLiteral(" "),
                                    files.value(fileName).toString() + kSymbolicLinkMessage);
            files.setValue(QStringLiteral("next_action"), zero);
            if (!modGlobal_UpdateRecord(files)) return false;
            continue;
        }
        const qint64 size = job.GetItemSize(item);
        if (size > 0 && files.value(fileSize).toLongLong() == size) {
            job.setNextActionTime(due);
            return true;
        }
        files.setValue(QStringLiteral("size_checked"), now);
        files.setValue(QStringLiteral("file_size"), std::abs(size));
        if (!modGlobal_UpdateRecord(files)) return false;
    }
    return true;
}

}  // namespace

bool clsJob_NextMonitoredFile(clsJob& job, const WatchOptions& options) {
    const QDateTime now = clsJob_Now();
    try {
        std::shared_ptr<JobFolderWatch> watch = job.FolderWatch;  // kept through the event loop below
        bool watchStarts = false;
        if (job.firstRun() || !watch) {
            watchStarts = job.firstRun();
            watch = startWatch(job, options);
            job.FolderWatch = watch;
        }
        const bool everything = !watch->hub || watch->lost || !watch->lastFullWalk.isValid() ||
                                watch->lastFullWalk.secsTo(now) >= options.fullWalkSeconds;
        if (!lookForNewItems(job, *watch, everything, now)) return true;  // paused, cancelled or shutting down
        if (!watch->NewFiles.isEmpty()) {
            // With new files only, what the folders hold when the watch starts
            // is recorded and never searched; a job made again after a restart
            // starts its watch too. Rows recorded before stay as they were.
            const bool searchNone = watchStarts && job.settings.new_files_only != 0;
            const qsizetype found = watch->NewFiles.size();
            const bool stored = recordNewItems(job, *watch, searchNone, now);
            if (searchNone) reportPresentItems(job, found - watch->NewFiles.size());
            if (!stored) {
                job.setNextActionTime(now.addSecs(monitorDelaySeconds()));
                return true;
            }
        }
        if (!chooseStableRow(job, now)) {
            job.setNextActionTime(now.addSecs(monitorDelaySeconds()));
            return true;
        }
        const QDateTime latest = now.addSecs(monitorDelaySeconds());
        if (job.nextActionTime() > latest) job.setNextActionTime(latest);
        // What was notified while this tick ran is looked at on the next one
        // (not on this one: the row chosen above may not be due yet).
        if (watch->hasNews() && watch->wake) QTimer::singleShot(0, &job, watch->wake);
        return true;
    } catch (const std::exception& e) {
        modGlobal_WriteEventLog(EventError, job.settings.uID, job.settings.task_label, QStringLiteral(" "),
                                jobErrorText(QStringLiteral("(TVS1029) "), e));
        job.setNextActionTime(now.addSecs(monitorDelaySeconds()));
        return true;
    }
}

void clsJob_CloseWatch(clsJob& job) {
    if (!job.FolderWatch) return;
    job.FolderWatch->closed = true;
    if (job.FolderWatch->hub) job.FolderWatch->hub->removeAll(*job.FolderWatch);
    job.FolderWatch.reset();
}

}  // namespace tavrelsvc
