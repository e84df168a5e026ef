#include "filteropts/forms/OptionsAnalystTab.h"

#include "filteropts/NumberText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace filteropts {

namespace {

const QString kSuggestHeight = QStringLiteral("Peak area above this value is used to determine the centroid mass. Suggest 50%");
const QString kSuggestMerge = QStringLiteral(
    "Should be less than 0.25 amu so that isotopic peaks of charge state 4 are separated. Suggest 0.1");

}  // namespace

OptionsAnalystTab::OptionsAnalystTab(const OptionsDialogContext& context, QWidget* parent)
    : OptionsTab(kAnalyst, context, parent) {
    buildFrames();
    setToolTips();
    if (context.components.analystInstalled) adaptToInstalledAnalyst();
}

void OptionsAnalystTab::buildFrames() {
    auto* charges = newFrame(5, QStringLiteral("Default precursor charge state"), this);
    auto* chargeRow = new QHBoxLayout(charges);
    for (int i = 0; i < 4; ++i) {
        chkSciexCharge[i] = new QCheckBox(QString::number(i + 1) + QLatin1Char('+'), charges);
        chkSciexCharge[i]->setObjectName(arrayMemberName("chkSciexCharge", i));
        chargeRow->addWidget(chkSciexCharge[i]);
    }
    chkSciexDiscardCharge5plus = newCheckBox("chkSciexDiscardCharge5plus", QStringLiteral("Discard 5+ or higher"), charges);
    chargeRow->addWidget(chkSciexDiscardCharge5plus);

    // A text box between its captions, on one row of a grid.
    const auto putRow = [this](QGridLayout* grid, int row, const QString& before, QLineEdit* box, const QString& after,
                               bool centroid = false) {
        auto* label = newLabel(before, box->parentWidget());
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        QLabel* unit = after.isEmpty() ? nullptr : newLabel(after, box->parentWidget());
        if (unit) grid->addWidget(unit, row, 2);
        if (centroid) centroidControls_ << label << box << unit;
    };

    auto* survey = newFrame(2, QStringLiteral("IDA survey scan centroid parameters"), this);
    auto* surveyGrid = new QGridLayout(survey);
    txtSciexIDASurveyHeightPerc = newLineEdit("txtSciexIDASurveyHeightPerc", survey);
    txtSciexIDASurveyMergeDist = newLineEdit("txtSciexIDASurveyMergeDist", survey);
    putRow(surveyGrid, 0, QStringLiteral("Percentage height:"), txtSciexIDASurveyHeightPerc, QStringLiteral("%"), true);
    putRow(surveyGrid, 1, QStringLiteral("Merge distance:"), txtSciexIDASurveyMergeDist, QStringLiteral("amu"), true);
    chkSciexGetChargeFromSurvey =
        newCheckBox("chkSciexGetChargeFromSurvey", QStringLiteral("Re-determine precursor charge"), survey);
    surveyGrid->addWidget(chkSciexGetChargeFromSurvey, 2, 0, 1, 3);

    auto* averaging = newFrame(4, QStringLiteral("MS-MS averaging"), this);
    auto* averagingGrid = new QGridLayout(averaging);
    txtSciexMSMSAveNeedXPeaks = newLineEdit("txtSciexMSMSAveNeedXPeaks", averaging);
    txtSciexMSMSAveMinPrecusor = newLineEdit("txtSciexMSMSAveMinPrecusor", averaging);
    txtSciexMSMSAveMaxPrecusor = newLineEdit("txtSciexMSMSAveMaxPrecusor", averaging);
    txtSciexMSMSAvePrecusorTol = newLineEdit("txtSciexMSMSAvePrecusorTol", averaging);
    txtSciexMSMSAveMaxCycBetween = newLineEdit("txtSciexMSMSAveMaxCycBetween", averaging);
    txtSciexMSMSAveMinCyclesPerGp = newLineEdit("txtSciexMSMSAveMinCyclesPerGp", averaging);
    putRow(averagingGrid, 0, QStringLiteral("Reject spectra if less than "), txtSciexMSMSAveNeedXPeaks, QStringLiteral("peaks"));
    putRow(averagingGrid, 1, QStringLiteral("or precursor <"), txtSciexMSMSAveMinPrecusor, {});
    putRow(averagingGrid, 2, QStringLiteral("or precursor >"), txtSciexMSMSAveMaxPrecusor, {});
    putRow(averagingGrid, 3, QStringLiteral("Precursor mass tolerance for grouping"), txtSciexMSMSAvePrecusorTol, {});
    putRow(averagingGrid, 4, QStringLiteral("Max. number cycles between groups"), txtSciexMSMSAveMaxCycBetween, {});
    putRow(averagingGrid, 5, QStringLiteral("Min. number cycles per group"), txtSciexMSMSAveMinCyclesPerGp, {});

    auto* centroid = newFrame(3, QStringLiteral("MS-MS data centroid / threshold"), this);
    auto* centroidGrid = new QGridLayout(centroid);
    chkSciexMSMSCentroidEnable = newCheckBox("chkSciexMSMSCentroidEnable", QStringLiteral("Centroid all MS/MS data"), centroid);
    centroidGrid->addWidget(chkSciexMSMSCentroidEnable, 0, 0, 1, 3);
    txtSciexMSMSCentroidHeightPerc = newLineEdit("txtSciexMSMSCentroidHeightPerc", centroid);
    txtSciexMSMSCentroidMergeDist = newLineEdit("txtSciexMSMSCentroidMergeDist", centroid);
    txtSciexMSMSThresholdPerc = newLineEdit("txtSciexMSMSThresholdPerc", centroid);
    putRow(centroidGrid, 1, QStringLiteral("Percentage height:"), txtSciexMSMSCentroidHeightPerc, QStringLiteral("%"), true);
    putRow(centroidGrid, 2, QStringLiteral("Merge distance:"), txtSciexMSMSCentroidMergeDist, QStringLiteral("amu"), true);
    putRow(centroidGrid, 3, QStringLiteral("Remove peaks with intensity less than"), txtSciexMSMSThresholdPerc,
           QStringLiteral("% of highest"));
    chkSciexMSMSSmoothDeisotope =
        newCheckBox("chkSciexMSMSSmoothDeisotope", QStringLiteral("Smooth before centroiding"), centroid);
    centroidGrid->addWidget(chkSciexMSMSSmoothDeisotope, 4, 0, 1, 3);

    auto* samples = newFrame(6, QStringLiteral("Multi-sample files"), this);
    optSciexMergeMultipleSamples = newOptionGroup<2>(
        "optSciexMergeMultipleSamples",
        {QStringLiteral("Merge all samples into single search"), QStringLiteral("Separate search for each sample")},
        samples);
    optSciexMergeMultipleSamples.choose(0);
    auto* samplesColumn = new QVBoxLayout(samples);
    for (QRadioButton* b : optSciexMergeMultipleSamples.item) samplesColumn->addWidget(b);

    auto* grid = new QGridLayout(this);
    grid->addWidget(charges, 0, 0, 1, 2);
    grid->addWidget(survey, 1, 0);
    grid->addWidget(averaging, 1, 1, 2, 1);
    grid->addWidget(centroid, 2, 0, 2, 1);
    grid->addWidget(samples, 3, 1);
    grid->setRowStretch(4, 1);
}

void OptionsAnalystTab::setToolTips() {
    for (QCheckBox* box : chkSciexCharge)
        box->setToolTip(QStringLiteral("Charge states to be tried if the actual charge state cannot be determined"));
    txtSciexIDASurveyHeightPerc->setToolTip(kSuggestHeight);
    txtSciexMSMSCentroidHeightPerc->setToolTip(kSuggestHeight);
    txtSciexIDASurveyMergeDist->setToolTip(kSuggestMerge);
    txtSciexMSMSCentroidMergeDist->setToolTip(kSuggestMerge);
    txtSciexMSMSAveNeedXPeaks->setToolTip(
        QStringLiteral("Significant matches are not possible with only a few peaks. Suggest 10"));
    txtSciexMSMSAveMinPrecusor->setToolTip(QStringLiteral(
        "If a precursor mass is less than this value, then its MS-MS spectra will be discarded. Suggest 50"));
    txtSciexMSMSAveMaxPrecusor->setToolTip(QStringLiteral(
        "If a precursor mass is greater than this value, then its MS-MS spectra will be ignored. Suggest 10000"));
    txtSciexMSMSAvePrecusorTol->setToolTip(QStringLiteral(
        "MS-MS spectra with precursor masses within this tolerance are grouped (summed together). Suggest 1"));
    txtSciexMSMSAveMaxCycBetween->setToolTip(QStringLiteral(
        "The maximum number of cycles between spectra that will be grouped because they have the same precursor "
        "mass. Suggest 10"));
    txtSciexMSMSAveMinCyclesPerGp->setToolTip(QStringLiteral(
        "The minimum number of cycles in any group. It is quite common to get a good spectrum in just one single "
        "cycle, so suggest 1"));
    txtSciexMSMSThresholdPerc->setToolTip(
        QStringLiteral("Peaks with intensity less than this value are discarded. Suggest 0.1%"));
    chkSciexGetChargeFromSurvey->setToolTip(
        QStringLiteral("Uncheck this box if charge states are not being determined reliably"));
    chkSciexMSMSCentroidEnable->setToolTip(QStringLiteral("This option should always be checked for Sorvex searches"));
    chkSciexDiscardCharge5plus->setToolTip(
        QStringLiteral("Check to discard all scans where precursor has charge of 5+ or more"));
    chkSciexMSMSSmoothDeisotope->setToolTip(QStringLiteral("Check to apply five-point Savitzky-Golay smooth"));
}

void OptionsAnalystTab::adaptToInstalledAnalyst() {
    for (QWidget* control : centroidControls_) control->setEnabled(false);
    chkSciexMSMSSmoothDeisotope->setText(QStringLiteral("De-isotope MS/MS data"));
    chkSciexMSMSSmoothDeisotope->setToolTip(QStringLiteral("Check to remove all isotope peaks except 12C"));
}

void OptionsAnalystTab::loadFields(const OptionReading& r) {
    using namespace analyst;
    const auto tick = [&](QCheckBox* box, int field) { box->setChecked(fieldIndex(kAnalyst, field, r.fields[field]) == 1); };
    for (int i = 0; i < 4; ++i) tick(chkSciexCharge[i], Charge1 + i);
    QLineEdit* texts[] = {txtSciexIDASurveyHeightPerc,  txtSciexIDASurveyMergeDist,   txtSciexMSMSAveNeedXPeaks,
                          txtSciexMSMSAveMinPrecusor,   txtSciexMSMSAveMaxPrecusor,   txtSciexMSMSAvePrecusorTol,
                          txtSciexMSMSAveMaxCycBetween, txtSciexMSMSAveMinCyclesPerGp};
    for (int i = 0; i < 8; ++i) texts[i]->setText(r.fields[IDASurveyHeightPerc + i]);
    tick(chkSciexMSMSCentroidEnable, MSMSCentroidEnable);
    txtSciexMSMSCentroidHeightPerc->setText(r.fields[MSMSCentroidHeightPerc]);
    txtSciexMSMSCentroidMergeDist->setText(r.fields[MSMSCentroidMergeDist]);
    txtSciexMSMSThresholdPerc->setText(r.fields[MSMSThresholdPerc]);
    tick(chkSciexGetChargeFromSurvey, GetChargeFromSurvey);
    optSciexMergeMultipleSamples.choose(fieldYesNo(kAnalyst, MergeMultipleSamples, r.fields[MergeMultipleSamples]) ? 0 : 1);
    tick(chkSciexDiscardCharge5plus, DiscardCharge5plus);
    tick(chkSciexMSMSSmoothDeisotope, MSMSSmoothDeisotope);
}

QStringList OptionsAnalystTab::fields() const {
    QStringList f;
    for (QCheckBox* box : chkSciexCharge) f << checkText(box->isChecked());
    f << txtSciexIDASurveyHeightPerc->text() << txtSciexIDASurveyMergeDist->text() << txtSciexMSMSAveNeedXPeaks->text()
      << txtSciexMSMSAveMinPrecusor->text() << txtSciexMSMSAveMaxPrecusor->text() << txtSciexMSMSAvePrecusorTol->text()
      << txtSciexMSMSAveMaxCycBetween->text() << txtSciexMSMSAveMinCyclesPerGp->text()
      << checkText(chkSciexMSMSCentroidEnable->isChecked()) << txtSciexMSMSCentroidHeightPerc->text()
      << txtSciexMSMSCentroidMergeDist->text() << txtSciexMSMSThresholdPerc->text()
      << checkText(chkSciexGetChargeFromSurvey->isChecked())
      << yesNoText(optSciexMergeMultipleSamples.chosen() == 0) << checkText(chkSciexDiscardCharge5plus->isChecked())
      << checkText(chkSciexMSMSSmoothDeisotope->isChecked());
    return f;
}

}  // namespace filteropts
