// The page: its controls under the names of the task editor, the user's
// changes reaching the model's rules, the data-file list's dialogs and drops.
#include "PageFixture.h"

#include "taskeditor/DataFileList.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace taskeditortest;

TEST(TaskEditorPage, ControlsCarryTheirNamesAndCaptions) {
    ClientGlobals g;
    PageOnTabs t(g.inputs());
    struct Named {
        const char* name;
        const char* caption;
    } buttons[] = {{"cmdTaskNew", "New"},
                   {"cmdTaskRun", "Run"},
                   {"cmdTaskParamAdd", "..."},
                   {"cmdTaskOptions", "Options ..."},
                   {"cmdTaskFileAdd", "Add Files ..."},
                   {"cmdTaskFolderAdd", "Add Folder ..."},
                   {"cmdTaskFileDelete", "Delete"},
                   {"cmdTaskBrowse", "Browse ..."},
                   {"cmdTaskExternal", "External processes ..."},
                   {"chkTaskMergeFiles", "Merge MS/MS files into single search"},
                   {"chkTaskSubDir", "Include sub-folders"},
                   {"chkTaskNewOnly", "New files only"},
                   {"chkTaskFUDiscard", "Discard results"},
                   {"chkTaskFURepeat", "Repeat at intervals of"},
                   {"chkTaskFUMove", "Pass data to"},
                   {"chkTaskAutoPrint", "Auto-print results"},
                   {"optTaskSched(0)", "Start now"},
                   {"optTaskSched(1)", "Real-time monitor"},
                   {"optTaskSched(2)", "Start at"},
                   {"optTaskSched(3)", "Follow-up"}};
    for (const Named& b : buttons) {
        auto* w = t.page->findChild<QAbstractButton*>(b.name);
        ASSERT_NE(w, nullptr) << b.name;
        EXPECT_EQ(w->text(), b.caption) << b.name;
    }
    for (const char* name : {"txtTaskLabel", "txtTaskParam", "txtTaskPath", "txtTaskWild", "txtTaskFUScore"})
        EXPECT_NE(t.page->findChild<QLineEdit*>(name), nullptr) << name;
    for (const char* name : {"cboTaskFilter", "cboTaskSearchPriority", "cboTaskFU", "cboTaskFUNumber",
                             "cboTaskFUInterval", "cboTaskFUTask", "cboTaskOwner"})
        EXPECT_NE(t.page->findChild<QComboBox*>(name), nullptr) << name;
    EXPECT_EQ(t.page->findChild<QDateTimeEdit*>("dtpTaskTime")->displayFormat(), "HH:mm:ss");
    // A start date reads one way only, whatever the reader's habit ("10/12/26" reads both ways).
    auto* date = t.page->findChild<QDateTimeEdit*>("dtpTaskDate");
    date->setDate(QDate(2026, 12, 10));
    EXPECT_EQ(date->text(), "2026-12-10");
    EXPECT_EQ(t.page->findChild<QGroupBox*>("Frame(10)")->title(), "Owner");
    // The reset as the widgets show it.
    EXPECT_EQ(t.page->txtTaskLabel->text(), "Untitled");
    EXPECT_EQ(t.page->cboTaskFilter->currentText(), "--- None ---");
    EXPECT_TRUE(t.page->optTaskSched[0]->isChecked());
    EXPECT_FALSE(t.page->Frame10->isEnabled());
    EXPECT_TRUE(t.page->lstTaskFiles->isVisible());
    EXPECT_FALSE(t.page->txtTaskPath->isVisible());
}

TEST(TaskEditorPage, AUsersChoiceRunsTheRulesItChainsTo) {
    ClientGlobals g;
    PageOnTabs t(g.inputs());
    tavrel::TaskEditorPage& p = *t.page;
    p.optTaskSched[1]->click();
    EXPECT_TRUE(p.txtTaskPath->isVisible());
    EXPECT_FALSE(p.lstTaskFiles->isVisible());
    pick(p.cboTaskFilter, "AB 4000 Series TS2Sorvex");
    EXPECT_TRUE(p.optTaskSched[0]->isChecked());  // no monitor for that filter
    EXPECT_TRUE(p.lstTaskFiles->isVisible());
    EXPECT_EQ(p.txtTaskWild->text(), "*");
    EXPECT_FALSE(p.chkTaskNewOnly->isEnabled());

    pick(p.cboTaskFU, "If score less than");
    EXPECT_TRUE(p.chkTaskFUMove->isChecked());
    EXPECT_TRUE(p.cboTaskFUTask->isEnabled());
    p.chkTaskFURepeat->click();
    EXPECT_FALSE(p.chkTaskFUMove->isChecked());
    EXPECT_TRUE(p.cboTaskFUNumber->isEnabled());
    EXPECT_FALSE(p.cboTaskFUTask->isEnabled());

    p.txtTaskLabel->setText("Liver");
    emit p.txtTaskLabel->textEdited("Liver");
    EXPECT_EQ(p.model().state().txtTaskLabel.text, "Liver");
    // New gives back the default task.
    p.ResetTaskEditor(g.inputs());
    EXPECT_EQ(p.txtTaskLabel->text(), "Untitled");
    EXPECT_FALSE(p.chkTaskFURepeat->isChecked());
}

TEST(TaskEditorPage, AddFilesAddsEachChosenFileWithTheTabsLocked) {
    ClientGlobals g;
    PageOnTabs t(g.inputs());
    ScriptedDialogs dialogs;
    dialogs.tabs = &t.tabs;
    tavrel::DataFileDialogFolder = g.home.path();
    tavrel::TaskEditorPage& p = *t.page;
    dialogs.files = {{"/data/run/a.qpl", "/data/run/b.qpl", "/data/run/c.qpl"}, {}, {"/data/a.qpl"}};
    p.cmdTaskFileAdd->click();
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_EQ(dialogs.requests[0].startFolder, g.home.path());
    EXPECT_EQ(dialogs.requests[0].filter, "ASCII peak list files (*)");
    EXPECT_EQ(dialogs.tabsEnabledWhileOpen, QList<bool>({false}));
    EXPECT_TRUE(t.tabs.tabBar()->isEnabled());
    EXPECT_EQ(t.tabs.currentIndex(), 1);
    EXPECT_EQ(tavrel::DataFileDialogFolder, "/data/run");  // the next dialog opens there

    p.cmdTaskFileAdd->click();  // cancelled: nothing
    EXPECT_EQ(tavrel::DataFileDialogFolder, "/data/run");
    p.cmdTaskFileAdd->click();  // the same file twice gives two entries
    EXPECT_EQ(p.model().state().lstTaskFiles,
              QStringList({"/data/run/a.qpl", "/data/run/b.qpl", "/data/run/c.qpl", "/data/a.qpl"}));
    EXPECT_EQ(dialogs.requests[2].startFolder, "/data/run");
    EXPECT_EQ(p.lstTaskFiles->count(), 4);

    // More names than the dialog can hand over: nothing, and the hint.
    QStringList many;
    for (int i = 0; i < 3000; ++i) many << QStringLiteral("/data/run/a-long-file-name-of-an-instrument-%1.qpl").arg(i);
    dialogs.files = {many};
    g.boxes.texts.clear();
    p.cmdTaskFileAdd->click();
    EXPECT_EQ(g.boxes.texts, QStringList({tavrel::kTooManyFilesMessage}));
    EXPECT_EQ(p.lstTaskFiles->count(), 4);
}

TEST(TaskEditorPage, DialogFiltersFollowTheImportFilter) {
    EXPECT_EQ(tavrel::qtFileFilter(tavrel::dataFileDialogFilter("ThermoFinnigan LCQ / DECA RAW file")),
              "ThermoFinnigan RAW files (*.RAW *.raw)");
    EXPECT_EQ(tavrel::qtFileFilter(tavrel::dataFileDialogFilter("Data Explorer (Voyager) MS data")),
              "Data Explorer files (*.dat *.DAT *.ms *.MS *.t2d *.T2D)");
    EXPECT_TRUE(tavrel::dataFileDialogFilter("AB 4000 Series TS2Sorvex").isEmpty());
}

TEST(TaskEditorPage, FoldersComeFromThePickersAndDeleteRemovesTheSelected) {
    ClientGlobals g;
    PageOnTabs t(g.inputs());
    ScriptedDialogs dialogs;
    tavrel::FolderPickerStartFolder = g.home.path();
    tavrel::TaskEditorPage& p = *t.page;
    pick(p.cboTaskFilter, "Sorvex Quellmark");
    ASSERT_TRUE(p.cmdTaskFolderAdd->isEnabled());
    dialogs.folders = {"/data/set1", "", "/data/watch"};
    p.cmdTaskFolderAdd->click();
    p.cmdTaskFolderAdd->click();
    EXPECT_EQ(p.model().state().lstTaskFiles, QStringList({"/data/set1"}));
    p.optTaskSched[1]->click();
    p.cmdTaskBrowse->click();
    EXPECT_EQ(p.txtTaskPath->text(), "/data/watch");
    EXPECT_EQ(dialogs.folderTitles,
              QStringList({"Select folder corresponding to a single dataset",
                           "Select folder corresponding to a single dataset",
                           "Select folder to be monitored for data files"}));
    EXPECT_EQ(dialogs.folderStarts, QStringList({g.home.path(), "/data/set1", "/data/set1"}));
    EXPECT_EQ(tavrel::FolderPickerStartFolder, "/data/watch");

    p.optTaskSched[0]->click();
    for (const char* f : {"/b", "/c", "/d", "/e"}) p.lstTaskFiles_OLEDragDrop({f});
    p.lstTaskFiles->item(1)->setSelected(true);
    p.lstTaskFiles->item(4)->setSelected(true);
    p.cmdTaskFileDelete->click();
    EXPECT_EQ(p.model().state().lstTaskFiles, QStringList({"/data/set1", "/c", "/d"}));
}

TEST(TaskEditorPage, DropsTakeFilesAndFoldersOnlyWhereTheFilterAllows) {
    ClientGlobals g;
    PageOnTabs t(g.inputs());
    tavrel::TaskEditorPage& p = *t.page;
    const QString folder = g.home.path();
    const QString file = g.parameterFile;
    p.lstTaskFiles_OLEDragDrop({folder, file});
    EXPECT_EQ(p.model().state().lstTaskFiles, QStringList({file}));
    pick(p.cboTaskFilter, "Sorvex Quellmark");
    p.lstTaskFiles_OLEDragDrop({folder});
    EXPECT_EQ(p.model().state().lstTaskFiles, QStringList({file, folder}));
    pick(p.cboTaskFilter, "AB 4000 Series TS2Sorvex");
    EXPECT_FALSE(p.acceptsDrops());
    p.lstTaskFiles_OLEDragDrop({file});
    EXPECT_EQ(p.model().state().lstTaskFiles.size(), 2);
}

TEST(TaskEditorPage, TheListsScrollRangeOnlyGrows) {
    ClientGlobals g;
    PageOnTabs t(g.inputs());
    tavrel::TaskEditorPage& p = *t.page;
    p.lstTaskFiles_OLEDragDrop({"/short"});
    const int first = p.TaskFileListWidth;
    EXPECT_GT(first, 0);
    p.lstTaskFiles_OLEDragDrop({"/a/much/longer/path/to/a/data/file/of/the/instrument.raw"});
    const int wide = p.TaskFileListWidth;
    EXPECT_GT(wide, first);
    p.lstTaskFiles_OLEDragDrop({"/x"});
    EXPECT_EQ(p.TaskFileListWidth, wide);
    p.lstTaskFiles->item(1)->setSelected(true);
    p.cmdTaskFileDelete->click();
    EXPECT_EQ(p.TaskFileListWidth, wide);
    EXPECT_EQ(p.lstTaskFiles->item(0)->sizeHint().width(), wide);
}
