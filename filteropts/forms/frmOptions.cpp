#include "filteropts/forms/frmOptions.h"

#include "clientcommon/HandlerGuard.h"
#include "common/ImportFilters.h"
#include "filteropts/OptionsHelpIds.h"
#include "filteropts/forms/FieldLeaveChecks.h"
#include "filteropts/forms/OptionsAnalystTab.h"
#include "filteropts/forms/OptionsLcqTab.h"
#include "filteropts/forms/OptionsMassLynxTab.h"
#include "filteropts/forms/OptionsQuellmarkTab.h"
#include "filteropts/forms/OptionsTs2SorvexTab.h"
#include "filteropts/forms/OptionsVoyagerTab.h"
#include "platform/MessageBox.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace filteropts {

frmOptions::frmOptions(OptionsDialogContext& context, QWidget* parent)
    : QDialog(parent), context_(context), leaveChecks_(new FieldLeaveChecks(this)) {
    setObjectName(QStringLiteral("frmOptions"));
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    lcqTab = new OptionsLcqTab(context_, SSTab1);
    massLynxTab = new OptionsMassLynxTab(context_, SSTab1);
    analystTab = new OptionsAnalystTab(context_, SSTab1);
    voyagerTab = new OptionsVoyagerTab(context_, SSTab1);
    quellmarkTab = new OptionsQuellmarkTab(context_, SSTab1);
    ts2SorvexTab = new OptionsTs2SorvexTab(context_, SSTab1);
    tabs_ = {lcqTab, massLynxTab, analystTab, voyagerTab, quellmarkTab, ts2SorvexTab};
    for (OptionsTab* t : tabs_) {
        SSTab1->addTab(t, QString::fromLatin1(layoutOf(t->filter()).tabCaption));
        t->watchFields(*leaveChecks_);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdOK, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdCancel, QDialogButtonBox::RejectRole);
    // The buttons are wired here, not through the box, so that OK can refuse.
    tavrel::connectGuarded(cmdOK, &QPushButton::clicked, this, QStringLiteral("cmdOK_Click"), &frmOptions::cmdOK_Click);
    tavrel::connectGuarded(cmdCancel, &QPushButton::clicked, this, QStringLiteral("cmdCancel_Click"),
                           &frmOptions::cmdCancel_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addWidget(buttons);
    Form_Load();
}

void frmOptions::showOptions(OptionsDialogContext& context, int filter, QWidget* parent) {
    frmOptions dialog(context, parent);
    if (hasOptionString(filter)) dialog.SSTab1->setCurrentIndex(filter - 1);
    dialog.exec();
}

void frmOptions::Form_Load() {
    setWindowTitle(QStringLiteral("Sorvex Tavrel: Data import filter options"));
    SetHelpContextIds();
    const FilterOptionStrings& options = *context_.options;
    for (OptionsTab* t : tabs_) {
        const OptionReading reading = t->load(options[t->filter()]);
        if (t->filter() == kQuellmark)
            keptQuellmark_ = reading.replaced ? builtInOptions(kQuellmark) : options[kQuellmark];
    }
    hideTabsOfAbsentComponents();
}

void frmOptions::hideTabsOfAbsentComponents() {
    const ImportComponents& c = context_.components;
    SSTab1->setTabVisible(0, common::lcqProgramNamed(context_.lcqPath));
    // The newer Sciex library brings its own options window instead of this tab.
    SSTab1->setTabVisible(2, c.sciexLibraryPresent && !c.sciexLibraryOwnOptions);
    SSTab1->setTabVisible(3, c.dataExplorerPresent);
    SSTab1->setTabVisible(4, c.quellmarkPresent);
    SSTab1->setTabVisible(5, c.ts2SorvexPresent);
    fitToShownTabs();
    adjustSize();
}

void frmOptions::fitToShownTabs() {
    // A hidden tab would still hold the dialog at its own size: one field of
    // a shown tab under the room of the largest hidden one.
    for (int i = 0; i < SSTab1->count(); ++i) {
        const QSizePolicy::Policy policy = SSTab1->isTabVisible(i) ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        SSTab1->widget(i)->setSizePolicy(policy, policy);
    }
}

void frmOptions::SetHelpContextIds() {
    setProperty("helpContextId", kOptionsDialogHelpId);
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (const ControlHelpId& entry : optionsControlHelpIds()) {
        const QString name = QString::fromLatin1(entry.control);
        for (QWidget* w : widgets)
            if (w->objectName() == name || w->objectName().startsWith(name + QLatin1Char('(')))
                w->setProperty("helpContextId", entry.id);
    }
}

bool frmOptions::composeAll(FilterOptionStrings& next) {
    // A text that reached its box by typing, browsing or a button is checked
    // alike here, however the focus moved before OK.
    if (QLineEdit* refused = leaveChecks_->recheckAll()) {
        for (OptionsTab* t : tabs_)
            if (t->isAncestorOf(refused)) SSTab1->setCurrentWidget(t);
        leaveChecks_->refuse(refused);
        return false;
    }
    for (OptionsTab* t : tabs_) {
        const QString failed = t->rangeCheck();
        if (!failed.isEmpty()) {
            platform::MsgBox(failed);
            return false;
        }
    }
    for (OptionsTab* t : tabs_) {
        const int filter = t->filter();
        if (filter == kQuellmark && !context_.components.quellmarkPresent) {
            next[filter] = keptQuellmark_;
            continue;
        }
        next[filter] = composeOptions(filter, t->fields());
        const QString tooLong = checkOptionsLength(filter, next[filter]);
        if (!tooLong.isEmpty()) {
            SSTab1->setCurrentWidget(t);
            platform::MsgBox(tooLong, platform::vbExclamation);
            return false;
        }
    }
    return true;
}

void frmOptions::commit(const FilterOptionStrings& next) {
    *context_.options = next;
    QStringList notSaved;
    for (int filter = kLcq; filter <= kTS2Sorvex; ++filter) {
        if (filter == kQuellmark && !context_.components.quellmarkPresent) continue;
        const QString name = common::importFilterOptionsSetting(filter);
        if (!context_.saveSetting(name, next[filter])) notSaved << name;
    }
    // A default that the settings did not take is not shown as saved either.
    for (int filter = kNoFilter; filter < kFilterCount; ++filter)
        if (!hasOptionString(filter) || !notSaved.contains(common::importFilterOptionsSetting(filter)))
            (*context_.defaults)[filter] = next[filter];
    if (!notSaved.isEmpty()) platform::MsgBox(settingsNotSavedMessage(notSaved), platform::vbExclamation);
}

void frmOptions::cmdOK_Click() {
    for (int i = 0; i < SSTab1->count(); ++i) SSTab1->setTabVisible(i, true);
    fitToShownTabs();  // the window grows where a tab shown now needs more room
    FilterOptionStrings next = *context_.options;
    if (!composeAll(next)) return;
    commit(next);
    accept();
}

void frmOptions::cmdCancel_Click() { reject(); }

}  // namespace filteropts
