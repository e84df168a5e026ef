// Opening a parameter file: the editor is reset, then each KEY=VALUE line is
// applied to its control by the rules below, through the controls' own
// handlers, so a file cannot bring in a combination the interlocks refuse.
#include "params/ParameterEditor.h"

#include "clientcommon/ServerDocuments.h"
#include "params/EditorLists.h"

#include <QFileInfo>

namespace tavrel {

using S = ParameterEditorState;

bool ParameterEditor::OpenParameterFile(const QString& path) {
    // Applying a file onto controls that the reset could not refill would
    // show a set that is neither the file nor a fresh one; a later Save
    // would then write it over the file.
    if (!NewParameterForm()) return false;
    if (!QFileInfo::exists(path)) {
        say(QStringLiteral("Warning: Parameter file not found: ") + path);
        return false;
    }
    const ParameterFileLines file = readParameterFileLines(path, ParameterLineRule::SkipLinesWithoutEquals);
    if (!file.ok()) {
        say(file.error->message);
        return false;
    }
    state_.lblParamPfileTag = path;
    for (const ParameterLine& line : file.lines) frmMain_ApplyParameter(line.key, line.value, path);
    chkParamSEARCH_Click();
    ParameterSetChanged_ = false;
    return true;
}

void ParameterEditor::chooseEqual(ListControl S::*control, const QString& value, int fallback) {
    const qsizetype at = (state_.*control).items.indexOf(value);
    if (at >= 0) setChoice(control, static_cast<int>(at));
    else if (fallback >= 0) setChoice(control, fallback);
}

void ParameterEditor::applyPosition(ListControl S::*control, const QString& key, const QString& value,
                                    const QString& file) {
    bool ok = false;
    const int position = value.toInt(&ok);
    if (ok && position >= 0 && position < (state_.*control).items.size()) {
        setChoice(control, position);
        return;
    }
    say(QStringLiteral("Warning: Parameter file %1 gives %2=%3, which is not offered; \"%4\" is kept")
            .arg(file, key, value, (state_.*control).currentText()));
}

void ParameterEditor::applyDatabases(const QString& value, const QString& file) {
    MultiListControl& db = state_.lstParamDB;
    LoadingDatabaseList_ = true;
    db.selected.fill(false);
    QStringList names = splitParameterList(value);
    if (names.size() > 1 && !atLeast(QStringLiteral("2.2.101"))) {
        say(QStringLiteral("Warning: Parameter set specifies multiple database, which requires Sorvex Server 2.3 or "
                           "later."));
        names = names.mid(0, 1);
    }
    for (const QString& name : names) {
        qsizetype at = db.items.indexOf(name);
        if (at < 0) {
            db.items.append(name);
            db.selected.append(false);
            at = db.items.size() - 1;
            say(QStringLiteral("Warning: Database specified in %1 (%2) is not currently available").arg(file, name));
        }
        db.selected[at] = true;
        db.current = static_cast<int>(at);
    }
    LoadingDatabaseList_ = false;
    ParameterSetChanged_ = true;
}

void ParameterEditor::frmMain_ApplyParameter(const QString& key, const QString& value, const QString& file) {
    namespace K = ParamKey;
    const std::pair<QLatin1StringView, TextControl S::*> texts[] = {
        {K::COM, &S::txtParamCOM},           {K::SEG, &S::txtParamSEG},
        {K::TOL, &S::txtParamTOL},           {K::ITOL, &S::txtParamITOL},
        {K::USERNAME, &S::txtParamUSERNAME}, {K::USEREMAIL, &S::txtParamUSEREMAIL}};
    for (const auto& [name, control] : texts) {
        if (key == name) return editText(control, value);
    }
    // Lists whose value must be one of their entries; otherwise the entry
    // given here is chosen (-1: the choice is left as it is).
    const std::tuple<QLatin1StringView, ListControl S::*, int> choices[] = {
        {K::TOLU, &S::cboParamTOLU, -1},
        {K::ITOLU, &S::cboParamITOLU, -1},
        {K::CHARGE, &S::cboParamCHARGE, kChargeFallback},
        {K::FORMAT, &S::cboParamFORMAT, 0},
        {K::TAXONOMY, &S::cboParamTAXONOMY, 0},
        {K::INSTRUMENT, &S::cboParamINSTRUMENT, 0},
        {K::QUANTITATION, &S::cboParamQUANTITATION, 0}};
    for (const auto& [name, control, fallback] : choices) {
        if (key == name) return chooseEqual(control, value, fallback);
    }
    if (key == K::REPORT) {
        // "default.par" holds REPORT=0, the old spelling of AUTO.
        return chooseEqual(&S::cboParamREPORT, value == QLatin1String("0") ? QStringLiteral("AUTO") : value, 0);
    }
    if (key == K::PFA) return applyPosition(&S::cboParamPFA, key, value, file);
    if (key == K::PEP_ISOTOPE_ERROR) return applyPosition(&S::cboParamPEP_ISOTOPE_ERROR, key, value, file);
    if (key == K::CLE) {
        if (!state_.cboParamCLE.items.contains(value)) state_.cboParamCLE.items.append(value);
        return chooseEqual(&S::cboParamCLE, value, -1);
    }
    if (key == K::MASS) return chooseMass(value == ParamValue::Average ? 1 : 0);
    if (key == K::SEARCH) return setCheck(&S::chkParamSEARCH, value == ParamValue::Mis);
    if (key == K::DECOY) return setCheck(&S::chkParamDECOY, value == ParamValue::FlagSet);
    if (key == K::ERRORTOLERANT) return setCheck(&S::chkParamERRORTOLERANT, value == ParamValue::FlagSet);
    if (key == K::MODS || key == K::IT_MODS) {
        ListControl& list = key == K::MODS ? state_.lstParamMODS : state_.lstParamIT_MODS;
        list.items.append(splitParameterList(value));
        ParameterSetChanged_ = true;
        return;
    }
    if (key == K::DB) return applyDatabases(value, file);
    // Any other key, REPTYPE included, is not the editor's.
}

}  // namespace tavrel
