#include "filteropts/forms/OptionsVoyagerTab.h"

#include "clientcommon/HandlerGuard.h"
#include "filteropts/FieldChecks.h"
#include "filteropts/NumberText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace filteropts {

OptionsVoyagerTab::OptionsVoyagerTab(const OptionsDialogContext& context, QWidget* parent)
    : OptionsTab(kVoyager, context, parent) {
    buildFrames();
    tavrel::connectGuarded(chkVoyagerMacro, &QCheckBox::toggled, this, QStringLiteral("chkVoyagerMacro_Click"),
                           &OptionsVoyagerTab::chkVoyagerMacro_Click);
    tavrel::connectGuarded(chkVoyagerNoise, &QCheckBox::toggled, this, QStringLiteral("chkVoyagerNoise_Click"),
                           &OptionsVoyagerTab::chkVoyagerNoise_Click);
    tavrel::connectGuarded(cboVoyagerNoiseFilter, &QComboBox::currentIndexChanged, this,
                           QStringLiteral("cboVoyagerNoiseFilter_Click"),
                           &OptionsVoyagerTab::cboVoyagerNoiseFilter_Click);
    QObject::connect(optVoyagerIntensity.group, &QButtonGroup::idToggled, this,
                     tavrel::guarded(QStringLiteral("optVoyagerIntensity_Click"), [this](int index, bool checked) {
                         if (checked) optVoyagerIntensity_Click(index);
                     }));
}

void OptionsVoyagerTab::buildFrames() {
    auto* process = newFrame(7, QStringLiteral("Processing settings"), this);
    optVoyagerProcess = newOptionGroup<2>(
        "optVoyagerProcess",
        {QStringLiteral("Take settings from data file"), QStringLiteral("Take settings from default SET file")}, process);
    auto* processColumn = new QVBoxLayout(process);
    for (QRadioButton* b : optVoyagerProcess.item) processColumn->addWidget(b);

    auto* macro = newFrame(8, QStringLiteral("VBA macro"), this);
    chkVoyagerMacro = newCheckBox("chkVoyagerMacro", QStringLiteral("Run VBA macro assigned to button"), macro);
    QStringList buttons;
    for (int i = 1; i <= 10; ++i) buttons << QString::number(i);
    cboVoyagerMacro = newComboBox("cboVoyagerMacro", buttons, macro);
    auto* macroRow = new QHBoxLayout(macro);
    macroRow->addWidget(chkVoyagerMacro);
    macroRow->addWidget(cboVoyagerMacro);

    auto* noise = newFrame(9, QStringLiteral("Noise filters"), this);
    chkVoyagerNoise = newCheckBox("chkVoyagerNoise", QStringLiteral("Apply noise filter"), noise);
    cboVoyagerNoiseFilter = newComboBox("cboVoyagerNoiseFilter",
                                        {QStringLiteral("Default"), QStringLiteral("Noise Filter"),
                                         QStringLiteral("Gaussian Smooth"), QStringLiteral("Noise Removal")},
                                        noise);
    cboVoyagerNoiseFilter->setCurrentIndex(-1);
    Label1_31 = newLabel(QStringLiteral("with parameter"), noise);
    Label1_31->setObjectName(QStringLiteral("Label1(31)"));
    txtVoyagerNoiseParam = newLineEdit("txtVoyagerNoiseParam", noise);
    Label1_31->setBuddy(txtVoyagerNoiseParam);
    auto* noiseGrid = new QGridLayout(noise);
    noiseGrid->addWidget(chkVoyagerNoise, 0, 0);
    noiseGrid->addWidget(cboVoyagerNoiseFilter, 0, 1);
    noiseGrid->addWidget(Label1_31, 1, 0);
    noiseGrid->addWidget(txtVoyagerNoiseParam, 1, 1);

    auto* baseline = newFrame(11, QStringLiteral("Baseline"), this);
    chkVoyagerBaseline = newCheckBox("chkVoyagerBaseline", QStringLiteral("Correct baseline"), baseline);
    (new QVBoxLayout(baseline))->addWidget(chkVoyagerBaseline);

    auto* intensity = newFrame(12, QStringLiteral("Intensity filters"), this);
    optVoyagerIntensity =
        newOptionGroup<2>("optVoyagerIntensity", {QStringLiteral("All peaks"), QStringLiteral("Select")}, intensity);
    txtVoyagerIntensityNumber = newLineEdit("txtVoyagerIntensityNumber", intensity);
    txtVoyagerIntensityInterval = newLineEdit("txtVoyagerIntensityInterval", intensity);
    auto* intensityGrid = new QGridLayout(intensity);
    intensityGrid->addWidget(optVoyagerIntensity.item[0], 0, 0, 1, 5);
    intensityGrid->addWidget(optVoyagerIntensity.item[1], 1, 0);
    intensityGrid->addWidget(txtVoyagerIntensityNumber, 1, 1);
    intensityGrid->addWidget(newLabel(QStringLiteral("most intense peaks per"), intensity), 1, 2);
    intensityGrid->addWidget(txtVoyagerIntensityInterval, 1, 3);
    intensityGrid->addWidget(newLabel(QStringLiteral("Da"), intensity), 1, 4);

    auto* peaks = newFrame(10, QStringLiteral("Peak filters"), this);
    chkVoyagerMonoisotopic = newCheckBox("chkVoyagerMonoisotopic", QStringLiteral("Only monoisotopic peaks"), peaks);
    chkVoyagerSngleCharge = newCheckBox("chkVoyagerSngleCharge", QStringLiteral("Only singly charged peaks"), peaks);
    auto* peaksColumn = new QVBoxLayout(peaks);
    peaksColumn->addWidget(chkVoyagerMonoisotopic);
    peaksColumn->addWidget(chkVoyagerSngleCharge);

    auto* grid = new QGridLayout(this);
    grid->addWidget(process, 0, 0);
    grid->addWidget(macro, 0, 1);
    grid->addWidget(noise, 1, 0);
    grid->addWidget(baseline, 1, 1);
    grid->addWidget(intensity, 2, 0);
    grid->addWidget(peaks, 2, 1);
    grid->setRowStretch(3, 1);
}

void OptionsVoyagerTab::chkVoyagerMacro_Click() { cboVoyagerMacro->setEnabled(chkVoyagerMacro->isChecked()); }

void OptionsVoyagerTab::chkVoyagerNoise_Click() {
    // The noise check box sets enabled state only; the filter choice sets visibility.
    cboVoyagerNoiseFilter->setEnabled(chkVoyagerNoise->isChecked());
    txtVoyagerNoiseParam->setEnabled(chkVoyagerNoise->isChecked());
}

void OptionsVoyagerTab::cboVoyagerNoiseFilter_Click() {
    static const char* const captions[] = {"", "Correlation factor", "Width (odd integer)", "Standard Deviation"};
    const int index = cboVoyagerNoiseFilter->currentIndex();
    if (index < 0 || index > 3) return;
    Label1_31->setText(QString::fromLatin1(captions[index]));
    txtVoyagerNoiseParam->setVisible(index != 0);
}

void OptionsVoyagerTab::optVoyagerIntensity_Click(int index) {
    txtVoyagerIntensityNumber->setEnabled(index == 1);
    txtVoyagerIntensityInterval->setEnabled(index == 1);
}

void OptionsVoyagerTab::loadFields(const OptionReading& r) {
    using namespace voyager;
    const auto index = [&](int field) { return fieldIndex(kVoyager, field, r.fields[field]); };
    optVoyagerProcess.choose(fieldYesNo(kVoyager, Process, r.fields[Process]) ? 0 : 1);
    chkVoyagerMacro->setChecked(index(Macro) == 1);
    cboVoyagerMacro->setCurrentIndex(index(MacroButton));
    chkVoyagerMacro_Click();
    chkVoyagerBaseline->setChecked(index(Baseline) == 1);
    chkVoyagerNoise->setChecked(index(Noise) == 1);
    cboVoyagerNoiseFilter->setCurrentIndex(index(NoiseFilter));
    cboVoyagerNoiseFilter_Click();
    txtVoyagerNoiseParam->setText(r.fields[NoiseParam]);
    chkVoyagerNoise_Click();
    chkVoyagerMonoisotopic->setChecked(index(Monoisotopic) == 1);
    chkVoyagerSngleCharge->setChecked(index(SingleCharge) == 1);
    const int intensity = fieldYesNo(kVoyager, Intensity, r.fields[Intensity]) ? 0 : 1;
    optVoyagerIntensity.choose(intensity);
    optVoyagerIntensity_Click(intensity);
    txtVoyagerIntensityNumber->setText(r.fields[IntensityNumber]);
    txtVoyagerIntensityInterval->setText(r.fields[IntensityInterval]);
}

QStringList OptionsVoyagerTab::fields() const {
    return {yesNoText(optVoyagerProcess.chosen() == 0),
            checkText(chkVoyagerMacro->isChecked()),
            QString::number(cboVoyagerMacro->currentIndex()),
            checkText(chkVoyagerBaseline->isChecked()),
            checkText(chkVoyagerNoise->isChecked()),
            QString::number(cboVoyagerNoiseFilter->currentIndex()),
            txtVoyagerNoiseParam->text(),
            checkText(chkVoyagerMonoisotopic->isChecked()),
            checkText(chkVoyagerSngleCharge->isChecked()),
            yesNoText(optVoyagerIntensity.chosen() == 0),
            txtVoyagerIntensityNumber->text(),
            txtVoyagerIntensityInterval->text()};
}

QString OptionsVoyagerTab::rangeCheck() {
    QString parameter = txtVoyagerNoiseParam->text();
    const QString failed = checkNoiseParameter(cboVoyagerNoiseFilter->currentIndex(), parameter);
    if (parameter != txtVoyagerNoiseParam->text()) txtVoyagerNoiseParam->setText(parameter);
    if (!failed.isEmpty()) return failed;
    return checkIntensitySelection(txtVoyagerIntensityNumber->text(), txtVoyagerIntensityInterval->text());
}

}  // namespace filteropts
