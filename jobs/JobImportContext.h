#pragma once
// What a conversion of the job's current file needs of the job: the event-log
// fields and the search form, the cache file of the current row, and storing
// a made peak list in that row.
#include "convert/PeakListFormats.h"

#include <QString>

namespace tavrelsvc {

class clsJob;

PeakListJobContext jobImportContext(clsJob& job);

// The search form's SEARCH, upper-cased ("MIS", "PMF" ...).
QString jobSearchType(clsJob& job);

// The cache file of the job's current data path (and the current row's
// sample number).
QString jobPeakListCacheFile(clsJob& job, const QString& extension = QStringLiteral("qpl"));

// The current row's peak_list := the path in UNC form, and the row stored;
// false when it could not be stored (reported by the row helper).
bool storeJobPeakList(clsJob& job, const QString& path);

// A peak list the service cannot write into the cache folder (its folder or
// file refuses the service's account): logged with the reason and the task
// paused, the file left to be done once the folder is mended.
void pauseForUnwritablePeakList(clsJob& job, const QString& reason);

// A file that gave no peak list is done: the row's next_action := 0 and the
// next try after NoDataDelay. A row that cannot be stored pauses the task
// (the row helper has said why), so it never stays "running" with nothing
// to wake it.
void retireJobFile(clsJob& job);

}  // namespace tavrelsvc
