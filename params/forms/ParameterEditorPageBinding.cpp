// The page mirrors the model: user input goes to the model's handlers, and
// after each step every widget is set from the model's state with its
// signals blocked, so a value set by the program never counts as an edit.
#include "params/forms/ParameterEditorPage.h"

#include "clientcommon/HandlerGuard.h"
#include "clientcommon/forms/ControlMirror.h"
#include "clientcommon/forms/FitPathToLabel.h"
#include "params/forms/frmModifications.h"
#include "params/ServerData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace tavrel {

using S = ParameterEditorState;

namespace {

void mirror(QLineEdit* edit, const TextControl& c) { mirrorText(edit, c); }
void mirror(QComboBox* box, const ListControl& c) { mirrorList(box, c); }
void mirror(QCheckBox* box, const CheckControl& c) { mirrorCheck(box, c); }
void mirror(QListWidget* list, const QStringList& items) { mirrorItems(list, items); }

void mirror(QLabel* label, const LabelControl& c) {
    label->setText(c.caption);
    label->setEnabled(c.enabled);
}

void mirror(QListWidget* list, const MultiListControl& c) {
    const QSignalBlocker blocker(list);
    mirror(list, c.items);
    for (int i = 0; i < list->count(); ++i) list->item(i)->setSelected(c.selected.value(i));
    if (c.current >= 0) list->setCurrentRow(c.current, QItemSelectionModel::NoUpdate);
    list->setEnabled(c.enabled);
}

}  // namespace

void ParameterEditorPage::connectControls() {
    const std::pair<QLineEdit*, TextControl S::*> texts[] = {
        {txtParamCOM, &S::txtParamCOM}, {txtParamUSERNAME, &S::txtParamUSERNAME},
        {txtParamUSEREMAIL, &S::txtParamUSEREMAIL}, {txtParamSEG, &S::txtParamSEG},
        {txtParamTOL, &S::txtParamTOL}, {txtParamITOL, &S::txtParamITOL}};
    for (const auto& [edit, control] : texts)
        connect(edit, &QLineEdit::textEdited, this,
                guarded(edit->objectName() + QStringLiteral("_Change"), [this, control](const QString& text) {
                    act([&] { editor_.editText(control, text); });
                }));

    const std::pair<QComboBox*, ListControl S::*> lists[] = {
        {cboParamTOLU, &S::cboParamTOLU}, {cboParamPFA, &S::cboParamPFA},
        {cboParamCLE, &S::cboParamCLE}, {cboParamCHARGE, &S::cboParamCHARGE},
        {cboParamREPORT, &S::cboParamREPORT}, {cboParamTAXONOMY, &S::cboParamTAXONOMY},
        {cboParamFORMAT, &S::cboParamFORMAT}, {cboParamITOLU, &S::cboParamITOLU},
        {cboParamINSTRUMENT, &S::cboParamINSTRUMENT}, {cboParamPEP_ISOTOPE_ERROR, &S::cboParamPEP_ISOTOPE_ERROR},
        {cboParamQUANTITATION, &S::cboParamQUANTITATION}};
    for (const auto& [box, control] : lists)
        connect(box, &QComboBox::activated, this,
                guarded(box->objectName() + QStringLiteral("_Click"),
                        [this, control](int index) { act([&] { editor_.choose(control, index); }); }));

    const std::pair<QCheckBox*, CheckControl S::*> checks[] = {
        {chkParamSEARCH, &S::chkParamSEARCH}, {chkParamDECOY, &S::chkParamDECOY},
        {chkParamERRORTOLERANT, &S::chkParamERRORTOLERANT}};
    for (const auto& [box, control] : checks)
        connect(box, &QCheckBox::clicked, this,
                guarded(box->objectName() + QStringLiteral("_Click"),
                        [this, control](bool on) { act([&] { editor_.click(control, on); }); }));

    for (int option : {0, 1})
        connect(optParamMASS[option], &QRadioButton::clicked, this,
                guarded(QStringLiteral("optParamMASS_Click"),
                        [this, option] { act([&] { editor_.chooseMass(option); }); }));
    connect(lstParamDB, &QListWidget::itemSelectionChanged, this,
            guarded(QStringLiteral("lstParamDB_Click"), [this] { lstParamDB_Click(); }));
    connect(cmdParamMODS, &QPushButton::clicked, this,
            guarded(QStringLiteral("cmdParamMODS_Click"), [this] { cmdParamMODS_Click(); }));
    // The file buttons run the File menu's commands.
    const std::pair<QPushButton*, void (ParameterEditorPage::*)()> fileButtons[] = {
        {cmdParamNew, &ParameterEditorPage::mnuFileNew_Click},
        {cmdParamOpen, &ParameterEditorPage::mnuFileOpen_Click},
        {cmdParamSave, &ParameterEditorPage::mnuFileSave_Click},
        {cmdParamSaveAs, &ParameterEditorPage::mnuFileSaveAs_Click}};
    for (const auto& [button, command] : fileButtons)
        connect(button, &QPushButton::clicked, this,
                guarded(button->objectName() + QStringLiteral("_Click"),
                        [this, command = command] { (this->*command)(); }));
}

void ParameterEditorPage::act(const std::function<void()>& step) {
    // Nothing may escape a handler; the state shown stays the model's.
    guardHandler(QStringLiteral("frmMain"), step);
    showState();
    showMessages();
    announce();
}

void ParameterEditorPage::showMessages() {
    for (const EditorMessage& m : editor_.takeMessages()) showEditorMessage(m);
}

void ParameterEditorPage::announce() {
    if (editor_.currentFile() != announcedFile_) {
        announcedFile_ = editor_.currentFile();
        emit currentFileChanged(announcedFile_);
    }
    if (editor_.parameterSetChanged() != announcedChanged_) {
        announcedChanged_ = editor_.parameterSetChanged();
        emit parameterSetChangedChanged(announcedChanged_);
    }
}

void ParameterEditorPage::showState() {
    const S& s = editor_.state();
    mirror(lblParamFilename, s.lblParamFilename);
    lblParamPfile->setPath(editor_.currentFile());
    mirror(txtParamCOM, s.txtParamCOM);
    mirror(txtParamUSERNAME, s.txtParamUSERNAME);
    mirror(txtParamUSEREMAIL, s.txtParamUSEREMAIL);
    mirror(lstParamDB, s.lstParamDB);
    mirror(lstParamMODS, s.lstParamMODS.items);
    mirror(lstParamIT_MODS, s.lstParamIT_MODS.items);
    mirror(txtParamSEG, s.txtParamSEG);
    mirror(txtParamTOL, s.txtParamTOL);
    mirror(cboParamTOLU, s.cboParamTOLU);
    mirror(cboParamPFA, s.cboParamPFA);
    mirror(cboParamCLE, s.cboParamCLE);
    for (int option : {0, 1}) {
        const QSignalBlocker blocker(optParamMASS[option]);
        optParamMASS[option]->setChecked(s.optParamMASS.chosen == option);
        optParamMASS[option]->setEnabled(s.optParamMASS.enabled);
    }
    mirror(chkParamSEARCH, s.chkParamSEARCH);
    mirror(cboParamCHARGE, s.cboParamCHARGE);
    mirror(cboParamREPORT, s.cboParamREPORT);
    mirror(cboParamTAXONOMY, s.cboParamTAXONOMY);
    mirror(chkParamDECOY, s.chkParamDECOY);
    mirror(lblParamFORMAT, s.lblParamFORMAT);
    mirror(cboParamFORMAT, s.cboParamFORMAT);
    mirror(lblParamITOL, s.lblParamITOL);
    mirror(txtParamITOL, s.txtParamITOL);
    mirror(cboParamITOLU, s.cboParamITOLU);
    mirror(lblParamINSTRUMENT, s.lblParamINSTRUMENT);
    mirror(cboParamINSTRUMENT, s.cboParamINSTRUMENT);
    mirror(lblParamPEP_ISOTOPE_ERROR, s.lblParamPEP_ISOTOPE_ERROR);
    mirror(cboParamPEP_ISOTOPE_ERROR, s.cboParamPEP_ISOTOPE_ERROR);
    mirror(lblParamQUANTITATION, s.lblParamQUANTITATION);
    mirror(cboParamQUANTITATION, s.cboParamQUANTITATION);
    mirror(chkParamERRORTOLERANT, s.chkParamERRORTOLERANT);
}

void ParameterEditorPage::lstParamDB_Click() {
    QList<bool> selected;
    for (int i = 0; i < lstParamDB->count(); ++i) selected << lstParamDB->item(i)->isSelected();
    act([&] { editor_.lstParamDB_Click(selected, lstParamDB->currentRow()); });
}

void ParameterEditorPage::cmdParamMODS_Click() {
    const S& s = editor_.state();
    frmModifications dialog(s.lstParamMODS.items, s.lstParamIT_MODS.items,
                            serverDataPath(editor_.programFolder()), this);
    if (dialog.exec() != QDialog::Accepted) return;
    act([&] { editor_.setModifications(dialog.fixedMods(), dialog.variableMods()); });
}

}  // namespace tavrel
