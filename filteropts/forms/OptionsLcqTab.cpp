#include "filteropts/forms/OptionsLcqTab.h"

#include "clientcommon/HandlerGuard.h"
#include "common/UncName.h"
#include "filteropts/forms/OptionsControls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace filteropts {

namespace {

void addRow(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field) {
    auto* label = newLabel(caption, field->parentWidget());
    label->setBuddy(field);
    grid->addWidget(label, row, column * 2);
    grid->addWidget(field, row, column * 2 + 1);
}

}  // namespace

OptionsLcqTab::OptionsLcqTab(const OptionsDialogContext& context, QWidget* parent)
    : OptionsTab(kLcq, context, parent) {
    auto* all = newFrame(0, QStringLiteral("All versions"), this);
    txtFirstScan = newLineEdit("txtFirstScan", all);
    txtLastScan = newLineEdit("txtLastScan", all);
    txtMinMass = newLineEdit("txtMinMass", all);
    txtMaxMass = newLineEdit("txtMaxMass", all);
    txtGroup = newLineEdit("txtGroup", all);
    txtInter = newLineEdit("txtInter", all);
    txtMinScan = newLineEdit("txtMinScan", all);
    cboCharge = newComboBox("cboCharge", {QStringLiteral("AUTO"), QStringLiteral("1"), QStringLiteral("2"),
                                          QStringLiteral("3"), QStringLiteral("4")}, all);
    auto* allGrid = new QGridLayout(all);
    addRow(allGrid, 0, 0, QStringLiteral("First scan"), txtFirstScan);
    addRow(allGrid, 0, 1, QStringLiteral("Last scan"), txtLastScan);
    addRow(allGrid, 1, 0, QStringLiteral("Minimum mass"), txtMinMass);
    addRow(allGrid, 1, 1, QStringLiteral("Maximum mass"), txtMaxMass);
    addRow(allGrid, 2, 0, QStringLiteral("Grouping tolerance"), txtGroup);
    addRow(allGrid, 2, 1, QStringLiteral("Intermediate scans"), txtInter);
    addRow(allGrid, 3, 0, QStringLiteral("Min. scans / group"), txtMinScan);
    addRow(allGrid, 3, 1, QStringLiteral("Precursor charge"), cboCharge);

    auto* v2 = newFrame(1, QStringLiteral("Version 2 only (Xcalibur)"), this);
    txtExtractMSn = newLineEdit("txtExtractMSn", v2);
    txtThreshold = newLineEdit("txtThreshold", v2);
    txtAASequence = newLineEdit("txtAASequence", v2);
    txtOptString = newLineEdit("txtOptString", v2);
    txtTemplate = newLineEdit("txtTemplate", v2);
    cmdTemplate = newButton("cmdTemplate", QStringLiteral("..."), v2);
    txtMinPeaks = newLineEdit("txtMinPeaks", v2);
    chkCalcCharge = newCheckBox("chkCalcCharge", QStringLiteral("Calculate charge"), v2);
    auto* v2Grid = new QGridLayout(v2);
    addRow(v2Grid, 0, 0, QStringLiteral("Extract MSn"), txtExtractMSn);
    addRow(v2Grid, 0, 1, QStringLiteral("Threshold"), txtThreshold);
    addRow(v2Grid, 1, 0, QStringLiteral("AA sequence"), txtAASequence);
    addRow(v2Grid, 1, 1, QStringLiteral("Options"), txtOptString);
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(txtTemplate, 1);
    templateRow->addWidget(cmdTemplate);
    auto* templateLabel = newLabel(QStringLiteral("Charge template"), v2);
    templateLabel->setBuddy(txtTemplate);
    v2Grid->addWidget(templateLabel, 2, 0);
    v2Grid->addLayout(templateRow, 2, 1, 1, 3);
    addRow(v2Grid, 3, 0, QStringLiteral("Min. peaks"), txtMinPeaks);
    v2Grid->addWidget(chkCalcCharge, 3, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(all);
    layout->addWidget(v2);
    layout->addStretch();

    tavrel::connectGuarded(cmdTemplate, &QPushButton::clicked, this, QStringLiteral("cmdTemplate_Click"),
                           &OptionsLcqTab::cmdTemplate_Click);
}

void OptionsLcqTab::loadFields(const OptionReading& r) {
    QLineEdit* texts[] = {txtFirstScan, txtLastScan, txtMinMass, txtMaxMass, txtGroup, txtInter, txtMinScan};
    for (int i = 0; i < 7; ++i) texts[i]->setText(r.fields[i]);
    cboCharge->setCurrentIndex(fieldIndex(kLcq, lcq::Charge, r.fields[lcq::Charge]));
    chkCalcCharge->setChecked(fieldIndex(kLcq, lcq::CalcCharge, r.fields[lcq::CalcCharge]) == 1);
    txtMinPeaks->setText(r.fields[lcq::MinPeaks]);
    txtTemplate->setText(common::modUncName_GetLocalPathFromUnc(r.fields[lcq::Template]));
    txtAASequence->setText(r.fields[lcq::AASequence]);
    txtOptString->setText(r.fields[lcq::OptString]);
    txtThreshold->setText(r.fields[lcq::Threshold]);
    txtExtractMSn->setText(r.fields[lcq::ExtractMSn]);
}

QStringList OptionsLcqTab::fields() const {
    return {txtFirstScan->text(), txtLastScan->text(), txtMinMass->text(), txtMaxMass->text(), txtGroup->text(),
            txtInter->text(), txtMinScan->text(), QString::number(cboCharge->currentIndex()),
            checkText(chkCalcCharge->isChecked()), txtMinPeaks->text(),
            common::modUncName_GetUncPath(txtTemplate->text()), txtAASequence->text(), txtOptString->text(),
            txtThreshold->text(), txtExtractMSn->text()};
}

void OptionsLcqTab::cmdTemplate_Click() {
    const auto& showDialog = context().showTemplateOpenDialog;
    const QString path = showDialog ? showDialog() : QString();
    if (!path.isEmpty()) txtTemplate->setText(path);
}

}  // namespace filteropts
