#include "common/TaskVocabulary.h"

#include <QHash>

#include <array>
#include <utility>

namespace common {

namespace {

// One table per enum: word() and the parsers both search it, so a value and
// its word can never part.
template <typename E, std::size_t N>
using Spellings = std::array<std::pair<E, QString>, N>;

const Spellings<TaskStatus, 5>& taskStatusWords() {
    static const Spellings<TaskStatus, 5> table{{
        {TaskStatus::New, QStringLiteral("new")},
        {TaskStatus::Running, QStringLiteral("running")},
        {TaskStatus::Paused, QStringLiteral("paused")},
        {TaskStatus::Completed, QStringLiteral("completed")},
        {TaskStatus::Cancelled, QStringLiteral("cancelled")},
    }};
    return table;
}

const Spellings<ScheduleType, 4>& scheduleTypeWords() {
    static const Spellings<ScheduleType, 4> table{{
        {ScheduleType::Now, QStringLiteral("now")},
        {ScheduleType::Timed, QStringLiteral("timed")},
        {ScheduleType::Monitor, QStringLiteral("monitor")},
        {ScheduleType::Follower, QStringLiteral("follower")},
    }};
    return table;
}

const Spellings<FollowUpInterval, 5>& followUpIntervalWords() {
    static const Spellings<FollowUpInterval, 5> table{{
        {FollowUpInterval::Minutes, QStringLiteral("minutes")},
        {FollowUpInterval::Hours, QStringLiteral("hours")},
        {FollowUpInterval::Days, QStringLiteral("days")},
        {FollowUpInterval::Weeks, QStringLiteral("weeks")},
        {FollowUpInterval::Months, QStringLiteral("months")},
    }};
    return table;
}

const Spellings<Request, 4>& requestWords() {
    static const Spellings<Request, 4> table{{
        {Request::Run, QStringLiteral("Run")},
        {Request::Pause, QStringLiteral("Pause")},
        {Request::Resume, QStringLiteral("Resume")},
        {Request::Cancel, QStringLiteral("Cancel")},
    }};
    return table;
}

template <typename E, std::size_t N>
const QString& wordIn(const Spellings<E, N>& table, E value) {
    for (const auto& [listed, spelt] : table)
        if (listed == value) return spelt;
    static const QString none;  // a value cast from outside the enum
    return none;
}

template <typename E, std::size_t N>
std::optional<E> valueIn(const Spellings<E, N>& table, const QString& word) {
    for (const auto& [value, spelt] : table)
        if (spelt == word) return value;
    return std::nullopt;
}

}  // namespace

const QString& word(TaskStatus status) { return wordIn(taskStatusWords(), status); }
const QString& word(ScheduleType type) { return wordIn(scheduleTypeWords(), type); }
const QString& word(FollowUpInterval unit) { return wordIn(followUpIntervalWords(), unit); }
const QString& word(Request request) { return wordIn(requestWords(), request); }

std::optional<TaskStatus> taskStatusOf(const QString& word) { return valueIn(taskStatusWords(), word); }
std::optional<ScheduleType> scheduleTypeOf(const QString& word) { return valueIn(scheduleTypeWords(), word); }
std::optional<FollowUpInterval> followUpIntervalOf(const QString& word) {
    return valueIn(followUpIntervalWords(), word);
}
std::optional<Request> requestOf(const QString& word) { return valueIn(requestWords(), word); }

const QString& refusal(int number) {
    static const QHash<int, QString> texts = [] {
        const std::pair<int, const char*> reasons[] = {
            {9000, "Cannot run a task unless status is new"},
            {9001, "Follow-up task does not exist"},
            {9002, "Follow-up task is not running"},
            {9003, "Follow-up task not defined"},
            {9004, "No data files specified for batch task"},
            {9005, "Cannot find parameter file on disk"},
            {9007, "Cannot find import filter on specified path"},
            {9008, "Analyst import library not found or not registered"},
            {9009, "Attempt to pause a task which is not running"},
            {9010, "Attempt to resume a task which is not paused"},
            {9011, "Attempt to cancel a task which is not paused"},
            {9012, "Data Explorer not found or not registered"},
            {9013, "Cannot have comma or underscore in a task label"},
            {9014, "Sorvex Quellmark not found or not operational"},
            {9015, "Cannot create peak list cache folder"},
            {9016, "TS2Sorvex not found or not operational"},
        };
        QHash<int, QString> byNumber;
        for (const auto& [number, reason] : reasons)
            byNumber.insert(number, QStringLiteral("Error %1: %2").arg(number).arg(QLatin1String(reason)));
        return byNumber;
    }();
    static const QString none;
    const auto found = texts.constFind(number);
    return found == texts.constEnd() ? none : *found;
}

}  // namespace common
