// The demo's program folder as run.sh prepares it: the service takes the
// task demo-setup wrote as the client writes one, and searches the sample
// already in the inbox; a second set-up keeps that task.
#include "ServiceProgram.h"

#include "common/Preferences.h"
#include "common/Settings.h"

#include <QSqlQuery>

namespace {

int runDemoSetup(const QString& url) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("COMPUTERNAME", "LABPC");
    p.setProcessEnvironment(env);
    p.start(testsupport::binPath("demo-setup"), {url});
    if (!p.waitForFinished(15000)) return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(DemoSetup, TheServiceSearchesTheInboxSampleOfTheDemoTask) {
    if (!testsupport::SorvexSim::available() || !QFileInfo::exists(testsupport::binPath("TavrelService")) ||
        !QFileInfo::exists(testsupport::binPath("demo-setup")))
        GTEST_SKIP() << "sorvex-sim, TavrelService or demo-setup is not built";
    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    const QString bodies = home.file("bodies");
    ASSERT_TRUE(sim.start("{\"bodies\": \"" + bodies.toUtf8() + "\"}")) << qPrintable(sim.error());
    ASSERT_EQ(runDemoSetup(sim.baseUrl()), 0);

    platform::AdoConnection db;
    db.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + home.file("TaskDB.mdb"));
    const auto taskRow = [&] {
        QSqlQuery q = db.query("SELECT task_UID, schedule_type, task_status, action_request, monitor_directory, "
                               "computer_name, task_label FROM Sorvex_Tavrel_Tasks");
        QStringList row;
        while (q.next())
            for (int i = 0; i < 7; ++i) row << q.value(i).toString();
        return row;
    };
    EXPECT_EQ(taskRow(), (QStringList{"1", "monitor", "new", "Run", home.file("inbox"), "LABPC", "Demo inbox"}));
    EXPECT_TRUE(QFileInfo(home.file("qpl/1 Demo inbox")).isDir()) << "the task's peak-list folder";
    EXPECT_EQ(QDir(home.file("samples")).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QDir(home.file("inbox")).entryList(QDir::Files), QStringList{"sample1.qpl"});

    hosttest::ServiceProgram service(home.path(), "LABPC");
    ASSERT_TRUE(service.start());
    // The body file grows while it arrives; the search is submitted once it is whole.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return hosttest::countContaining(hosttest::eventLog(home.path()), "|1|Search submitted") > 0; }, 20000))
        << qPrintable(hosttest::eventLog(home.path()).join('\n'));
    EXPECT_EQ(testsupport::readFile(bodies + "/upload-1.body").count("BEGIN IONS"), 3);
    EXPECT_EQ(taskRow().value(2), "running");

    // run.sh again on the same folder: the task is kept, nothing is added.
    ASSERT_EQ(runDemoSetup(sim.baseUrl()), 0);
    EXPECT_EQ(taskRow().size(), 7);
}

std::string setting(const QString& name) {
    return common::modGlobal_GetSetting(common::SettingsApplication, common::PreferencesSection, name)
        .toString()
        .toStdString();
}

void saveSetting(const QString& name, const QString& value) {
    ASSERT_TRUE(common::modGlobal_SaveSetting(common::SettingsApplication, common::PreferencesSection, name, value));
}

// run.sh runs demo-setup at every start with the new address of its simulated
// server: what the user saved in Preferences in between stays, and only an
// address that still names an earlier simulated server follows the new one.
TEST(DemoSetup, ALaterSetUpKeepsWhatPreferencesSaved) {
    if (!QFileInfo::exists(testsupport::binPath("demo-setup"))) GTEST_SKIP() << "demo-setup is not built";
    testsupport::TempHome home;
    ASSERT_EQ(runDemoSetup("http://127.0.0.1:40001/sorvex/cgi/"), 0);
    EXPECT_EQ(setting("BaseUrl"), "http://127.0.0.1:40001/sorvex/cgi/");
    EXPECT_EQ(setting("TaskCheckInterval"), "2");
    EXPECT_EQ(setting("TimerTick"), "1");
    EXPECT_NE(setting("ADOConnect").find(home.file("TaskDB.mdb").toStdString()), std::string::npos);

    // Saved in Preferences between two runs.
    const QString ownConnection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + home.file("TaskDB.mdb") +
                                  ";Mode=Read|Write|Share Deny None;Persist Security Info=False";
    saveSetting("TaskCheckInterval", "30");
    saveSetting("TimerTick", "10");
    saveSetting("AccessType", "0");
    saveSetting("ADOConnect", ownConnection);
    ASSERT_EQ(runDemoSetup("http://127.0.0.1:40002/sorvex/cgi/"), 0);
    EXPECT_EQ(setting("TaskCheckInterval"), "30");
    EXPECT_EQ(setting("TimerTick"), "10");
    EXPECT_EQ(setting("AccessType"), "0");
    EXPECT_EQ(setting("ADOConnect"), ownConnection.toStdString());
    EXPECT_EQ(setting("MonitorActionDelay"), "2");
    EXPECT_EQ(setting("BaseUrl"), "http://127.0.0.1:40002/sorvex/cgi/") << "the new simulated server";

    // A server of the user's own is not the demo's to replace.
    saveSetting("BaseUrl", "https://sorvex.lab.example/sorvex/cgi/");
    ASSERT_EQ(runDemoSetup("http://127.0.0.1:40003/sorvex/cgi/"), 0);
    EXPECT_EQ(setting("BaseUrl"), "https://sorvex.lab.example/sorvex/cgi/");
}

}  // namespace
