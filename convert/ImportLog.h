#pragma once
// The event lines of the import filters: each names the job's task, label and
// data file; an unexpected error is the filter's message code, its number and
// its description.
#include "convert/PeakListFormats.h"
#include "platform/Error.h"
#include "service/EventLog.h"

#include <exception>

namespace tavrelsvc {

inline void importLog(const PeakListJobContext& job, short type, const QString& message) {
    modGlobal_WriteEventLog(type, job.uID, job.task_label, job.Data_file, message);
}

inline void importLogError(const PeakListJobContext& job, const QString& messageCode, const std::exception& e) {
    importLog(job, EventError, platform::errorReport(messageCode, e));
}

}  // namespace tavrelsvc
