#pragma once
// Writing the saved default options to the settings store ("Preferences").
// A value that cannot be stored is reported, never shown as saved.
#include <QString>
#include <QStringList>

#include <functional>

namespace filteropts {

// Writes one text value of "Preferences"; false when it was not stored.
using SettingWriter = std::function<bool(const QString& name, const QString& value)>;

// The settings store's writer; its errors count as a value not stored.
SettingWriter preferencesWriter();

// The message for values that could not be stored.
QString settingsNotSavedMessage(const QStringList& names);

}  // namespace filteropts
