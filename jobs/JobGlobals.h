#pragma once
// The service's long-lived recordset over the whole task table, which the
// jobs use to write their task's status and answers. Start-up opens it on
// TaskDbConnection (openTable of Sorvex_Tavrel_Tasks) before any job exists.
#include "platform/AdoRecordset.h"

namespace tavrelsvc {

inline platform::AdoRecordset TasksRecordset;

}  // namespace tavrelsvc
