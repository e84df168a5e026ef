#include "taskeditor/forms/frmActions.h"

#include "clientcommon/HandlerGuard.h"
#include "clientcommon/forms/FormLayout.h"
#include "clientcommon/forms/WindowIcons.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tavrel {

namespace {

struct StageNames {
    const char* caption;
    const char* combo;
    const char* wait;
    const char* halt;
    int comboHelp, waitHelp, haltHelp;
};

const StageNames kStages[kExternalStageCount] = {
    {"Before starting task", "cboActionsPreTask", "chkActionsPreTaskWait", "chkActionsPreTaskHalt", 8196, 8211, 8210},
    {"Before each search", "cboActionsPreSearch", "chkActionsPreSearchWait", "chkActionsPreSearchHalt", 8195, 8209,
     8208},
    {"After each search", "cboActionsPostSearch", "chkActionsPostSearchWait", "chkActionsPostSearchHalt", 8193, 8198,
     8197},
    {"After completing task", "cboActionsPostTask", "chkActionsPostTaskWait", "chkActionsPostTaskHalt", 8194, 8201,
     8200},
};

constexpr int kDialogHelpId = 8192;
constexpr int kCancelHelpId = 8212;
constexpr int kOKHelpId = 8213;
constexpr int kMinWidthTwips = 9000;

}  // namespace

frmActions::frmActions(const ExternalProcessSettings& settings, platform::AdoConnection& connection, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("frmActions"));
    setModal(true);
    common::modGlobal_SetWindowIcons(this, QStringLiteral("AAA"), false);
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < kExternalStageCount; ++i) {
        auto* frame = new QGroupBox(QString::fromLatin1(kStages[i].caption), this);
        auto* grid = new QGridLayout(frame);
        cboActions[i] = new QComboBox(frame);
        cboActions[i]->setObjectName(QString::fromLatin1(kStages[i].combo));
        cboActions[i]->setEditable(true);
        cboActions[i]->setInsertPolicy(QComboBox::NoInsert);
        chkActionsWait[i] = new QCheckBox(QStringLiteral("Wait for completion"), frame);
        chkActionsWait[i]->setObjectName(QString::fromLatin1(kStages[i].wait));
        chkActionsHalt[i] = new QCheckBox(QStringLiteral("Halt on error"), frame);
        chkActionsHalt[i]->setObjectName(QString::fromLatin1(kStages[i].halt));
        grid->addWidget(cboActions[i], 0, 0, 1, 3);
        grid->addWidget(chkActionsWait[i], 1, 0);
        grid->addWidget(chkActionsHalt[i], 1, 1);
        grid->setColumnStretch(2, 1);
        layout->addWidget(frame);
        connect(chkActionsWait[i], &QCheckBox::toggled, this,
                guarded(QStringLiteral("chkActionsWait_Click"), [this, i] { chkActionsWait_Click(i); }));
    }
    cboActionsPreTask = cboActions[StagePreTask];
    cboActionsPreSearch = cboActions[StagePreSearch];
    cboActionsPostSearch = cboActions[StagePostSearch];
    cboActionsPostTask = cboActions[StagePostTask];

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, guarded(QStringLiteral("cmdOK_Click"), [this] { cmdOK_Click(); }));
    connect(cmdCancel, &QPushButton::clicked, this,
            guarded(QStringLiteral("cmdCancel_Click"), [this] { cmdCancel_Click(); }));
    setMinimumWidth(twipsToPixels(kMinWidthTwips));

    Form_Load(connection);
}

void frmActions::Form_Load(platform::AdoConnection& connection) {
    setWindowTitle(QStringLiteral("Sorvex Tavrel: External processes"));
    SetHelpContextIds();
    bool historyMissing = false;
    for (int i = 0; i < kExternalStageCount; ++i) {
        cboActions[i]->lineEdit()->setMaxLength(kExternalCommandMaxLength);
        QStringList history;
        try {
            history = externalCommandHistory(connection, i);
        } catch (const platform::Error& e) {
            // The dialog still edits the task's own commands; the lists only
            // lack what earlier tasks used.
            if (!historyMissing)
                platform::MsgBox(QStringLiteral("The commands of earlier tasks cannot be read: ") +
                                     QString::number(e.number()) + QStringLiteral(": ") + e.description(),
                                 platform::vbOKOnly, QStringLiteral("Sorvex Tavrel"));
            historyMissing = true;
        }
        cboActions[i]->clear();
        cboActions[i]->addItems(externalCommandItems(settings_.stage[i].command, history));
        cboActions[i]->setCurrentIndex(0);
    }
    for (int i = 0; i < kExternalStageCount; ++i) {
        chkActionsHalt[i]->setChecked(settings_.stage[i].halt != 0);
        chkActionsWait[i]->setChecked(settings_.stage[i].wait != 0);
        chkActionsWait_Click(i);
    }
}

void frmActions::SetHelpContextIds() {
    setProperty("helpContextId", kDialogHelpId);
    for (int i = 0; i < kExternalStageCount; ++i) {
        cboActions[i]->setProperty("helpContextId", kStages[i].comboHelp);
        chkActionsWait[i]->setProperty("helpContextId", kStages[i].waitHelp);
        chkActionsHalt[i]->setProperty("helpContextId", kStages[i].haltHelp);
    }
    cmdCancel->setProperty("helpContextId", kCancelHelpId);
    cmdOK->setProperty("helpContextId", kOKHelpId);
}

void frmActions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}

void frmActions::chkActionsWait_Click(int stage) { chkActionsHalt[stage]->setEnabled(chkActionsWait[stage]->isChecked()); }

void frmActions::cmdOK_Click() {
    for (int i = 0; i < kExternalStageCount; ++i) {
        ExternalProcess& p = settings_.stage[i];
        p.command = externalCommandOf(cboActions[i]->currentText());
        p.wait = chkActionsWait[i]->isChecked() ? 1 : 0;
        p.halt = chkActionsHalt[i]->isChecked() ? 1 : 0;
    }
    accept();
}

void frmActions::cmdCancel_Click() { reject(); }

}  // namespace tavrel
