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
    long long key = firstKey(nextKeyCommand);
    for (int attempt = 0; attempt < kNewKeyAttempts; ++attempt) {
        try {
            if (key > std::numeric_limits<qint32>::max())
                throw platform::Error(platform::errnum::Overflow,
                                      QStringLiteral("Overflow: no 32-bit key is left after %1").arg(key - 1));
            rs.setValue(keyColumn, static_cast<qint32>(key));
            rs.update();
            outcome.key = static_cast<long>(key);
            return outcome;
        } catch (const platform::Error& e) {
            if (e.number() != platform::adoerr::DuplicateKey) {
                outcome.error = e;
                rs.cancelUpdate();
                return outcome;
            }
        }
        // Another writer took the key. Stepping on by one alone never catches
        // up with several busy writers (they insert faster than a loser steps),
        // so the largest key is read again, and after a few losses the next
        // try lands a little beyond the keys the others are storing just now.
        key = std::max(key + 1, static_cast<long long>(firstKey(nextKeyCommand)));
        if (attempt >= kExactAttempts) key += QRandomGenerator::global()->bounded(kMaxSpread);
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
