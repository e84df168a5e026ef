#include "filteropts/SciexLibraryOptions.h"

#include "common/ImportFilters.h"
#include "platform/AutomationComponents.h"
#include "platform/MessageBox.h"

namespace filteropts {

QStringList editSciexLibraryOptions(QString& values, QString& keys, const SettingWriter& save) {
    const auto options = platform::automation::create<platform::automation::SciexOptions4Tavrel>();
    options->Set_Params_String_Defaults();
    QString givenValues = values;
    QString givenKeys = keys;
    options->Set_Params_Strings(givenValues, givenKeys);
    options->Options_Form_Show();
    const QString newKeys = options->Params_Keys();
    const QString newValues = options->Params_Values();
    keys = newKeys;
    values = newValues;

    QStringList notSaved;
    if (!save(common::AnalystLibraryKeysSetting, keys)) notSaved << common::AnalystLibraryKeysSetting;
    if (!save(common::AnalystLibraryValuesSetting, values)) notSaved << common::AnalystLibraryValuesSetting;
    if (!notSaved.isEmpty()) platform::MsgBox(settingsNotSavedMessage(notSaved), platform::vbExclamation);
    return notSaved;
}

}  // namespace filteropts
