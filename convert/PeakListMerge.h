#pragma once
// Merging the peak lists of a task's files into one generic peak list, the
// part of the merge that needs no job: which file of a row is taken in which
// format, and the concatenation itself.
#include "convert/PeakListFormats.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace tavrelsvc {

inline const QString kMergeFileName = QStringLiteral("sorvex_tavrel_merge.qpl");

// The merged list opens with this line, so the server reads it as generic
// whatever FORMAT the task's parameter set names for its own files.
inline constexpr const char* kGenericFormatHeader = "FORMAT=Sorvex generic";

struct MergeInput {
    QString path;    // local path
    QString format;  // FORMAT value naming the reader
};

// The merge file of a cache folder: "<folder>/sorvex_tavrel_merge.qpl".
QString mergeFilePath(const QString& peakListCache);

// The input a Files row gives, or nothing when the row is left out. Paths are
// local already (UNC paths converted back by the caller); `peakList` is the
// row's `peak_list` (empty when Null), `fileName` its `file_name`, `formFormat`
// the search form's FORMAT value (empty when absent).
std::optional<MergeInput> mergeInputForRow(const QString& peakList, const QString& fileName,
                                           const QString& importFilter, const QString& formFormat);

enum class MergeOutcome {
    Completed,  // every input was taken; the merge file is complete
    Stopped,    // shut-down or the caller's stop request; the file is partial
    Failed,     // the merge file could not be created or written (logged)
};

struct MergeProgress {
    qsizetype index = 0;  // inputs done, 1 after the first
    qsizetype total = 0;
    QString path;
    PeakListReadResult result;
};

// Writes every input, in order, into `mergePath` (created anew). An input
// that adds no spectrum is named in a warning. Pending events are served
// after the first input and then between inputs every few milliseconds;
// after each input the service's shut-down flag and `stopRequested` (e.g. a
// pause request) can stop the merge.
MergeOutcome mergePeakLists(const QString& mergePath, const QList<MergeInput>& inputs,
                            const PeakListJobContext& job,
                            const std::function<bool()>& stopRequested = {},
                            const std::function<void(const MergeProgress&)>& progress = {});

}  // namespace tavrelsvc
