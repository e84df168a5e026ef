// The preferences dialog: what it shows of the stored section, what Save
// refuses, writes and creates, and when it asks for a restart.
#include "ClientFixture.h"
#include "WaitWatch.h"

#include "client/frmPreferences.h"
#include "clientcommon/HttpGet.h"
#include "common/Password.h"
#include "clientcommon/RequestWait.h"
#include "clientcommon/forms/RequestWaitDialog.h"
#include "platform/OleDbConnectionString.h"
#include "platform/ServiceControl.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTimer>

using namespace tavrel;

namespace {

QMap<QString, QString> section() {
    QMap<QString, QString> values;
    for (const common::RegValueRow& row : common::modGlobal_GetAllSettings("", common::PreferencesSection))
        values.insert(row.name, common::regValueToText(row.value));
    return values;
}

class Preferences : public ClientFixture {
protected:
    void SetUp() override {
        ClientFixture::SetUp();
        if (IsSkipped()) return;
        // An installed client (no "-debug"), whose service is not registered here.
        CommandLineArgs = {QString()};
        workingSetup();
        stored = {
            {"BaseUrl", sim.baseUrl()}, {"TimeOut", "120"}, {"AccessType", "1"}, {"Proxy", "proxy.example.org:8080"},
            {"Protocol", "0"}, {"LcqPath", "lcq"}, {"PeakListRoot", home.file("peaks")},
            {"ADOConnect", connectionString()}, {"TimerTick", "5"}, {"NoDataDelay", "11"}, {"LockedOutDelay", "12"},
            {"MonitorActionDelay", "13"}, {"FollowerActionDelay", "14"}, {"TaskCheckInterval", "20"},
            {"SorvexUserName", "alice"}, {"SorvexPassword", common::modGlobal_EncodePassword("sorvex-pw")},
            {"ProxyUserName", "pu"}, {"ProxyPassword", common::modGlobal_EncodePassword("proxy-pw")},
            {"WebUserName", "wu"}, {"WebPassword", common::modGlobal_EncodePassword("web-pw")},
        };
        QDir().mkpath(home.file("peaks"));
        for (const auto& [name, value] : stored) saveSetting(name, value);
        saveSetting("FormTop", "300");  // not the dialog's: passed over
        // The client runs with what is stored, so Save tests no server.
        common::Preferences& p = common::ProgramPreferences;
        p.BaseUrl = sim.baseUrl();
        p.AccessType = 1;
        p.Proxy = "proxy.example.org:8080";
        p.Protocol = 0;
        p.SorvexUserName = "alice";
        p.SorvexPassword = "sorvex-pw";
        p.ProxyUserName = "pu";
        p.ProxyPassword = "proxy-pw";
        p.WebUserName = "wu";
        p.WebPassword = "web-pw";
    }
    QList<QPair<QString, QString>> stored;
};

}  // namespace

TEST_F(Preferences, ShowsEveryStoredValueAndSavingThemUnchangedAsksNoRestart) {
    frmPreferences dialog;
    EXPECT_EQ(dialog.windowTitle(), "Sorvex Tavrel: Preferences");
    ASSERT_EQ(dialog.tabPreferences->count(), 5);
    EXPECT_EQ(dialog.tabPreferences->tabText(2), "ADO connection");
    const QPair<QLineEdit*, QString> fields[] = {
        {dialog.txtUrl, sim.baseUrl()}, {dialog.txtTimeout, "120"}, {dialog.txtProxy, "proxy.example.org:8080"},
        {dialog.txtLcq, "lcq"}, {dialog.txtPeakListRoot, home.file("peaks")}, {dialog.txtADOConnect, connectionString()},
        {dialog.txtTimerTick, "5"}, {dialog.txtNoDataDelay, "11"}, {dialog.txtLockedOutDelay, "12"},
        {dialog.txtMonitorActionDelay, "13"}, {dialog.txtFollowerActionDelay, "14"}, {dialog.txtTaskCheckInterval, "20"},
        {dialog.txtSorvexUserName, "alice"}, {dialog.txtSorvexPassword, "sorvex-pw"}, {dialog.txtProxyUserName, "pu"},
        {dialog.txtProxyPassword, "proxy-pw"}, {dialog.txtWebUserName, "wu"}, {dialog.txtWebPassword, "web-pw"},
    };
    for (const auto& [edit, text] : fields) EXPECT_EQ(edit->text(), text) << edit->objectName().toStdString();
    EXPECT_EQ(dialog.cboAccessType->currentIndex(), 1);
    EXPECT_TRUE(dialog.optProtocol[0]->isChecked());
    EXPECT_EQ(dialog.txtSorvexPassword->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(PreferencesCancelled);

    const auto before = section();
    ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
    EXPECT_EQ(section(), before);
    EXPECT_FALSE(PreferencesCancelled);
    EXPECT_FALSE(ExitRequested);
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.all().toStdString();
    EXPECT_TRUE(sim.requests().isEmpty());  // nothing of the server changed: nothing tested
}

TEST_F(Preferences, EveryEditedValueIsStoredAndAChangeAsksForTheRestart) {
    frmPreferences dialog;
    dialog.txtUrl->setText("  " + sim.baseUrl().chopped(1) + "  ");  // trimmed, "/" added
    dialog.txtTimeout->setText("86400.5");                           // a half to the even neighbour
    dialog.cboAccessType->setCurrentIndex(0);
    dialog.optProtocol[1]->setChecked(true);
    dialog.txtLcq->setText("");
    dialog.txtPeakListRoot->setText(home.file("new peaks") + "/");
    dialog.txtTimerTick->setText("60");
    dialog.txtNoDataDelay->setText("0");
    dialog.txtLockedOutDelay->setText("3600");
    dialog.txtMonitorActionDelay->setText("1");
    dialog.txtFollowerActionDelay->setText("2");
    dialog.txtTaskCheckInterval->setText("65");
    dialog.txtSorvexUserName->setText(" bob ");
    dialog.txtSorvexPassword->setText("new-pw");
    dialog.txtProxyUserName->setText("pu2");
    dialog.txtProxyPassword->setText("proxy-pw2");
    dialog.txtWebUserName->setText("wu2");
    dialog.txtWebPassword->setText("web-pw2");
    boxes.answers = {{"doesn't exist, OK to create it?", platform::vbOK}};
    ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();

    const auto now = section();
    const QMap<QString, QString> expected = {
        {"BaseUrl", sim.baseUrl()}, {"TimeOut", "86400"}, {"AccessType", "0"}, {"Proxy", "proxy.example.org:8080"},
        {"Protocol", "1"}, {"LcqPath", ""}, {"PeakListRoot", home.file("new peaks")}, {"ADOConnect", connectionString()},
        {"TimerTick", "60"}, {"NoDataDelay", "0"}, {"LockedOutDelay", "3600"}, {"MonitorActionDelay", "1"},
        {"FollowerActionDelay", "2"}, {"TaskCheckInterval", "65"}, {"SorvexUserName", "bob"}, {"ProxyUserName", "pu2"},
        {"WebUserName", "wu2"}, {"FormTop", "300"},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it) EXPECT_EQ(now.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(common::modGlobal_DecodePassword(now.value("SorvexPassword")), "new-pw");
    EXPECT_EQ(common::modGlobal_DecodePassword(now.value("ProxyPassword")), "proxy-pw2");
    EXPECT_EQ(common::modGlobal_DecodePassword(now.value("WebPassword")), "web-pw2");
    EXPECT_TRUE(QFileInfo(home.file("new peaks")).isDir());
    // The connection settings changed: only the new server's answer was tested.
    ASSERT_FALSE(sim.targets().isEmpty());
    for (const QString& target : sim.targets()) EXPECT_EQ(target.toStdString(), "/sorvex/cgi/client.pl?version");
    EXPECT_TRUE(ExitRequested);
    EXPECT_TRUE(boxes.saw("Sorvex Tavrel GUI will now exit and must be re-started"));
}

TEST_F(Preferences, SaveRefusesWhatCannotBeUsedAndWritesNothing) {
    struct Case {
        const char* name;
        std::function<void(frmPreferences&)> edit;
        QString message;
    } cases[] = {
        {"scheme in capitals", [](frmPreferences& d) { d.txtUrl->setText("HTTP://127.0.0.1:1/sorvex/cgi/"); },
         "You must enter a full URL"},
        {"address too short", [](frmPreferences& d) { d.txtUrl->setText("http://a/"); }, "You must enter a full URL"},
        {"time-out too short", [](frmPreferences& d) { d.txtTimeout->setText("19"); },
         "Valid range for HTTP timeout is between 20 and 86400 seconds"},
        {"time-out not a number", [](frmPreferences& d) { d.txtTimeout->setText("soon"); },
         "Valid range for HTTP timeout is between 20 and 86400 seconds"},
        {"proxy type without proxy",
         [](frmPreferences& d) {
             d.cboAccessType->setCurrentIndex(2);
             d.txtProxy->setText("  ");
         },
         "No proxy server specified"},
        {"extractor of another name", [](frmPreferences& d) { d.txtLcq->setText("/usr/local/bin/converter"); },
         "You must enter the full path to LCQ_DTA.EXE or EXTRACT_MSN.EXE or EXTRACT_MSN_COM.EXE or EXTRACTMSN.EXE\r\n"
         "The program's name is taken in any letter case, with or without \".exe\""},
        {"extractor missing", [](frmPreferences& d) { d.txtLcq->setText("/nonexistent/extract_msn.exe"); },
         "not found on specified path"},
        {"timer tick", [](frmPreferences& d) { d.txtTimerTick->setText("0"); },
         "Valid range for timer tick interval is between 1 and 60 seconds"},
        {"delay not a number", [](frmPreferences& d) { d.txtLockedOutDelay->setText("ten"); },
         "Valid range for delay after failing to open read locked file is between 0 and 3600 seconds"},
        {"delay beyond 16 bits", [](frmPreferences& d) { d.txtFollowerActionDelay->setText("70000"); },
         "Valid range for Minimum delay between follower searches is between 0 and 3600 seconds"},
        {"polling interval", [](frmPreferences& d) { d.txtTaskCheckInterval->setText("66"); },
         "Valid range for interval between checks for new tasks is between 1 and 65 seconds"},
    };
    const auto before = section();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.texts.clear();
        frmPreferences dialog;
        c.edit(dialog);
        EXPECT_FALSE(dialog.frmPreferences_cmdSave_Click());
        ASSERT_EQ(boxes.texts.size(), 1) << boxes.all().toStdString();
        EXPECT_TRUE(boxes.texts[0].contains(c.message)) << boxes.texts[0].toStdString();
        EXPECT_EQ(section(), before);
        EXPECT_TRUE(PreferencesCancelled);
    }
}

// What Save says or asks is shown over the page of the field it is about,
// whichever page the user left open.
TEST_F(Preferences, SaveShowsItsMessagesOverThePageOfTheFieldAtFault) {
    struct PageAtEachBox : platform::MessageBoxHandler {
        QTabWidget* pages = nullptr;
        platform::MessageBoxHandler* boxes = nullptr;
        QList<int> seen;
        int show(const QString& text, int style, const QString& title) override {
            seen << pages->currentIndex();
            return boxes->show(text, style, title);
        }
    };
    struct Case {
        const char* name;
        std::function<void(frmPreferences&)> edit;
        int page;
    } cases[] = {
        {"time-out", [](frmPreferences& d) { d.txtTimeout->setText("19"); }, common::PageIntranet},
        {"server that is not there",
         [](frmPreferences& d) {
             QTcpServer probe;  // a port that nothing listens on once it is closed
             ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
             d.txtUrl->setText(QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(probe.serverPort()));
         },
         common::PageIntranet},
        {"peak-list folder not made",
         [this](frmPreferences& d) {
             d.txtPeakListRoot->setText(home.file("not yet"));
             boxes.answers = {{"doesn't exist, OK to create it?", platform::vbCancel}};
         },
         common::PageDataImportFilters},
        {"extractor", [](frmPreferences& d) { d.txtLcq->setText("/usr/local/bin/converter"); },
         common::PageDataImportFilters},
        {"task database", [](frmPreferences& d) { d.txtADOConnect->setText("Provider=Nothing;Data Source=x"); },
         common::PageAdoConnection},
        {"timer", [](frmPreferences& d) { d.txtTaskCheckInterval->setText("66"); }, common::PageTimerSettings},
        {"password the store cannot hold", [](frmPreferences& d) { d.txtWebPassword->setText("pass\u03a9word"); },
         common::PageAuthentication},
        {"login refused",
         [this](frmPreferences& d) {
             ASSERT_TRUE(sim.reload(R"({"security": true, "users": [{"name": "bob", "password": "right"}]})"));
             d.txtSorvexUserName->setText("bob");
             d.txtSorvexPassword->setText("wrong");
         },
         common::PageAuthentication},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.texts.clear();
        frmPreferences dialog;
        const int left = c.page == common::PageAuthentication ? common::PageIntranet : common::PageAuthentication;
        dialog.showPage(left);
        c.edit(dialog);
        PageAtEachBox watch;
        watch.pages = dialog.tabPreferences;
        watch.boxes = platform::setMessageBoxHandler(&watch);
        EXPECT_FALSE(dialog.frmPreferences_cmdSave_Click());
        platform::setMessageBoxHandler(watch.boxes);
        ASSERT_FALSE(watch.seen.isEmpty());
        EXPECT_EQ(watch.seen, QList<int>(watch.seen.size(), c.page)) << boxes.all().toStdString();
        EXPECT_EQ(dialog.tabPreferences->currentIndex(), c.page);
    }
}

TEST_F(Preferences, ASaveThatFailsHalfWayLeavesTheStoredValuesAsTheyWere) {
    frmPreferences dialog;
    dialog.txtTimerTick->setText("7");
    // A password the stored form cannot hold: it is the 16th value written.
    dialog.txtWebPassword->setText("pass\u03a9word");
    const auto before = section();
    EXPECT_FALSE(dialog.frmPreferences_cmdSave_Click());
    EXPECT_TRUE(boxes.saw("The preferences could not be saved (WebPassword)")) << boxes.all().toStdString();
    EXPECT_FALSE(boxes.saw("pass\u03a9word"));
    EXPECT_EQ(section(), before);
    EXPECT_TRUE(PreferencesCancelled);
}

// "-debug": the service runs in the foreground, and the client neither stops
// nor starts it; it says what the user does, at once, and goes on running.
TEST_F(Preferences, UnderDebugAChangeAsksTheUserToRestartTheForegroundService) {
    CommandLineArgs = {QString(), QStringLiteral("-debug")};
    serviceWaitTiming() = {20, 60000, {}};  // a wait for the service would show as a minute
    testsupport::FakeServiceManager manager;
    QElapsedTimer timer;
    timer.start();
    frmPreferences dialog;
    dialog.txtTimerTick->setText("7");
    ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
    EXPECT_LT(timer.elapsed(), 30000);
    EXPECT_EQ(section().value("TimerTick"), "7");
    EXPECT_TRUE(boxes.saw("The Sorvex Tavrel Service running in the foreground (-debug) must be re-started to take "
                          "the new values"))
        << boxes.all().toStdString();
    EXPECT_FALSE(boxes.all().contains("Cannot open connection")) << boxes.all().toStdString();
    EXPECT_FALSE(ExitRequested);
    EXPECT_TRUE(manager.calls().isEmpty()) << manager.calls().join(',').toStdString();
}

// An installed service is restarted through the service manager (it only
// stopped, the manager would never bring it back); a refusal says the command.
TEST_F(Preferences, AChangeRestartsTheServiceThroughTheServiceManager) {
    if (!QFileInfo::exists(testsupport::binPath("tavrel-test-service"))) GTEST_SKIP() << "tavrel-test-service is not built";
    {
        platform::ScHandle scm, svc;
        ASSERT_EQ(platform::OpenSCManager(platform::SC_MANAGER_ALL_ACCESS, scm.out()), 0);
        ASSERT_EQ(platform::CreateService(scm.get(), ServiceName, ServiceWindowTitle, platform::SERVICE_ALL_ACCESS,
                                          platform::SERVICE_AUTO_START, "/bin/false", svc.out()),
                  0);
    }
    serviceWaitTiming() = {20, 10000, {}};
    testsupport::FakeServiceManager manager;
    manager.setService(testsupport::binPath("tavrel-test-service"), {ServiceName, "-service"});
    ASSERT_TRUE(modGlobal_StartService(true));
    {
        frmPreferences dialog;
        dialog.txtTimerTick->setText("7");
        ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
    }
    EXPECT_TRUE(boxes.saw("Sorvex Tavrel Service was re-started with the new values")) << boxes.all().toStdString();
    EXPECT_TRUE(modGlobal_NotifyService(true));  // running again
    // One restart of the unit: a stop that went through alone would leave it down.
    EXPECT_EQ(manager.calls().filter(QRegularExpression("^(start|stop|restart) ")),
              (QStringList{"start sorvex-tavrel-service.service", "restart sorvex-tavrel-service.service"}));
    EXPECT_TRUE(ExitRequested);

    ExitRequested = false;
    boxes.texts.clear();
    manager.refuse("Failed to restart sorvex-tavrel-service.service: Access denied", 4);
    {
        frmPreferences dialog;
        dialog.txtTimerTick->setText("8");
        ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
    }
    EXPECT_TRUE(boxes.saw("Failed to restart Sorvex Tavrel Service: access is denied (5)\r\nThe service runs as the "
                          "system unit sorvex-tavrel-service.service; an administrator restarts it with:\r\nsudo "
                          "systemctl restart sorvex-tavrel-service.service"))
        << boxes.all().toStdString();
    EXPECT_FALSE(boxes.saw("systemctl stop"));
    EXPECT_FALSE(boxes.saw("was re-started"));
    EXPECT_TRUE(boxes.saw("Sorvex Tavrel GUI will now exit and must be re-started"));
    EXPECT_TRUE(ExitRequested);
}

TEST_F(Preferences, AnEmptySectionSavedAsksNoRestart) {
    testsupport::TempHome empty;
    ProgramFolder = empty.path();
    DefaultConnectionString = common::defaultConnectionString(empty.path());
    platform::AdoConnection::createDatabase(DefaultConnectionString);
    {
        platform::AdoConnection c;
        c.open(DefaultConnectionString);
        ASSERT_TRUE(modGlobal_CreateTaskDatabase(c));
    }
    frmPreferences dialog;
    EXPECT_EQ(dialog.txtTimeout->text(), "3600");
    EXPECT_EQ(dialog.txtTaskCheckInterval->text(), "15");
    EXPECT_EQ(dialog.txtADOConnect->text(), DefaultConnectionString);
    dialog.txtUrl->setText(sim.baseUrl());
    boxes.answers = {{"doesn't exist, OK to create it?", platform::vbOK}};
    ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
    EXPECT_FALSE(ExitRequested);
    EXPECT_EQ(section().value("TaskCheckInterval"), "15");
}

// A new task database on the engine its connection string names, then used by the service.
class NewDatabase : public Preferences, public ::testing::WithParamInterface<testsupport::DbEngine> {};

TEST_P(NewDatabase, IsCreatedWithItsTablesAndTheServiceRunsOnIt) {
    QString connection;
    std::unique_ptr<platform::AdoConnection> admin;
    QString pgName;
    if (GetParam() == testsupport::DbEngine::Sqlite) {
        connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + home.file("New Tasks.mdb");
    } else {
        const QString adminString = qEnvironmentVariable("TAVREL_TEST_PG");
        if (adminString.isEmpty()) GTEST_SKIP() << "TAVREL_TEST_PG not set";
        const auto cs = platform::OleDbConnectionString::parse(adminString);
        pgName = QStringLiteral("tavrel_new_%1").arg(QCoreApplication::applicationPid());
        connection = QStringLiteral("Provider=PostgreSQL;Data Source=%1;Initial Catalog=%2;User ID=%3;Password=%4")
                         .arg(cs.dataSource(), pgName, cs.value("User ID"), cs.value("Password"));
        admin = std::make_unique<platform::AdoConnection>();
        admin->open(adminString);
        admin->execute("DROP DATABASE IF EXISTS " + pgName);
    }
    {
        frmPreferences dialog;
        dialog.txtADOConnect->setText(connection);
        boxes.answers = {{"Create new database using the connection settings?", platform::vbOK}};
        ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
    }
    EXPECT_TRUE(boxes.saw("Create new database using the connection settings?"));
    EXPECT_EQ(section().value("ADOConnect"), connection);
    {
        platform::AdoConnection c;
        c.open(connection);
        for (const char* table : {"Sorvex_Tavrel_Tasks", "Sorvex_Tavrel_Files", "Sorvex_Tavrel_Results"})
            EXPECT_TRUE(c.tableExists(table)) << table;
    }
    if (QFileInfo::exists(testsupport::binPath("TavrelService"))) {
        QProcess service;
        service.setProcessChannelMode(QProcess::MergedChannels);
        service.start(testsupport::binPath("TavrelService"), {"-debug"});
        ASSERT_TRUE(service.waitForStarted());
        QByteArray out;
        const bool connected = testsupport::waitUntil([&] {
            out += service.readAll();
            return out.contains("Connected to");
        }, 20000);
        service.terminate();
        service.waitForFinished(10000);
        EXPECT_TRUE(connected) << out.toStdString();
        EXPECT_FALSE(out.contains("Error,")) << out.toStdString();
    }
    if (admin) admin->execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(pgName));
}

TAVREL_ON_BOTH_ENGINES(NewDatabase);

// The string's TLS keys hold for the connection that makes the database too:
// a server that cannot give the TLS the string requires gets no new database.
TEST_F(Preferences, ANewPostgresDatabaseIsMadeOnlyOverTheConnectionTheStringAsksFor) {
    const QString adminString = qEnvironmentVariable("TAVREL_TEST_PG");
    if (adminString.isEmpty()) GTEST_SKIP() << "TAVREL_TEST_PG not set";
    const auto cs = platform::OleDbConnectionString::parse(adminString);
    const QString name = QStringLiteral("tavrel_tls_%1").arg(QCoreApplication::applicationPid());
    const QString plain = QStringLiteral("Provider=PostgreSQL;Data Source=%1;Initial Catalog=%2;User ID=%3;Password=%4")
                              .arg(cs.dataSource(), name, cs.value("User ID"), cs.value("Password"));
    platform::AdoConnection admin;
    admin.open(adminString);
    admin.execute("DROP DATABASE IF EXISTS " + name);
    {
        // The test server offers no TLS at all.
        frmPreferences dialog;
        dialog.txtADOConnect->setText(plain + ";sslmode=require");
        boxes.answers = {{"Create new database using the connection settings?", platform::vbOK}};
        EXPECT_FALSE(dialog.frmPreferences_cmdSave_Click());
    }
    EXPECT_TRUE(boxes.saw("SSL was required")) << boxes.all().toStdString();
    platform::AdoConnection made;
    EXPECT_THROW(made.open(plain), platform::Error) << "the database was made over a plain connection";
    made.close();
    admin.execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

// Only a server that answered that the database is not there (or a database
// without task tables) is offered a new one; any other failure is shown.
TEST_F(Preferences, ADatabaseThatCannotBeReachedIsShownItsErrorAndNotOfferedANewOne) {
    const QString adminString = qEnvironmentVariable("TAVREL_TEST_PG");
    if (adminString.isEmpty()) GTEST_SKIP() << "TAVREL_TEST_PG not set";
    const auto admin = platform::OleDbConnectionString::parse(adminString);
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const QString closedServer = QStringLiteral("127.0.0.1:%1").arg(closedPort);
    struct Case {
        const char* name;
        QString connection;
        QString shown;  // part of the error shown
    } cases[] = {
        {"no server at the address",
         "Provider=PostgreSQL;Data Source=" + closedServer + ";Initial Catalog=tavrel;User ID=u;Password=pg-secret",
         closedServer},
        {"an account the server refuses",
         "Provider=PostgreSQL;Data Source=" + admin.dataSource() +
             ";Initial Catalog=tavrel_absent;User ID=tavrel_no_such_role;Password=pg-secret",
         "tavrel_no_such_role"},
    };
    const auto before = section();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.texts.clear();
        frmPreferences dialog;
        dialog.txtADOConnect->setText(c.connection);
        EXPECT_FALSE(dialog.frmPreferences_cmdSave_Click());
        EXPECT_FALSE(boxes.saw("Create new database")) << boxes.all().toStdString();
        EXPECT_TRUE(boxes.saw(c.shown)) << boxes.all().toStdString();
        EXPECT_FALSE(boxes.saw("pg-secret"));
        EXPECT_EQ(section(), before);
    }
}

// The connection-string box shows a password as the message boxes do; what
// Save stores keeps the real one, also when the rest of the text was edited.
TEST_F(Preferences, TheConnectionStringBoxMasksItsPassword) {
    const QString withPassword = connectionString() + ";Password=s3cret";
    saveSetting("ADOConnect", withPassword);
    {
        frmPreferences dialog;
        EXPECT_FALSE(dialog.txtADOConnect->text().contains("s3cret")) << dialog.txtADOConnect->text().toStdString();
        EXPECT_TRUE(dialog.txtADOConnect->text().contains("Password=***"));
        ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
        EXPECT_EQ(section().value("ADOConnect"), withPassword);
        EXPECT_FALSE(ExitRequested);
    }
    frmPreferences dialog;
    dialog.txtADOConnect->setText(dialog.txtADOConnect->text() + ";Mode=Read|Write");
    ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
    EXPECT_EQ(section().value("ADOConnect"), withPassword + ";Mode=Read|Write");
}

TEST_F(Preferences, ANewSearchServerLoginIsTriedInFullBeforeItIsStored) {
    ASSERT_TRUE(sim.reload(R"({"security": true, "users": [{"name": "bob", "password": "right", "id": 5}]})"));
    const auto before = section();
    {
        frmPreferences dialog;
        dialog.txtSorvexUserName->setText("bob");
        dialog.txtSorvexPassword->setText("wrong");
        EXPECT_FALSE(dialog.frmPreferences_cmdSave_Click());
        EXPECT_EQ(section(), before);
        EXPECT_FALSE(boxes.all().contains("wrong")) << boxes.all().toStdString();
    }
    sim.clearLog();
    boxes.texts.clear();
    frmPreferences dialog;
    dialog.txtSorvexUserName->setText("bob");
    dialog.txtSorvexPassword->setText("right");
    ASSERT_TRUE(dialog.frmPreferences_cmdSave_Click()) << boxes.all().toStdString();
    const QString asked = sim.targets().join(' ');
    for (const char* step : {"action=login", "action=ispermitted", "ms-geterror.exe?1", "create_task_id", "get_params.pl"})
        EXPECT_TRUE(asked.contains(step)) << step << "\n" << asked.toStdString();
    EXPECT_LT(asked.indexOf("action=login"), asked.indexOf("get_params.pl"));
    EXPECT_EQ(section().value("SorvexUserName"), "bob");
    EXPECT_TRUE(ExitRequested);  // the stored login changed
}

// A server that accepts the connection and never answers: the dialog keeps
// being repainted, the wait names the address (never the query), it runs
// under the short time-out of an interactive check, and Cancel ends it with
// the message of a failed request, the dialog left open with the user's text.
TEST_F(Preferences, ASilentServerKeepsTheWindowPaintingAndCancelEndsTheWait) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString url = QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(silent.serverPort());
    TimeOut = 3600;
    RequestWaitDialog view(50);
    setRequestWaitView(&view);
    frmPreferences dialog;
    dialog.txtTimeout->setText("3600");
    dialog.txtUrl->setText(url);
    dialog.show();
    HungRequestWatch watch(&dialog);
    const bool saved = dialog.frmPreferences_cmdSave_Click();
    setRequestWaitView(nullptr);

    EXPECT_FALSE(saved);
    EXPECT_TRUE(watch.waitShown);
    EXPECT_GE(watch.paintsDuringWait, 3);
    EXPECT_EQ(watch.waitText.toStdString(), ("Waiting for an answer from " + url + "client.pl ...").toStdString());
    EXPECT_EQ(watch.timeOutInForce, kInteractiveRequestTimeoutSeconds);
    EXPECT_TRUE(boxes.saw("Error on HttpSendRequest: The operation was cancelled")) << boxes.all().toStdString();
    EXPECT_EQ(dialog.txtUrl->text(), url);
    EXPECT_EQ(section().value("BaseUrl"), sim.baseUrl());  // nothing stored
    EXPECT_EQ(TimeOut, 3600);
}

// A database host that accepts and never answers: Save's check of the new
// connection keeps the dialog painting, its wait names the host and port,
// Cancel ends it as a failure of the check (said once, no second wait for the
// server's list of databases), and nothing is stored.
TEST_F(Preferences, ASilentDatabaseHostKeepsTheWindowPaintingAndCancelEndsTheCheck) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    RequestWaitDialog view(50);
    setRequestWaitView(&view);
    frmPreferences dialog;
    dialog.txtADOConnect->setText("Provider=PostgreSQL;Data Source=" + address +
                                  ";Initial Catalog=tavrel;User ID=lab;Password=s3cret-pw");
    dialog.show();
    HungRequestWatch watch(&dialog);
    const bool saved = dialog.frmPreferences_cmdSave_Click();
    setRequestWaitView(nullptr);

    EXPECT_FALSE(saved);
    EXPECT_GE(watch.paintsDuringWait, 3);
    EXPECT_EQ(watch.waitTexts, QStringList{"Waiting for the task database at " + address + " ..."});
    ASSERT_EQ(boxes.texts.size(), 1) << boxes.all().toStdString();
    EXPECT_TRUE(boxes.texts[0].contains("The wait for the PostgreSQL database tavrel at " + address + " was cancelled"))
        << boxes.all().toStdString();
    EXPECT_FALSE(boxes.all().contains("s3cret-pw"));
    EXPECT_EQ(section().value("ADOConnect"), connectionString());  // nothing stored
}
