#pragma once
// The rules both programs share for storing task-database rows: a new row
// takes the largest key plus one, and the next key when another writer took
// that one; a stored change is re-read with the recordset put back on its row.
// The client and the service each report the outcome in their own way.
#include "platform/Error.h"

#include <optional>

namespace platform {
class AdoCommand;
class AdoRecordset;
}  // namespace platform

namespace common {

inline constexpr int kNewKeyAttempts = 100;

struct NewKeyOutcome {
    long key = 0;                          // non-zero: the row is stored under it
    bool exhausted = false;                // every attempt met a taken key
    std::optional<platform::Error> error;  // a failure other than a taken key
};

// `rs` stands on a row being added with its other fields set. On failure the
// new row is cancelled. Only a duplicate key leads to the next attempt, with
// the larger of the next key and the largest key read again plus one (after
// three such losses, plus a small random step, so that a writer that keeps
// losing the race still gets its row stored).
NewKeyOutcome addRowWithNewKey(platform::AdoRecordset& rs, const platform::AdoCommand& nextKeyCommand,
                               const QString& keyColumn);

// Stores the change of the current row (cancelled when that fails), then
// re-reads the recordset and finds the row again by its first field.
// Answers the store's error, if any.
std::optional<platform::Error> updateAndReread(platform::AdoRecordset& rs);

}  // namespace common
