// The save step: the controls' values handed to the file writer, and what
// the editor shows when the file cannot be written.
#include "params/ParameterEditor.h"

#include <QFileInfo>

namespace tavrel {

ParameterSetValues ParameterEditor::values() const {
    const ParameterEditorState& s = state_;
    ParameterSetValues v;
    v.com = s.txtParamCOM.text;
    v.seg = s.txtParamSEG.text;
    v.tol = s.txtParamTOL.text;
    v.tolu = s.cboParamTOLU.currentText();
    v.itol = s.txtParamITOL.text;
    v.itolu = s.cboParamITOLU.currentText();
    v.pfa = s.cboParamPFA.currentText();
    v.db = s.lstParamDB.selectedItems();
    v.mods = s.lstParamMODS.items;
    v.massAverage = s.optParamMASS.chosen == 1;
    v.cle = s.cboParamCLE.currentText();
    v.msms = s.chkParamSEARCH.checked;
    v.username = s.txtParamUSERNAME.text;
    v.useremail = s.txtParamUSEREMAIL.text;
    v.charge = s.cboParamCHARGE.currentText();
    v.report = s.cboParamREPORT.currentText();
    v.format = s.cboParamFORMAT.currentText();
    v.itMods = s.lstParamIT_MODS.items;
    v.taxonomy = s.cboParamTAXONOMY.currentText();
    v.instrument = s.cboParamINSTRUMENT.currentText();
    v.pepIsotopeError = {s.cboParamPEP_ISOTOPE_ERROR.currentText(), s.cboParamPEP_ISOTOPE_ERROR.current};
    v.decoy = s.chkParamDECOY.checked;
    v.errorTolerant = s.chkParamERRORTOLERANT.checked;
    v.quantitation = {s.cboParamQUANTITATION.currentText(), s.cboParamQUANTITATION.current};
    v.serverAtLeast2_2 = atLeast(QStringLiteral("2.2"));
    return v;
}

std::optional<EditorMessage> ParameterEditor::overwriteQuestionFor(const QString& path) const {
    if (!QFileInfo::exists(path)) return std::nullopt;
    return overwriteQuestion(path);
}

bool ParameterEditor::SaveParameterFile(const QString& path) {
    const auto error = writeParameterFile(path, values());
    if (error) {
        // A file that cannot be created is most often a read-only one; the
        // other failures say what went wrong in their own words.
        say(error->kind == ParameterFileError::Kind::CannotCreate
                ? QStringLiteral("Cannot save file. Is ") + path + QStringLiteral(" read-only?")
                : error->message);
        return false;
    }
    state_.lblParamPfileTag = path;
    ParameterSetChanged_ = false;
    return true;
}

}  // namespace tavrel
