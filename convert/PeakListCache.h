#pragma once
// Where a data file's peak list is cached, and when a file counts as one.
#include "convert/PeakListFormats.h"
#include "platform/Error.h"

#include <QFile>
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

// The error of a converter whose peak list cannot be written into the cache
// folder (75, naming the file and the reason); the job is told as well (see
// PeakListJobContext::CannotWritePeakList).
platform::Error peakListUnwritable(const PeakListJobContext& job, const QString& path, const QString& reason);

// Opens a converter's peak list in the cache folder for writing (see
// platform::openForWriting) into `file`; peakListUnwritable is thrown when
// it cannot be.
void openPeakListForWriting(QFile& file, const PeakListJobContext& job, const QString& path);

// Why a peak list cannot be made at the path, as far as this account can
// tell (a folder in its place, a cache folder it may not write ...), for a
// converter program that could only say that it failed.
QString peakListFolderProblem(const QString& path);

// Moves a peak list made elsewhere (in the service's own folder) over the
// cache file's name, replacing whatever stands there, and gives it the cache
// folder's group. Empty, or the system's reason.
QString placePeakList(const QString& made, const QString& path);

// Appends the bytes of a file made elsewhere to the cache file, which is
// made when missing and never written through a link (see
// platform::openForAppending). Empty, or the system's reason.
QString appendToPeakList(const QString& made, const QString& path);

// A converter's output counts as a peak list only when the file exists and
// holds more than 3 bytes.
bool PeakListSizeRule(const QString& path);

}  // namespace tavrelsvc
