#include "clientcommon/Globals.h"
#include "common/ServiceCommands.h"
#include "clientcommon/ServiceWakeUp.h"
#include "platform/MessageBox.h"
#include "platform/ServiceControl.h"
#include "platform/ServiceControlListener.h"
#include "platform/WindowMessages.h"

#include "platform/testsupport/TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Boxes : MessageBoxHandler {
    QStringList texts;
    int show(const QString& text, int, const QString& title) override {
        EXPECT_EQ(title, QStringLiteral("Sorvex Tavrel"));
        texts.append(text);
        return vbOK;
    }
};

class ServiceWakeUp : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = setMessageBoxHandler(&boxes);
        tavrel::TrayMessageId = 0;
        tavrel::ServiceWindowHandle = 0;
        tavrel::QuellmarkQuantitationNotice = false;
        tavrel::CommandLineArgs = QStringList{QString()};
        savedTiming_ = tavrel::serviceWaitTiming();
        tavrel::serviceWaitTiming() = {20, 5000, {}};
    }
    void TearDown() override {
        setMessageBoxHandler(previous_);
        tavrel::serviceWaitTiming() = savedTiming_;
        tavrel::CommandLineArgs.clear();
    }

    void registerService(const QString& imagePath) {
        ScHandle manager, service;
        ASSERT_EQ(OpenSCManager(SC_MANAGER_ALL_ACCESS, manager.out()), 0);
        ASSERT_EQ(CreateService(manager.get(), tavrel::ServiceName, tavrel::ServiceWindowTitle, SERVICE_ALL_ACCESS,
                                SERVICE_AUTO_START, imagePath, service.out()),
                  0);
    }

    testsupport::TempHome home;
    Boxes boxes;

private:
    MessageBoxHandler* previous_ = nullptr;
    tavrel::ServiceWaitTiming savedTiming_;
};

}  // namespace

TEST_F(ServiceWakeUp, TrayModeSendsTheRegisteredMessageToTheServiceWindow) {
    tavrel::TrayMessageId = RegisterWindowMessage(tavrel::ServicePrivateMessageName);
    // No window: False and the tray message; the service control manager is
    // not asked (it would answer 1060 here).
    EXPECT_FALSE(tavrel::modGlobal_NotifyService(false));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Sorvex Tavrel Service is not running in the system tray")});
    EXPECT_FALSE(tavrel::modGlobal_NotifyService(true));
    EXPECT_EQ(boxes.texts.size(), 1);

    WindowMessageListener window(tavrel::ServiceWindowClass, tavrel::ServiceWindowTitle);
    QList<quint32> received;
    window.setWindowProc([&](quint32 message, quintptr w, qintptr l) -> qintptr {
        if (w == 0 && l == 0) received << message;
        return -1;
    });
    ASSERT_TRUE(window.listen());
    EXPECT_TRUE(tavrel::modGlobal_NotifyService(false));
    EXPECT_EQ(received, QList<quint32>{RegisterWindowMessage(QStringLiteral("Sorvex Tavrel private message"))});
    EXPECT_NE(tavrel::ServiceWindowHandle, 0u);
    EXPECT_EQ(boxes.texts.size(), 1);
}

TEST_F(ServiceWakeUp, DebugClientNeedsNoWakeUp) {
    tavrel::CommandLineArgs = QStringList{QString(), QStringLiteral("-DEBUG")};
    tavrel::QuellmarkQuantitationNotice = true;
    EXPECT_TRUE(tavrel::modGlobal_NotifyService(false));
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(ServiceWakeUp, ServiceWakeUpThroughTheControlManager) {
    // Not registered: the open fails with 1060; the notice comes first, once.
    tavrel::QuellmarkQuantitationNotice = true;
    EXPECT_FALSE(tavrel::modGlobal_NotifyService(true));
    EXPECT_TRUE(tavrel::QuellmarkQuantitationNotice);  // a quiet call shows nothing and keeps it
    EXPECT_FALSE(tavrel::modGlobal_NotifyService(false));
    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(boxes.texts[0],
              QStringLiteral("If you ever use Tavrel to batch automate quantitation, you should run the Tavrel "
                             "'service' component on the desktop. Exit Tavrel, stop SorvexTavrelService and set "
                             "its startup property to disabled."));
    EXPECT_EQ(boxes.texts[1], QStringLiteral("Cannot open connection to Sorvex Tavrel Service: the service is not installed (1060)"));
    EXPECT_FALSE(tavrel::QuellmarkQuantitationNotice);

    registerService(QStringLiteral("/bin/true"));
    EXPECT_FALSE(tavrel::modGlobal_NotifyService(false));
    EXPECT_EQ(boxes.texts.last(), QStringLiteral("Failed to communicate with Sorvex Tavrel Service: the service is not running (1062)"));

    ServiceControlListener listener(tavrel::ServiceName);
    QList<quint32> handled;
    listener.setControlHandler([&](quint32 control) { handled << control; });
    ASSERT_TRUE(listener.listen());
    boxes.texts.clear();
    EXPECT_TRUE(tavrel::modGlobal_NotifyService(false));
    EXPECT_EQ(handled, QList<quint32>{128});
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(ServiceWakeUp, StartWakeAndStopTheServiceProgramThroughTheServiceManager) {
    testsupport::FakeServiceManager manager;
    manager.setService(testsupport::binPath(QStringLiteral("tavrel-test-service")), {tavrel::ServiceName, "-service"});
    registerService(QStringLiteral("/bin/false"));
    EXPECT_TRUE(tavrel::modGlobal_StopService(false));  // stopped already: True at the first query
    ASSERT_TRUE(tavrel::modGlobal_StartService(false)) << boxes.texts.join(u'|').toStdString();
    EXPECT_TRUE(tavrel::modGlobal_StartService(false));  // running already
    EXPECT_TRUE(tavrel::modGlobal_NotifyService(false));
    EXPECT_TRUE(tavrel::modGlobal_RestartService(false));
    EXPECT_TRUE(tavrel::modGlobal_NotifyService(false));
    EXPECT_TRUE(tavrel::modGlobal_StopService(false));
    EXPECT_EQ(testsupport::readFile(home.file(QStringLiteral("controls.log"))), QByteArray("128\n128\n"));
    // The restart is one job of the service manager, never a stop and a start.
    EXPECT_EQ(manager.calls().filter(QRegularExpression("^(start|stop|restart) ")),
              (QStringList{"start sorvex-tavrel-service.service", "restart sorvex-tavrel-service.service",
                           "stop sorvex-tavrel-service.service"}));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(u'|').toStdString();
}

// The settings are shared with the whole group: a command planted as the
// service's ImagePath never runs; a start the user may not make says what an
// administrator runs.
TEST_F(ServiceWakeUp, ARefusedStartNamesTheUnitAndThePlantedImageNeverRuns) {
    const QString planted = home.file(QStringLiteral("planted"));
    registerService(QStringLiteral("/bin/sh -c \"echo ran > '%1'\"").arg(planted));
    tavrel::serviceWaitTiming().limitMs = 2000;
    struct Case {
        const char* name;
        QString refusal;
        int status;
        bool service;
        QString told;
    } cases[] = {
        {"not allowed", "Failed to start sorvex-tavrel-service.service: Access denied", 4, true,
         "Failed to start Sorvex Tavrel Service: access is denied (5)\r\nThe service runs as the system unit "
         "sorvex-tavrel-service.service; an administrator starts it with:\r\nsudo systemctl start "
         "sorvex-tavrel-service.service"},
        {"no unit", {}, 0, false,
         "Failed to start Sorvex Tavrel Service: the service is not installed (1060)\r\nThe system unit "
         "sorvex-tavrel-service.service is not installed; an administrator installs it with:\r\nsudo TavrelService "
         "-install"},
        // The README's words and command for a computer without systemd.
        {"no systemd", "System has not been booted with systemd as init system (PID 1). Can't operate.", 1, true,
         "Failed to start Sorvex Tavrel Service: no service manager (systemd) runs on this computer (50)\r\nWhere "
         "systemd does not run, the service is started by hand as its user:\r\n" +
             common::serviceProgramBesideThis() + " -debug"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.texts.clear();
        testsupport::FakeServiceManager manager;
        if (c.service) manager.setService(QStringLiteral("/bin/true"), {});
        if (!c.refusal.isEmpty()) manager.refuse(c.refusal, c.status);
        EXPECT_FALSE(tavrel::modGlobal_StartService(false));
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts[0].startsWith(c.told)) << boxes.texts[0].toStdString();
    }
    EXPECT_FALSE(QFile::exists(planted));
}

TEST_F(ServiceWakeUp, StartThatNeverComesUpEndsAfterTheLimit) {
    // A program that runs but never answers as the service.
    testsupport::FakeServiceManager manager;
    manager.setService(testsupport::binPath(QStringLiteral("tavrel-test-child")), {"sleep", "30000"});
    registerService(QStringLiteral("/bin/false"));
    tavrel::serviceWaitTiming().limitMs = 3000;
    EXPECT_FALSE(tavrel::modGlobal_StartService(false));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Sorvex Tavrel Service is being Started")});
}

TEST_F(ServiceWakeUp, StatesThatEndStartAndStop) {
    testsupport::FakeServiceManager manager;
    registerService(QStringLiteral("/bin/true"));
    ServiceControlListener listener(tavrel::ServiceName);
    ASSERT_TRUE(listener.listen());

    // Paused: a start is tried and refused.
    listener.setState(SERVICE_PAUSED);
    EXPECT_FALSE(tavrel::modGlobal_StartService(false));
    EXPECT_EQ(boxes.texts.last(), QStringLiteral("Failed to start Sorvex Tavrel Service: the service is running already (1056)"));

    // A stop that never completes runs out the minute; the clock is ours.
    listener.setState(SERVICE_STOP_PENDING);
    qint64 fakeNow = 0;
    tavrel::serviceWaitTiming() = {1, 60000, [&] { return fakeNow += 7000; }};
    EXPECT_FALSE(tavrel::modGlobal_StopService(false));
    EXPECT_EQ(boxes.texts.last(), QStringLiteral("Sorvex Tavrel Service is in the process of being Stopped"));
    EXPECT_FALSE(tavrel::modGlobal_StopService(true));
    EXPECT_EQ(boxes.texts.size(), 2);

    // A paused service is stopped through the service manager; a refusal says
    // what an administrator runs.
    listener.setState(SERVICE_PAUSED);
    manager.refuse("Failed to stop sorvex-tavrel-service.service: Access denied", 4);
    tavrel::serviceWaitTiming() = {5, 5000, {}};
    EXPECT_FALSE(tavrel::modGlobal_StopService(false));
    EXPECT_EQ(boxes.texts.last(),
              QStringLiteral("Failed to stop Sorvex Tavrel Service: access is denied (5)\r\nThe service runs as the "
                             "system unit sorvex-tavrel-service.service; an administrator stops it with:\r\nsudo "
                             "systemctl stop sorvex-tavrel-service.service"));
    EXPECT_TRUE(manager.calls().contains("stop sorvex-tavrel-service.service"));
}

TEST_F(ServiceWakeUp, UnregisteredServiceCannotBeOpenedWithinTheLimit) {
    tavrel::serviceWaitTiming().limitMs = 100;
    EXPECT_FALSE(tavrel::modGlobal_StartService(false));
    EXPECT_FALSE(tavrel::modGlobal_StopService(false));
    EXPECT_EQ(boxes.texts, (QStringList{QStringLiteral("Cannot open connection to Sorvex Tavrel Service: the service is not installed (1060)"),
                                        QStringLiteral("Cannot open connection to Sorvex Tavrel Service: the service is not installed (1060)")}));
}

TEST(ServiceStateWords, WordsOfTheStates) {
    const QStringList words = {"", " is Stopped", " is being Started", " is in the process of being Stopped",
                               " is Running", " is in the process of being Continued",
                               " is in the process of being Paused", " is Paused", ""};
    for (quint32 state = 0; state < 9; ++state)
        EXPECT_EQ(tavrel::ServiceStateWord(state), words[state]) << state;
}

// A user who may not restart the unit is told the one command that restarts
// it; nothing was stopped on the way.
TEST_F(ServiceWakeUp, ARefusedRestartNamesTheRestartCommand) {
    testsupport::FakeServiceManager manager;
    manager.setService(QStringLiteral("/bin/true"), {});
    registerService(QStringLiteral("/bin/false"));
    manager.refuse("Failed to restart sorvex-tavrel-service.service: Access denied", 4);
    EXPECT_FALSE(tavrel::modGlobal_RestartService(false));
    EXPECT_EQ(boxes.texts,
              QStringList{"Failed to restart Sorvex Tavrel Service: access is denied (5)\r\nThe service runs as the "
                          "system unit sorvex-tavrel-service.service; an administrator restarts it with:\r\nsudo "
                          "systemctl restart sorvex-tavrel-service.service"});
    EXPECT_EQ(manager.calls().filter(QRegularExpression("^(start|stop|restart) ")),
              QStringList{"restart sorvex-tavrel-service.service"});
}

// In a program folder that other accounts write, the tray program (which
// would run their tasks as this user) is never started.
TEST_F(ServiceWakeUp, TheTrayProgramRunsOnlyInAFolderOfTheUsersOwn) {
    const QString program = home.file(QStringLiteral("tray.sh"));
    const QString ran = home.file(QStringLiteral("ran"));
    testsupport::writeFile(program, ("#!/bin/sh\necho \"$1\" > '" + ran + "'\n").toUtf8());
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                           QFile::WriteOther | QFile::ExeOther);
    EXPECT_FALSE(tavrel::modGlobal_StartTrayProgram(program));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("The program folder " + home.path() + " is shared with other accounts"))
        << qPrintable(boxes.texts[0]);
    EXPECT_TRUE(boxes.texts[0].endsWith("An administrator starts the service with:\r\n" +
                                        common::administratorStartCommand(program)));

    boxes.texts.clear();
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(tavrel::modGlobal_StartTrayProgram(program));
    ASSERT_TRUE(testsupport::waitUntil([&] { return testsupport::readFile(ran).endsWith('\n'); }));
    EXPECT_EQ(testsupport::readFile(ran), "-systray\n");
    EXPECT_TRUE(boxes.texts.isEmpty());
}
