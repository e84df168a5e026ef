#pragma once
// What every search step needs of its job to report: the task number, label
// and current data file of its event-log lines.
#include "service/EventLog.h"

#include <QString>

namespace tavrelsvc {

struct SearchJobContext {
    long uID = 0;
    QString task_label = QStringLiteral(" ");
    QString Data_file = QStringLiteral(" ");

    void log(short type, const QString& message) const {
        modGlobal_WriteEventLog(type, uID, task_label, Data_file.isEmpty() ? QStringLiteral(" ") : Data_file, message);
    }
    // The same line with the data file " " (steps that concern the task).
    void logTask(short type, const QString& message) const {
        modGlobal_WriteEventLog(type, uID, task_label, QStringLiteral(" "), message);
    }
};

}  // namespace tavrelsvc
