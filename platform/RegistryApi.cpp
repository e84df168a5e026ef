#include "platform/RegistryApi.h"

#include <QDebug>

#include <map>
#include <mutex>
#include <optional>

namespace platform {

namespace {

struct OpenKey {
    QString hivePath;
    QStringList path;  // root name first
    quint32 access = 0;
    bool predefined = false;
};

std::mutex handlesMutex;
std::map<HKEY, OpenKey> handles;
HKEY nextHandle = 0x100;

std::optional<QString> rootName(HKEY key) {
    switch (key) {
        case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
        case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
        case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
        case HKEY_USERS: return QStringLiteral("HKEY_USERS");
        case HKEY_CURRENT_CONFIG: return QStringLiteral("HKEY_CURRENT_CONFIG");
        default: return std::nullopt;
    }
}

std::optional<OpenKey> resolve(HKEY key) {
    if (const auto root = rootName(key)) return OpenKey{RegistryHive::defaultPath(), {*root}, KEY_ALL_ACCESS, true};
    std::lock_guard guard(handlesMutex);
    const auto it = handles.find(key);
    if (it == handles.end()) return std::nullopt;
    return it->second;
}

HKEY addHandle(OpenKey entry) {
    std::lock_guard guard(handlesMutex);
    const HKEY h = nextHandle++;
    handles.emplace(h, std::move(entry));
    return h;
}

// Sub-key paths are names joined by "\"; a trailing "\" is tolerated. Names
// with control characters cannot be kept in the hive file.
std::optional<QStringList> splitSubKey(const QString& subKey) {
    QStringList names = subKey.split(u'\\');
    if (!names.isEmpty() && names.last().isEmpty()) names.removeLast();
    for (const QString& name : names) {
        if (name.isEmpty() || name.size() > 255) return std::nullopt;
        for (QChar c : name)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F) return std::nullopt;
    }
    return names;
}

// The key of path in top; the predefined roots always exist.
HiveKey* locate(HiveKey& top, const QStringList& path) {
    HiveKey& root = top.childOrNew(path.first());
    return root.find(path.mid(1));
}

long failed(const RegistryHive& hive, long rc) {
    if (!hive.lastProblem().isEmpty()) qWarning().noquote() << "registry:" << hive.lastProblem();
    return rc;
}

// Reads the hive of an open key and hands its key to use.
template <typename Use>
long withKey(HKEY key, quint32 needed, Use use) {
    const auto open = resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if ((open->access & needed) != needed) return ERROR_ACCESS_DENIED;
    RegistryHive hive(open->hivePath);
    HiveKey top;
    if (const long rc = hive.read(top); rc != ERROR_SUCCESS) return failed(hive, rc);
    HiveKey* k = locate(top, open->path);
    return k ? use(*k) : ERROR_KEY_DELETED;
}

// Changes the key of an open handle under the hive lock.
template <typename Change>
long changeKey(HKEY key, quint32 needed, Change change) {
    const auto open = resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if ((open->access & needed) != needed) return ERROR_ACCESS_DENIED;
    RegistryHive hive(open->hivePath);
    const long rc = hive.update([&](HiveKey& top, bool& changed) -> long {
        HiveKey* k = locate(top, open->path);
        return k ? change(*k, changed) : ERROR_KEY_DELETED;
    });
    return rc == ERROR_SUCCESS ? rc : failed(hive, rc);
}

long deliver(const QByteArray& bytes, QByteArray* data, quint32* cbData) {
    const auto size = static_cast<quint32>(bytes.size());
    if (!data) {
        if (cbData) *cbData = size;
        return ERROR_SUCCESS;
    }
    if (!cbData) return ERROR_INVALID_PARAMETER;
    if (*cbData < size) {
        *cbData = size;
        return ERROR_MORE_DATA;
    }
    *data = bytes;
    *cbData = size;
    return ERROR_SUCCESS;
}

long openOrCreate(HKEY key, const QString& subKey, quint32 samDesired, HKEY* result, quint32* disposition,
                  bool create) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    const auto names = splitSubKey(subKey);
    if (!names) return ERROR_INVALID_PARAMETER;
    const auto parent = resolve(key);
    if (!parent) return ERROR_INVALID_HANDLE;
    if (parent->path.size() + names->size() > kMaxHiveDepth) return ERROR_INVALID_PARAMETER;
    OpenKey entry{parent->hivePath, parent->path + *names, samDesired, false};
    long rc = withKey(key, 0, [&](HiveKey& k) { return k.find(*names) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND; });
    quint32 how = REG_OPENED_EXISTING_KEY;
    if (rc == ERROR_FILE_NOT_FOUND && create) {
        rc = changeKey(key, KEY_CREATE_SUB_KEY, [&](HiveKey& k, bool& changed) -> long {
            HiveKey* at = &k;
            for (const QString& name : *names) {
                if (!at->child(name)) changed = true;
                at = &at->childOrNew(name);
            }
            return ERROR_SUCCESS;
        });
        how = REG_CREATED_NEW_KEY;
    }
    if (rc != ERROR_SUCCESS) return rc;
    if (disposition) *disposition = how;
    *result = addHandle(std::move(entry));
    return ERROR_SUCCESS;
}

}  // namespace

long RegOpenKeyEx(HKEY key, const QString& subKey, quint32, quint32 samDesired, HKEY* result) {
    return openOrCreate(key, subKey, samDesired, result, nullptr, false);
}

long RegCreateKeyEx(HKEY key, const QString& subKey, quint32, quint32 samDesired, HKEY* result,
                    quint32* disposition) {
    return openOrCreate(key, subKey, samDesired, result, disposition, true);
}

long RegCloseKey(HKEY key) {
    if (rootName(key)) return ERROR_SUCCESS;
    std::lock_guard guard(handlesMutex);
    return handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

long RegQueryInfoKey(HKEY key, quint32* subKeys, quint32* maxSubKeyLen, quint32* values,
                     quint32* maxValueNameLen, quint32* maxValueLen) {
    return withKey(key, KEY_QUERY_VALUE, [&](HiveKey& k) {
        quint32 longestKey = 0, longestName = 0, longestData = 0;
        for (const HiveKey& sub : k.subkeys) longestKey = std::max<quint32>(longestKey, sub.name.size());
        for (const HiveValue& v : k.values) {
            longestName = std::max<quint32>(longestName, v.name.size());
            longestData = std::max<quint32>(longestData, v.data.size());
        }
        if (subKeys) *subKeys = static_cast<quint32>(k.subkeys.size());
        if (maxSubKeyLen) *maxSubKeyLen = longestKey;
        if (values) *values = static_cast<quint32>(k.values.size());
        if (maxValueNameLen) *maxValueNameLen = longestName;
        if (maxValueLen) *maxValueLen = longestData;
        return ERROR_SUCCESS;
    });
}

long RegQueryValueEx(HKEY key, const QString& valueName, quint32* type, QByteArray* data, quint32* cbData) {
    return withKey(key, KEY_QUERY_VALUE, [&](HiveKey& k) {
        const HiveValue* v = k.value(valueName);
        if (!v) return ERROR_FILE_NOT_FOUND;
        if (type) *type = v->type;
        return deliver(v->data, data, cbData);
    });
}

long RegSetValueEx(HKEY key, const QString& valueName, quint32 type, const QByteArray& data) {
    return changeKey(key, KEY_SET_VALUE, [&](HiveKey& k, bool& changed) {
        if (HiveValue* v = k.value(valueName)) {
            v->type = type;
            v->data = data;
        } else {
            k.values.append(HiveValue{valueName, type, data});
        }
        changed = true;
        return ERROR_SUCCESS;
    });
}

long RegDeleteValue(HKEY key, const QString& valueName) {
    return changeKey(key, KEY_SET_VALUE, [&](HiveKey& k, bool& changed) {
        changed = k.removeValue(valueName);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

long RegEnumValue(HKEY key, quint32 index, QString* valueName, quint32* type, QByteArray* data,
                  quint32* cbData) {
    return withKey(key, KEY_QUERY_VALUE, [&](HiveKey& k) {
        if (index >= static_cast<quint32>(k.values.size())) return ERROR_NO_MORE_ITEMS;
        const HiveValue& v = k.values[index];
        if (valueName) *valueName = v.name;
        if (type) *type = v.type;
        return deliver(v.data, data, cbData);
    });
}

long RegEnumKeyEx(HKEY key, quint32 index, QString* name) {
    return withKey(key, KEY_ENUMERATE_SUB_KEYS, [&](HiveKey& k) {
        if (index >= k.subkeys.size()) return ERROR_NO_MORE_ITEMS;
        if (name) *name = k.subkeys[index].name;
        return ERROR_SUCCESS;
    });
}

namespace {
long deleteSubKey(HKEY key, const QString& subKey, bool wholeTree) {
    const auto names = splitSubKey(subKey);
    if (!names || names->isEmpty()) return ERROR_INVALID_PARAMETER;
    return changeKey(key, 0, [&](HiveKey& k, bool& changed) {
        HiveKey* parent = k.find(names->mid(0, names->size() - 1));
        HiveKey* target = parent ? parent->child(names->last()) : nullptr;
        if (!target) return ERROR_FILE_NOT_FOUND;
        if (!wholeTree && !target->subkeys.empty()) return ERROR_ACCESS_DENIED;
        changed = parent->removeChild(names->last());
        return ERROR_SUCCESS;
    });
}
}  // namespace

long RegDeleteKey(HKEY key, const QString& subKey) { return deleteSubKey(key, subKey, false); }

long SHDeleteKey(HKEY key, const QString& subKey) { return deleteSubKey(key, subKey, true); }

QString registryErrorText(long code) {
    switch (code) {
        case ERROR_SUCCESS: return QStringLiteral("The operation completed successfully.");
        case ERROR_FILE_NOT_FOUND: return QStringLiteral("The registry key or value does not exist.");
        case ERROR_ACCESS_DENIED: return QStringLiteral("Access to the registry is denied.");
        case ERROR_INVALID_HANDLE: return QStringLiteral("The registry key handle is invalid.");
        case ERROR_INVALID_PARAMETER: return QStringLiteral("A registry key or value name is invalid.");
        case ERROR_MORE_DATA: return QStringLiteral("More data is available.");
        case ERROR_NO_MORE_ITEMS: return QStringLiteral("No more data is available.");
        case ERROR_BADDB: return QStringLiteral("The registry hive file is damaged.");
        case ERROR_KEY_DELETED: return QStringLiteral("The registry key has been deleted.");
        case ERROR_TIMEOUT: return QStringLiteral("The registry hive stayed locked by another process.");
        default: return QStringLiteral("Registry error %1.").arg(code);
    }
}

}  // namespace platform
