// The real Tavrel program's start-up with the service installed but down.
#include "ClientFixture.h"

#include "platform/testsupport/TestSupport.h"

#include <QProcess>

namespace {

class ClientProgramStart : public ClientFixture {};

// The client asks the service manager to start the installed service; it
// does not install it again (which said "already installed" on stderr at
// every start).
TEST_F(ClientProgramStart, AnInstalledServiceThatIsDownIsStartedNotInstalledAgain) {
    workingSetup();
    QProcess install;
    install.start(testsupport::binPath("TavrelService"), {"-install", "-silent"});
    ASSERT_TRUE(install.waitForFinished(15000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    testsupport::FakeServiceManager manager;
    manager.refuse("System has not been booted with systemd as init system (PID 1). Can't operate.", 1);
    QProcess client;
    client.setProcessChannelMode(QProcess::SeparateChannels);
    client.start(testsupport::binPath("Tavrel"), {});
    ASSERT_TRUE(client.waitForStarted());
    // Its box about the failed start waits for an answer that never comes.
    const bool asked = testsupport::waitUntil(
        [&] { return manager.calls().contains("start sorvex-tavrel-service.service") || client.state() == QProcess::NotRunning; },
        60000);
    client.kill();
    client.waitForFinished();
    const QString said = QString::fromLocal8Bit(client.readAllStandardError());
    ASSERT_TRUE(asked && manager.calls().contains("start sorvex-tavrel-service.service")) << qPrintable(said);
    EXPECT_FALSE(said.contains("Failed to install / uninstall")) << qPrintable(said);
}

}  // namespace
