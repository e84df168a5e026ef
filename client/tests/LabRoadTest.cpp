// One lab user's part of the root-only test of a program folder shared by a
// lab (servicehost/tests/shared-folder-lab-test.sh): run as a member of the
// folder's group, under the umask 022 of a user's session, on the folder
// TAVREL_HOME names, while the service runs under its own account. The
// client's start-up runs as it does for the user, its task editor makes the
// tasks and Run stores them; the service must end each with its results.
// TAVREL_LAB_ROAD names the part ("settings", "tasks", "now"); without it the
// test is skipped.
#include "client/ClientGlobals.h"
#include "client/StartupSequence.h"
#include "client/frmMain.h"
#include "clientcommon/Globals.h"
#include "common/ImportFilters.h"
#include "clientcommon/LoadPreferences.h"
#include "common/PeakListFolders.h"
#include "common/Settings.h"
#include "clientcommon/TaskDatabase.h"
#include "convert/PeakListMerge.h"
#include "platform/AutomationPlugins.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/testsupport/TestSupport.h"
#include "taskeditor/forms/TaskEditorPage.h"

#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString part() { return qEnvironmentVariable("TAVREL_LAB_ROAD"); }

struct RecordedBoxes : platform::MessageBoxHandler {
    QStringList texts;
    int show(const QString& text, int style, const QString&) override {
        texts << text;
        const int buttons = style & 7;
        return buttons == platform::vbYesNo || buttons == platform::vbYesNoCancel ? platform::vbYes : platform::vbOK;
    }
};

class LabRoad : public ::testing::Test {
protected:
    void SetUp() override {
        if (part().isEmpty()) GTEST_SKIP() << "only the root-only shared-folder test walks the lab's road";
        previous_ = platform::setMessageBoxHandler(&boxes);
    }
    void TearDown() override {
        if (part().isEmpty()) return;
        if (window) window->frmMain_Form_Unload();
        platform::setMessageBoxHandler(previous_);
    }

    // The client's start-up as the user meets it, without the service step
    // ("-debug": the lab's service runs under its own account).
    void startClient() {
        platform::loadAutomationPlugins();
        window = std::make_unique<tavrel::frmMain>();
        tavrel::StartupSequence startup(*window);
        startup.setArguments({QString(), QStringLiteral("-debug")});
        startup.setPreferencesDialog([this](int page) {
            ADD_FAILURE() << "the preferences dialog opened on page " << page << ": " << qPrintable(boxes.texts.join('\n'));
            tavrel::PreferencesCancelled = true;
        });
        ASSERT_TRUE(startup.frmMain_Form_Load()) << qPrintable(boxes.texts.join('\n'));
    }

    // A task made in the task editor and stored by Run; its key.
    long run(const QString& label, const QString& filter, int filterIndex, const QString& options,
             const QStringList& files, bool merge = false) {
        tavrel::TaskEditorPage& page = *window->pageTaskEditor;
        page.cmdTaskNew->click();
        page.txtTaskLabel->setText(label);
        emit page.txtTaskLabel->textEdited(label);
        const QString parameters = tavrel::ProgramFolder + "/demo.par";
        page.txtTaskParam->setText(parameters);
        emit page.txtTaskParam->textEdited(parameters);
        const int item = page.cboTaskFilter->findText(filter);
        EXPECT_GE(item, 0) << qPrintable(filter) << " is not offered";
        page.cboTaskFilter->setCurrentIndex(item);
        emit page.cboTaskFilter->activated(item);
        if (!options.isEmpty()) tavrel::ImportFilterOptions[static_cast<std::size_t>(filterIndex)] = options;
        page.lstTaskFiles_OLEDragDrop(files);
        if (page.chkTaskMergeFiles->isChecked() != merge) page.chkTaskMergeFiles->click();
        long created = 0;
        const auto connection =
            QObject::connect(&page, &tavrel::TaskEditorPage::taskCreated, [&created](long uid) { created = uid; });
        page.cmdTaskRun->click();
        QObject::disconnect(connection);
        EXPECT_GT(created, 0) << qPrintable(label) << ": " << qPrintable(boxes.texts.join('\n'));
        return created;
    }

    QString put(const QString& name, const QByteArray& bytes) {
        const QString path = tavrel::ProgramFolder + "/lab-data/" + name;
        testsupport::writeFile(path, bytes);
        return path;
    }
    QVariant value(const QString& sql, long uid) {
        QSqlQuery q = tavrel::TaskDbConnection.query(sql, {qint32(uid)});
        return q.next() ? q.value(0) : QVariant();
    }
    // Waits until the service has ended the task; true when it completed with results.
    bool endsWithResults(long uid) {
        const QString status = "SELECT task_status FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?";
        testsupport::waitUntil([&] {
            const QString now = value(status, uid).toString();
            return now == "completed" || now == "paused" || now == "cancelled";
        }, 300000);
        return value(status, uid).toString() == "completed" &&
               value("SELECT COUNT(*) FROM Sorvex_Tavrel_Results WHERE task_UID = ?", uid).toInt() > 0;
    }
    QStringList samples() const {
        const QDir folder(tavrel::ProgramFolder + "/samples");
        QStringList out;
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) out << folder.filePath(name);
        return out;
    }

    RecordedBoxes boxes;
    std::unique_ptr<tavrel::frmMain> window;

private:
    platform::MessageBoxHandler* previous_ = nullptr;
};

const QString kWiff = QStringLiteral("AB | MDS Sciex Analyst .WIFF file");

}  // namespace

TEST_F(LabRoad, TasksMadeInTheClientEndWithTheirResults) {
    if (part() == "settings") {
        // What the lab's administrator sets once: the RAW extractor.
        ASSERT_TRUE(common::modGlobal_SaveSetting(common::SettingsApplication, common::PreferencesSection, "LcqPath",
                                                  qEnvironmentVariable("TAVREL_LAB_EXTRACTOR")));
        return;
    }
    startClient();
    ASSERT_FALSE(HasFatalFailure());
    const QStringList lists = samples();
    ASSERT_GE(lists.size(), 2) << "demo-setup's sample peak lists";
    if (part() == "now") {
        const long now = run("Lab later", "--- None ---", common::FilterNone, QString(), {lists[0]});
        EXPECT_TRUE(endsWithResults(now)) << now;
        return;
    }
    ASSERT_EQ(part(), "tasks");

    const long now = run("Lab now", "--- None ---", common::FilterNone, QString(), {lists[0]});

    // Another member planted a link where the merged list will be written,
    // in a task folder made ready for it (Run uses a folder that is there).
    const long next = value("SELECT MAX(task_UID) FROM Sorvex_Tavrel_Tasks WHERE task_UID > ?", 0).toLongLong() + 1;
    const QString folder = common::PeakListCacheFolder(tavrel::PeakListRoot, qint32(next), "Lab merged");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 02770), 0);
    ASSERT_TRUE(QFile::link(qEnvironmentVariable("TAVREL_LAB_VICTIM"), tavrelsvc::mergeFilePath(folder)));
    const long merged = run("Lab merged", "--- None ---", common::FilterNone, QString(), lists.mid(0, 2), true);
    EXPECT_EQ(merged, next);

    const QString raw = put("run1.raw", "# Tavrel stand-in RAW file\nspectrum 7 1001.5 2\n400.25 20\n");
    const long thermo = run("Lab raw", "ThermoFinnigan LCQ / DECA RAW file", common::FilterLcq,
                            ",,300,4000,1.4,1,1,0,0,0,,,,,", {raw});
    const QString wiff = put("one.wiff", "# Tavrel stand-in WIFF file\nsample Sample 1\nmsms 1\nresult BEGIN IONS\n"
                                         "result TITLE=lab wiff\nresult PEPMASS=701.5\nresult 150.5 20\n"
                                         "result END IONS\n");
    const long analyst = run("Lab wiff", kWiff, common::FilterAnalyst,
                             "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,False,0,0", {wiff});

    for (const long uid : {now, merged, thermo, analyst}) EXPECT_TRUE(endsWithResults(uid)) << "task " << uid;
    EXPECT_FALSE(QFileInfo(tavrelsvc::mergeFilePath(folder)).isSymLink());
}
