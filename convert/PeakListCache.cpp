#include "convert/PeakListCache.h"

#include "convert/PeakListIo.h"
#include "platform/ReplacingFile.h"
#include "platform/SharedFile.h"
#include "platform/UniqueFd.h"
#include "service/EventLog.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrelsvc {

QString clsJob_PeakListCacheFileName(const QString& dataPath, const QString& extension,
                                     const QString& peakListCache,
                                     std::optional<qint64> sampleNumber) {
    QString name = dataPath;
    name.replace(QLatin1Char('\\'), QLatin1Char('~'));
    name.replace(QLatin1Char(':'), QLatin1Char('~'));
    name.replace(QLatin1Char('/'), QLatin1Char('~'));
    if (sampleNumber) name += QLatin1Char('.') + QString::number(*sampleNumber);
    name += QLatin1Char('.') + extension;

    const qsizetype room = 254 - peakListCache.size();
    if (room < 0) return QString();
    if (name.size() > room) name = name.right(room);
    // A name this long would be refused by the file system (255 bytes per
    // name); cut more of its front, keeping sample number and extension.
    while (QFile::encodeName(name).size() > 255) name.remove(0, 1);
    while (name.startsWith(QLatin1Char(' '))) name.remove(0, 1);
    while (name.endsWith(QLatin1Char(' '))) name.chop(1);
    return peakListCache + QLatin1Char('/') + name;
}

platform::Error inputPastEndOfFile(const QString& path) {
    return platform::Error(62, QStringLiteral("Input past end of file (") + path + ')');
}

qint64 textLengthOf(int fd, const QString& path) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw fileError(errno, path);
    if (S_ISDIR(st.st_mode)) throw fileError(EISDIR, path);
    qint64 n = st.st_size;
    if (n < 2) return 0;
    // Walk back from the end in blocks; a long run of end-of-file marks is
    // rare but must not cost one read per byte.
    char block[4096];
    while (n > 0) {
        const qint64 take = n < qint64(sizeof block) ? n : qint64(sizeof block);
        const ssize_t got = ::pread(fd, block, size_t(take), off_t(n - take));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw fileError(errno, path);
        }
        if (got != take) throw inputPastEndOfFile(path);
        for (qint64 i = take - 1; i >= 0; --i) {
            if (block[i] != 26) return n - take + i + 1;
        }
        n -= take;
    }
    return 0;
}

qint64 textFileLength(const QString& path) {
    if (path.isEmpty()) return 0;
    const QByteArray name = QFile::encodeName(path);
    const platform::UniqueFd file(::open(name.constData(), O_RDONLY | O_CLOEXEC));
    if (!file) throw fileError(errno, path);
    return textLengthOf(file.get(), path);
}

qint64 clsJob_TextFileLength(const QString& path, const PeakListJobContext& job) {
    try {
        return textFileLength(path);
    } catch (const platform::Error& e) {
        modGlobal_WriteEventLog(EventError, job.uID, job.task_label, job.Data_file,
                                e.report(QStringLiteral("(TVS1073) ")));
        return 0;
    }
}

platform::Error peakListUnwritable(const PeakListJobContext& job, const QString& path, const QString& reason) {
    job.cannotWritePeakList(path + QStringLiteral(": ") + reason);
    return platform::Error(75, QStringLiteral("Path/File access error (") + path + QStringLiteral(": ") + reason +
                                   QLatin1Char(')'));
}

void openPeakListForWriting(QFile& file, const PeakListJobContext& job, const QString& path) {
    platform::UniqueFd fd = platform::openForWriting(path);
    if (!fd) throw peakListUnwritable(job, path, platform::openFailureText(errno));
    if (!file.open(fd.get(), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        throw peakListUnwritable(job, path, file.errorString());
    fd.release();
}

QString peakListFolderProblem(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder");
    const QString folder = QFileInfo(path).path();
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("the folder cannot be written: ") + platform::openFailureText(errno);
    return QStringLiteral("the converter could not write it");
}

QString placePeakList(const QString& made, const QString& path) {
    if (::rename(QFile::encodeName(made).constData(), QFile::encodeName(path).constData()) == 0) {
        platform::shareWithFolderGroup(path);
        return QString();
    }
    if (errno != EXDEV) return platform::openFailureText(errno);
    // Another file system: copied into a new file renamed over the name.
    QFile from(made);
    if (!from.open(QIODevice::ReadOnly)) return from.errorString();
    platform::ReplacingFile to(path);
    while (to.isOpen() && !from.atEnd()) {
        const QByteArray block = from.read(1 << 20);
        if (block.isEmpty() && from.error() != QFileDevice::NoError) return from.errorString();
        if (!to.write(block)) break;
    }
    if (!to.commit()) return to.errorText();
    from.remove();
    return QString();
}

QString appendToPeakList(const QString& made, const QString& path) {
    QFile from(made);
    if (!from.open(QIODevice::ReadOnly)) return from.errorString();
    const platform::UniqueFd to(platform::openForAppending(path));
    if (!to) return platform::openFailureText(errno);
    while (!from.atEnd()) {
        const QByteArray block = from.read(1 << 20);
        if (block.isEmpty()) return from.errorString();
        for (qsizetype done = 0; done < block.size();) {
            const ssize_t n = ::write(to.get(), block.constData() + done, size_t(block.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return platform::openFailureText(n < 0 ? errno : ENOSPC);
            done += n;
        }
    }
    return QString();
}

bool PeakListSizeRule(const QString& path) {
    if (path.isEmpty()) return false;
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    return ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 3;
}

}  // namespace tavrelsvc
