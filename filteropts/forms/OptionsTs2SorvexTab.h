#pragma once
// Tab "TS2Sorvex": peak filtering of the AB 4000 Series export.
#include "filteropts/forms/OptionsTab.h"

class QCheckBox;
class QLineEdit;

namespace filteropts {

class OptionsTs2SorvexTab : public OptionsTab {
public:
    OptionsTs2SorvexTab(const OptionsDialogContext& context, QWidget* parent);

    QStringList fields() const override;
    QString rangeCheck() override;

    QLineEdit* txtTS2SorvexOptionsMinMass;
    QLineEdit* txtTS2SorvexOptionsMaxMass;
    QLineEdit* txtTS2SorvexOptionsS2N;
    QCheckBox* chkTS2SorvexOptionsMonoisotopic;

protected:
    void loadFields(const OptionReading& reading) override;
};

}  // namespace filteropts
