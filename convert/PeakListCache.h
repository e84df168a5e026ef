#pragma once
// Where a data file's peak list is cached, and when a file counts as one.
#include "convert/PeakListFormats.h"
#include "platform/Error.h"

#include <QString>

#include <optional>

namespace tavrelsvc {

// The cache file of a data file (or of one sample of it): the data path with
// "\", ":" and "/" turned into "~", ".<sample>" when there is a sample number,
// ".<extension>", cut from the front so that the whole path stays within 255
// characters (and the name within the file system's 255 bytes). Empty when the
// cache folder is too long to hold any name.
QString clsJob_PeakListCacheFileName(const QString& dataPath, const QString& extension,
                                     const QString& peakListCache,
                                     std::optional<qint64> sampleNumber);

// Bytes of the file up to and including its last byte that is not 26 (Ctrl-Z).
// A file shorter than 2 bytes gives 0. A file error is logged as "(TVS1073) "
// with the job's task, label and data file, and the length reached so far
// (0 when it could not be opened) is returned.
qint64 clsJob_TextFileLength(const QString& path, const PeakListJobContext& job);

// The same without the log: throws platform::Error.
qint64 textFileLength(const QString& path);
qint64 textLengthOf(int fd, const QString& path);  // of a file open for reading
// The error of a file that ended before the bytes it was measured to hold.
platform::Error inputPastEndOfFile(const QString& path);

// A converter's output counts as a peak list only when the file exists and
// holds more than 3 bytes.
bool PeakListSizeRule(const QString& path);

}  // namespace tavrelsvc
