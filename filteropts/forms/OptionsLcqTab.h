#pragma once
// Tab "extract_msn": the options of the Thermo extractor program.
#include "filteropts/forms/OptionsTab.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace filteropts {

class OptionsLcqTab : public OptionsTab {
public:
    OptionsLcqTab(const OptionsDialogContext& context, QWidget* parent);

    QStringList fields() const override;

    void cmdTemplate_Click();

    QLineEdit* txtFirstScan;
    QLineEdit* txtLastScan;
    QLineEdit* txtMinMass;
    QLineEdit* txtMaxMass;
    QLineEdit* txtGroup;
    QLineEdit* txtInter;
    QLineEdit* txtMinScan;
    QComboBox* cboCharge;
    QLineEdit* txtExtractMSn;
    QLineEdit* txtThreshold;
    QLineEdit* txtAASequence;
    QLineEdit* txtOptString;
    QLineEdit* txtTemplate;
    QPushButton* cmdTemplate;
    QLineEdit* txtMinPeaks;
    QCheckBox* chkCalcCharge;

protected:
    void loadFields(const OptionReading& reading) override;
};

}  // namespace filteropts
