#pragma once
// Fixture of the client's server tests: a simulated server, a clean set of
// client globals and a recorder that answers message boxes.
#include "clientcommon/Globals.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/SorvexSim.h"

#include <QStringList>
#include <gtest/gtest.h>

struct BoxRecorder : platform::MessageBoxHandler {
    QStringList texts;
    QStringList titles;
    int show(const QString& text, int, const QString& title) override {
        texts.append(text);
        titles.append(title);
        return platform::vbOK;
    }
};

class ClientSim : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built; server tests skipped";
        previous_ = platform::setMessageBoxHandler(&boxes);
        using namespace tavrel;
        InternetSession.reset();
        TimeOut = 10;
        AccessType = 1;
        Proxy.clear();
        Protocol = 1;
        SorvexUserName.clear();
        SorvexPassword.clear();
        ProxyUserName.clear();
        ProxyPassword.clear();
        WebUserName.clear();
        WebPassword.clear();
        ServerSessionID.clear();
        ServerSecurityEnabled = false;
        ServerVersion.clear();
        ServerUser.clear();
        ProgramFolder = home.path();
    }
    void TearDown() override {
        platform::setMessageBoxHandler(previous_);
        tavrel::InternetSession.reset();
        qunsetenv("TAVREL_TEST_CA_FILE");
    }

    // Starts the simulator or fails the test.
    void start(const QByteArray& scenario = "{}") { start(scenario, testsupport::SorvexSim::Options()); }
    void start(const QByteArray& scenario, const testsupport::SorvexSim::Options& options) {
        ASSERT_TRUE(sim.start(scenario, options)) << qPrintable(sim.error());
        url = sim.baseUrl();
    }

    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    BoxRecorder boxes;
    QString url;

private:
    platform::MessageBoxHandler* previous_ = nullptr;
};
