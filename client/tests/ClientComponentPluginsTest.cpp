// The demo's client, started with the environment run.sh gives the demo's
// service and client (scripts/demo-env.sh) on the folder demo-setup made: its
// start-up probes reach every vendor component of the stand-in plug-in, and
// the demo's extractor is one that Preferences accept, so the Task Editor
// offers all six import filters.
#include "DemoRoad.h"

#include "client/PreferencesChecks.h"
#include "common/ImportFilters.h"
#include "common/Preferences.h"
#include "common/Settings.h"
#include "platform/AutomationComponents.h"
#include "platform/AutomationQuellmark.h"
#include "tools/standins/StandinLog.h"

#include <QDir>
#include <QSet>
#include <gtest/gtest.h>

TEST(ClientComponentPlugins, TheDemosClientProbesEveryComponentAndTakesItsExtractor) {
    const QString plugin = testsupport::binPath("standins/libtavrel-standins.so");
    if (!DemoRoad::available() || !QFileInfo::exists(plugin)) GTEST_SKIP() << "the programs are not built";
    DemoRoad road;
    QString error;
    ASSERT_TRUE(road.start(true, &error)) << error.toStdString();

    // The client ends by itself once its window is up (the picture hook).
    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(standins::kLogVariable, road.home.file("standin.log"));
    env.insert("TAVREL_SCREENSHOT", road.home.file("editor.png"));
    env.insert("TAVREL_SCREENSHOT_TAB", "Task Editor");
    road.prepare(client, env);
    client.setProcessChannelMode(QProcess::MergedChannels);
    const QString bin = QFileInfo(testsupport::binPath("Tavrel")).absolutePath();
    client.start("bash", {"-c", "source \"$1/scripts/demo-env.sh\" \"$2\" && exec \"$2/Tavrel\" -debug", "demo",
                          QStringLiteral(TAVREL_SOURCE_DIR), bin});
    ASSERT_TRUE(client.waitForFinished(120000)) << "the client did not get through its start-up";
    EXPECT_EQ(client.exitCode(), 0) << client.readAll().toStdString();

    QSet<QString> created;
    for (const QStringList& call : standins::readLog(road.home.file("standin.log")))
        if (call.value(0) == "create") created.insert(call.value(1));
    for (const char* progId : {platform::automation::WiffFileInfo::kProgId,
                               platform::automation::DataExplorerApplication::kProgId,
                               platform::automation::TS2Sorvex::kProgId,
                               platform::automation::QuellmarkLibrary::kProgId})
        EXPECT_TRUE(created.contains(QLatin1String(progId))) << progId << " was never asked for";

    // The RAW filter is offered for a named extractor, which Save takes when
    // it has one of the extractors' names and exists.
    const QString extractor =
        common::modGlobal_GetSetting(common::SettingsApplication, common::PreferencesSection, "LcqPath").toString();
    EXPECT_TRUE(common::lcqProgramNamed(extractor));
    EXPECT_TRUE(tavrel::isExtractorPath(extractor)) << extractor.toStdString();
    EXPECT_TRUE(QFileInfo(extractor).isExecutable()) << extractor.toStdString();
}
