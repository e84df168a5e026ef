#include "params/forms/frmModifications.h"

#include "clientcommon/HandlerGuard.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel {

namespace {

constexpr int kModificationsHelpId = 4169;
constexpr int kTwipsPerPixel = 15;

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* arrow(const char* name, const char* text, const QString& help, QWidget* parent) {
    auto* button = named(new QPushButton(QLatin1String(text), parent), name);
    button->setToolTip(help);
    button->setAccessibleName(help);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 16);
    return button;
}

void fill(QListWidget* list, const QStringList& items) {
    list->clear();
    list->addItems(items);
}

}  // namespace

frmModifications::frmModifications(const QStringList& fixed, const QStringList& variable, const QString& serverData,
                                   QWidget* parent)
    : QDialog(parent), model_(fixed, variable, serverData) {
    setObjectName(QStringLiteral("frmModifications"));
    setWindowTitle(QStringLiteral("Sorvex Tavrel") + QStringLiteral(": Select Modifications"));
    // The modifications topic of the main window's help, which the client's F1
    // reads from this property; without it F1 here would open the editor's.
    setProperty("helpContextId", kModificationsHelpId);
    setMinimumSize(8790 / kTwipsPerPixel, 6135 / kTwipsPerPixel);

    lstAllMods = named(new QListWidget(this), "lstAllMods");
    lstFixedMods = named(new QListWidget(this), "lstFixedMods");
    lstVariableMods = named(new QListWidget(this), "lstVariableMods");
    lstAllMods->setAccessibleName(QStringLiteral("Offered modifications"));
    cmdAll2Fixed = arrow("cmdAll2Fixed", ">", QStringLiteral("Add to the fixed modifications"), this);
    cmdFixed2All = arrow("cmdFixed2All", "<", QStringLiteral("Remove from the fixed modifications"), this);
    cmdAll2Variable = arrow("cmdAll2Variable", ">", QStringLiteral("Add to the variable modifications"), this);
    cmdVariable2All = arrow("cmdVariable2All", "<", QStringLiteral("Remove from the variable modifications"), this);
    chkShowAllMods = named(new QCheckBox(QStringLiteral("Show all modifications"), this), "chkShowAllMods");
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    cmdOK->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(lstAllMods, 0, 0, 4, 1);
    grid->addWidget(chkShowAllMods, 4, 0);
    const auto buttons = [](QPushButton* in, QPushButton* out) {
        auto* column = new QVBoxLayout;
        column->addStretch();
        column->addWidget(in);
        column->addWidget(out);
        column->addStretch();
        return column;
    };
    auto* fixedLabel = new QLabel(QStringLiteral("Fixed Modifications"), this);
    auto* variableLabel = new QLabel(QStringLiteral("Variable Modifications"), this);
    fixedLabel->setBuddy(lstFixedMods);
    variableLabel->setBuddy(lstVariableMods);
    grid->addLayout(buttons(cmdAll2Fixed, cmdFixed2All), 1, 1);
    grid->addLayout(buttons(cmdAll2Variable, cmdVariable2All), 3, 1);
    grid->addWidget(fixedLabel, 0, 2);
    grid->addWidget(lstFixedMods, 1, 2);
    grid->addWidget(variableLabel, 2, 2);
    grid->addWidget(lstVariableMods, 3, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK);
    bottom->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(bottom);

    connect(cmdAll2Fixed, &QPushButton::clicked, this, guarded(QStringLiteral("cmdAll2Fixed_Click"), [this] {
                move(lstAllMods, model_.lstAllMods, model_.lstFixedMods);
            }));
    connect(cmdFixed2All, &QPushButton::clicked, this, guarded(QStringLiteral("cmdFixed2All_Click"), [this] {
                move(lstFixedMods, model_.lstFixedMods, model_.lstAllMods);
            }));
    connect(cmdAll2Variable, &QPushButton::clicked, this, guarded(QStringLiteral("cmdAll2Variable_Click"), [this] {
                move(lstAllMods, model_.lstAllMods, model_.lstVariableMods);
            }));
    connect(cmdVariable2All, &QPushButton::clicked, this, guarded(QStringLiteral("cmdVariable2All_Click"), [this] {
                move(lstVariableMods, model_.lstVariableMods, model_.lstAllMods);
            }));
    connect(chkShowAllMods, &QCheckBox::clicked, this,
            guarded(QStringLiteral("chkShowAllMods_Click"), [this] { chkShowAllMods_Click(); }));
    connect(cmdOK, &QPushButton::clicked, this, guarded(QStringLiteral("cmdOK_Click"), [this] { cmdOK_Click(); }));
    connect(cmdCancel, &QPushButton::clicked, this, guarded(QStringLiteral("cmdCancel_Click"), [this] { reject(); }));

    Form_Load();
}

void frmModifications::Form_Load() {
    {
        const QSignalBlocker blocker(chkShowAllMods);
        chkShowAllMods->setChecked(ModificationsModel::storedShowAllMods());
    }
    chkShowAllMods_Click();
}

void frmModifications::chkShowAllMods_Click() {
    model_.chkShowAllMods = chkShowAllMods->isChecked();
    const EditorMessages warnings = model_.chkShowAllMods_Click();
    showLists();
    for (const EditorMessage& m : warnings) showEditorMessage(m);
}

void frmModifications::move(QListWidget* from, QStringList& source, QStringList& target) {
    ModificationsModel::frmModifications_MoveSelectedItem(source, from->currentItem() && from->currentItem()->isSelected()
                                                                      ? from->currentRow()
                                                                      : -1,
                                                          target);
    showLists();
}

void frmModifications::showLists() {
    fill(lstAllMods, model_.lstAllMods);
    fill(lstFixedMods, model_.lstFixedMods);
    fill(lstVariableMods, model_.lstVariableMods);
}

void frmModifications::cmdOK_Click() {
    if (const auto refusal = model_.okRefusal()) {
        showEditorMessage(*refusal);
        return;
    }
    if (!model_.storeShowAllMods())
        platform::MsgBox(QStringLiteral("Cannot store the setting ShowAllMods"), platform::vbOKOnly,
                         QStringLiteral("Sorvex Tavrel"));
    accept();
}

}  // namespace tavrel
