#pragma once
// The text a job procedure logs for an error it trapped: its message code,
// the error number, ": " and the description.
#include "platform/Error.h"

#include <QString>

#include <exception>

namespace tavrelsvc {

inline QString jobErrorText(const QString& code, const std::exception& e) { return platform::errorReport(code, e); }

}  // namespace tavrelsvc
