#include "common/Settings.h"

#include "platform/Error.h"

#include <limits>

namespace common {

namespace {
void pointAt(RegOp& reg, const QString& section) {
    reg.Root(platform::HKEY_LOCAL_MACHINE);
    reg.Key(SettingsKey + section);
}
}  // namespace

RegValueTable modGlobal_GetAllSettings(const QString&, const QString& section) {
    RegOp reg;
    pointAt(reg, section);
    return reg.AllValues();
}

QVariant modGlobal_GetSetting(const QString&, const QString& section, const QString& valueName) {
    RegOp reg;
    pointAt(reg, section);
    return reg.Value(valueName);
}

bool modGlobal_SaveSetting(const QString&, const QString& section, const QString& valueName, const QVariant& value) {
    RegOp reg;
    pointAt(reg, section);
    return reg.Value(valueName, value);
}

qint32 settingToLong(const QVariant& value) { return regValueToLong(value); }

qint16 settingToInteger(const QVariant& value) {
    const qint32 n = regValueToLong(value);
    if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
        throw platform::Error(platform::errnum::Overflow, QStringLiteral("Overflow"));
    return static_cast<qint16>(n);
}

}  // namespace common
