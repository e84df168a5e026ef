// The page's widgets and their layout: three frames, "Parameter set" across
// the top, "All Searches" and "MS/MS" side by side below it.
#include "params/forms/ParameterEditorPage.h"

#include "clientcommon/forms/FitPathToLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavrel {

namespace {

template <typename W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QComboBox* dropDown(const char* name, QWidget* parent) {
    auto* box = named(new QComboBox(parent), QLatin1String(name));
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(6);
    return box;
}

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

ParameterEditorPage::ParameterEditorPage(QWidget* parent) : ParameterEditorPage(ParameterEditor::Environment{}, parent) {}

ParameterEditorPage::ParameterEditorPage(ParameterEditor::Environment environment, QWidget* parent)
    : QWidget(parent),
      editor_(environment.programFolder ? ParameterEditor(std::move(environment)) : ParameterEditor()) {
    setObjectName(QStringLiteral("ParameterEditorPage"));
    buildControls();
    connectControls();
    announcedFile_ = editor_.currentFile();
    showState();
}

void ParameterEditorPage::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildParameterSetFrame());
    layout->addWidget(buildAllSearchesFrame(), 1);
    layout->addWidget(buildMsmsFrame());
    // Reading order, row by row, as the frames show the controls.
    QWidget* order[] = {cmdParamNew, cmdParamOpen, cmdParamSave, cmdParamSaveAs, txtParamCOM, txtParamUSERNAME,
                        txtParamUSEREMAIL, lstParamDB, cmdParamMODS, cboParamTAXONOMY, txtParamSEG, cboParamCLE,
                        txtParamTOL, cboParamTOLU, cboParamPFA, cboParamCHARGE, optParamMASS[0], optParamMASS[1],
                        cboParamREPORT, chkParamDECOY, chkParamSEARCH, cboParamFORMAT, txtParamITOL, cboParamITOLU,
                        cboParamINSTRUMENT, cboParamPEP_ISOTOPE_ERROR, cboParamQUANTITATION, chkParamERRORTOLERANT};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

QWidget* ParameterEditorPage::buildParameterSetFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Parameter set"), this);
    cmdParamNew = named(new QPushButton(QStringLiteral("&New"), frame), "cmdParamNew");
    cmdParamOpen = named(new QPushButton(QStringLiteral("&Open ..."), frame), "cmdParamOpen");
    cmdParamSave = named(new QPushButton(QStringLiteral("&Save"), frame), "cmdParamSave");
    cmdParamSaveAs = named(new QPushButton(QStringLiteral("Save &As ..."), frame), "cmdParamSaveAs");
    lblParamFilename = named(new QLabel(frame), "lblParamFilename");
    lblParamPfile = named(new PathLabel(frame), "lblParamPfile");
    lblParamPfile->setMinimumWidth(120);
    lblParamPfile->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* row = new QHBoxLayout(frame);
    for (QPushButton* b : {cmdParamNew, cmdParamOpen, cmdParamSave, cmdParamSaveAs}) row->addWidget(b);
    row->addSpacing(12);
    row->addWidget(lblParamFilename);
    row->addWidget(lblParamPfile, 1);
    return frame;
}

QWidget* ParameterEditorPage::buildAllSearchesFrame() {
    auto* frame = new QGroupBox(QStringLiteral("All Searches"), this);
    txtParamCOM = named(new QLineEdit(frame), "txtParamCOM");
    txtParamUSERNAME = named(new QLineEdit(frame), "txtParamUSERNAME");
    txtParamUSEREMAIL = named(new QLineEdit(frame), "txtParamUSEREMAIL");
    lstParamDB = named(new QListWidget(frame), "lstParamDB");
    lstParamDB->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstParamMODS = named(new QListWidget(frame), "lstParamMODS");
    lstParamIT_MODS = named(new QListWidget(frame), "lstParamIT_MODS");
    for (QListWidget* list : {lstParamMODS, lstParamIT_MODS}) {
        list->setSelectionMode(QAbstractItemView::NoSelection);  // display only
        list->setFocusPolicy(Qt::NoFocus);
    }
    cmdParamMODS = named(new QPushButton(QStringLiteral("Select &Modifications"), frame), "cmdParamMODS");
    txtParamSEG = named(new QLineEdit(frame), "txtParamSEG");
    txtParamTOL = named(new QLineEdit(frame), "txtParamTOL");
    for (QLineEdit* number : {txtParamSEG, txtParamTOL})
        number->setMinimumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("0000.000")) + 12);
    cboParamTOLU = dropDown("cboParamTOLU", frame);
    cboParamPFA = dropDown("cboParamPFA", frame);
    cboParamCLE = dropDown("cboParamCLE", frame);
    optParamMASS[0] = named(new QRadioButton(QStringLiteral("Monoisotopic"), frame), "optParamMASS(0)");
    optParamMASS[1] = named(new QRadioButton(QStringLiteral("Average"), frame), "optParamMASS(1)");
    chkParamSEARCH = named(new QCheckBox(QStringLiteral("MS/MS Ions search"), frame), "chkParamSEARCH");
    cboParamCHARGE = dropDown("cboParamCHARGE", frame);
    cboParamREPORT = dropDown("cboParamREPORT", frame);
    cboParamTAXONOMY = dropDown("cboParamTAXONOMY", frame);
    chkParamDECOY = named(new QCheckBox(QStringLiteral("Decoy database"), frame), "chkParamDECOY");

    auto* grid = new QGridLayout(frame);
    int row = 0;
    grid->addWidget(caption(QStringLiteral("Search &title"), txtParamCOM, frame), row, 0);
    grid->addWidget(txtParamCOM, row++, 1, 1, 4);
    grid->addWidget(caption(QStringLiteral("&User name"), txtParamUSERNAME, frame), row, 0);
    grid->addWidget(txtParamUSERNAME, row, 1);
    grid->addWidget(caption(QStringLiteral("User &email"), txtParamUSEREMAIL, frame), row, 2);
    grid->addWidget(txtParamUSEREMAIL, row++, 3, 1, 2);
    grid->addWidget(caption(QStringLiteral("&Database"), lstParamDB, frame), row, 0, Qt::AlignTop);
    grid->addWidget(lstParamDB, row, 1, 3, 1);
    grid->addWidget(caption(QStringLiteral("Fixed modifications"), lstParamMODS, frame), row, 2, Qt::AlignTop);
    grid->addWidget(lstParamMODS, row++, 3, 1, 2);
    grid->addWidget(caption(QStringLiteral("Variable modifications"), lstParamIT_MODS, frame), row, 2, Qt::AlignTop);
    grid->addWidget(lstParamIT_MODS, row++, 3, 1, 2);
    grid->addWidget(cmdParamMODS, row++, 3, 1, 2);
    grid->addWidget(caption(QStringLiteral("Ta&xonomy"), cboParamTAXONOMY, frame), row, 0);
    grid->addWidget(cboParamTAXONOMY, row, 1);
    grid->addWidget(caption(QStringLiteral("Protein mass"), txtParamSEG, frame), row, 2);
    grid->addWidget(txtParamSEG, row, 3);
    grid->addWidget(new QLabel(QStringLiteral("kDa"), frame), row++, 4);
    grid->addWidget(caption(QStringLiteral("En&zyme"), cboParamCLE, frame), row, 0);
    grid->addWidget(cboParamCLE, row, 1);
    grid->addWidget(caption(QStringLiteral("Peptide tol. \u00B1"), txtParamTOL, frame), row, 2);
    grid->addWidget(txtParamTOL, row, 3);
    grid->addWidget(cboParamTOLU, row++, 4);
    grid->addWidget(caption(QStringLiteral("Max. missed cleavages"), cboParamPFA, frame), row, 0);
    grid->addWidget(cboParamPFA, row, 1, Qt::AlignLeft);
    grid->addWidget(caption(QStringLiteral("Peptide c&harge"), cboParamCHARGE, frame), row, 2);
    grid->addWidget(cboParamCHARGE, row++, 3, 1, 2);
    auto* masses = new QHBoxLayout;
    masses->addWidget(optParamMASS[0]);
    masses->addWidget(optParamMASS[1]);
    masses->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("Mass values"), frame), row, 0);
    grid->addLayout(masses, row, 1);
    auto* report = new QHBoxLayout;
    report->addWidget(cboParamREPORT);
    report->addWidget(new QLabel(QStringLiteral("hits"), frame));
    report->addStretch();
    grid->addWidget(caption(QStringLiteral("&Report top"), cboParamREPORT, frame), row, 2);
    grid->addLayout(report, row++, 3, 1, 2);
    grid->addWidget(chkParamDECOY, row, 1);
    grid->addWidget(chkParamSEARCH, row++, 3, 1, 2);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(3, 1);
    return frame;
}

QWidget* ParameterEditorPage::buildMsmsFrame() {
    auto* frame = new QGroupBox(QStringLiteral("MS/MS"), this);
    cboParamFORMAT = dropDown("cboParamFORMAT", frame);
    txtParamITOL = named(new QLineEdit(frame), "txtParamITOL");
    cboParamITOLU = dropDown("cboParamITOLU", frame);
    cboParamINSTRUMENT = dropDown("cboParamINSTRUMENT", frame);
    cboParamPEP_ISOTOPE_ERROR = dropDown("cboParamPEP_ISOTOPE_ERROR", frame);
    cboParamQUANTITATION = dropDown("cboParamQUANTITATION", frame);
    chkParamERRORTOLERANT = named(new QCheckBox(QStringLiteral("Error tolerant search"), frame), "chkParamERRORTOLERANT");
    lblParamFORMAT = named(caption(QString(), cboParamFORMAT, frame), "lblParamFORMAT");
    lblParamITOL = named(caption(QString(), txtParamITOL, frame), "lblParamITOL");
    lblParamINSTRUMENT = named(caption(QString(), cboParamINSTRUMENT, frame), "lblParamINSTRUMENT");
    lblParamPEP_ISOTOPE_ERROR = named(caption(QString(), cboParamPEP_ISOTOPE_ERROR, frame), "lblParamPEP_ISOTOPE_ERROR");
    lblParamQUANTITATION = named(caption(QString(), cboParamQUANTITATION, frame), "lblParamQUANTITATION");

    txtParamITOL->setMinimumWidth(txtParamITOL->fontMetrics().horizontalAdvance(QStringLiteral("0000.000")) + 12);
    auto* tolerance = new QHBoxLayout;
    tolerance->addWidget(txtParamITOL);
    tolerance->addWidget(cboParamITOLU);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(lblParamFORMAT, 0, 0);
    grid->addWidget(cboParamFORMAT, 0, 1);
    grid->addWidget(lblParamITOL, 0, 2);
    grid->addLayout(tolerance, 0, 3);
    grid->addWidget(lblParamINSTRUMENT, 0, 4);
    grid->addWidget(cboParamINSTRUMENT, 0, 5);
    grid->addWidget(lblParamPEP_ISOTOPE_ERROR, 1, 0);
    grid->addWidget(cboParamPEP_ISOTOPE_ERROR, 1, 1, Qt::AlignLeft);
    grid->addWidget(lblParamQUANTITATION, 1, 2);
    grid->addWidget(cboParamQUANTITATION, 1, 3);
    grid->addWidget(chkParamERRORTOLERANT, 1, 5);
    for (int column : {1, 3, 5}) grid->setColumnStretch(column, 1);
    return frame;
}

}  // namespace tavrel
