#pragma once
// The settings store: one registry key per section under the service's own
// key in HKEY_LOCAL_MACHINE, shared by client (writer) and service (reader).
// Every call opens, uses and closes its own key, so nothing is cached and a
// value written by one call (or by the other program) is seen by the next.
#include "common/RegOp.h"

#include <QString>
#include <QVariant>

namespace common {

// The section name is appended directly.
inline const QString SettingsKey = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\SorvexTavrelService\\");

// The application argument every caller passes; the store ignores it.
inline const QString SettingsApplication = QStringLiteral("Sorvex Tavrel");

// All values of the section in enumeration order; empty when the section has
// no values or cannot be opened.
RegValueTable modGlobal_GetAllSettings(const QString& application, const QString& section);

// The value (text, or qint32 for a value stored as a number), or an invalid
// QVariant when the value or the section is absent. Names compare without
// regard to case. Callers supply their own default.
QVariant modGlobal_GetSetting(const QString& application, const QString& section, const QString& valueName);

// Writes one value, creating the section when needed; an invalid QVariant
// writes nothing. A value that exists keeps its registry type (a text over a
// number must convert: platform::Error 13 or 6 is thrown to the caller).
// Answers false when the value could not be stored (section not creatable,
// hive not writable or damaged), so a lost write is never silent.
bool modGlobal_SaveSetting(const QString& application, const QString& section, const QString& valueName,
                           const QVariant& value);

// Conversions of stored settings: texts are read as numbers (also in the
// user's locale), fractions round half to even; platform::Error 13 (type
// mismatch) or 6 (overflow) when the value does not fit.
qint32 settingToLong(const QVariant& value);
qint16 settingToInteger(const QVariant& value);

}  // namespace common
