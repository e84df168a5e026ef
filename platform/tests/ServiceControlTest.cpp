#include "platform/RegistryApi.h"
#include "platform/ServiceControl.h"
#include "platform/ServiceControlListener.h"
#include "platform/ServiceManager.h"
#include "platform/WindowMessages.h"

#include "platform/testsupport/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace platform;

namespace {

const QString kName = QStringLiteral("TestSvc");

QString serviceProgram() { return testsupport::binPath(QStringLiteral("tavrel-test-service")); }

void registerService(const QString& imagePath, quint32 startType = SERVICE_DEMAND_START) {
    ScHandle manager, service;
    ASSERT_EQ(OpenSCManager(SC_MANAGER_ALL_ACCESS, manager.out()), 0);
    ASSERT_EQ(CreateService(manager.get(), kName, QStringLiteral("Test Service"), SERVICE_ALL_ACCESS, startType,
                            imagePath, service.out()),
              0);
}

// Opens the service with every right; the manager stays open beside it.
struct Opened {
    ScHandle manager, service;
    long rc = -1;
    explicit Opened(quint32 access = SERVICE_ALL_ACCESS) {
        OpenSCManager(SC_MANAGER_CONNECT, manager.out());
        rc = OpenService(manager.get(), kName, access, service.out());
    }
};

quint32 stateOf(SC_HANDLE service) {
    SERVICE_STATUS status;
    EXPECT_EQ(QueryServiceStatus(service, &status), 0);
    return status.dwCurrentState;
}

}  // namespace

TEST(ServiceControl, RegistrationLivesInTheServiceKeyAndKeepsTheSettingsOnRemoval) {
    testsupport::TempHome home;
    EXPECT_EQ(Opened().rc, ERROR_SERVICE_DOES_NOT_EXIST);

    // The settings sections alone make no registration.
    {
        RegKeyHandle settings;
        ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\TestSvc\\Preferences"),
                                 0, KEY_ALL_ACCESS, settings.out()),
                  0);
        ASSERT_EQ(RegSetValueEx(settings.get(), QStringLiteral("BaseUrl"), REG_SZ, QByteArray("kept", 5)), 0);
    }
    EXPECT_EQ(Opened().rc, ERROR_SERVICE_DOES_NOT_EXIST);
    {
        ScHandle manager, service;
        ASSERT_EQ(OpenSCManager(SC_MANAGER_ALL_ACCESS, manager.out()), 0);
        ASSERT_EQ(CreateService(manager.get(), kName, QStringLiteral("Test Service"), SERVICE_ALL_ACCESS,
                                SERVICE_AUTO_START, QStringLiteral("/bin/true -service"), service.out()),
                  0);
        ScHandle again;
        EXPECT_EQ(CreateService(manager.get(), kName, QString(), SERVICE_ALL_ACCESS, SERVICE_AUTO_START,
                                QStringLiteral("/bin/true"), again.out()),
                  ERROR_SERVICE_EXISTS);
    }
    const QByteArray hive = testsupport::readFile(home.file(QStringLiteral("registry.hive")));
    EXPECT_TRUE(hive.contains("ImagePath")) << hive.constData();
    EXPECT_TRUE(hive.contains("Test Service"));

    Opened opened;
    ASSERT_EQ(opened.rc, 0);
    EXPECT_EQ(stateOf(opened.service.get()), SERVICE_STOPPED);
    EXPECT_EQ(DeleteService(opened.service.get()), 0);
    EXPECT_EQ(Opened().rc, ERROR_SERVICE_DOES_NOT_EXIST);
    EXPECT_EQ(DeleteService(opened.service.get()), ERROR_SERVICE_DOES_NOT_EXIST);
    RegKeyHandle settings;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\TestSvc\\Preferences"), 0,
                           KEY_READ, settings.out()),
              0);
    QByteArray data;
    quint32 size = 64;
    EXPECT_EQ(RegQueryValueEx(settings.get(), QStringLiteral("BaseUrl"), nullptr, &data, &size), 0);
}

TEST(ServiceControl, ErrorsOfAStoppedOrUnusableService) {
    testsupport::TempHome home;
    registerService(QStringLiteral("/bin/true"));
    Opened opened;
    ASSERT_EQ(opened.rc, 0);
    SERVICE_STATUS status;
    EXPECT_EQ(ControlService(opened.service.get(), 128, &status), ERROR_SERVICE_NOT_ACTIVE);
    EXPECT_EQ(status.dwCurrentState, SERVICE_STOPPED);
    EXPECT_EQ(ControlService(opened.service.get(), 77, &status), ERROR_INVALID_PARAMETER);

    // Rights are checked before anything is asked.
    Opened readOnly(SERVICE_QUERY_STATUS);
    EXPECT_EQ(StartService(readOnly.service.get()), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ControlService(readOnly.service.get(), 128, &status), ERROR_ACCESS_DENIED);
    Opened userControl(SERVICE_USER_DEFINED_CONTROL);
    EXPECT_EQ(QueryServiceStatus(userControl.service.get(), &status), ERROR_ACCESS_DENIED);

    // Closed handles are refused.
    const SC_HANDLE stale = opened.service.get();
    opened.service.reset();
    EXPECT_EQ(QueryServiceStatus(stale, &status), ERROR_INVALID_HANDLE);
    EXPECT_EQ(CloseServiceHandle(stale), ERROR_INVALID_HANDLE);
}

// Starting asks the service manager for the unit; the command in the
// settings (which any member of the folder's group may write) never runs.
TEST(ServiceControl, StartGoesToTheServiceManagerAndNeverRunsTheImagePath) {
    testsupport::TempHome home;
    const QString planted = home.file(QStringLiteral("planted"));
    const QString image = QStringLiteral("/bin/sh -c \"echo ran > '%1'\"").arg(planted);
    EXPECT_EQ(serviceUnitName(QStringLiteral("SorvexTavrelService")), QStringLiteral("sorvex-tavrel-service.service"));

    struct Case {
        const char* name;
        QString refusal;  // what the service manager says, empty: it takes the job
        int exitStatus;
        bool serviceThere;
        quint32 startType;
        long expected;
    };
    const Case cases[] = {
        {"no unit", {}, 0, false, SERVICE_DEMAND_START, ERROR_SERVICE_DOES_NOT_EXIST},
        {"not allowed", QStringLiteral("Failed to start test-svc.service: Access denied"), 4, true, SERVICE_DEMAND_START,
         ERROR_ACCESS_DENIED},
        {"asks for a password", QStringLiteral("Failed to start test-svc.service: Interactive authentication required."),
         1, true, SERVICE_DEMAND_START, ERROR_ACCESS_DENIED},
        {"no systemd", QStringLiteral("System has not been booted with systemd as init system (PID 1). Can't operate."),
         1, true, SERVICE_DEMAND_START, ERROR_NOT_SUPPORTED},
        {"disabled", {}, 0, true, SERVICE_DISABLED, ERROR_SERVICE_DISABLED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::FakeServiceManager manager;
        if (c.serviceThere) manager.setService(QStringLiteral("/bin/true"), {});
        if (!c.refusal.isEmpty()) manager.refuse(c.refusal, c.exitStatus);
        registerService(image, c.startType);
        Opened opened;
        EXPECT_EQ(StartService(opened.service.get()), c.expected);
        EXPECT_EQ(manager.calls().value(0), c.startType == SERVICE_DISABLED ? QString() : QStringLiteral("start test-svc.service"));
        EXPECT_EQ(DeleteService(opened.service.get()), 0);
    }
    {
        // No systemctl at all.
        QTemporaryDir empty;
        testsupport::EnvGuard path("PATH", QFile::encodeName(empty.path()));
        registerService(image);
        Opened opened;
        EXPECT_EQ(StartService(opened.service.get()), ERROR_NOT_SUPPORTED);
    }
    EXPECT_FALSE(QFile::exists(planted));
    EXPECT_EQ(serviceErrorText(1060), QStringLiteral("the service is not installed (1060)"));
    EXPECT_EQ(serviceErrorText(5), QStringLiteral("access is denied (5)"));
    EXPECT_EQ(serviceErrorText(4242), QStringLiteral("system error (4242)"));
}

// The service program in its own process, run by the service manager: start,
// wake-up, stop.
TEST(ServiceControl, StartControlAndStopAChildService) {
    testsupport::TempHome home;
    testsupport::FakeServiceManager manager;
    manager.setService(serviceProgram(), {kName, QStringLiteral("-service")});
    registerService(QStringLiteral("/bin/false"));
    Opened opened(GENERIC_READ | GENERIC_EXECUTE);
    ASSERT_EQ(opened.rc, 0);
    const SC_HANDLE service = opened.service.get();

    ASSERT_EQ(StartService(service), 0);
    // Until it answers it is start pending, and a second start asks for nothing.
    const quint32 first = stateOf(service);
    EXPECT_TRUE(first == SERVICE_START_PENDING || first == SERVICE_RUNNING) << first;
    EXPECT_EQ(StartService(service), ERROR_SERVICE_ALREADY_RUNNING);
    ASSERT_TRUE(testsupport::waitUntil([&] { return stateOf(service) == SERVICE_RUNNING; }));
    EXPECT_EQ(StartService(service), ERROR_SERVICE_ALREADY_RUNNING);

    SERVICE_STATUS status;
    EXPECT_EQ(ControlService(service, 128, &status), 0);
    EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
    // The control was handled before ControlService returned.
    EXPECT_EQ(testsupport::readFile(home.file(QStringLiteral("controls.log"))), QByteArray("128\n"));
    EXPECT_EQ(ControlService(service, 2, &status), ERROR_INVALID_SERVICE_CONTROL);

    // A stop is the service manager's, so the unit stays stopped.
    EXPECT_EQ(ControlService(service, SERVICE_CONTROL_STOP, &status), 0);
    EXPECT_EQ(status.dwCurrentState, SERVICE_STOP_PENDING);
    ASSERT_TRUE(testsupport::waitUntil([&] { return stateOf(service) == SERVICE_STOPPED; }));
    EXPECT_EQ(manager.calls().filter(QStringLiteral("test-svc.service")),
              (QStringList{"start test-svc.service", "show test-svc.service", "stop test-svc.service"}));
    EXPECT_EQ(ControlService(service, 128, &status), ERROR_SERVICE_NOT_ACTIVE);
}

TEST(ServiceControl, ListenerInThisProgramAndTwoProgramFoldersApart) {
    std::optional<testsupport::TempHome> homeA(std::in_place);
    registerService(QStringLiteral("/bin/true"));
    ServiceControlListener listener(kName);
    QList<quint32> handled;
    listener.setControlHandler([&](quint32 control) {
        handled << control;
        if (control == 200) throw std::runtime_error("ignored");
    });
    ASSERT_TRUE(listener.listen());
    ServiceControlListener second(kName);
    QString why;
    EXPECT_FALSE(second.listen(&why));
    EXPECT_FALSE(why.isEmpty());

    Opened inA;
    SERVICE_STATUS status;
    EXPECT_EQ(ControlService(inA.service.get(), 128, &status), 0);
    EXPECT_EQ(ControlService(inA.service.get(), 200, &status), 0);  // a throwing handler still answers
    listener.setState(SERVICE_PAUSED);
    EXPECT_EQ(stateOf(inA.service.get()), SERVICE_PAUSED);
    EXPECT_EQ(StartService(inA.service.get()), ERROR_SERVICE_ALREADY_RUNNING);
    listener.setState(SERVICE_START_PENDING);
    EXPECT_EQ(ControlService(inA.service.get(), 128, &status), ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
    listener.setState(SERVICE_RUNNING);

    {
        // Same service name, another program folder: nothing reaches the listener.
        testsupport::TempHome homeB;
        registerService(QStringLiteral("/bin/true"));
        Opened inB;
        EXPECT_EQ(stateOf(inB.service.get()), SERVICE_STOPPED);
        EXPECT_EQ(ControlService(inB.service.get(), 128, &status), ERROR_SERVICE_NOT_ACTIVE);
        ServiceControlListener listenerB(kName);
        EXPECT_TRUE(listenerB.listen());
    }
    EXPECT_EQ(handled, (QList<quint32>{128, 200}));

    // The handle keeps the program folder it was opened in.
    EXPECT_EQ(stateOf(inA.service.get()), SERVICE_RUNNING);
    listener.close();
    EXPECT_EQ(stateOf(inA.service.get()), SERVICE_STOPPED);
}

TEST(ServiceControl, ServiceThatDoesNotAnswerInTime) {
    testsupport::TempHome home;
    registerService(QStringLiteral("/bin/true"));
    const int saved = serviceAnswerTimeout();
    setServiceAnswerTimeout(100);
    // Takes connections and never answers (a service stuck in a long step).
    QLocalServer mute;
    ASSERT_TRUE(mute.listen(serviceChannelName(kName, home.path())));
    QElapsedTimer timer;
    timer.start();
    Opened opened;
    SERVICE_STATUS status;
    EXPECT_EQ(ControlService(opened.service.get(), 128, &status), ERROR_SERVICE_REQUEST_TIMEOUT);
    EXPECT_EQ(QueryServiceStatus(opened.service.get(), &status), ERROR_SERVICE_REQUEST_TIMEOUT);
    EXPECT_GE(timer.elapsed(), 190);  // it did wait for the answer
    setServiceAnswerTimeout(saved);
}

TEST(WindowMessages, RegisteredIdsAreStableAndInTheirRange) {
    const quint32 id = RegisterWindowMessage(QStringLiteral("Sorvex Tavrel private message"));
    EXPECT_GE(id, 0xC000u);
    EXPECT_LE(id, 0xFFFFu);
    EXPECT_EQ(id, RegisterWindowMessage(QStringLiteral("SORVEX TAVREL PRIVATE MESSAGE")));
    EXPECT_NE(id, RegisterWindowMessage(QStringLiteral("another message")));
    EXPECT_EQ(RegisterWindowMessage(QString()), 0u);
}

TEST(WindowMessages, FindByTitleAndClassThenSend) {
    std::optional<testsupport::TempHome> home(std::in_place);
    const QString title = QStringLiteral("Sorvex Tavrel Service");
    EXPECT_EQ(FindWindow(QString(), title), 0u);

    WindowMessageListener window(QStringLiteral("ThunderRT6Main"), title);
    QList<quint32> received;
    window.setWindowProc([&](quint32 message, quintptr w, qintptr l) -> qintptr {
        received << message;
        return message == 0xC123 && w == 0 && l == 0 ? -1 : 7;
    });
    ASSERT_TRUE(window.listen());

    const HWND found = FindWindow(QStringLiteral("thunderrt6main"), title);
    ASSERT_NE(found, 0u);
    EXPECT_EQ(FindWindow(QStringLiteral("OtherClass"), title), 0u);
    EXPECT_EQ(FindWindow(QString(), title), found);
    long error = -1;
    EXPECT_EQ(SendMessage(found, 0xC123, 0, 0, &error), -1);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(received, QList<quint32>{0xC123});

    {
        testsupport::TempHome other;  // another program folder sees no window
        EXPECT_EQ(FindWindow(QString(), title), 0u);
    }
    window.close();
    EXPECT_EQ(SendMessage(found, 0xC123, 0, 0, &error), 0);
    EXPECT_EQ(error, ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(SendMessage(12345, 1, 0, 0, &error), 0);
    EXPECT_EQ(error, ERROR_INVALID_WINDOW_HANDLE);
}
