#pragma once
// The operating system's application event log, kept in syslog under the
// service's name. Event types follow the classic numbering (1 error, 2 warning,
// 4 information); the event id goes into the text.
#include <QString>

namespace platform {

inline constexpr const char* kSysLogIdent = "SorvexTavrelService";

// Returns false when the entry could not be written.
bool writeSystemEvent(int eventType, long eventId, const QString& message);

}  // namespace platform
