#pragma once
// The registry calls the programs make, over the hive of the program folder
// (RegistryHive.h). They answer the classic error codes (ERROR_SUCCESS,
// ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_MORE_DATA,
// ERROR_NO_MORE_ITEMS, ERROR_BADDB for a damaged hive file ...).
//
// Names are QString; value data are the stored bytes. Texts are stored as
// UTF-8 with their terminating NUL (the system code page here), so paths with
// any characters survive. Data are returned the classic way: with data null
// only the size is reported in *cbData; otherwise *cbData is the room the
// caller offers and a value that does not fit answers ERROR_MORE_DATA with
// the size it needs.
//
// An open handle names a key path in one hive file (the program folder's at
// the time of opening) with the access granted; every call reads the file
// afresh, so changes made by another process are seen at once.
#include "platform/RegistryHive.h"

#include <QByteArray>
#include <QString>

namespace platform {

using HKEY = quint32;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

inline constexpr quint32 KEY_QUERY_VALUE = 0x0001;
inline constexpr quint32 KEY_SET_VALUE = 0x0002;
inline constexpr quint32 KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr quint32 KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr quint32 KEY_READ = 0x20019;
inline constexpr quint32 KEY_WRITE = 0x20006;
inline constexpr quint32 KEY_ALL_ACCESS = 0xF003F;

inline constexpr quint32 REG_OPTION_NON_VOLATILE = 0;
inline constexpr quint32 REG_CREATED_NEW_KEY = 1;
inline constexpr quint32 REG_OPENED_EXISTING_KEY = 2;

long RegOpenKeyEx(HKEY key, const QString& subKey, quint32 options, quint32 samDesired, HKEY* result);
// Opens the key, creating it and its missing parents (only then is the hive written).
long RegCreateKeyEx(HKEY key, const QString& subKey, quint32 options, quint32 samDesired, HKEY* result,
                    quint32* disposition = nullptr);
long RegCloseKey(HKEY key);

// Lengths of names in characters, of data in bytes. Any pointer may be null.
long RegQueryInfoKey(HKEY key, quint32* subKeys, quint32* maxSubKeyLen, quint32* values,
                     quint32* maxValueNameLen, quint32* maxValueLen);
long RegQueryValueEx(HKEY key, const QString& valueName, quint32* type, QByteArray* data, quint32* cbData);
long RegSetValueEx(HKEY key, const QString& valueName, quint32 type, const QByteArray& data);
long RegDeleteValue(HKEY key, const QString& valueName);
long RegEnumValue(HKEY key, quint32 index, QString* valueName, quint32* type, QByteArray* data,
                  quint32* cbData);
long RegEnumKeyEx(HKEY key, quint32 index, QString* name);
// Deletes a sub-key that has no sub-keys of its own (ERROR_ACCESS_DENIED otherwise).
long RegDeleteKey(HKEY key, const QString& subKey);
// Deletes a sub-key with everything below it.
long SHDeleteKey(HKEY key, const QString& subKey);

// A short text for an error code, for messages.
QString registryErrorText(long code);

// Closes the key it holds when it goes.
class RegKeyHandle {
public:
    RegKeyHandle() = default;
    explicit RegKeyHandle(HKEY key) : key_(key) {}
    ~RegKeyHandle() { reset(); }
    RegKeyHandle(RegKeyHandle&& other) noexcept : key_(other.release()) {}
    RegKeyHandle& operator=(RegKeyHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    RegKeyHandle(const RegKeyHandle&) = delete;
    RegKeyHandle& operator=(const RegKeyHandle&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != 0; }
    // For the open calls: closes what is held and lends the slot.
    HKEY* out() { reset(); return &key_; }
    HKEY release() { const HKEY k = key_; key_ = 0; return k; }
    void reset(HKEY key = 0) {
        if (key_) RegCloseKey(key_);
        key_ = key;
    }

private:
    HKEY key_ = 0;
};

}  // namespace platform
