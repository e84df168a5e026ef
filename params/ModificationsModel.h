#pragma once
// The modifications dialog without its widgets: the modifications the
// server offers ("[MODS]", and "[HIDDEN_MODS]" when all are shown) and the
// two chosen lists, fixed and variable, that start as copies of the
// editor's lists. A name is moved between lists, never copied.
#include "params/EditorMessage.h"

#include <QStringList>

#include <optional>

namespace tavrel {

class ModificationsModel {
public:
    // fixed and variable: the editor's lists; serverData: path of "server.dat".
    ModificationsModel(QStringList fixed, QStringList variable, QString serverData);

    QStringList lstAllMods;
    QStringList lstFixedMods;
    QStringList lstVariableMods;
    bool chkShowAllMods = false;

    // Refills the offered list from "server.dat" (which it reads afresh),
    // leaving out once per chosen entry the names already chosen. A missing
    // or unreadable document offers nothing. Answers the warning for a
    // section cut at the list's limit.
    EditorMessages chkShowAllMods_Click();

    // Moves the entry at selected from one list to the end of the other;
    // nothing when there is no such entry.
    static void frmModifications_MoveSelectedItem(QStringList& from, int selected, QStringList& to);

    // Why OK cannot take the lists, or nothing: a chosen name holding ","
    // would come back from the parameter file as two names.
    std::optional<EditorMessage> okRefusal() const;

    // The stored state of "Show all modifications" (value ShowAllMods of
    // "Preferences"): absent or empty means unticked.
    static bool storedShowAllMods();
    // Answers false when the store refused the value.
    bool storeShowAllMods() const;

private:
    QString serverData_;
};

}  // namespace tavrel
