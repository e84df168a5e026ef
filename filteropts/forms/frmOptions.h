#pragma once
// The modal dialog "Data import filter options": one tab per import filter
// that takes options, filled from the working option strings of the task
// being edited. OK checks every field first and then commits all six strings
// at once (to the working copy, the settings store and the saved defaults);
// a failed check commits nothing, and Cancel leaves everything as it was.
#include "filteropts/forms/OptionsDialogContext.h"

#include <QDialog>

#include <array>

class QPushButton;
class QTabWidget;

namespace filteropts {

class FieldLeaveChecks;
class OptionsTab;
class OptionsLcqTab;
class OptionsMassLynxTab;
class OptionsAnalystTab;
class OptionsVoyagerTab;
class OptionsQuellmarkTab;
class OptionsTs2SorvexTab;

class frmOptions : public QDialog {
public:
    explicit frmOptions(OptionsDialogContext& context, QWidget* parent = nullptr);

    // Loads the dialog, shows the tab of the filter (for "--- None ---" the tab
    // the loading left current) and runs it modally.
    static void showOptions(OptionsDialogContext& context, int filter, QWidget* parent = nullptr);

    void cmdOK_Click();
    void cmdCancel_Click();
    void SetHelpContextIds();

    OptionsTab* tab(int index) const { return tabs_.at(static_cast<std::size_t>(index)); }

    QTabWidget* SSTab1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    OptionsLcqTab* lcqTab;
    OptionsMassLynxTab* massLynxTab;
    OptionsAnalystTab* analystTab;
    OptionsVoyagerTab* voyagerTab;
    OptionsQuellmarkTab* quellmarkTab;
    OptionsTs2SorvexTab* ts2SorvexTab;

private:
    void Form_Load();
    void hideTabsOfAbsentComponents();
    // Only the shown tabs take room in the dialog.
    void fitToShownTabs();
    // The six strings as OK would commit them; false after a refusal was shown.
    bool composeAll(FilterOptionStrings& next);
    void commit(const FilterOptionStrings& next);

    OptionsDialogContext& context_;
    std::array<OptionsTab*, 6> tabs_{};
    FieldLeaveChecks* leaveChecks_;
    QString keptQuellmark_;  // the working Quellmark string when the tab composes none
};

}  // namespace filteropts
