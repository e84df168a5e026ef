#pragma once
// Tab "Data Explorer": the processing of Voyager data by Data Explorer.
#include "filteropts/forms/OptionsControls.h"
#include "filteropts/forms/OptionsTab.h"

namespace filteropts {

class OptionsVoyagerTab : public OptionsTab {
public:
    OptionsVoyagerTab(const OptionsDialogContext& context, QWidget* parent);

    QStringList fields() const override;
    QString rangeCheck() override;

    // Interlocks: each runs when its control's value changes, and once more
    // for the loaded values.
    void chkVoyagerMacro_Click();
    void chkVoyagerNoise_Click();
    void cboVoyagerNoiseFilter_Click();
    void optVoyagerIntensity_Click(int index);

    OptionGroup<2> optVoyagerProcess;
    QCheckBox* chkVoyagerMacro;
    QComboBox* cboVoyagerMacro;
    QCheckBox* chkVoyagerNoise;
    QComboBox* cboVoyagerNoiseFilter;
    QLabel* Label1_31;  // "with parameter", renamed by the chosen filter
    QLineEdit* txtVoyagerNoiseParam;
    QCheckBox* chkVoyagerBaseline;
    OptionGroup<2> optVoyagerIntensity;
    QLineEdit* txtVoyagerIntensityNumber;
    QLineEdit* txtVoyagerIntensityInterval;
    QCheckBox* chkVoyagerMonoisotopic;
    QCheckBox* chkVoyagerSngleCharge;

protected:
    void loadFields(const OptionReading& reading) override;

private:
    void buildFrames();
};

}  // namespace filteropts
