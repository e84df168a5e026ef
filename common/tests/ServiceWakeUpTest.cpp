#include "common/Globals.h"
#include "common/ServiceWakeUp.h"
#include "platform/MessageBox.h"
#include "platform/ServiceControl.h"
#include "platform/ServiceControlListener.h"
#include "platform/WindowMessages.h"

#include "platform/testsupport/TestSupport.h"

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
    EXPECT_EQ(boxes.texts[1], QStringLiteral("Cannot open connection to Sorvex Tavrel Service: 1060"));
    EXPECT_FALSE(tavrel::QuellmarkQuantitationNotice);

    registerService(QStringLiteral("/bin/true"));
    EXPECT_FALSE(tavrel::modGlobal_NotifyService(false));
    EXPECT_EQ(boxes.texts.last(), QStringLiteral("Failed to communicate with Sorvex Tavrel Service: 1062"));

    ServiceControlListener listener(tavrel::ServiceName);
    QList<quint32> handled;
    listener.setControlHandler([&](quint32 control) { handled << control; });
    ASSERT_TRUE(listener.listen());
    boxes.texts.clear();
    EXPECT_TRUE(tavrel::modGlobal_NotifyService(false));
    EXPECT_EQ(handled, QList<quint32>{128});
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(ServiceWakeUp, StartWakeAndStopTheServiceProgram) {
    registerService(QStringLiteral("\"%1\" %2 -service")
                        .arg(testsupport::binPath(QStringLiteral("tavrel-test-service")), tavrel::ServiceName));
    EXPECT_TRUE(tavrel::modGlobal_StopService(false));  // stopped already: True at the first query
    ASSERT_TRUE(tavrel::modGlobal_StartService(false)) << boxes.texts.join(u'|').toStdString();
    EXPECT_TRUE(tavrel::modGlobal_StartService(false));  // running already
    EXPECT_TRUE(tavrel::modGlobal_NotifyService(false));
    EXPECT_TRUE(tavrel::modGlobal_StopService(false));
    EXPECT_EQ(testsupport::readFile(home.file(QStringLiteral("controls.log"))), QByteArray("128\n1\n"));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(u'|').toStdString();
}

TEST_F(ServiceWakeUp, StartThatNeverComesUpEndsAfterTheLimit) {
    // A program that runs but never answers as the service.
    registerService(QStringLiteral("\"%1\" sleep 2000").arg(testsupport::binPath(QStringLiteral("tavrel-test-child"))));
    tavrel::serviceWaitTiming().limitMs = 300;
    EXPECT_FALSE(tavrel::modGlobal_StartService(false));
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Sorvex Tavrel Service is being Started")});
}

TEST_F(ServiceWakeUp, StatesThatEndStartAndStop) {
    registerService(QStringLiteral("/bin/true"));
    ServiceControlListener listener(tavrel::ServiceName);
    ASSERT_TRUE(listener.listen());

    // Paused: a start is tried and refused.
    listener.setState(SERVICE_PAUSED);
    EXPECT_FALSE(tavrel::modGlobal_StartService(false));
    EXPECT_EQ(boxes.texts.last(), QStringLiteral("Failed to start Sorvex Tavrel Service"));

    // A stop that never completes runs out the minute; the clock is ours.
    listener.setState(SERVICE_STOP_PENDING);
    qint64 fakeNow = 0;
    tavrel::serviceWaitTiming() = {1, 60000, [&] { return fakeNow += 7000; }};
    EXPECT_FALSE(tavrel::modGlobal_StopService(false));
    EXPECT_EQ(boxes.texts.last(), QStringLiteral("Sorvex Tavrel Service is in the process of being Stopped"));
    EXPECT_FALSE(tavrel::modGlobal_StopService(true));
    EXPECT_EQ(boxes.texts.size(), 2);

    // A paused service is stopped; the handler's close makes it read as stopped.
    listener.setState(SERVICE_PAUSED);
    listener.setControlHandler([&](quint32 control) {
        if (control == SERVICE_CONTROL_STOP) listener.close();
    });
    tavrel::serviceWaitTiming() = {5, 5000, {}};
    EXPECT_TRUE(tavrel::modGlobal_StopService(false));
    EXPECT_EQ(boxes.texts.size(), 2);
}

TEST_F(ServiceWakeUp, UnregisteredServiceCannotBeOpenedWithinTheLimit) {
    tavrel::serviceWaitTiming().limitMs = 100;
    EXPECT_FALSE(tavrel::modGlobal_StartService(false));
    EXPECT_FALSE(tavrel::modGlobal_StopService(false));
    EXPECT_EQ(boxes.texts, (QStringList{QStringLiteral("Cannot open connection to Sorvex Tavrel Service: 1060"),
                                        QStringLiteral("Cannot open connection to Sorvex Tavrel Service: 1060")}));
}

TEST(ServiceStateWords, WordsOfTheStates) {
    const QStringList words = {"", " is Stopped", " is being Started", " is in the process of being Stopped",
                               " is Running", " is in the process of being Continued",
                               " is in the process of being Paused", " is Paused", ""};
    for (quint32 state = 0; state < 9; ++state)
        EXPECT_EQ(tavrel::ServiceStateWord(state), words[state]) << state;
}
