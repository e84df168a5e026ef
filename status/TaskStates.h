#pragma once
// What the refresh reads of every task row: only the columns that decide a
// task's node and the request exchange, in ascending task_UID.
#include <QList>
#include <QString>
#include <QVariantList>

#include <functional>

namespace platform {
class AdoConnection;
}

namespace tavrel {

inline constexpr int kStatusQueryTimeoutSeconds = 15;

struct TaskState {
    qint32 uid = 0;
    QString label;
    QString status;     // Null read as ""
    QString schedule;   // Null read as ""
    QString computer;
    bool computerNull = true;
    QString request;    // Null read as ""
    QString response;   // Null read as ""

    bool pending() const;
    bool operator==(const TaskState&) const = default;
    // computer_name not Null and equal to this computer's name, ignoring case.
    bool isLocal(const QString& localComputerName) const;
};

QList<TaskState> readTaskStates(platform::AdoConnection& connection);
// One task's state; false when the row is gone.
bool readTaskState(platform::AdoConnection& connection, qint32 uid, TaskState* state);

// Calls `run` once per slice of the keys with the slice's "?,?,..." list for
// an IN clause and the keys as bound values, so a statement never carries
// more values than an engine takes.
void forEachKeySlice(const QList<qint32>& keys,
                     const std::function<void(const QString& marks, const QVariantList& values)>& run);

}  // namespace tavrel
