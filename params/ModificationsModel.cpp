#include "params/ModificationsModel.h"

#include "common/Preferences.h"
#include "common/ServerReplies.h"
#include "common/Settings.h"
#include "params/ServerData.h"
#include "platform/Error.h"

namespace tavrel {

namespace {
const QString& kApplication = common::SettingsApplication;
const QString& kPreferences = common::PreferencesSection;
const QString kShowAllMods = QStringLiteral("ShowAllMods");
}  // namespace

ModificationsModel::ModificationsModel(QStringList fixed, QStringList variable, QString serverData)
    : lstFixedMods(std::move(fixed)), lstVariableMods(std::move(variable)), serverData_(std::move(serverData)) {}

EditorMessages ModificationsModel::chkShowAllMods_Click() {
    EditorMessages warnings;
    lstAllMods.clear();
    for (const ServerDataSection& section : readServerData(serverData_).sections) {
        const bool take = section.head == QLatin1String("[MODS]") ||
                          (chkShowAllMods && section.head == QLatin1String("[HIDDEN_MODS]"));
        if (take && !appendListEntries(lstAllMods, section.entries) && warnings.isEmpty())
            warnings.append(EditorMessage{listCutWarning(section.head), platform::vbOKOnly});
    }
    for (const QStringList* chosen : {&lstFixedMods, &lstVariableMods})
        for (const QString& name : *chosen) lstAllMods.removeOne(name);
    return warnings;
}

void ModificationsModel::frmModifications_MoveSelectedItem(QStringList& from, int selected, QStringList& to) {
    if (selected < 0 || selected >= from.size()) return;
    to.append(from.takeAt(selected));
}

std::optional<EditorMessage> ModificationsModel::okRefusal() const {
    for (const QStringList* chosen : {&lstFixedMods, &lstVariableMods}) {
        for (const QString& name : *chosen) {
            if (!name.contains(u',')) continue;
            return EditorMessage{
                QStringLiteral("The modification \"%1\" cannot be chosen: its name holds \",\", which separates the "
                               "modifications of a parameter file")
                    .arg(name),
                platform::vbOKOnly};
        }
    }
    return std::nullopt;
}

bool ModificationsModel::storedShowAllMods() {
    try {
        const QVariant value = common::modGlobal_GetSetting(kApplication, kPreferences, kShowAllMods);
        if (!value.isValid() || value.toString().isEmpty()) return false;
        return common::leadingNumber(value.toString()) != 0;
    } catch (const platform::Error&) {
        return false;
    }
}

bool ModificationsModel::storeShowAllMods() const {
    try {
        return common::modGlobal_SaveSetting(kApplication, kPreferences, kShowAllMods,
                                             chkShowAllMods ? QStringLiteral("1") : QStringLiteral("0"));
    } catch (const platform::Error&) {
        return false;
    }
}

}  // namespace tavrel
