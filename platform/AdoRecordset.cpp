#include "platform/AdoRecordset.h"

#include "platform/AdoConnection.h"
#include "platform/AdoErrors.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlRecord>

#include <algorithm>
#include <limits>

namespace platform {

namespace {

bool isPlainIdentifier(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

QString quoted(const QString& identifier) {
    QString inner = identifier;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

Error readOnlyError() {
    return Error(adoerr::ReadOnly, QStringLiteral("The recordset is read-only: it was not opened on one table"));
}

// The value of a Find criterion: 'text' (quote doubled inside), #date# or a number.
QVariant criterionValue(const QString& text, const QString& criterion) {
    if (text.size() >= 2 && text.startsWith(QLatin1Char('\'')) && text.endsWith(QLatin1Char('\''))) {
        QString inner = text.mid(1, text.size() - 2);
        return inner.replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    if (text.size() >= 2 && text.startsWith(QLatin1Char('#')) && text.endsWith(QLatin1Char('#'))) {
        const QDateTime dt = QDateTime::fromString(text.mid(1, text.size() - 2), Qt::ISODate);
        if (dt.isValid()) return dt;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (ok) return number;
    throw Error(adoerr::InvalidArgument, QStringLiteral("Invalid Find criterion: %1").arg(criterion));
}

bool matches(const QVariant& field, const QVariant& wanted) {
    if (field.isNull()) return false;
    if (wanted.typeId() == QMetaType::Double) {
        bool ok = false;
        const double v = field.toDouble(&ok);
        return ok && v == wanted.toDouble();
    }
    if (wanted.typeId() == QMetaType::QDateTime) return field.toDateTime() == wanted.toDateTime();
    return field.toString().compare(wanted.toString(), Qt::CaseInsensitive) == 0;
}

}  // namespace

void AdoRecordset::openTable(AdoConnection& connection, const QString& table) {
    if (!isPlainIdentifier(table))
        throw Error(adoerr::InvalidArgument, QStringLiteral("Invalid table name: %1").arg(table));
    // In key order, as a table opened by its primary index reads.
    const QString key = connection.primaryKeyColumn(table);
    QString sql = QStringLiteral("SELECT * FROM ") + table;
    if (!key.isEmpty()) sql += QStringLiteral(" ORDER BY ") + quoted(key);
    openQuery(connection, sql, {}, table);
    source_ = table;
}

void AdoRecordset::openQuery(AdoConnection& connection, const QString& sql, const QVariantList& params,
                             const QString& updateTable, int timeoutSeconds) {
    close();
    if (!updateTable.isEmpty() && !isPlainIdentifier(updateTable))
        throw Error(adoerr::InvalidArgument, QStringLiteral("Invalid table name: %1").arg(updateTable));
    AdoConnection* c = &connection;
    sql_ = sql;
    params_ = params;
    timeout_ = timeoutSeconds;
    connection_ = c;
    try {
        load();
        if (!updateTable.isEmpty()) {
            const auto columns = c->columns(updateTable);
            for (const auto& col : columns) {
                const int i = index_.value(col.name.toLower(), -1);
                if (i >= 0) nullable_[i] = col.nullable;
            }
            keyColumn_ = c->primaryKeyColumn(updateTable);
            if (keyColumn_.isEmpty() && !names_.isEmpty()) keyColumn_ = names_.first();
            if (!hasField(keyColumn_))
                throw Error(adoerr::InvalidArgument,
                            QStringLiteral("The query must read the key column %1 to update %2")
                                .arg(keyColumn_, updateTable));
            table_ = updateTable;
        }
    } catch (...) {
        close();
        throw;
    }
    source_ = sql;
}

void AdoRecordset::close() {
    connection_ = nullptr;
    source_.clear();
    table_.clear();
    keyColumn_.clear();
    names_.clear();
    index_.clear();
    nullable_.clear();
    rows_.clear();
    position_ = 0;
    editMode_ = EditMode::None;
    buffer_.clear();
    changed_.clear();
}

void AdoRecordset::load() {
    QSqlQuery q = connection_->query(sql_, params_, timeout_);
    const QSqlRecord record = q.record();
    names_.clear();
    index_.clear();
    for (int i = 0; i < record.count(); ++i) {
        names_.append(record.fieldName(i));
        index_.insert(record.fieldName(i).toLower(), i);
    }
    if (nullable_.size() != names_.size()) nullable_ = QList<bool>(names_.size(), true);
    rows_.clear();
    while (q.next()) {
        QVariantList row;
        row.reserve(names_.size());
        for (int i = 0; i < names_.size(); ++i) row.append(connection_->fromDatabase(q.value(i)));
        rows_.append(std::move(row));
    }
    q.finish();
    position_ = 0;
    editMode_ = EditMode::None;
}

QString AdoRecordset::fieldName(int index) const {
    if (index < 0 || index >= names_.size())
        throw Error(adoerr::ItemNotFound,
                    QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                   "name or ordinal."));
    return names_[index];
}

int AdoRecordset::fieldIndex(const QString& name) const {
    const int i = index_.value(name.toLower(), -1);
    if (i < 0)
        throw Error(adoerr::ItemNotFound,
                    QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                                   "name or ordinal. (%1)")
                        .arg(name));
    return i;
}

long AdoRecordset::fieldAttributes(const QString& name) const {
    return nullable_[fieldIndex(name)] ? adFldIsNullable : 0;
}

void AdoRecordset::requireCurrent() const {
    if (!connection_) throw Error(adoerr::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    if (editMode_ == EditMode::Add) return;
    if (position_ < 0 || position_ >= rows_.size())
        throw Error(adoerr::NoCurrentRecord,
                    QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

void AdoRecordset::requireNoPendingEdit() const {
    // Moving away would lose the change; the caller stores or cancels it first.
    if (editMode_ != EditMode::None)
        throw Error(adoerr::ErrorsInCommand, QStringLiteral("A change of the current row is pending: call Update or CancelUpdate first"));
}

void AdoRecordset::requireUpdatable() const {
    if (!connection_) throw Error(adoerr::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    if (table_.isEmpty()) throw readOnlyError();
}

QVariant AdoRecordset::value(const QString& name) const { return value(fieldIndex(name)); }

QVariant AdoRecordset::value(int index) const {
    fieldName(index);
    requireCurrent();
    return editMode_ == EditMode::None ? rows_[position_][index] : buffer_[index];
}

void AdoRecordset::setValue(const QString& name, const QVariant& value) {
    const int i = fieldIndex(name);
    requireUpdatable();
    requireCurrent();
    if (editMode_ == EditMode::None) {
        buffer_ = rows_[position_];
        changed_ = QList<bool>(names_.size(), false);
        editMode_ = EditMode::Edit;
    }
    buffer_[i] = value;
    changed_[i] = true;
}

void AdoRecordset::moveFirst() {
    requireNoPendingEdit();
    position_ = 0;
}

void AdoRecordset::moveNext() {
    requireNoPendingEdit();
    if (position_ < rows_.size()) ++position_;
}

void AdoRecordset::moveLast() {
    requireNoPendingEdit();
    position_ = rows_.isEmpty() ? 0 : rows_.size() - 1;
}

void AdoRecordset::addNew() {
    requireUpdatable();
    cancelUpdate();
    buffer_ = QVariantList(names_.size());
    changed_ = QList<bool>(names_.size(), false);
    editMode_ = EditMode::Add;
}

void AdoRecordset::cancelUpdate() {
    editMode_ = EditMode::None;
    buffer_.clear();
    changed_.clear();
}

void AdoRecordset::update() {
    if (editMode_ == EditMode::None) return;
    requireUpdatable();
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < names_.size(); ++i) {
        if (!changed_[i]) continue;
        columns.append(quoted(names_[i]));
        values.append(buffer_[i]);
    }
    const int key = fieldIndex(keyColumn_);
    if (editMode_ == EditMode::Add) {
        if (columns.isEmpty()) throw Error(adoerr::RequiredValueMissing, QStringLiteral("The new row has no values"));
        const QString placeholders = QStringList(QList<QString>(columns.size(), QStringLiteral("?"))).join(u',');
        store(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table_, columns.join(u','), placeholders),
              values, Statement::Repeated);
        rows_.append(buffer_);
        position_ = rows_.size() - 1;
    } else if (!columns.isEmpty()) {
        QStringList sets;
        for (const QString& c : columns) sets.append(c + QStringLiteral(" = ?"));
        values.append(rows_[position_][key]);
        const int affected =
            store(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(table_, sets.join(u','), quoted(names_[key])),
                  values);
        if (affected == 0)
            throw Error(adoerr::RowNotFound,
                        QStringLiteral("Row cannot be located for updating: %1 = %2 is no longer in %3")
                            .arg(names_[key], rows_[position_][key].toString(), table_));
        rows_[position_] = buffer_;
    }
    cancelUpdate();
}

int AdoRecordset::store(const QString& sql, const QVariantList& values, Statement kind) {
    StatementSavepoint savepoint(*connection_, timeout_);
    // The insert of a new row is the same text row after row: kept prepared.
    const int affected = kind == Statement::Repeated ? connection_->executePrepared(sql, values, timeout_)
                                                     : connection_->execute(sql, values, timeout_);
    savepoint.release();
    return affected;
}

Error noKeyLeftAfter(qint64 lastKey) {
    return Error(errnum::Overflow, QStringLiteral("Overflow: no 32-bit key is left after %1").arg(lastKey));
}

qint32 AdoRecordset::updateUnderNextKey(const QString& keyColumn, const QString& largestKeySql, qint64 lowest) {
    if (editMode_ != EditMode::Add)
        throw Error(adoerr::NoCurrentRecord, QStringLiteral("The recordset holds no new row to store"));
    requireUpdatable();
    const int key = fieldIndex(keyColumn);
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < names_.size(); ++i) {
        if (!changed_[i] || i == key) continue;
        columns.append(quoted(names_[i]));
        values.append(buffer_[i]);
    }
    columns.append(quoted(names_[key]));
    QString placeholders = QStringList(QList<QString>(columns.size() - 1, QStringLiteral("?"))).join(u',');
    if (!placeholders.isEmpty()) placeholders += QLatin1Char(',');
    qint32 storedKey = 0;
    if (connection_->engine() == AdoConnection::Engine::Postgres) {
        // The largest key is read by the insert itself, so no other writer
        // can take the key between the reading and the storing: only inserts
        // running at the same moment meet, and the later one fails as a
        // taken key. One round trip per try.
        values.append(lowest);
        const QString sql =
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3GREATEST(CAST(? AS BIGINT), COALESCE((%4), 0) + 1)) "
                           "RETURNING %5")
                .arg(table_, columns.join(u','), placeholders, largestKeySql, quoted(names_[key]));
        StatementSavepoint savepoint(*connection_, timeout_);
        storedKey = connection_->scalarPrepared(sql, values, timeout_).toInt();
        savepoint.release();
    } else {
        // The file engine lets one writer at a time store: reading the
        // largest key first costs nothing there, and a write lock taken by a
        // statement that read first is taken later than it need be.
        const QVariant largest = connection_->scalarPrepared(largestKeySql, {}, timeout_);
        const qint64 next = std::max(lowest, (largest.isNull() ? 0 : largest.toLongLong()) + 1);
        if (next > std::numeric_limits<qint32>::max()) throw noKeyLeftAfter(next - 1);
        values.append(qint32(next));
        connection_->executePrepared(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3?)").arg(table_, columns.join(u','), placeholders), values,
            timeout_);
        storedKey = qint32(next);
    }
    buffer_[key] = storedKey;
    rows_.append(buffer_);
    position_ = rows_.size() - 1;
    cancelUpdate();
    return storedKey;
}

void AdoRecordset::deleteRecord() {
    requireUpdatable();
    cancelUpdate();
    requireCurrent();
    const int key = fieldIndex(keyColumn_);
    store(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table_, quoted(names_[key])), {rows_[position_][key]});
    rows_.removeAt(position_);
}

void AdoRecordset::requery() {
    if (!connection_) throw Error(adoerr::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    cancelUpdate();
    load();
}

void AdoRecordset::find(const QString& criterion) {
    static const QRegularExpression re(QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*(.*?)\\s*$"));
    const auto m = re.match(criterion);
    if (!m.hasMatch()) throw Error(adoerr::InvalidArgument, QStringLiteral("Invalid Find criterion: %1").arg(criterion));
    const int column = fieldIndex(m.captured(1));
    const QVariant wanted = criterionValue(m.captured(2), criterion);
    requireNoPendingEdit();
    while (position_ < rows_.size() && !matches(rows_[position_][column], wanted)) ++position_;
}

}  // namespace platform
