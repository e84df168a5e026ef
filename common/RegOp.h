#pragma once
// One registry key: opened (or created) under a root, named values read and
// written with type coercion, values and sub-keys listed, values and keys
// deleted. Values read are kept in a cache until the next open or change.
//
// Values are QVariant: an invalid QVariant is the empty result; a REG_DWORD
// reads as qint32; REG_SZ / REG_EXPAND_SZ as QString; REG_MULTI_SZ as one
// QString with embedded NULs, or a QStringList with option bit 2.
#include "platform/RegistryApi.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace common {

struct RegValueRow {
    QString name;
    QVariant value;
};
// Rows in the registry's enumeration order; empty means "no table".
using RegValueTable = QList<RegValueRow>;

class RegOp {
public:
    // Option bits.
    static constexpr int NumbersAsText = 1;
    static constexpr int MultiStringAsArray = 2;
    static constexpr int ExpandEnvironmentStrings = 4;
    static constexpr int ShowErrors = 8;

    RegOp();
    ~RegOp();
    RegOp(const RegOp&) = delete;
    RegOp& operator=(const RegOp&) = delete;

    // A different root reopens the key under it when a key path is set.
    void Root(platform::HKEY root);
    platform::HKEY Root() const { return root_; }
    // An empty path is ignored; a path that differs other than in letter case reopens the key.
    void Key(const QString& path);
    const QString& Key() const { return path_; }
    // Taken only between 0 and 15.
    void Options(int options);
    int Options() const { return options_; }

    // Writes one value; an empty name is the key's default value, an empty
    // (invalid) value writes nothing. An existing value keeps its type: a text
    // over a REG_DWORD must convert to a number, else platform::Error 13 (type
    // mismatch) or 6 (overflow) is thrown. Answers false when the key cannot be
    // opened or the write fails, so callers can tell a lost write.
    bool Value(const QString& valueName, const QVariant& value);
    // The value of that name, or the empty result.
    QVariant Value(const QString& valueName);

    RegValueTable AllValues();
    QStringList AllKeys();
    bool DeleteValue(const QString& valueName);
    // Deletes the last component of the key path with everything below it;
    // the key path becomes the parent's.
    bool DeleteKey();
    long ValueCount();
    long KeyCount();

private:
    bool EnsureKeyOpen();
    void CloseKey();
    bool OpenKey(platform::HKEY root, const QString& path);
    void ReadCounts();
    void ClearCache();
    void LoadValueCache(const QString& path = QString());
    QVariant DecodeValue(quint32 type, const QByteArray& data) const;
    long WriteValue(const QString& valueName, const QVariant& value);
    void ReportRegistryError(const QString& text) const;
    const QVariant* Cached(const QString& valueName) const;

    static QByteArray TrimAtNull(const QByteArray& data);
    static QByteArray TrimAtDoubleNull(const QByteArray& data);
    static QString ExpandEnvironment(const QString& text);
    static bool CanDeleteTree();
    static bool HasEnvironmentReference(const QString& text);
    static bool IsWindowsNT();

    platform::HKEY root_ = platform::HKEY_CURRENT_USER;
    QString path_;
    int options_ = 0;
    quint32 wantedAccess_ = 0;
    quint32 openAccess_ = 0;
    platform::RegKeyHandle key_;
    bool isNT_ = false;
    quint32 subKeyCount_ = 0, valueCount_ = 0, longestSubKey_ = 0, longestValueName_ = 0, longestData_ = 0;
    RegValueTable cache_;
};

// The conversions the class applies, also used by the settings readers:
// text of a value (platform::Error 13 for an array) and a 32-bit number of a
// value (a text must hold a number; fractions round half to even; Error 13 or 6).
QString regValueToText(const QVariant& value);
qint32 regValueToLong(const QVariant& value);

}  // namespace common
