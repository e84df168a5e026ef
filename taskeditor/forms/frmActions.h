#pragma once
// "Sorvex Tavrel: External processes": the modal dialog in which the user
// types or picks the command of each of a task's four stages and sets its
// wait and halt flags. Each stage's list offers the commands earlier tasks
// stored. OK hands back the edited settings; Cancel or closing keeps the
// caller's.
#include "taskeditor/ExternalProcesses.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace platform {
class AdoConnection;
}

namespace tavrel {

class frmActions : public QDialog {
public:
    frmActions(const ExternalProcessSettings& settings, platform::AdoConnection& connection,
               QWidget* parent = nullptr);

    // The settings as OK stored them (the caller's until then).
    const ExternalProcessSettings& settings() const { return settings_; }

    void cmdOK_Click();
    void cmdCancel_Click();
    // The wait rule: "Halt on error" is enabled only while "Wait for
    // completion" is ticked; its tick stays either way.
    void chkActionsWait_Click(int stage);

    // By ExternalStage.
    std::array<QComboBox*, kExternalStageCount> cboActions{};
    std::array<QCheckBox*, kExternalStageCount> chkActionsWait{};
    std::array<QCheckBox*, kExternalStageCount> chkActionsHalt{};
    QComboBox* cboActionsPreTask;
    QComboBox* cboActionsPreSearch;
    QComboBox* cboActionsPostSearch;
    QComboBox* cboActionsPostTask;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load(platform::AdoConnection& connection);
    void SetHelpContextIds();

    ExternalProcessSettings settings_;
};

}  // namespace tavrel
