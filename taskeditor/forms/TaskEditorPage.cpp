// The page's controls and their layout.
#include "taskeditor/forms/TaskEditorPage.h"

#include "taskeditor/ExternalProcesses.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavrel {

namespace {

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QComboBox* dropDown(QWidget* parent, const char* name) {
    auto* box = named(new QComboBox(parent), name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(4);
    return box;
}

QGroupBox* frame(const QString& caption, QWidget* parent) { return new QGroupBox(caption, parent); }

}  // namespace

TaskEditorPage::TaskEditorPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TaskEditorPage"));
    buildControls();
    layOutControls();
    connectControls();
    showState();
}

void TaskEditorPage::buildControls() {
    txtTaskLabel = named(new QLineEdit(this), "txtTaskLabel");
    cmdTaskNew = named(new QPushButton(QStringLiteral("New"), this), "cmdTaskNew");
    cmdTaskRun = named(new QPushButton(QStringLiteral("Run"), this), "cmdTaskRun");
    txtTaskParam = named(new QLineEdit(this), "txtTaskParam");
    cmdTaskParamAdd = named(new QPushButton(QStringLiteral("..."), this), "cmdTaskParamAdd");
    cmdTaskParamAdd->setToolTip(QStringLiteral("Choose the parameter file"));
    cboTaskFilter = dropDown(this, "cboTaskFilter");
    cmdTaskOptions = named(new QPushButton(QStringLiteral("Options ..."), this), "cmdTaskOptions");

    lblTaskFiles = named(new QLabel(QStringLiteral("Drag and drop data files into the area below or click on Add ..."),
                                    this),
                         "lblTaskFiles");
    lblTaskFiles->setWordWrap(true);
    lstTaskFiles = named(new QListWidget(this), "lstTaskFiles");
    lstTaskFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstTaskFiles->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstTaskFiles->setAcceptDrops(true);
    lstTaskFiles->viewport()->setAcceptDrops(true);
    lstTaskFiles->viewport()->installEventFilter(this);
    cmdTaskFileAdd = named(new QPushButton(QStringLiteral("Add Files ..."), this), "cmdTaskFileAdd");
    cmdTaskFolderAdd = named(new QPushButton(QStringLiteral("Add Folder ..."), this), "cmdTaskFolderAdd");
    cmdTaskFileDelete = named(new QPushButton(QStringLiteral("Delete"), this), "cmdTaskFileDelete");
    chkTaskMergeFiles =
        named(new QCheckBox(QStringLiteral("Merge MS/MS files into single search"), this), "chkTaskMergeFiles");
    lblTaskPath = named(new QLabel(QStringLiteral("Specify path to root folder"), this), "lblTaskPath");
    txtTaskPath = named(new QLineEdit(this), "txtTaskPath");
    cmdTaskBrowse = named(new QPushButton(QStringLiteral("Browse ..."), this), "cmdTaskBrowse");
    lblTaskWild = named(new QLabel(QStringLiteral("Optional wild card file or folder name"), this), "lblTaskWild");
    txtTaskWild = named(new QLineEdit(this), "txtTaskWild");
    chkTaskSubDir = named(new QCheckBox(QStringLiteral("Include sub-folders"), this), "chkTaskSubDir");
    chkTaskNewOnly = named(new QCheckBox(QStringLiteral("New files only"), this), "chkTaskNewOnly");
    lblTaskFollower = named(new QLabel(QStringLiteral("A follow-up task does not have a pre-defined list of data "
                                                      "files. It runs continuously, waiting to receive data from "
                                                      "other tasks."),
                                       this),
                            "lblTaskFollower");
    lblTaskFollower->setWordWrap(true);
    lblTaskFollower->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    const char* schedules[] = {"Start now", "Real-time monitor", "Start at", "Follow-up"};
    for (int i = 0; i < 4; ++i) {
        optTaskSched[i] = new QRadioButton(QString::fromLatin1(schedules[i]), this);
        optTaskSched[i]->setObjectName(QStringLiteral("optTaskSched(%1)").arg(i));
    }
    dtpTaskTime = named(new QDateTimeEdit(this), "dtpTaskTime");
    dtpTaskTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    dtpTaskDate = named(new QDateTimeEdit(this), "dtpTaskDate");
    // ISO order: a short day/month/year date reads two ways.
    dtpTaskDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpTaskDate->setCalendarPopup(true);
    cboTaskSearchPriority = dropDown(this, "cboTaskSearchPriority");

    cboTaskFU = dropDown(this, "cboTaskFU");
    cboTaskFU->setMinimumContentsLength(12);
    txtTaskFUScore = named(new QLineEdit(this), "txtTaskFUScore");
    txtTaskFUScore->setMaximumWidth(90);
    chkTaskFUDiscard = named(new QCheckBox(QStringLiteral("Discard results"), this), "chkTaskFUDiscard");
    chkTaskFURepeat = named(new QCheckBox(QStringLiteral("Repeat at intervals of"), this), "chkTaskFURepeat");
    cboTaskFUNumber = dropDown(this, "cboTaskFUNumber");
    cboTaskFUNumber->setMinimumContentsLength(2);
    cboTaskFUInterval = dropDown(this, "cboTaskFUInterval");
    cboTaskFUInterval->setMinimumContentsLength(6);
    chkTaskFUMove = named(new QCheckBox(QStringLiteral("Pass data to"), this), "chkTaskFUMove");
    cboTaskFUTask = dropDown(this, "cboTaskFUTask");
    cboTaskFUTask->setMinimumContentsLength(10);

    Frame10 = named(frame(QStringLiteral("Owner"), this), "Frame(10)");
    cboTaskOwner = dropDown(Frame10, "cboTaskOwner");
    cboTaskOwner->setMinimumContentsLength(14);
    cmdTaskExternal = named(new QPushButton(QStringLiteral("External processes ..."), this), "cmdTaskExternal");
    chkTaskAutoPrint = named(new QCheckBox(QStringLiteral("Auto-print results"), this), "chkTaskAutoPrint");
}

void TaskEditorPage::layOutControls() {
    auto* taskFrame = frame(QStringLiteral("Task"), this);
    auto* task = new QHBoxLayout(taskFrame);
    task->addWidget(txtTaskLabel, 1);
    task->addWidget(cmdTaskNew);
    task->addWidget(cmdTaskRun);

    auto* paramFrame = frame(QStringLiteral("Parameter set"), this);
    auto* param = new QHBoxLayout(paramFrame);
    param->addWidget(txtTaskParam, 1);
    param->addWidget(cmdTaskParamAdd);
    cmdTaskParamAdd->setMaximumWidth(cmdTaskParamAdd->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);

    auto* filterFrame = frame(QStringLiteral("Data import filter"), this);
    auto* filter = new QHBoxLayout(filterFrame);
    filter->addWidget(cboTaskFilter, 1);
    filter->addWidget(cmdTaskOptions);

    auto* filesFrame = frame(QStringLiteral("Data file list"), this);
    auto* files = new QGridLayout(filesFrame);
    files->addWidget(lblTaskFiles, 0, 0, 1, 2);
    files->addWidget(lstTaskFiles, 1, 0, 4, 1);
    files->addWidget(cmdTaskFileAdd, 1, 1);
    files->addWidget(cmdTaskFolderAdd, 2, 1);
    files->addWidget(cmdTaskFileDelete, 3, 1);
    files->addWidget(chkTaskMergeFiles, 5, 0, 1, 2);
    files->addWidget(lblTaskPath, 6, 0, 1, 2);
    files->addWidget(txtTaskPath, 7, 0);
    files->addWidget(cmdTaskBrowse, 7, 1);
    files->addWidget(lblTaskWild, 8, 0, 1, 2);
    files->addWidget(txtTaskWild, 9, 0);
    files->addWidget(chkTaskSubDir, 10, 0, 1, 2);
    files->addWidget(chkTaskNewOnly, 11, 0, 1, 2);
    files->addWidget(lblTaskFollower, 12, 0, 1, 2);
    files->setRowStretch(4, 1);
    files->setRowStretch(13, 1);
    files->setColumnStretch(0, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(taskFrame);
    left->addWidget(paramFrame);
    left->addWidget(filterFrame);
    left->addWidget(filesFrame, 1);

    auto* schedFrame = frame(QStringLiteral("Schedule"), this);
    auto* sched = new QGridLayout(schedFrame);
    for (int i = 0; i < 4; ++i) sched->addWidget(optTaskSched[i], i, 0);
    sched->addWidget(dtpTaskTime, 2, 1);
    sched->addWidget(dtpTaskDate, 2, 2);
    sched->addWidget(new QLabel(QStringLiteral("Search priority"), schedFrame), 4, 0);
    sched->addWidget(cboTaskSearchPriority, 4, 1);
    sched->setColumnStretch(3, 1);

    auto* fuFrame = frame(QStringLiteral("Follow-up"), this);
    auto* fu = new QGridLayout(fuFrame);
    fu->addWidget(cboTaskFU, 0, 0, 1, 2);
    fu->addWidget(txtTaskFUScore, 0, 2);
    fu->addWidget(chkTaskFUDiscard, 1, 0, 1, 3);
    fu->addWidget(chkTaskFURepeat, 2, 0);
    fu->addWidget(cboTaskFUNumber, 2, 1);
    fu->addWidget(cboTaskFUInterval, 2, 2);
    fu->addWidget(chkTaskFUMove, 3, 0);
    fu->addWidget(cboTaskFUTask, 3, 1, 1, 2);
    fu->setColumnStretch(1, 1);

    auto* owner = new QHBoxLayout(Frame10);
    owner->addWidget(cboTaskOwner, 1);

    auto* actionsFrame = frame(QStringLiteral("Actions"), this);
    auto* actions = new QHBoxLayout(actionsFrame);
    actions->addWidget(cmdTaskExternal);
    actions->addWidget(chkTaskAutoPrint);
    actions->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(schedFrame);
    right->addWidget(fuFrame);
    right->addWidget(Frame10);
    right->addWidget(actionsFrame);
    right->addStretch(1);

    auto* page = new QHBoxLayout(this);
    page->addLayout(left, 3);
    page->addLayout(right, 2);

    // The order a keyboard user goes through the page.
    QWidget* order[] = {txtTaskLabel,     cmdTaskNew,       cmdTaskRun,        txtTaskParam,     cmdTaskParamAdd,
                        cboTaskFilter,    cmdTaskOptions,   lstTaskFiles,      cmdTaskFileAdd,   cmdTaskFolderAdd,
                        cmdTaskFileDelete, chkTaskMergeFiles, txtTaskPath,     cmdTaskBrowse,    txtTaskWild,
                        chkTaskSubDir,    chkTaskNewOnly,   optTaskSched[0],   optTaskSched[1],  optTaskSched[2],
                        optTaskSched[3],  dtpTaskTime,      dtpTaskDate,       cboTaskSearchPriority, cboTaskFU,
                        txtTaskFUScore,   chkTaskFUDiscard, chkTaskFURepeat,   cboTaskFUNumber,  cboTaskFUInterval,
                        chkTaskFUMove,    cboTaskFUTask,    cboTaskOwner,      cmdTaskExternal,  chkTaskAutoPrint};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace tavrel
