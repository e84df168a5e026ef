#pragma once
// Where peak lists go: under the root folder of the setting PeakListRoot one
// folder per task, named by its key and label. The client makes a task's
// folder when it submits the task, the service writes into it, the client's
// delete removes it: all three must build the same name.
#include <QString>

namespace common {

// PeakListRoot when the setting is absent: "qpl" in the program folder.
QString defaultPeakListRoot(const QString& programFolder);

// PeakListCacheFolder: the root, a separator, the key in decimal, one blank
// and the label as stored. The label is taken as it is; callers refuse a label
// that could leave the root before they make or remove the folder.
QString PeakListCacheFolder(const QString& peakListRoot, qint32 taskUID, const QString& taskLabel);

}  // namespace common
