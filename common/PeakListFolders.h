#pragma once
// Where peak lists go: under the root folder of the setting PeakListRoot one
// folder per task, named by its key and label. The client makes a task's
// folder when it submits the task, the service writes into it, the client's
// delete removes it: all three must build the same name and keep one rule of
// which labels may have a folder.
#include <QString>

#include <optional>

namespace common {

// PeakListRoot when the setting is absent: "qpl" in the program folder.
QString defaultPeakListRoot(const QString& programFolder);

// The longest file name, in bytes of the file system's encoding.
inline constexpr int kFileNameBytes = 255;

// The task's folder name: the key in decimal, one blank and the label as stored.
QString peakListFolderName(qint32 taskUID, const QString& taskLabel);

// PeakListCacheFolder: the root, a separator and the folder name. The label is
// taken as it is; peakListFolder() says whether it may have a folder.
QString PeakListCacheFolder(const QString& peakListRoot, qint32 taskUID, const QString& taskLabel);

// Why a label has no peak-list folder.
enum class PeakListFolderRefusal {
    NoLabel,     // the label is Null
    LeavesRoot,  // a separator, NUL, or a label that is a folder step itself ("." or "..")
    TooLong,     // the folder name is longer than a file name can be
};

struct PeakListFolder {
    // The folder, built as PeakListCacheFolder builds it, also for a refused
    // label (so a caller can name what it will not touch); empty for NoLabel.
    QString path;
    std::optional<PeakListFolderRefusal> refusal;
    bool ok() const { return !refusal; }
};

// The task's folder, or why it has none. Only what could lead out of the root
// or cannot be a name is refused: dots inside a label ("Run 1..3") are fine.
PeakListFolder peakListFolder(const QString& peakListRoot, qint32 taskUID, const std::optional<QString>& taskLabel);

}  // namespace common
