#pragma once
// The real programs on a program folder of their own: the tables, a parameter
// set, sorvex-sim keeping the bodies it receives, the settings with every
// wait of the service as short as it goes, and the service registered, so a
// wake-up reaches it.
#include "ServiceProgram.h"

#include "common/UncName.h"

namespace hosttest {

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available() || !QFileInfo::exists(testsupport::binPath("TavrelService")))
            GTEST_SKIP() << "sorvex-sim or TavrelService is not built";
        rows = std::make_unique<TaskRows>(db.connectionString());
        rows->createTables();
        rows->parameterFile = home.file("search.par");
        testsupport::writeFile(rows->parameterFile, "DB=SwissProt\r\nSEARCH=MIS\r\nCOM=Run <taskname>\r\n");
        QDir().mkpath(home.file("qpl"));
        bodies = home.file("bodies");
        ASSERT_TRUE(sim.start("{\"bodies\": \"" + bodies.toUtf8() + "\"}")) << qPrintable(sim.error());
        saveSettings(sim.baseUrl(), db.connectionString(), home.file("qpl"), 60);
        // Ticks, folder walks, the size check of a new item and the pause after an empty file.
        for (const char* name : {"TimerTick", "MonitorActionDelay", "LockedOutDelay", "NoDataDelay"})
            ASSERT_TRUE(common::modGlobal_SaveSetting(kApp, common::PreferencesSection, name, "1"));
        ASSERT_EQ(runSwitch({"-install", "-silent"}), 0);
        tavrel::CommandLineArgs.clear();
    }

    // The search bodies sorvex-sim received, in order ("upload-1.body", "upload-2.body" ...).
    QList<QByteArray> uploads() const {
        QList<QByteArray> out;
        for (int n = 1;; ++n) {
            const QString path = QDir(bodies).filePath(QStringLiteral("upload-%1.body").arg(n));
            if (!QFileInfo::exists(path)) return out;
            out << testsupport::readFile(path);
        }
    }
    QString log() const { return eventLog(home.path()).join('\n'); }

    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    testsupport::TestDatabase db{testsupport::DbEngine::Sqlite};
    std::unique_ptr<TaskRows> rows;
    QString bodies;
};

}  // namespace hosttest
