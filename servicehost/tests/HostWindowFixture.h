#pragma once
// The host window in this process, on a private SQLite task database with a
// simulated server; the test drives its poll itself.
#include "HostFixture.h"

#include "jobs/JobCollection.h"
#include "jobs/clsJob.h"
#include "servicehost/frmMain.h"

#include <memory>

namespace hosttest {

using namespace tavrelsvc;

class Host : public ::testing::Test {
protected:
    explicit Host(testsupport::DbEngine engine = testsupport::DbEngine::Sqlite) : db(engine) {}

    void SetUp() override {
        previousComputer = qgetenv("COMPUTERNAME");  // put back by the tear-down, also after a skip
        if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
        if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
        qputenv("COMPUTERNAME", "LABPC");
        rows = std::make_unique<TaskRows>(db.connectionString());
        rows->createTables();
        rows->parameterFile = home.file("search.par");
        testsupport::writeFile(rows->parameterFile, "DB=SwissProt\r\n");
        root = home.file("qpl");
        QDir().mkpath(root);
        hosttest::saveSettings(sim.baseUrl(), db.connectionString(), root);
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qputenv("COMPUTERNAME", previousComputer);
    }

    void load(RunMode mode = RunMode::Debug) {
        window = std::make_unique<frmMain>(frmMain::Options{mode, true, false});
        ASSERT_TRUE(window->Form_Load()) << qPrintable(hosttest::eventLog(home.path()).join('\n'));
    }
    void run(int uid) {
        rows->request(uid, "Run");
        window->tmrRefresh_Timer();
    }
    QStringList log() const { return hosttest::eventLog(home.path()); }

    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    testsupport::TestDatabase db;
    std::unique_ptr<TaskRows> rows;
    std::unique_ptr<frmMain> window;
    QString root;
    QByteArray previousComputer;
};

// The host window on each engine: TEST_P(HostOnBothEngines, ...).
class HostOnBothEngines : public Host, public ::testing::WithParamInterface<testsupport::DbEngine> {
protected:
    HostOnBothEngines() : Host(GetParam()) {}
};

}  // namespace hosttest
