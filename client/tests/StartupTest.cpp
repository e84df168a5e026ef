// Start-up against the simulated server in a private program folder, every
// box and the preferences dialog answered by the test.
#include "ClientFixture.h"
#include "WaitWatch.h"

#include "client/StartupSequence.h"
#include "client/frmMain.h"
#include "client/frmPreferences.h"
#include "clientcommon/HttpGet.h"
#include "clientcommon/RequestWait.h"
#include "clientcommon/ServerDocuments.h"
#include "common/Settings.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/forms/RequestWaitDialog.h"
#include "platform/AdoRecordset.h"
#include "platform/RegistryApi.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTcpServer>
#include <QTimer>

#include <sys/stat.h>

using namespace tavrel;

namespace {

class Startup : public ClientFixture {
protected:
    // Runs start-up; the dialog answers with `dialog` (default: Cancel) and
    // records the page it was shown on.
    bool run(QStringList arguments = {QString(), QStringLiteral("-debug")}) {
        window = std::make_unique<frmMain>();
        StartupSequence startup(*window);
        startup.setArguments(arguments);
        if (!serviceProgram.isEmpty()) startup.setServiceProgram(serviceProgram);
        startup.setSystemTray([this] { return systemTray; });
        startup.setPreferencesDialog([this](int page) {
            pages.append(page);
            PreferencesCancelled = true;
            if (dialog) dialog(page);
        });
        return startup.frmMain_Form_Load();
    }

    std::unique_ptr<frmMain> window;
    QList<int> pages;
    std::function<void(int)> dialog;
    QString serviceProgram = QStringLiteral("/nonexistent/TavrelService");
    bool systemTray = true;
};

}  // namespace

TEST_F(Startup, AWorkingSetupShowsTheWindowOnItsFirstTabWithTheRefreshRunning) {
    workingSetup();
    ASSERT_TRUE(run()) << boxes.all().toStdString();
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.all().toStdString();
    EXPECT_TRUE(pages.isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->startupCompleted());
    EXPECT_EQ(window->tabMain->currentIndex(), frmMain::TabStatus);
    EXPECT_TRUE(window->tmrRefresh.isActive());
    EXPECT_EQ(window->tmrRefresh.interval(), 60000);
    EXPECT_EQ(window->tmrJob[0].interval(), 100);
    EXPECT_FALSE(window->tmrJob[0].isActive());
    EXPECT_TRUE(TasksRecordset.isOpen());
    EXPECT_TRUE(QFileInfo::exists(home.file("default.par")));
    EXPECT_TRUE(QFileInfo::exists(home.file("server.dat")));
    EXPECT_TRUE(QFileInfo(home.file("qpl")).isDir());
    EXPECT_FALSE(ServerVersion.isEmpty());
    // The client reads the service's event log; it never makes one.
    EXPECT_FALSE(QFileInfo::exists(home.file("Sorvex_Tavrel_Event_Log.csv")));
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && w->objectName() == "frmSplash");
}

// In a program folder its group shares, the peak-list root the start-up
// makes is the group's (2770) whatever this user's umask: the service and the
// lab's other users write below it.
TEST_F(Startup, ThePeakListRootItMakesInASharedFolderIsTheGroupsWhateverTheUmask) {
    workingSetup();
    ASSERT_EQ(::chmod(QFile::encodeName(home.path()).constData(), 02770), 0);
    const mode_t savedMask = ::umask(022);
    const bool started = run();
    ::umask(savedMask);
    ASSERT_TRUE(started) << boxes.all().toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(home.file("qpl")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 02770u) << std::oct << (st.st_mode & 07777);
}

// A fresh installation has no "default.par": the one start-up writes opens
// without a warning on the server it fetched the parameters of.
TEST_F(Startup, ANewDefaultParameterSetOpensWithoutAWarning) {
    workingSetup();
    ASSERT_TRUE(QFile::remove(home.file("default.par")));
    ASSERT_TRUE(run()) << boxes.all().toStdString();
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.all().toStdString();
    EXPECT_TRUE(testsupport::readFile(home.file("default.par")).contains("\r\nDB=SwissProt\r\n"));
}

TEST_F(Startup, WithoutSettingsThePreferencesDialogOpensOnItsFirstPage) {
    window = std::make_unique<frmMain>();
    StartupSequence startup(*window);
    startup.setArguments({QString(), QStringLiteral("-debug")});
    int shownPage = -1;
    // The real dialog: seen on its page, then cancelled.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* prefs = qobject_cast<frmPreferences*>(QApplication::activeModalWidget());
        if (!prefs) return;
        shownPage = prefs->tabPreferences->currentIndex();
        prefs->cmdCancel->click();
    });
    poll.start(20);
    EXPECT_FALSE(startup.frmMain_Form_Load());
    EXPECT_EQ(shownPage, 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(TaskDbConnection.isOpen());
}

struct FailureCase {
    const char* name;
    QByteArray scenario;
    std::function<void(ClientFixture&)> prepare;
    QList<int> pages;      // the dialog's pages, in order (each answered with Cancel)
    QStringList messages;  // parts of the boxes shown
};

const FailureCase kFailures[] = {
    {"BadConnectionString", "{}",
     [](ClientFixture& t) { t.saveSetting("ADOConnect", "Provider=NoSuchEngine;Data Source=x"); }, {2},
     {"Problem connecting to task database"}},
    {"ForeignDatabase", "{}",
     [](ClientFixture& t) {
         platform::AdoConnection c;
         c.open(t.connectionString());
         c.execute("ALTER TABLE Sorvex_Tavrel_Tasks ADD COLUMN gkr_user_name TEXT");
     },
     {2}, {"Cannot retrieve data from current task database.", "Error number 3E9", "Sorvex Ostrane"}},
    {"NoParameterDocumentNoneCached", R"({"faults": [{"match": "get_params.pl", "status": 500}]})", {}, {0},
     {"Cannot retrieve search parameters from ", "You must enter a valid Sorvex server URL",
      "Cannot continue without search parameters from Sorvex server"}},
    {"OldServer", R"({"createTaskIdReply": "taskid=0\nactionstring=x"})", {}, {0},
     {"The chosen server appears to be an earlier version.",
      "Cannot continue. Sorvex server must be version 2.1, (or version 2.0 with new client.pl script)."}},
    {"PeakListRootCannotBeMade", "{}",
     [](ClientFixture& t) {
         testsupport::writeFile(t.home.file("afile"), "x");
         t.saveSetting("PeakListRoot", t.home.file("afile") + "/qpl");
     },
     {}, {"Unable to create required directory "}},
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class StartupFailure : public Startup, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailure, ShowsItsMessageAndThePageToMendItThenEnds) {
    const FailureCase& c = GetParam();
    workingSetup(c.scenario);
    if (c.prepare) c.prepare(*this);
    EXPECT_FALSE(run());
    EXPECT_EQ(pages, c.pages);
    for (const QString& m : c.messages)
        EXPECT_TRUE(boxes.saw(m)) << m.toStdString() << "\n" << boxes.all().toStdString();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->tmrRefresh.isActive());
}

INSTANTIATE_TEST_SUITE_P(Branches, StartupFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Startup, AnOldDatabaseIsUpgradedWhenTheUserAgreesAndRefusedOtherwise) {
    workingSetup();
    {
        platform::AdoConnection c;
        c.open(connectionString());
        c.execute("ALTER TABLE Sorvex_Tavrel_Tasks DROP COLUMN filter_fields");
    }
    boxes.answers = {{"must be updated", platform::vbCancel}};
    EXPECT_FALSE(run());
    EXPECT_TRUE(boxes.saw("Task database is from an earlier version of Sorvex Tavrel and must be updated.\r\n"
                          "If the database contains valuable information, you should press cancel\r\n"
                          "and make a backup before proceeding"))
        << boxes.all().toStdString();
    common::ProgramTaskDatabase.close();

    boxes.texts.clear();
    ASSERT_TRUE(run()) << boxes.all().toStdString();  // the question answered OK
    EXPECT_TRUE(boxes.saw("must be updated"));
    EXPECT_TRUE(TasksRecordset.hasField("filter_fields"));
}

TEST_F(Startup, AServerWithoutParametersButACachedCopyContinuesOffLine) {
    workingSetup(R"({"faults": [{"match": "get_params.pl", "status": 500}]})");
    testsupport::writeFile(home.file("server.dat"), "\"[DB]\r\nSwissProt\r\n\r\n[CLE]\r\nTrypsin\r\n\r\n[MODS]\r\n\"\r\n");
    boxes.answers = {{"Change Sorvex server URL?", platform::vbNo}};
    ASSERT_TRUE(run()) << boxes.all().toStdString();
    EXPECT_TRUE(boxes.saw("Cannot retrieve search parameters from " + sim.baseUrl() + "get_params.pl\r\nChange Sorvex server URL?"));
    EXPECT_TRUE(boxes.saw("Continuing off-line from Sorvex server. Searches submitted from new tasks will fail."));
    EXPECT_TRUE(pages.isEmpty());
    // Off-line: the version is not asked.
    EXPECT_FALSE(sim.targets().join(' ').contains("create_task_id"));
    EXPECT_TRUE(window->isVisible());
}

// A server that does not answer at all is no reason to stop the client: with
// the cached document it goes on off-line; without one the dialog opens on
// the page that holds the address.
TEST_F(Startup, AnUnreachableServerContinuesOffLineOnTheCachedDocumentElseAsksForTheAddress) {
    workingSetup();
    const QString gone = QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(testsupport::closedLocalPort());
    saveSetting("BaseUrl", gone);
    EXPECT_FALSE(run());
    EXPECT_EQ(pages, QList<int>{0});
    EXPECT_TRUE(boxes.saw("Error on HttpSendRequest: ")) << boxes.all().toStdString();
    EXPECT_TRUE(boxes.saw(gone)) << boxes.all().toStdString();
    common::ProgramTaskDatabase.close();

    boxes.texts.clear();
    pages.clear();
    testsupport::writeFile(home.file("server.dat"), "\"[DB]\r\nSwissProt\r\n\r\n[CLE]\r\nTrypsin\r\n\r\n[MODS]\r\n\"\r\n");
    boxes.answers = {{"Change Sorvex server URL?", platform::vbNo}};
    ASSERT_TRUE(run()) << boxes.all().toStdString();
    EXPECT_TRUE(pages.isEmpty());
    EXPECT_TRUE(boxes.saw("Continuing off-line from Sorvex server. Searches submitted from new tasks will fail."))
        << boxes.all().toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->tmrRefresh.isActive()) << "the tasks are shown and refreshed";
}

TEST_F(Startup, AServiceThatCannotStartOffersAbortRetryAndIgnore) {
    struct Case {
        const char* name;
        QList<int> answers;  // to the Abort, Retry, Ignore question, in order
        QString trayProgram;
        bool shown;
        QList<int> pages;
        QString lastMessage;
    } cases[] = {
        {"Abort", {platform::vbAbort}, {}, false, {}, "Unable to start the Sorvex Tavrel Service"},
        {"Retry, then Abort", {platform::vbRetry, platform::vbAbort}, {}, false, {2}, "Unable to start the Sorvex Tavrel Service"},
        {"Ignore, tray program missing", {platform::vbIgnore}, "/nonexistent/TavrelService", false, {},
         "Unable to start Sorvex Tavrel Service as system tray application"},
        // The tray program ends at once, so the first refresh finds no service and asks.
        {"Ignore, tray program starts", {platform::vbIgnore}, "/bin/true", true, {},
         "Sorvex Tavrel Service is not running. Try to start it?"},
    };
    workingSetup();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.texts.clear();
        boxes.answers.clear();
        for (int a : c.answers) boxes.answers.append({"Choose Abort to to exit Sorvex Tavrel", a});
        boxes.answers.append({"Try to start it?", platform::vbNo});
        pages.clear();
        TrayMessageId = 0;
        if (!c.trayProgram.isEmpty()) serviceProgram = c.trayProgram;
        // No "-debug": the service is installed (not here: no program), started and woken.
        EXPECT_EQ(run({QString()}), c.shown) << boxes.all().toStdString();
        EXPECT_EQ(pages, c.pages);
        ASSERT_FALSE(boxes.texts.isEmpty());
        EXPECT_TRUE(boxes.texts.last().contains(c.lastMessage)) << boxes.all().toStdString();
        EXPECT_TRUE(boxes.saw("  Choose Retry to verify Task database connection string and try again\r\n  Choose "
                              "Ignore to run the Sorvex Tavrel service component on the desktop"));
        if (c.shown) {
            EXPECT_NE(TrayMessageId, 0u);
        }
        common::ProgramTaskDatabase.close();
        window.reset();
    }
}

// Ignore would run the service, and so every task of the computer, as this
// user: never in a folder other accounts write, and only where a tray can
// hold it. Either refusal says why once and asks again.
TEST_F(Startup, IgnoreRunsTheTrayServiceOnlyInAFolderOfTheUsersOwnWithATray) {
    workingSetup();
    const QString ran = home.file("tray-ran");
    serviceProgram = home.file("tray.sh");
    // The client may ask it to install the service first; only a tray start counts.
    testsupport::writeFile(serviceProgram, ("#!/bin/sh\n[ \"$1\" = -systray ] && echo \"$@\" > '" + ran + "'\nexit 0\n").toUtf8());
    QFile::setPermissions(serviceProgram, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto own = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    struct Case {
        const char* name;
        QFile::Permissions folder;
        bool tray;
        QString refusal;
    } cases[] = {
        {"a folder other accounts write", own | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther, true,
         "The program folder " + home.path() + " is shared with other accounts, so the Sorvex Tavrel service is not "
         "run on your desktop: it would run the tasks of every account as you.\r\nAn administrator starts the "
         "service with:\r\n"},
        {"no system tray", own, false, "No system tray is available on this desktop"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::setPermissions(home.path(), c.folder);
        systemTray = c.tray;
        boxes.texts.clear();
        boxes.answers = {{"Choose Abort to to exit Sorvex Tavrel", platform::vbIgnore},
                         {"Choose Abort to to exit Sorvex Tavrel", platform::vbAbort},
                         {"Try to start it?", platform::vbNo}};
        TrayMessageId = 0;
        EXPECT_FALSE(run({QString()})) << boxes.all().toStdString();
        const QStringList asked = boxes.texts.filter("Choose Ignore to run");
        EXPECT_EQ(asked.size(), 2) << boxes.all().toStdString();
        EXPECT_EQ(boxes.texts.filter(c.refusal).size(), 1) << boxes.all().toStdString();
        EXPECT_TRUE(boxes.texts.last().contains("Choose Abort")) << boxes.all().toStdString();
        EXPECT_EQ(TrayMessageId, 0u);
        EXPECT_FALSE(QFile::exists(ran)) << "the tray program was started";
        common::ProgramTaskDatabase.close();
        window.reset();
    }
    QFile::setPermissions(home.path(), own);
}

TEST_F(Startup, TheServiceIsInstalledSilentlyAndStarted) {
    if (!QFileInfo::exists(testsupport::binPath("TavrelService"))) GTEST_SKIP() << "TavrelService is not built";
    workingSetup();
    serviceProgram = testsupport::binPath("TavrelService");
    // Started as the system's unit, by the service manager.
    testsupport::FakeServiceManager manager;
    manager.setService(serviceProgram, {"-service"});
    serviceWaitTiming() = {200, 20000, {}};
    ASSERT_TRUE(run({QString()})) << boxes.all().toStdString();
    EXPECT_TRUE(manager.calls().contains("start sorvex-tavrel-service.service"));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.all().toStdString();
    // Registered by "-install -silent", running, and it takes the wake-up.
    EXPECT_TRUE(common::modGlobal_GetSetting("", "", "ImagePath").isValid() ||
                testsupport::readFile(home.file("registry.hive")).contains("ImagePath"));
    EXPECT_TRUE(modGlobal_NotifyService(true));
    EXPECT_TRUE(modGlobal_StopService(true));
}

TEST_F(Startup, ASharedDatabaseWithoutTablesIsNeverUpgradedAndItsPasswordNeverShown) {
    const QString admin = qEnvironmentVariable("TAVREL_TEST_PG");
    if (admin.isEmpty()) GTEST_SKIP() << "TAVREL_TEST_PG not set";
    testsupport::TestDatabase empty(testsupport::DbEngine::Postgres);
    ASSERT_TRUE(empty.available());
    workingSetup();
    // The test server takes any password; this one must not reach a message.
    QString connection = empty.connectionString();
    connection.replace(QRegularExpression("Password=[^;]*"), "Password=s3cret-pw");
    saveSetting("ADOConnect", connection);
    boxes.answers = {{"requires updating", platform::vbCancel}};
    EXPECT_FALSE(run());
    EXPECT_TRUE(boxes.saw("The Sorvex Tavrel task database requires updating.")) << boxes.all().toStdString();
    EXPECT_TRUE(boxes.saw(" using the SQL script for "));
    EXPECT_FALSE(boxes.all().contains("s3cret-pw")) << boxes.all().toStdString();
    platform::AdoConnection c;
    c.open(connection);
    EXPECT_FALSE(c.tableExists("Sorvex_Tavrel_Tasks"));
}

// The database step against a PostgreSQL host that does not work: the
// start-up window keeps painting while it waits, the wait names the host and
// offers Cancel, and the message names the connection (never its password),
// says why in words and what to do; then the preferences open on its page.
TEST_F(Startup, TheDatabaseStepWaitsWithCancelAndSaysWhatToDo) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const struct {
        const char* name;
        quint16 port;
        const char* extra;
        bool cancel;
        const char* reason;
    } cases[] = {
        {"cancelled", silent.serverPort(), "", true, "The wait was cancelled."},
        {"no answer", silent.serverPort(), ";connect_timeout=2", false, "The server did not answer in time"},
        {"refused", testsupport::closedLocalPort(), "", false, "Nothing answers at that address"},
    };
    workingSetup();
    RequestWaitDialog view(50);
    setRequestWaitView(&view);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString address = QStringLiteral("127.0.0.1:%1").arg(c.port);
        saveSetting("ADOConnect", "Provider=PostgreSQL;Data Source=" + address +
                                      ";Initial Catalog=tavrel;User ID=lab;Password=s3cret-pw" + c.extra);
        boxes.texts.clear();
        pages.clear();
        HungRequestWatch watch(QStringLiteral("frmSplash"));
        watch.cancel = c.cancel;
        EXPECT_FALSE(run());
        EXPECT_EQ(pages, QList<int>{2});
        if (c.port == silent.serverPort()) {
            EXPECT_GE(watch.paintsDuringWait, 3);
            EXPECT_EQ(watch.waitTexts, QStringList{"Waiting for the task database at " + address + " ..."});
        }
        ASSERT_EQ(boxes.texts.size(), 1) << boxes.all().toStdString();
        const QString& box = boxes.texts[0];
        EXPECT_TRUE(box.startsWith("Problem connecting to task database.\r\n\r\nError number ")) << box.toStdString();
        for (const QString& part : {QString("the PostgreSQL database tavrel on " + address + " as lab"),
                                    QString::fromLatin1(c.reason), QString("\"ADO connection\" of the Preferences"),
                                    QString("\"A shared task database on PostgreSQL\"")})
            EXPECT_TRUE(box.contains(part)) << part.toStdString() << "\n" << box.toStdString();
        EXPECT_FALSE(box.contains("s3cret-pw"));
        window.reset();
    }
    setRequestWaitView(nullptr);
}

// A Sorvex server that accepts and never answers: one Cancel in the wait
// ends the server's part of start-up, the question is asked once, and the
// client goes on off-line on the cached parameters, also when the user
// answers Yes and then leaves the preferences unchanged (where a Cancel of
// one check does not give up on the next).
TEST_F(Startup, OneCancelForASilentServerGoesOnOffLineOnTheCachedParameters) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString url = QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(silent.serverPort());
    workingSetup();
    AccessType = 1;
    ASSERT_TRUE(modGlobal_GetServerParameters(sim.baseUrl())) << boxes.all().toStdString();  // a whole cached copy
    saveSetting("BaseUrl", url);
    saveSetting("TimeOut", "3600");
    RequestWaitDialog view(50);
    setRequestWaitView(&view);
    const QString waitText = "Waiting for an answer from " + url + "client.pl ...";
    const struct {
        const char* name;
        int answer;
        QList<int> pages;
        QStringList waits;
    } cases[] = {{"No", platform::vbNo, {}, {waitText}}, {"Yes, then Cancel", platform::vbYes, {0}, {waitText, waitText}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.texts.clear();
        boxes.answers = {{"Change Sorvex server URL?", c.answer}};
        pages.clear();
        bool checkedAgain = false;
        dialog = [&](int) {
            QByteArray reply;
            modGlobal_HttpGet(url + "client.pl?version", true, reply);  // cancelled
            checkedAgain = modGlobal_HttpGet(sim.baseUrl() + "client.pl?version", true, reply);
        };
        HungRequestWatch watch(QStringLiteral("frmSplash"));
        ASSERT_TRUE(run()) << boxes.all().toStdString();
        EXPECT_EQ(watch.waitTexts, c.waits);
        EXPECT_EQ(checkedAgain, !c.pages.isEmpty());
        EXPECT_EQ(boxes.texts, (QStringList{"Cannot retrieve search parameters from " + url +
                                                "get_params.pl\r\nChange Sorvex server URL?",
                                            "Continuing off-line from Sorvex server. Searches submitted from new "
                                            "tasks will fail."}))
            << boxes.all().toStdString();
        EXPECT_EQ(pages, c.pages);
        EXPECT_TRUE(window->isVisible());
        common::ProgramTaskDatabase.close();
        window.reset();
    }
    setRequestWaitView(nullptr);
}
