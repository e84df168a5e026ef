#pragma once
// A client-side, static recordset with optimistic updates: the rows are read
// at open (and at Requery) and the database is touched again only to store a
// change, so no read lock is held between calls.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {

class AdoConnection;
class Error;

// A new key past the largest 32-bit one.
Error noKeyLeftAfter(qint64 lastKey);

// Field attribute bit: the field allows Null.
inline constexpr long adFldIsNullable = 0x20;

class AdoRecordset {
public:
    enum class EditMode { None, Edit, Add };

    AdoRecordset() = default;

    // The whole table, updatable; the source text is the table name.
    void openTable(AdoConnection& connection, const QString& table);
    // A query; updatable when it reads the columns of one table named here.
    void openQuery(AdoConnection& connection, const QString& sql, const QVariantList& params = {},
                   const QString& updateTable = QString(), int timeoutSeconds = 30);
    void close();
    bool isOpen() const { return connection_ != nullptr; }

    const QString& source() const { return source_; }
    bool eof() const { return position_ >= rows_.size(); }
    bool bof() const { return position_ < 0 || rows_.isEmpty(); }
    int recordCount() const { return static_cast<int>(rows_.size()); }
    EditMode editMode() const { return editMode_; }

    // Moving with a pending change throws; Update or CancelUpdate it first.
    void moveFirst();
    void moveNext();
    void moveLast();

    int fieldCount() const { return static_cast<int>(names_.size()); }
    QString fieldName(int index) const;
    bool hasField(const QString& name) const { return index_.contains(name.toLower()); }
    long fieldAttributes(const QString& name) const;

    // Null is an invalid QVariant. Unknown names throw adoerr::ItemNotFound,
    // no current row adoerr::NoCurrentRecord.
    QVariant value(const QString& name) const;
    QVariant value(int index) const;
    // Starts an edit of the current row unless a new row is being added.
    void setValue(const QString& name, const QVariant& value);

    void addNew();
    void update();
    // Stores the row being added under the larger of `lowest` and the key
    // that `largestKeySql` (a query of one value, the table's largest key)
    // answers plus one; answers that key. On PostgreSQL the largest key is
    // read by the insert itself, on the file engine just before it. A taken
    // key throws as update does (adoerr::DuplicateKey).
    qint32 updateUnderNextKey(const QString& keyColumn, const QString& largestKeySql, qint64 lowest);
    void cancelUpdate();
    void deleteRecord();  // afterwards the recordset stands on the next row
    void requery();       // reads the rows again and moves to the first
    // "column=value", value a number, 'text' or #date#; searches forward from
    // the current row and stops at EOF when nothing matches.
    void find(const QString& criterion);

private:
    void load();
    int fieldIndex(const QString& name) const;
    void requireCurrent() const;
    void requireUpdatable() const;
    void requireNoPendingEdit() const;
    enum class Statement { Once, Repeated };
    int store(const QString& sql, const QVariantList& values, Statement kind = Statement::Once);

    AdoConnection* connection_ = nullptr;
    QString source_;
    QString sql_;
    QVariantList params_;
    QString table_;       // empty: read-only
    QString keyColumn_;   // how a stored row is found again for an update
    int timeout_ = 30;
    QStringList names_;
    QHash<QString, int> index_;  // lower-case name -> position
    QList<bool> nullable_;
    QList<QVariantList> rows_;
    qsizetype position_ = 0;
    EditMode editMode_ = EditMode::None;
    QVariantList buffer_;
    QList<bool> changed_;
};

}  // namespace platform
