#include "params/ParameterEditor.h"

#include "clientcommon/Globals.h"
#include "clientcommon/ServerDocuments.h"
#include "params/EditorLists.h"
#include "params/ServerData.h"
#include "platform/ProgramFolder.h"

namespace tavrel {

using S = ParameterEditorState;

namespace {

// The lists "server.dat" fills, by section head.
struct ServerLists {
    QStringList db, cle, taxonomy, options, instrument, quantitation;

    QStringList* target(const QString& head) {
        if (head == QLatin1String("[DB]")) return &db;
        if (head == QLatin1String("[CLE]")) return &cle;
        if (head == QLatin1String("[TAXONOMY]")) return &taxonomy;
        if (head == QLatin1String("[OPTIONS]")) return &options;
        if (head == QLatin1String("[INSTRUMENT]")) return &instrument;
        if (head == QLatin1String("[QUANTITATION]")) return &quantitation;
        return nullptr;
    }
};

ListControl filled(const QStringList& items, int current) {
    ListControl list;
    list.items = items;
    list.current = items.isEmpty() ? -1 : current;
    return list;
}

}  // namespace

ParameterEditor::ParameterEditor()
    : ParameterEditor(Environment{
          [] { return ProgramFolder.isEmpty() ? platform::resolveProgramFolder() : ProgramFolder; },
          [] { return ServerVersion; }}) {}

ParameterEditor::ParameterEditor(Environment environment) : env_(std::move(environment)) {}

EditorMessages ParameterEditor::takeMessages() {
    return std::exchange(messages_, {});
}

bool ParameterEditor::atLeast(const QString& version) const {
    return modGlobal_IsVersionAtLeast(env_.serverVersion(), version);
}

void ParameterEditor::say(const QString& text) {
    messages_.append(EditorMessage{text, platform::vbOKOnly});
}

bool ParameterEditor::NewParameterForm() {
    const ServerDataRead read = readServerData(serverDataPath(env_.programFolder()));
    if (!read.found) {
        say(QStringLiteral("Cannot continue without search parameters from Sorvex server"));
        return false;
    }
    if (!read.ok()) {
        say(read.error);
        return false;
    }
    ServerLists lists;
    QStringList cut;
    for (const ServerDataSection& section : read.sections) {
        QStringList* target = lists.target(section.head);
        if (target && !appendListEntries(*target, section.entries) && !cut.contains(section.head)) cut << section.head;
    }
    for (const QString& head : cut) say(listCutWarning(head));

    const std::pair<const QStringList*, const char*> required[] = {{&lists.db, "databases"},
                                                                    {&lists.cle, "enzymes"},
                                                                    {&lists.taxonomy, "taxonomy entries"},
                                                                    {&lists.instrument, "instrument types"}};
    for (const auto& [list, word] : required) {
        if (!list->isEmpty()) continue;
        say(QStringLiteral("Sorvex Server has returned empty %1 list. Cannot continue. Check Sorvex Server and "
                           "Sorvex Tavrel are same release")
                .arg(QLatin1String(word)));
        return false;
    }
    if (lists.quantitation.isEmpty()) {
        if (atLeast(QStringLiteral("2.2"))) say(QStringLiteral("Warning: No quantitation methods returned by Sorvex Server"));
        lists.quantitation << kNoQuantitation;
    }

    ParameterEditorState s;
    s.lstParamDB.items = lists.db;
    s.lstParamDB.selected = QList<bool>(lists.db.size(), false);
    s.lstParamDB.selected[0] = true;
    s.lstParamDB.current = 0;
    s.cboParamCLE = filled(lists.cle, 0);
    s.cboParamTAXONOMY = filled(lists.taxonomy, 0);
    s.cboParamINSTRUMENT = filled(lists.instrument, 0);
    s.cboParamQUANTITATION = filled(lists.quantitation, 0);
    s.cboParamOPTIONS = lists.options;
    s.cboParamCHARGE = filled(chargeEntries(), kChargeReset);
    s.cboParamFORMAT = filled(formatEntries(), 0);
    s.cboParamITOLU = filled(ionToleranceUnitEntries(), 0);
    s.cboParamPFA = filled(numberEntries(9), 0);
    s.cboParamREPORT = filled(reportChoices(lists.options), 0);
    s.cboParamTOLU = filled(toleranceUnitEntries(), 0);
    s.cboParamPEP_ISOTOPE_ERROR = filled(numberEntries(2), 0);
    s.txtParamITOL.text = QStringLiteral("0.5");
    s.txtParamTOL.text = QStringLiteral("0.5");
    state_ = s;
    chkParamSEARCH_Click();  // the MS/MS controls follow the unticked box
    ParameterSetChanged_ = false;
    return true;
}

void ParameterEditor::setChoice(ListControl S::*control, int index) {
    if ((state_.*control).current == index) return;
    choose(control, index);
}

void ParameterEditor::setCheck(CheckControl S::*control, bool checked) {
    if ((state_.*control).checked == checked) return;
    click(control, checked);
}

void ParameterEditor::editText(TextControl S::*control, const QString& text) {
    (state_.*control).text = text;
    ParameterSetChanged_ = true;
}

void ParameterEditor::choose(ListControl S::*control, int index) {
    ListControl& list = state_.*control;
    list.current = index >= 0 && index < list.items.size() ? index : -1;
    if (control == &S::cboParamQUANTITATION) cboParamQUANTITATION_Click();
    ParameterSetChanged_ = true;
}

void ParameterEditor::click(CheckControl S::*control, bool checked) {
    (state_.*control).checked = checked;
    if (control == &S::chkParamSEARCH) chkParamSEARCH_Click();
    else if (control == &S::chkParamERRORTOLERANT) chkParamERRORTOLERANT_Click();
    else if (control == &S::chkParamDECOY) chkParamDECOY_Click();
    ParameterSetChanged_ = true;
}

void ParameterEditor::chooseMass(int option) {
    state_.optParamMASS.chosen = option == 1 ? 1 : 0;
    ParameterSetChanged_ = true;
}

void ParameterEditor::setModifications(const QStringList& fixed, const QStringList& variable) {
    state_.lstParamMODS.items = fixed;
    state_.lstParamIT_MODS.items = variable;
    ParameterSetChanged_ = true;
}

void ParameterEditor::lstParamDB_Click(const QList<bool>& selected, int current) {
    MultiListControl& db = state_.lstParamDB;
    db.selected = selected;
    db.selected.resize(db.items.size(), false);
    db.current = current >= 0 && current < db.items.size() ? current : -1;
    if (!atLeast(QStringLiteral("2.2.101")) && db.selectedCount() > 1 && db.current >= 0) {
        db.selected.fill(false);
        db.selected[db.current] = true;
    }
    if (db.selectedCount() == 0 && !LoadingDatabaseList_ && db.current >= 0) db.selected[db.current] = true;
    ParameterSetChanged_ = true;
}

void ParameterEditor::chkParamSEARCH_Click() {
    ParameterSetChanged_ = true;
    S& s = state_;
    const bool on = s.chkParamSEARCH.checked;
    for (bool* enabled : {&s.cboParamFORMAT.enabled, &s.cboParamPEP_ISOTOPE_ERROR.enabled, &s.txtParamITOL.enabled,
                          &s.cboParamITOLU.enabled, &s.lblParamFORMAT.enabled, &s.lblParamITOL.enabled,
                          &s.lblParamINSTRUMENT.enabled, &s.lblParamPEP_ISOTOPE_ERROR.enabled,
                          &s.lblParamQUANTITATION.enabled, &s.cboParamINSTRUMENT.enabled,
                          &s.cboParamQUANTITATION.enabled, &s.chkParamERRORTOLERANT.enabled})
        *enabled = on;
    if (atLeast(QStringLiteral("2.2"))) {
        s.chkParamDECOY.enabled = true;
    } else {
        // Older servers know neither isotope errors, quantitation, error
        // tolerant nor decoy searches.
        for (bool* enabled : {&s.lblParamPEP_ISOTOPE_ERROR.enabled, &s.lblParamQUANTITATION.enabled,
                              &s.cboParamPEP_ISOTOPE_ERROR.enabled, &s.cboParamQUANTITATION.enabled,
                              &s.chkParamERRORTOLERANT.enabled, &s.chkParamDECOY.enabled})
            *enabled = false;
    }
}

void ParameterEditor::chkParamERRORTOLERANT_Click() {
    if (state_.chkParamDECOY.checked && state_.chkParamERRORTOLERANT.checked) {
        say(QStringLiteral("Cannot select both Error tolerant and decoy"));
        setCheck(&S::chkParamERRORTOLERANT, false);
    }
    if (state_.chkParamERRORTOLERANT.checked && state_.cboParamQUANTITATION.current > 0) {
        say(QStringLiteral("Cannot select an Error tolerant and a quantitation method"));
        setCheck(&S::chkParamERRORTOLERANT, false);
    }
}

void ParameterEditor::chkParamDECOY_Click() {
    if (state_.chkParamDECOY.checked && state_.chkParamERRORTOLERANT.checked) {
        say(QStringLiteral("Cannot select both Error tolerant and decoy"));
        setCheck(&S::chkParamDECOY, false);
    }
}

void ParameterEditor::cboParamQUANTITATION_Click() {
    if (state_.chkParamERRORTOLERANT.checked && state_.cboParamQUANTITATION.current > 0) {
        say(QStringLiteral("Cannot select an Error tolerant and a quantitation method"));
        setChoice(&S::cboParamQUANTITATION, 0);
    }
}

}  // namespace tavrel
