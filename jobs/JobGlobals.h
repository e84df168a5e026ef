#pragma once
// The jobs write their task's status and answers through the service's
// recordset over the whole task table (TasksRecordset, opened by start-up).
#include "service/TaskDb.h"
