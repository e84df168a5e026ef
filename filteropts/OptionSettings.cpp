#include "filteropts/OptionSettings.h"

#include "common/Preferences.h"
#include "common/Settings.h"
#include "platform/Error.h"

namespace filteropts {

SettingWriter preferencesWriter() {
    return [](const QString& name, const QString& value) {
        try {
            return common::modGlobal_SaveSetting(common::SettingsApplication, common::PreferencesSection, name, value);
        } catch (const platform::Error&) {
            return false;  // a stored number that the text cannot replace
        }
    };
}

QString settingsNotSavedMessage(const QStringList& names) {
    return QStringLiteral("Could not save in the settings: ") + names.join(QStringLiteral(", ")) +
           QStringLiteral(". These options are not kept as defaults.");
}

}  // namespace filteropts
