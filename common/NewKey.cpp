#include "common/NewKey.h"

#include "platform/AdoCommand.h"
#include "platform/AdoErrors.h"
#include "platform/AdoRecordset.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace common {

namespace {

// The first tries take the very next key; later ones spread over a few.
constexpr int kExactAttempts = 3;
constexpr int kMaxSpread = 8;

long firstKey(const platform::AdoCommand& nextKeyCommand) {
    try {
        const QVariant largest = nextKeyCommand.executeScalar();
        if (largest.isNull()) return 1;
        return static_cast<long>(largest.toLongLong()) + 1;
    } catch (const platform::Error&) {
        return 1;  // as for an empty table; a taken key then leads to the next one
    }
}

bool commandRuns(const platform::AdoCommand& nextKeyCommand) {
    try {
        nextKeyCommand.executeScalar();
        return true;
    } catch (const platform::Error&) {
        return false;
    }
}

}  // namespace

NewKeyOutcome addRowWithNewKey(platform::AdoRecordset& rs, const platform::AdoCommand& nextKeyCommand,
                               const QString& keyColumn) {
    NewKeyOutcome outcome;
    if (rs.editMode() != platform::AdoRecordset::EditMode::Add) {
        // Setting the key of a stored row would move it under another key.
        outcome.error = platform::Error(platform::adoerr::NoCurrentRecord,
                                        QStringLiteral("The recordset holds no new row to store"));
        return outcome;
    }
    // The store reads the largest key itself (the new-key command's answer
    // plus one, or `lowest` when that is larger), so the first try needs no
    // statement of its own; the largest key is read again only after a
    // collision, to know where to go on from.
    long long lowest = 1;
    bool commandInsert = true;  // false: the command cannot be run inside the insert
    for (int attempt = 0; attempt < kNewKeyAttempts; ++attempt) {
        try {
            if (lowest > std::numeric_limits<qint32>::max()) throw platform::noKeyLeftAfter(lowest - 1);
            if (commandInsert) {
                outcome.key = rs.updateUnderNextKey(keyColumn, nextKeyCommand.commandText(), lowest);
            } else {
                rs.setValue(keyColumn, static_cast<qint32>(lowest));
                rs.update();
                outcome.key = static_cast<long>(lowest);
            }
            return outcome;
        } catch (const platform::Error& e) {
            if (e.number() != platform::adoerr::DuplicateKey) {
                // A command that fails on its own counts as an empty table: the
                // keys are then tried from 1 by the row's own insert.
                if (commandInsert && attempt == 0 && !commandRuns(nextKeyCommand)) {
                    commandInsert = false;
                    --attempt;
                    continue;
                }
                outcome.error = e;
                rs.cancelUpdate();
                return outcome;
            }
        }
        // Another writer took the key. Stepping on by one alone never catches
        // up with several busy writers (they insert faster than a loser steps),
        // so the largest key is read again, and after a few losses the next
        // try lands a little beyond the keys the others are storing just now.
        lowest = std::max(lowest + 1, static_cast<long long>(firstKey(nextKeyCommand)));
        if (attempt >= kExactAttempts) lowest += QRandomGenerator::global()->bounded(kMaxSpread);
    }
    outcome.exhausted = true;
    rs.cancelUpdate();
    return outcome;
}

std::optional<platform::Error> updateAndReread(platform::AdoRecordset& rs) {
    std::optional<platform::Error> failure;
    try {
        rs.update();
    } catch (const platform::Error& e) {
        failure = e;
        rs.cancelUpdate();
    }
    try {
        const QString keyName = rs.fieldName(0);
        const qint32 key = rs.value(0).toInt();
        rs.requery();
        rs.moveFirst();
        rs.find(keyName + QLatin1Char('=') + QString::number(key));
    } catch (const platform::Error&) {
        // No current row to come back to (an empty recordset): it stays where
        // Requery left it.
    }
    return failure;
}

}  // namespace common
