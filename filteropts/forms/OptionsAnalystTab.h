#pragma once
// Tab "Sciex Analyst": the processing parameters that Pondrel hands to the
// Sciex .WIFF import library.
#include "filteropts/forms/OptionsControls.h"
#include "filteropts/forms/OptionsTab.h"

namespace filteropts {

class OptionsAnalystTab : public OptionsTab {
public:
    OptionsAnalystTab(const OptionsDialogContext& context, QWidget* parent);

    QStringList fields() const override;

    std::array<QCheckBox*, 4> chkSciexCharge{};
    QCheckBox* chkSciexDiscardCharge5plus;
    QLineEdit* txtSciexIDASurveyHeightPerc;
    QLineEdit* txtSciexIDASurveyMergeDist;
    QCheckBox* chkSciexGetChargeFromSurvey;
    QLineEdit* txtSciexMSMSAveNeedXPeaks;
    QLineEdit* txtSciexMSMSAveMinPrecusor;
    QLineEdit* txtSciexMSMSAveMaxPrecusor;
    QLineEdit* txtSciexMSMSAvePrecusorTol;
    QLineEdit* txtSciexMSMSAveMaxCycBetween;
    QLineEdit* txtSciexMSMSAveMinCyclesPerGp;
    QCheckBox* chkSciexMSMSCentroidEnable;
    QLineEdit* txtSciexMSMSCentroidHeightPerc;
    QLineEdit* txtSciexMSMSCentroidMergeDist;
    QLineEdit* txtSciexMSMSThresholdPerc;
    QCheckBox* chkSciexMSMSSmoothDeisotope;
    OptionGroup<2> optSciexMergeMultipleSamples;

protected:
    void loadFields(const OptionReading& reading) override;

private:
    void buildFrames();
    void setToolTips();
    // With Analyst itself installed its own centroid settings apply.
    void adaptToInstalledAnalyst();

    QList<QWidget*> centroidControls_;  // the four boxes and their labels
};

}  // namespace filteropts
