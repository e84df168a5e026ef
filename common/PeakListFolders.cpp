#include "common/PeakListFolders.h"

#include <QFile>

namespace common {

QString defaultPeakListRoot(const QString& programFolder) { return programFolder + QStringLiteral("/qpl"); }

QString peakListFolderName(qint32 taskUID, const QString& taskLabel) {
    return QString::number(taskUID) + QLatin1Char(' ') + taskLabel;
}

QString PeakListCacheFolder(const QString& peakListRoot, qint32 taskUID, const QString& taskLabel) {
    return peakListRoot + QLatin1Char('/') + peakListFolderName(taskUID, taskLabel);
}

PeakListFolder peakListFolder(const QString& peakListRoot, qint32 taskUID, const std::optional<QString>& taskLabel) {
    if (!taskLabel) return {QString(), PeakListFolderRefusal::NoLabel};
    const QString& label = *taskLabel;
    PeakListFolder folder{PeakListCacheFolder(peakListRoot, taskUID, label), std::nullopt};
    if (label.contains(QLatin1Char('/')) || label.contains(QLatin1Char('\\')) || label.contains(QChar(0)) ||
        label == QLatin1String(".") || label == QLatin1String(".."))
        folder.refusal = PeakListFolderRefusal::LeavesRoot;
    else if (QFile::encodeName(peakListFolderName(taskUID, label)).size() > kFileNameBytes)
        folder.refusal = PeakListFolderRefusal::TooLong;
    return folder;
}

}  // namespace common
