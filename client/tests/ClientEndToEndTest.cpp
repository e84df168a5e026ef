// The client's whole road with the real programs, on SQLite and on
// PostgreSQL: TavrelService -debug and sorvex-sim run in a prepared program
// folder, the offscreen client goes through its real start-up, a task made
// in the Task Editor goes from new to running to completed on the Status tab
// with its results under it, and Pause and Resume from the tab are answered
// by the service.
#include "servicehost/tests/ServiceProgram.h"
#include "ClientFixture.h"

#include "client/StartupSequence.h"
#include "client/frmMain.h"
#include "clientcommon/Globals.h"
#include "clientcommon/TaskDatabase.h"
#include "params/DefaultParameterSet.h"
#include "common/ParameterFile.h"
#include "platform/MessageBox.h"
#include "status/forms/EventListModel.h"
#include "status/forms/EventLogPage.h"
#include "status/forms/StatusListModel.h"
#include "status/forms/StatusPage.h"
#include "status/forms/StatusTreeModel.h"
#include "status/forms/StatusTreeView.h"
#include "taskeditor/forms/TaskEditorPage.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace {

class ClientEndToEnd : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        const QString skip = env.prepare();
        if (!skip.isEmpty()) GTEST_SKIP() << qPrintable(skip);
        // Requests are polled and jobs tick every second, so the task runs
        // through while the test watches; the client refreshes as often.
        for (const char* name : {"TimerTick", "TaskCheckInterval"})
            ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, name, "1"));
        ASSERT_EQ(hosttest::runSwitch({"-install", "-silent"}), 0);
        // The default set that a new task names, on a database this server offers.
        QList<tavrel::ParameterLine> lines = tavrel::defaultParameterLines();
        for (tavrel::ParameterLine& line : lines)
            if (line.key == "DB") line.value = "SwissProt";
        ASSERT_FALSE(tavrel::writeParameterFileLines(tavrel::defaultParameterSetPath(env.home.path()), lines));
        previousBoxes = platform::setMessageBoxHandler(&boxes);
        opened = true;
    }
    void TearDown() override {
        if (!opened) return;
        if (window) window->frmMain_Form_Unload();
        window.reset();
        platform::setMessageBoxHandler(previousBoxes);
        common::ProgramTaskDatabase.close();
    }
    static void type(QLineEdit* box, const QString& text) {
        box->setText(text);
        emit box->textEdited(text);
    }

    hosttest::ServiceHome env{GetParam()};
    // The client and the service are one computer; the client's computer name comes from the environment.
    testsupport::EnvGuard computer{"COMPUTERNAME", QByteArray("LABPC")};
    ScriptedBoxes boxes;
    std::unique_ptr<tavrel::frmMain> window;
    platform::MessageBoxHandler* previousBoxes = nullptr;
    bool opened = false;
};

TEST_P(ClientEndToEnd, ATaskMadeInTheEditorRunsPausesResumesAndCompletesOnTheStatusTab) {
    hosttest::ServiceProgram service(env.home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    QStringList lists;
    for (int i = 1; i <= 2; ++i) {
        lists << env.home.file(QStringLiteral("data/run%1.qpl").arg(i));
        testsupport::writeFile(lists.last(), "BEGIN IONS\r\nTITLE=spectrum " + QByteArray::number(i) +
                                                 "\r\nPEPMASS=500.5\r\n100.5 20\r\n200.25 30\r\nEND IONS\r\n");
    }

    // The real start-up, without "-debug": the client finds the running service and wakes it.
    window = std::make_unique<tavrel::frmMain>();
    tavrel::StartupSequence startup(*window);
    startup.setArguments({QString()});
    startup.setServiceProgram(testsupport::binPath("TavrelService"));
    int preferencesShown = 0;
    startup.setPreferencesDialog([&](int) { ++preferencesShown; });
    ASSERT_TRUE(startup.frmMain_Form_Load()) << qPrintable(boxes.texts.join('\n'));
    EXPECT_EQ(preferencesShown, 0);
    EXPECT_EQ(window->tmrRefresh.interval(), 1000);
    EXPECT_EQ(window->tabMain->currentIndex(), tavrel::frmMain::TabStatus);
    tavrel::StatusPage& page = *window->pageStatus;
    EXPECT_EQ(page.statusViewKind(), "root");
    EXPECT_FALSE(page.cmdStatusPause->toolTip().isEmpty());

    // The Task Editor as a user fills it: the default set, two peak lists, Run.
    window->tabMain->setCurrentIndex(tavrel::frmMain::TabTaskEditor);
    tavrel::TaskEditorPage& editor = *window->pageTaskEditor;
    EXPECT_EQ(editor.txtTaskParam->text(), tavrel::defaultParameterSetPath(env.home.path()));
    type(editor.txtTaskLabel, "Watched run");
    editor.lstTaskFiles_OLEDragDrop(lists);
    long uid = 0;
    QObject::connect(&editor, &tavrel::TaskEditorPage::taskCreated, [&](long created) { uid = created; });
    editor.cmdTaskRun->click();
    ASSERT_EQ(uid, 1) << qPrintable(boxes.texts.join('\n'));
    EXPECT_EQ(window->tabMain->currentIndex(), tavrel::frmMain::TabStatus);

    const QString key = tavrel::taskNodeKey(qint32(uid));
    const auto image = [&] { return tavrel::StatusTreeModel::imageOf(page.treeModel()->item(key)); };
    const auto dbStatus = [&] { return env.rows->status(int(uid)); };
    ASSERT_NE(page.treeModel()->item(key), nullptr);
    const QString first = image();
    EXPECT_TRUE(first == "pending" || first == "running") << first.toStdString();

    ASSERT_TRUE(testsupport::waitUntil([&] { return image() == "running"; }, 30000)) << image().toStdString();
    page.tvwStatus->expand(page.treeModel()->indexFromItem(page.treeModel()->item(key)));
    page.tvwStatus->setCurrentIndex(page.treeModel()->indexFromItem(page.treeModel()->item(key)));
    ASSERT_TRUE(page.cmdStatusPause->isEnabled());
    page.cmdStatusPause->click();
    EXPECT_EQ(image(), "pending");
    // A busy job answers "Pending" and pauses after its step.
    ASSERT_TRUE(testsupport::waitUntil([&] { return image() == "paused"; }, 60000))
        << image().toStdString() << " " << dbStatus().toStdString();
    EXPECT_TRUE(env.rows->response(int(uid)).isEmpty());
    ASSERT_TRUE(testsupport::waitUntil([&] { return page.cmdStatusResume->isEnabled(); }, 5000));
    page.cmdStatusResume->click();
    ASSERT_TRUE(testsupport::waitUntil([&] { return image() == "running" || image() == "completed"; }, 30000));

    ASSERT_TRUE(testsupport::waitUntil([&] { return image() == "completed"; }, 90000))
        << image().toStdString() << "\n" << qPrintable(hosttest::eventLog(env.home.path()).join('\n'));
    // The node opened before any result had arrived went back to its
    // placeholder; opened again it shows both results.
    ASSERT_TRUE(testsupport::waitUntil([&] { return page.listModel()->rowCount() == 2; }, 5000));
    page.tvwStatus->expand(page.treeModel()->indexFromItem(page.treeModel()->item(key)));
    ASSERT_EQ(page.treeModel()->item(key)->rowCount(), 2);
    QStringList results;
    for (int i = 0; i < 2; ++i) results << page.treeModel()->item(key)->child(i)->text();
    results.sort();
    EXPECT_EQ(results, (QStringList{"run1.qpl", "run2.qpl"}));

    // The Event Log tab followed the service's log.
    tavrel::EventListModel* events = window->pageEventLog->eventModel();
    bool started = false;
    for (int r = 0; r < events->rowCount(); ++r) started = started || events->rowAt(r).field(6).contains("Starting new task");
    EXPECT_TRUE(started);
    EXPECT_TRUE(boxes.texts.isEmpty()) << qPrintable(boxes.texts.join('\n'));
}

TAVREL_ON_BOTH_ENGINES(ClientEndToEnd);

}  // namespace
