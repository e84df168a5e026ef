// The end of every refresh: waking the service and offering to start it.
#include "status/ServiceWatchdog.h"

#include "clientcommon/Globals.h"
#include "clientcommon/ServiceWakeUp.h"
#include "platform/MessageBox.h"
#include "platform/ServiceControl.h"
#include "platform/testsupport/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

struct ScriptedBoxes : platform::MessageBoxHandler {
    QStringList texts;
    QList<int> answers;
    int show(const QString& text, int, const QString&) override {
        texts.append(text);
        return answers.isEmpty() ? platform::vbNo : answers.takeFirst();
    }
};

class Watchdog : public ::testing::Test {
protected:
    void SetUp() override {
        previous = platform::setMessageBoxHandler(&boxes);
        CommandLineArgs = {"Tavrel"};
        TrayMessageId = 0;
        serviceWaitTiming().pollMs = 1;
        serviceWaitTiming().limitMs = 0;
        watchdog.wait = [this](int seconds) { waits << seconds; };
    }
    void TearDown() override {
        platform::setMessageBoxHandler(previous);
        serviceWaitTiming() = ServiceWaitTiming();
        TrayMessageId = 0;
        CommandLineArgs.clear();
    }
    testsupport::TempHome home;  // no service is registered here
    ScriptedBoxes boxes;
    ServiceWatchdog watchdog;
    QList<int> waits;
    platform::MessageBoxHandler* previous = nullptr;
};

const QString kAsk = "Sorvex Tavrel Service is not running. Try to start it?";

TEST_F(Watchdog, DebugSwitchNeedsNoService) {
    CommandLineArgs = {"Tavrel", "-DEBUG"};
    watchdog.run();
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(Watchdog, WindowsServiceThatCannotBeReachedOrStarted) {
    boxes.answers = {platform::vbOK, platform::vbYes, platform::vbOK, platform::vbNo};
    watchdog.run();
    ASSERT_EQ(boxes.texts.size(), 4) << boxes.texts.join('|').toStdString();
    EXPECT_TRUE(boxes.texts[0].startsWith("Cannot open connection to Sorvex Tavrel Service: "));
    EXPECT_EQ(boxes.texts[1], kAsk);
    EXPECT_TRUE(boxes.texts[2].startsWith("Cannot open connection to Sorvex Tavrel Service: "));  // the start's own report
    EXPECT_EQ(boxes.texts[3], "Unable to start Sorvex Tavrel Service. Try again?");
    EXPECT_TRUE(waits.isEmpty());
}

// A service that is registered but down is started by the service manager
// alone: the command in the shared settings never runs.
TEST_F(Watchdog, AServiceThatIsDownIsStartedThroughTheServiceManagerOnly) {
    const QString planted = home.file("planted");
    {
        platform::ScHandle manager, service;
        ASSERT_EQ(platform::OpenSCManager(platform::SC_MANAGER_ALL_ACCESS, manager.out()), 0);
        ASSERT_EQ(platform::CreateService(manager.get(), ServiceName, ServiceWindowTitle, platform::SERVICE_ALL_ACCESS,
                                          platform::SERVICE_AUTO_START, "/usr/bin/touch '" + planted + "'", service.out()),
                  0);
    }
    serviceWaitTiming().limitMs = 2000;
    testsupport::FakeServiceManager systemd;
    systemd.setService("/bin/true", {});
    systemd.refuse("Failed to start sorvex-tavrel-service.service: Access denied", 4);
    boxes.answers = {platform::vbOK, platform::vbYes, platform::vbOK, platform::vbNo};
    watchdog.run();
    ASSERT_EQ(boxes.texts.size(), 4) << boxes.texts.join('|').toStdString();
    EXPECT_EQ(boxes.texts[0], "Failed to communicate with Sorvex Tavrel Service: the service is not running (1062)");
    EXPECT_EQ(boxes.texts[1], kAsk);
    EXPECT_TRUE(boxes.texts[2].startsWith("Failed to start Sorvex Tavrel Service: access is denied (5)"));
    EXPECT_TRUE(boxes.texts[2].endsWith("sudo systemctl start sorvex-tavrel-service.service")) << boxes.texts[2].toStdString();
    EXPECT_EQ(boxes.texts[3], "Unable to start Sorvex Tavrel Service. Try again?");
    EXPECT_EQ(systemd.calls(), QStringList{"start sorvex-tavrel-service.service"});
    EXPECT_FALSE(QFile::exists(planted));
}

TEST_F(Watchdog, TrayProgramIsStartedAgainAndAskedUntilItAnswers) {
    TrayMessageId = 0xC100;
    watchdog.trayProgram = "/bin/true";  // starts, but never opens the service window
    boxes.answers = {platform::vbOK, platform::vbYes, platform::vbOK, platform::vbNo};
    watchdog.run();
    ASSERT_EQ(boxes.texts.size(), 4);
    EXPECT_EQ(boxes.texts[0], "Sorvex Tavrel Service is not running in the system tray");
    EXPECT_EQ(boxes.texts[1], kAsk);
    EXPECT_EQ(boxes.texts[3], kAsk);
    EXPECT_EQ(waits, QList<int>{5});

    boxes.texts.clear();
    watchdog.trayProgram = home.file("no-such-program");
    boxes.answers = {platform::vbOK, platform::vbYes};
    watchdog.run();
    ASSERT_EQ(boxes.texts.size(), 3);
    EXPECT_EQ(boxes.texts[2], "Unable to start Sorvex Tavrel Service as system tray application");
}

}  // namespace
