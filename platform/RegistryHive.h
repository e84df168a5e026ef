#pragma once
// The registry of this system: one typed hive kept in a human-readable file
// "<ProgramFolder>/registry.hive". Client and service are separate processes,
// so nothing is cached: every read parses the file afresh, and every change is
// made under a lock file on a fresh copy and saved atomically (temporary file,
// then rename), so a reader sees either the old or the new file, never half.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace platform {

// Stored value types, numbered as the callers compare them.
inline constexpr quint32 REG_NONE = 0;
inline constexpr quint32 REG_SZ = 1;
inline constexpr quint32 REG_EXPAND_SZ = 2;
inline constexpr quint32 REG_BINARY = 3;
inline constexpr quint32 REG_DWORD = 4;
inline constexpr quint32 REG_MULTI_SZ = 7;

// How deep keys may nest, the root key counted: what the system registry
// allows. A hive file with deeper keys is damaged; deeper keys are not made.
inline constexpr int kMaxHiveDepth = 512;

// Error codes of the registry calls.
inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_MORE_DATA = 234;
inline constexpr long ERROR_NO_MORE_ITEMS = 259;
inline constexpr long ERROR_BADDB = 1009;
inline constexpr long ERROR_KEY_DELETED = 1018;
inline constexpr long ERROR_TIMEOUT = 1460;

struct HiveValue {
    QString name;     // empty: the key's default value
    quint32 type = REG_NONE;
    QByteArray data;  // exactly the bytes stored; texts are UTF-8 with their terminating NULs
};

// One key. Names of keys and values compare without regard to case and keep
// the case they were created with. Values and sub-keys keep creation order,
// which is the enumeration order.
struct HiveKey {
    QString name;
    QList<HiveValue> values;
    std::vector<HiveKey> subkeys;

    HiveKey* child(const QString& childName);
    const HiveKey* child(const QString& childName) const;
    HiveKey& childOrNew(const QString& childName);
    bool removeChild(const QString& childName);
    HiveValue* value(const QString& valueName);
    const HiveValue* value(const QString& valueName) const;
    bool removeValue(const QString& valueName);

    // Follows a path of key names from this key; nullptr when a key is missing.
    HiveKey* find(const QStringList& path);
};

// The file format (see RegistryHiveFormat.cpp). The top key is nameless; its
// sub-keys are the predefined roots ("HKEY_LOCAL_MACHINE", ...).
QByteArray serializeHive(const HiveKey& top);
// False with a message naming the line and its text when the file is damaged.
bool parseHive(const QByteArray& text, HiveKey& top, QString* error);

class RegistryHive {
public:
    // The hive of the program folder as it is now ($TAVREL_HOME or the executable's folder).
    static QString defaultPath();

    explicit RegistryHive(QString filePath = defaultPath());
    const QString& filePath() const { return path_; }

    // Reads the file afresh into top. A missing file is an empty hive.
    // ERROR_BADDB for a damaged file, ERROR_ACCESS_DENIED for an unreadable one.
    long read(HiveKey& top) const;

    // Locks the hive, reads it afresh and hands it to change. When change
    // answers ERROR_SUCCESS and set changed, the hive is saved before the lock
    // is released. A damaged file is never overwritten (ERROR_BADDB).
    long update(const std::function<long(HiveKey& top, bool& changed)>& change);

    // Text of the last failure of read or update (file, line, cause); empty after success.
    const QString& lastProblem() const { return problem_; }

private:
    long readFile(HiveKey& top) const;
    long save(const HiveKey& top);

    QString path_;
    mutable QString problem_;
};

}  // namespace platform
