#pragma once
// Tab "Micromass .spl": the folder of a MassLynx sample list's .PKL files.
#include "filteropts/forms/OptionsTab.h"

class QLineEdit;
class QPushButton;

namespace filteropts {

class OptionsMassLynxTab : public OptionsTab {
public:
    OptionsMassLynxTab(const OptionsDialogContext& context, QWidget* parent);

    QStringList fields() const override;

    void cmdPklPathBrowse_Click();

    QLineEdit* txtPklPath;
    QPushButton* cmdPklPathBrowse;

protected:
    void loadFields(const OptionReading& reading) override;
};

}  // namespace filteropts
