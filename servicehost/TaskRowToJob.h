#pragma once
// What a job takes from its task row. The task start and the start-up recovery
// read the row first, so a column that cannot be converted is an error before
// any job exists; filling the job afterwards cannot fail.
#include "common/TaskRow.h"
#include "common/TaskSettings.h"

#include <QString>

namespace platform {
class AdoRecordset;
}

namespace tavrelsvc {

class clsJob;

struct TaskStart {
    common::TaskSettings settings;  // its paths local to this computer
    QString task_status;
    QString peak_list_cache;
};

// Reads the current row (common::readTaskRow, whose errors it throws) into
// the settings a job runs on.
TaskStart readTaskStart(const platform::AdoRecordset& rs, const QString& peakListCache);

// Gives the new job its task.
void fillJob(clsJob& job, const TaskStart& start);

// A local path of a stored (UNC) path, seen from this computer.
QString localPathOf(const QString& stored);

// Conversions of column values, each throwing platform::Error as the reader does.
using common::requiredText;
using common::toLong;
using common::toShort;

}  // namespace tavrelsvc
