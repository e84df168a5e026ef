#include "common/RegOp.h"

#include "platform/MessageBox.h"

#include <QtEndian>

using namespace platform;

namespace common {

RegOp::RegOp() : isNT_(IsWindowsNT()) {
    if (isNT_) wantedAccess_ = KEY_READ;
}

RegOp::~RegOp() { CloseKey(); }

// Access masks are always asked for here, as on the NT family.
bool RegOp::IsWindowsNT() { return true; }

bool RegOp::CanDeleteTree() { return true; }

void RegOp::Root(HKEY root) {
    if (root == root_) return;
    root_ = root;
    if (!path_.isEmpty()) OpenKey(root_, path_);
}

void RegOp::Key(const QString& path) {
    if (path.isEmpty()) return;
    if (path_.isEmpty()) {
        path_ = path;
        return;
    }
    if (path_.compare(path, Qt::CaseInsensitive) == 0) return;
    path_ = path;
    OpenKey(root_, path_);
}

void RegOp::Options(int options) {
    if (options >= 0 && options <= 15) options_ = options;
}

void RegOp::ReportRegistryError(const QString& text) const {
    if (options_ & ShowErrors) MsgBox(text, vbExclamation, QStringLiteral("Registry Error"));
}

void RegOp::CloseKey() {
    key_.reset();
    openAccess_ = 0;
}

void RegOp::ClearCache() { cache_.clear(); }

void RegOp::ReadCounts() {
    subKeyCount_ = valueCount_ = longestSubKey_ = longestValueName_ = longestData_ = 0;
    RegQueryInfoKey(key_.get(), &subKeyCount_, &longestSubKey_, &valueCount_, &longestValueName_, &longestData_);
}

bool RegOp::OpenKey(HKEY root, const QString& path) {
    CloseKey();
    if (RegCreateKeyEx(root, path, REG_OPTION_NON_VOLATILE, wantedAccess_, key_.out()) != ERROR_SUCCESS) return false;
    ReadCounts();
    ClearCache();
    openAccess_ = wantedAccess_;
    return true;
}

bool RegOp::EnsureKeyOpen() {
    if (path_.isEmpty()) {
        ReportRegistryError(QStringLiteral("No Key name specified!"));
        return false;
    }
    if (key_ && openAccess_ != wantedAccess_) CloseKey();
    if (key_) return true;
    if (!OpenKey(root_ ? root_ : HKEY_CURRENT_USER, path_)) {
        ReportRegistryError(QStringLiteral("Could not open Registry Key!"));
        return false;
    }
    return true;
}

const QVariant* RegOp::Cached(const QString& valueName) const {
    for (const RegValueRow& row : cache_)
        if (row.name.compare(valueName, Qt::CaseInsensitive) == 0) return &row.value;
    return nullptr;
}

QVariant RegOp::DecodeValue(quint32 type, const QByteArray& data) const {
    switch (type) {
        case REG_SZ: return QString::fromUtf8(TrimAtNull(data));
        case REG_EXPAND_SZ: {
            const QString text = QString::fromUtf8(TrimAtNull(data));
            return (options_ & ExpandEnvironmentStrings) ? ExpandEnvironment(text) : text;
        }
        case REG_DWORD: {
            QByteArray four = data.left(4);
            four.append(QByteArray(4 - four.size(), '\0'));
            return QVariant::fromValue(qFromLittleEndian<qint32>(four.constData()));
        }
        case REG_MULTI_SZ: {
            const QString text = QString::fromUtf8(TrimAtDoubleNull(data));
            return (options_ & MultiStringAsArray) ? QVariant(text.split(QChar(0))) : QVariant(text);
        }
        default: return QStringLiteral("(unsupported data format)");
    }
}

// Enumerates until the registry says there is no more, and grows the buffer
// when a value grew since the counts were read: another process may change
// the key meanwhile, and a value must not be dropped for that.
void RegOp::LoadValueCache(const QString& path) {
    if (!path.isEmpty()) Key(path);
    if (isNT_) wantedAccess_ = KEY_READ;
    if (!EnsureKeyOpen() || valueCount_ == 0) return;
    ClearCache();
    for (quint32 index = 0;; ++index) {
        QString name;
        quint32 type = 0;
        QByteArray data;
        quint32 size = longestData_ + 1;
        long rc = RegEnumValue(key_.get(), index, &name, &type, &data, &size);
        if (rc == ERROR_MORE_DATA) rc = RegEnumValue(key_.get(), index, &name, &type, &data, &size);
        if (rc == ERROR_MORE_DATA) continue;  // still growing: skip it as a failed index
        if (rc != ERROR_SUCCESS) break;
        cache_.append(RegValueRow{name, DecodeValue(type, data)});
    }
}

QVariant RegOp::Value(const QString& valueName) {
    if (cache_.isEmpty()) LoadValueCache();
    const QVariant* v = Cached(valueName);
    return v ? *v : QVariant();
}

RegValueTable RegOp::AllValues() {
    if (isNT_) wantedAccess_ = KEY_READ;
    if (!EnsureKeyOpen() || valueCount_ == 0) return {};
    if (cache_.isEmpty()) LoadValueCache();
    return cache_;
}

bool RegOp::Value(const QString& valueName, const QVariant& value) {
    if (!value.isValid()) return true;
    if (isNT_) wantedAccess_ = KEY_READ | KEY_WRITE;
    if (!EnsureKeyOpen()) return false;
    const long rc = WriteValue(valueName, value);
    ReadCounts();
    ClearCache();
    return rc == ERROR_SUCCESS;
}

long RegOp::WriteValue(const QString& valueName, const QVariant& given) {
    QVariant value = given;
    quint32 existing = REG_NONE;
    if (RegQueryValueEx(key_.get(), valueName, &existing, nullptr, nullptr) == ERROR_SUCCESS) {
        switch (existing) {
            case REG_SZ:
            case REG_EXPAND_SZ: value = regValueToText(value); break;
            case REG_DWORD: value = QVariant::fromValue(regValueToLong(value)); break;
            case REG_MULTI_SZ: break;
            default:
                ReportRegistryError(QStringLiteral("Existing value has unsupported data type and will not be overwritten"));
                return ERROR_INVALID_PARAMETER;
        }
    }
    const int typeId = value.typeId();
    const bool integer = typeId == QMetaType::Int || typeId == QMetaType::Short;
    const bool numeric = integer || typeId == QMetaType::Double || typeId == QMetaType::Float;
    if (((options_ & NumbersAsText) && numeric) || valueName.isEmpty()) value = regValueToText(value);

    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList) {
        // Each text ended by its NUL, the list by a second NUL.
        const QStringList items = value.toStringList();
        const QByteArray joined = items.join(QChar(0)).toUtf8() + QByteArray(2, '\0');
        return RegSetValueEx(key_.get(), valueName, REG_MULTI_SZ, joined);
    }
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::Short) {
        QByteArray four(4, '\0');
        qToLittleEndian<qint32>(value.toInt(), four.data());
        return RegSetValueEx(key_.get(), valueName, REG_DWORD, four);
    }
    const QString text = regValueToText(value);
    const quint32 type = HasEnvironmentReference(text) ? REG_EXPAND_SZ : REG_SZ;
    return RegSetValueEx(key_.get(), valueName, type, text.toUtf8() + '\0');
}

bool RegOp::DeleteValue(const QString& valueName) {
    if (isNT_) wantedAccess_ = KEY_ALL_ACCESS;
    if (!EnsureKeyOpen()) return false;
    if (RegDeleteValue(key_.get(), valueName) != ERROR_SUCCESS) return false;
    ReadCounts();
    ClearCache();
    return true;
}

bool RegOp::DeleteKey() {
    if (path_.isEmpty()) {
        ReportRegistryError(QStringLiteral("No Key name specified!"));
        return false;
    }
    const qsizetype slash = path_.lastIndexOf(u'\\');
    if (slash < 0 || slash == path_.size() - 1) return false;
    const QString last = path_.mid(slash + 1);
    path_ = path_.left(slash);
    if (isNT_) wantedAccess_ = KEY_ALL_ACCESS;
    if (!OpenKey(root_ ? root_ : HKEY_CURRENT_USER, path_)) return false;
    const long rc = CanDeleteTree() ? SHDeleteKey(key_.get(), last) : RegDeleteKey(key_.get(), last);
    if (rc != ERROR_SUCCESS) return false;
    ReadCounts();
    ClearCache();
    return true;
}

QStringList RegOp::AllKeys() {
    if (isNT_) wantedAccess_ = KEY_READ;
    if (!EnsureKeyOpen()) return {};
    QStringList names;
    for (quint32 index = 0; index < subKeyCount_; ++index) {
        QString name;
        if (RegEnumKeyEx(key_.get(), index, &name) != ERROR_SUCCESS) name.clear();
        names.append(name);
    }
    return names;
}

long RegOp::ValueCount() { return EnsureKeyOpen() ? static_cast<long>(valueCount_) : 0; }

long RegOp::KeyCount() { return EnsureKeyOpen() ? static_cast<long>(subKeyCount_) : 0; }

}  // namespace common
