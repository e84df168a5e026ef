#include "common/EventMessage.h"

#include "common/EventLogLine.h"
#include "platform/MessageBox.h"

#include <QDateTime>

namespace tavrel {

QString formatEventMessage(long taskNumber, const QString& taskLabel, const QString& dataFile,
                           const QString& message) {
    QString text = common::eventTimeText(QTime::currentTime()) + QLatin1Char(' ') +
                   common::eventDateText(QDate::currentDate()) + QStringLiteral("\r\n");
    if (taskNumber > 0)
        text += QStringLiteral("Task:") + QString::number(taskNumber) + QLatin1Char(' ') + taskLabel +
                QStringLiteral("\r\n");
    if (!dataFile.isEmpty()) text += dataFile + QStringLiteral("\r\n");
    return text + message;
}

void modGlobal_ShowEventMessage(short, long taskNumber, const QString& taskLabel, const QString& dataFile,
                                const QString& message) {
    platform::MsgBox(formatEventMessage(taskNumber, taskLabel, dataFile, message), platform::vbOKOnly,
                     QStringLiteral("Sorvex Tavrel"));
}

void modGlobal_WriteEventLog(short severity, long taskNumber, const QString& taskLabel,
                             const QString& dataFile, const QString& message) {
    modGlobal_ShowEventMessage(severity, taskNumber, taskLabel, dataFile, message);
}

}  // namespace tavrel
