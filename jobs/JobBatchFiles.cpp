// Choosing the next row of a fixed file list ("now" and "timed" tasks), and
// the size probe of one data item that every chooser uses.
#include "common/UncName.h"
#include "jobs/JobClock.h"
#include "jobs/JobErrors.h"
#include "jobs/clsJob.h"
#include "platform/UniqueFd.h"
#include "service/DbRows.h"
#include "service/EventLog.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrelsvc {

namespace {

bool canOpenForReading(const QString& path) {
    return platform::UniqueFd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)).valid();
}

}  // namespace

bool isSymbolicLink(const QString& localPath) {
    struct stat st {};
    return ::lstat(QFile::encodeName(localPath).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

qint64 clsJob::GetItemSize(const QString& localPath) {
    qint64 size = 0;
    try {
        const QFileInfo item(localPath);
        QStringList toCheck;
        if (item.isSymLink()) return 0;  // never followed: no data here
        if (item.isDir()) {
            QDirIterator it(localPath, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                toCheck << it.next();
                size += it.fileInfo().size();
            }
        } else if (item.isFile()) {
            toCheck << localPath;
            size = item.size();
        } else {
            return 0;
        }
        for (const QString& path : toCheck)
            if (!canOpenForReading(path)) return -size;
        return size;
    } catch (const std::exception& e) {
        log(EventError, jobErrorText(QStringLiteral("(TVS1066) "), e));
        return size;
    }
}

bool clsJob::rowIsDue() const { return filesList_.value(QStringLiteral("next_action")).toDateTime() > jetZeroDate(); }

// Marks the current row done after its data item was found missing.
bool clsJob::retireCurrentRow(const QString& message) {
    modGlobal_WriteEventLog(EventError, settings.uID, settings.task_label, QStringLiteral(" "),
                            filesList_.value(QStringLiteral("file_name")).toString() + message);
    filesList_.setValue(QStringLiteral("next_action"), jetZeroDate());
    return modGlobal_UpdateRecord(filesList_);
}

FileChoice clsJob::NextBatchFile() {
    try {
        try {
            filesList_.moveFirst();
        } catch (const platform::Error&) {
        }
        const bool takeAsStored = importFilter_ == common::FilterTS2Sorvex;
        while (!filesList_.eof()) {
            if (rowIsDue()) {
                const QDateTime due = filesList_.value(QStringLiteral("next_action")).toDateTime();
                if (takeAsStored) {
                    NextActionTime = due;
                    return FileChoice::Chosen;
                }
                const QString path =
                    common::modUncName_GetLocalPathFromUnc(filesList_.value(QStringLiteral("file_name")).toString());
                if (isSymbolicLink(path)) {
                    if (!retireCurrentRow(kSymbolicLinkMessage)) return FileChoice::Failed;
                } else if (GetItemSize(path) > 0) {
                    NextActionTime = due;
                    return FileChoice::Chosen;
                } else if (!retireCurrentRow(QStringLiteral(" does not exist or is empty"))) {
                    return FileChoice::Failed;
                }
            }
            filesList_.moveNext();
        }
        return FileChoice::Exhausted;
    } catch (const std::exception& e) {
        modGlobal_WriteEventLog(EventError, settings.uID, settings.task_label, QStringLiteral(" "),
                                jobErrorText(QStringLiteral("(TVS1031) "), e));
        return FileChoice::Failed;
    }
}

}  // namespace tavrelsvc
