#include "common/PeakListFolders.h"

namespace common {

QString defaultPeakListRoot(const QString& programFolder) { return programFolder + QStringLiteral("/qpl"); }

QString PeakListCacheFolder(const QString& peakListRoot, qint32 taskUID, const QString& taskLabel) {
    return peakListRoot + QLatin1Char('/') + QString::number(taskUID) + QLatin1Char(' ') + taskLabel;
}

}  // namespace common
