#include "convert/ImportLcq.h"

#include "common/UncName.h"
#include "convert/ImportLog.h"
#include "convert/PeakListCache.h"
#include "filteropts/NumberText.h"
#include "filteropts/OptionString.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/PrivateFolder.h"
#include "platform/Process.h"
#include "platform/UniqueFd.h"
#include "service/Globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <memory>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrelsvc {

namespace {

using namespace filteropts::lcq;

// A field's numeric value as a 16-bit integer of the classic rounding.
double roundedValue(const QString& text) { return std::nearbyint(filteropts::readNumber(text)); }

// Removes the files of the folder, through a descriptor of the folder itself:
// a link in place of the folder is never followed, and links inside it go as
// links.
void emptyFolder(const QString& folder) {
    platform::UniqueFd folderFd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!folderFd || ::fstat(folderFd.get(), &st) != 0 || st.st_uid != ::geteuid()) return;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(folderFd.get()), ::closedir);
    if (!dir) return;
    const int fd = folderFd.release();  // the listing closes it
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_type == DT_DIR) continue;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat entrySt {};
            if (::fstatat(fd, entry->d_name, &entrySt, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(entrySt.st_mode)) continue;
        }
        ::unlinkat(fd, entry->d_name, 0);
    }
}

// <temp>/Sorvex_Tavrel_workspace/<task>, each level a folder of the service's
// account alone; a link found in the place of either is replaced.
QString makeWorkspace(const QString& workspace, const PeakListJobContext& job) {
    const QFileInfo task(workspace);
    const QFileInfo all(task.path());
    QDir().mkpath(all.path());
    QString problem;
    QString folder = platform::privateSubfolder(all.path(), all.fileName(), &problem);
    if (!folder.isEmpty()) folder = platform::privateSubfolder(folder, task.fileName(), &problem);
    if (folder.isEmpty()) throw peakListUnwritable(job, workspace, problem);
    return folder;
}

QStringList dtaFilesByName(const QString& folder) {
    QStringList names;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        if (name.endsWith(QStringLiteral(".dta"), Qt::CaseInsensitive)) names << name;
    // Plain code-unit order: the same list on every run, whatever the folder
    // listing or the locale.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.compare(b) < 0; });
    return names;
}

void copyIntoWorkspace(const QString& from, const QString& to, const PeakListJobContext& job) {
    QFile::remove(to);
    QFile source(from);
    if (source.copy(to)) return;
    if (!QFileInfo::exists(from)) throw platform::Error(platform::errnum::FileNotFound, QStringLiteral("File not found"));
    if (QFileInfo(from).isReadable()) throw peakListUnwritable(job, to, source.errorString());
    throw platform::Error(75, QStringLiteral("Path/File access error"));
}

void runExtractor(const LcqImportRequest& request, const QStringList& arguments) {
    platform::ProcessOptions options;
    options.hidden = true;
    options.workingFolder = request.workspace;
    platform::Process extractor;
    extractor.start(request.extractor, arguments, options);
    // Its exit code says nothing the .dta files do not.
    extractor.waitForFinishedServingEvents(-1, [] { return ShuttingDown; });
}

}  // namespace

QString lcqWorkspace(const QString& tempFolder, long taskNumber) {
    return tempFolder + QStringLiteral("/Sorvex_Tavrel_workspace/") + QString::number(taskNumber);
}

QStringList extractMsnArguments(const QStringList& fields, const QString& dataFile) {
    const auto field = [&](int i) { return fields.value(i); };
    QStringList args;
    const auto flag = [&](int i, const char* letter) {
        if (!field(i).isEmpty()) args << QLatin1String(letter) + field(i);
    };
    flag(FirstScan, "-F");
    flag(LastScan, "-L");
    flag(MinMass, "-B");
    flag(MaxMass, "-T");
    flag(Group, "-M");
    flag(Inter, "-S");
    flag(MinScan, "-G");
    if (!field(Charge).isEmpty() && roundedValue(field(Charge)) > 0) args << QStringLiteral("-C") + field(Charge);
    if (!field(CalcCharge).isEmpty() && filteropts::readNumber(field(CalcCharge)) == 1) args << QStringLiteral("-K");
    if (!field(MinPeaks).isEmpty() && roundedValue(field(MinPeaks)) > 0) args << QStringLiteral("-I") + field(MinPeaks);
    if (!field(Template).isEmpty())
        args << QStringLiteral("-U") + common::modUncName_GetLocalPathFromUnc(field(Template));
    if (!field(AASequence).isEmpty())
        args << QStringLiteral("-Q") + field(AASequence) << QStringLiteral("-Y") + field(AASequence);
    flag(OptString, "-A");
    flag(Threshold, "-E");
    flag(ExtractMSn, "-P");
    args << dataFile;
    return args;
}

QString importLcqFile(const LcqImportRequest& request, const PeakListJobContext& job) {
    bool written = false;
    try {
        makeWorkspace(request.workspace, job);
        emptyFolder(request.workspace);
        copyIntoWorkspace(request.dataPath, QDir(request.workspace).filePath(request.dataFile), job);
        const filteropts::FilterOptions options = filteropts::readFilterOptions(filteropts::kLcq, request.options);
        if (options.replaced)
            importLog(job, EventWarning, QStringLiteral("extract_msn import filter options are out of date, using defaults"));
        runExtractor(request, extractMsnArguments(options.fields, request.dataFile));
        if (ShuttingDown) return QString();

        QFile output;
        openPeakListForWriting(output, job, request.outputPath);
        for (const QString& name : dtaFilesByName(request.workspace)) {
            const QString path = QDir(request.workspace).filePath(name);
            QByteArray block = clsJob_ConvertDtaToQpl(path);
            if (block.isEmpty()) continue;
            // Titled by the .dta file's own name (it tells the scans and the
            // charge), not by the workspace it was read from.
            block.replace("TITLE=" + platform::toCp1252(path) + "\r\n", "TITLE=" + platform::toCp1252(name) + "\r\n");
            if (output.write(block + "\r\n") < 0)
                throw peakListUnwritable(job, request.outputPath, output.errorString());
        }
        if (!output.flush()) throw peakListUnwritable(job, request.outputPath, output.errorString());
        output.close();
        written = true;
    } catch (const std::exception& e) {
        importLogError(job, QStringLiteral("(TVS1032) "), e);
        return QString();
    }
    if (written) {
        emptyFolder(request.workspace);
        ::rmdir(QFile::encodeName(request.workspace).constData());
    }
    return PeakListSizeRule(request.outputPath) ? request.outputPath : QString();
}

}  // namespace tavrelsvc
