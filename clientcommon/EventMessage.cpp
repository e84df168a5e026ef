#include "clientcommon/EventMessage.h"

#include "clientcommon/ClientClock.h"
#include "common/EventLogLine.h"
#include "common/Secrets.h"
#include "platform/MessageBox.h"

#include <QDateTime>

namespace tavrel {

QString formatEventMessage(long taskNumber, const QString& taskLabel, const QString& dataFile,
                           const QString& message) {
    const QDateTime now = clientNow();
    QString text = common::eventTimeText(now.time()) + QLatin1Char(' ') + common::eventDateText(now.date()) +
                   QStringLiteral("\r\n");
    if (taskNumber > 0)
        text += QStringLiteral("Task:") + QString::number(taskNumber) + QLatin1Char(' ') + taskLabel +
                QStringLiteral("\r\n");
    if (!dataFile.isEmpty()) text += dataFile + QStringLiteral("\r\n");
    return text + message;
}

void modGlobal_ShowEventMessage(short, long taskNumber, const QString& taskLabel, const QString& dataFile,
                                const QString& message) {
    // Reports quote request addresses and server replies; no password may reach the screen.
    platform::MsgBox(common::maskSecrets(formatEventMessage(taskNumber, taskLabel, dataFile, message)),
                     platform::vbOKOnly,
                     QStringLiteral("Sorvex Tavrel"));
}

void modGlobal_WriteEventLog(short severity, long taskNumber, const QString& taskLabel,
                             const QString& dataFile, const QString& message) {
    modGlobal_ShowEventMessage(severity, taskNumber, taskLabel, dataFile, message);
}

}  // namespace tavrel
