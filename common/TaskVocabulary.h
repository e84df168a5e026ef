#pragma once
// The words both programs write into and compare in task rows: statuses,
// schedule types, follow-up units, the requests of the client and the answers
// of the service. They are data in a shared database, so each is spelt once,
// in the one table of its enum; code holds the enums and turns them into
// words only where it writes or compares stored text.
#include <QString>

#include <optional>

namespace common {

// task_status
enum class TaskStatus { New, Running, Paused, Completed, Cancelled };

// schedule_type
enum class ScheduleType { Now, Timed, Monitor, Follower };

// fu_interval: the client offers "months" as well, so every reader keeps it.
enum class FollowUpInterval { Minutes, Hours, Days, Weeks, Months };

// action_request, written by the client with action_response Null.
enum class Request { Run, Pause, Resume, Cancel };

// The stored word of each value.
const QString& word(TaskStatus status);
const QString& word(ScheduleType type);
const QString& word(FollowUpInterval unit);
const QString& word(Request request);

// The value a stored word names, compared exactly as the stored words are
// compared everywhere ("Running" or "run" is no word of ours); nothing for
// any other text.
std::optional<TaskStatus> taskStatusOf(const QString& word);
std::optional<ScheduleType> scheduleTypeOf(const QString& word);
std::optional<FollowUpInterval> followUpIntervalOf(const QString& word);
std::optional<Request> requestOf(const QString& word);

// The entry "no choice" of the filter and follow-up task lists, stored as it is shown.
inline const QString NoneChosen = QStringLiteral("--- None ---");

// action_response, written by the service: "OK", "Pending" (a pause waiting for
// the running step) or one of the numbered refusals.
namespace answer {
inline const QString OK = QStringLiteral("OK");
inline const QString Pending = QStringLiteral("Pending");
}  // namespace answer

// The refusal numbered 9000 to 9016 as the service answers it ("Error 9000:
// Cannot run a task unless status is new"); empty for a number that has none
// (9006 is never answered).
const QString& refusal(int number);

}  // namespace common
