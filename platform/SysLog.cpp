#include "platform/SysLog.h"

#include <syslog.h>

namespace platform {

bool writeSystemEvent(int eventType, long eventId, const QString& message) {
    int priority = LOG_INFO;
    if (eventType == 1) priority = LOG_ERR;
    else if (eventType == 2) priority = LOG_WARNING;
    openlog(kSysLogIdent, LOG_PID, LOG_DAEMON);
    syslog(priority, "[event %ld] %s", eventId, message.toUtf8().constData());
    closelog();
    return true;
}

}  // namespace platform
