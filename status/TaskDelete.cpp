#include "status/TaskActions.h"

#include "common/PeakListFolders.h"
#include "clientcommon/TaskDatabase.h"
#include "status/TaskStates.h"
#include "platform/AdoConnection.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace tavrel {

namespace {

enum class Removal { Deleted, Busy, Missing };

// All three tables in one transaction: a task is never left half deleted.
Removal deleteRows(platform::AdoConnection& c, qint32 taskUid, QString* label) {
    platform::TransactionGuard transaction(c);
    QSqlQuery q = c.query(QStringLiteral("SELECT task_label FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"), {taskUid},
                          kStatusQueryTimeoutSeconds);
    if (!q.next()) return Removal::Missing;
    *label = q.value(0).toString();
    q.finish();
    const int removed = c.execute(
        QStringLiteral("DELETE FROM Sorvex_Tavrel_Tasks WHERE task_UID = ? "
                       "AND (action_request IS NULL OR action_request = '') "
                       "AND (action_response IS NULL OR action_response = '')"),
        {taskUid}, kStatusQueryTimeoutSeconds);
    if (removed == 0) return Removal::Busy;
    c.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files WHERE task_UID = ?"), {taskUid}, kStatusQueryTimeoutSeconds);
    c.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Results WHERE task_UID = ?"), {taskUid},
              kStatusQueryTimeoutSeconds);
    transaction.commit();
    return Removal::Deleted;
}

}  // namespace

// The folder is taken by its path whether or not the rule would make it
// today: a folder an earlier version made for the task is still the task's.
QString cacheFolderInsideRoot(const QString& peakListRoot, qint32 taskUid, const QString& taskLabel) {
    const QFileInfo info(common::peakListFolder(peakListRoot, taskUid, taskLabel).path);
    if (!info.isDir() || info.isSymLink()) return QString();
    const QString root = QDir(peakListRoot).canonicalPath();
    const QFileInfo real(info.canonicalFilePath());
    if (root.isEmpty() || real.absolutePath() != root) return QString();
    if (real.fileName() != common::peakListFolderName(taskUid, taskLabel)) return QString();
    return real.absoluteFilePath();
}

bool frmMain_DeleteTask(qint32 taskUid, const QString& peakListRoot) {
    QString label;
    switch (deleteRows(TaskDbConnection, taskUid, &label)) {
        case Removal::Missing:
            showTaskNotFound(taskUid, QStringLiteral("delete"));
            return false;
        case Removal::Busy:
            platform::MsgBox(NotValidNowMessage, platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
            return false;
        case Removal::Deleted: break;
    }
    const QString folder = common::peakListFolder(peakListRoot, taskUid, label).path;
    if (!QFileInfo::exists(folder) && !QFileInfo(folder).isSymLink()) return true;
    const QString inside = cacheFolderInsideRoot(peakListRoot, taskUid, label);
    if (!inside.isEmpty()) QDir(inside).removeRecursively();  // errors show as the folder still being there
    if (inside.isEmpty() || QFileInfo::exists(inside))
        platform::MsgBox(QStringLiteral("Unable to delete ") + QDir::toNativeSeparators(folder), platform::vbOKOnly,
                         QStringLiteral("Sorvex Tavrel"));
    return true;
}

}  // namespace tavrel
