#pragma once
// The words both programs write into and compare in task rows: statuses,
// schedule types, follow-up units, the requests of the client and the answers
// of the service. They are data in a shared database, so each is spelt once.
#include <QString>

namespace common {

// task_status
namespace taskstatus {
inline const QString New = QStringLiteral("new");
inline const QString Running = QStringLiteral("running");
inline const QString Paused = QStringLiteral("paused");
inline const QString Completed = QStringLiteral("completed");
inline const QString Cancelled = QStringLiteral("cancelled");
}  // namespace taskstatus

// schedule_type
namespace schedule {
inline const QString Now = QStringLiteral("now");
inline const QString Timed = QStringLiteral("timed");
inline const QString Monitor = QStringLiteral("monitor");
inline const QString Follower = QStringLiteral("follower");
}  // namespace schedule

// fu_interval: the client offers "months" as well, so every reader keeps it.
namespace fuinterval {
inline const QString Minutes = QStringLiteral("minutes");
inline const QString Hours = QStringLiteral("hours");
inline const QString Days = QStringLiteral("days");
inline const QString Weeks = QStringLiteral("weeks");
inline const QString Months = QStringLiteral("months");
}  // namespace fuinterval

// The entry "no choice" of the filter and follow-up task lists, stored as it is shown.
inline const QString NoneChosen = QStringLiteral("--- None ---");

// action_request, written by the client with action_response Null.
namespace request {
inline const QString Run = QStringLiteral("Run");
inline const QString Pause = QStringLiteral("Pause");
inline const QString Resume = QStringLiteral("Resume");
inline const QString Cancel = QStringLiteral("Cancel");
}  // namespace request

// action_response, written by the service: "OK", "Pending" (a pause waiting for
// the running step) or one of the numbered refusals. 9006 is never answered.
namespace answer {
inline const QString OK = QStringLiteral("OK");
inline const QString Pending = QStringLiteral("Pending");
inline const QString E9000 = QStringLiteral("Error 9000: Cannot run a task unless status is new");
inline const QString E9001 = QStringLiteral("Error 9001: Follow-up task does not exist");
inline const QString E9002 = QStringLiteral("Error 9002: Follow-up task is not running");
inline const QString E9003 = QStringLiteral("Error 9003: Follow-up task not defined");
inline const QString E9004 = QStringLiteral("Error 9004: No data files specified for batch task");
inline const QString E9005 = QStringLiteral("Error 9005: Cannot find parameter file on disk");
inline const QString E9007 = QStringLiteral("Error 9007: Cannot find import filter on specified path");
inline const QString E9008 = QStringLiteral("Error 9008: Analyst import library not found or not registered");
inline const QString E9009 = QStringLiteral("Error 9009: Attempt to pause a task which is not running");
inline const QString E9010 = QStringLiteral("Error 9010: Attempt to resume a task which is not paused");
inline const QString E9011 = QStringLiteral("Error 9011: Attempt to cancel a task which is not paused");
inline const QString E9012 = QStringLiteral("Error 9012: Data Explorer not found or not registered");
inline const QString E9013 = QStringLiteral("Error 9013: Cannot have comma or underscore in a task label");
inline const QString E9014 = QStringLiteral("Error 9014: Sorvex Quellmark not found or not operational");
inline const QString E9015 = QStringLiteral("Error 9015: Cannot create peak list cache folder");
inline const QString E9016 = QStringLiteral("Error 9016: TS2Sorvex not found or not operational");
}  // namespace answer

// Exact comparisons, as the stored words are compared everywhere.
bool isTaskStatus(const QString& word);
bool isScheduleType(const QString& word);
bool isFollowUpInterval(const QString& word);

}  // namespace common
