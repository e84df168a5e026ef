// The real client program with the stand-in component plug-in named the way
// the service is given it: its start-up probes reach every vendor component,
// so the Task Editor can offer their import filters.
#include "DemoRoad.h"

#include "platform/AutomationComponents.h"
#include "platform/AutomationPlugins.h"
#include "platform/AutomationQuellmark.h"
#include "tools/standins/StandinLog.h"

#include <QSet>
#include <gtest/gtest.h>

TEST(ClientComponentPlugins, TheClientProgramProbesEveryComponentOfThePlugIn) {
    const QString plugin = testsupport::binPath("standins/libtavrel-standins.so");
    if (!DemoRoad::available() || !QFileInfo::exists(plugin)) GTEST_SKIP() << "the programs are not built";
    DemoRoad road;
    QString error;
    ASSERT_TRUE(road.start(true, &error)) << error.toStdString();
    // ".rov" files open with the stand-in Quellmark program, as an install sets it.
    ASSERT_TRUE(
        testsupport::associateExtension(".rov", testsupport::binPath("standins/quellmark/SorvexQuellmark.exe")));

    // The client ends by itself once its window is up (the picture hook).
    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAVREL_HOME", road.home.path());
    env.insert(platform::kAutomationPluginsVariable, plugin);
    env.insert(standins::kLogVariable, road.home.file("standin.log"));
    env.insert("TAVREL_SCREENSHOT", road.home.file("editor.png"));
    env.insert("TAVREL_SCREENSHOT_TAB", "Task Editor");
    client.setProcessEnvironment(env);
    client.setProcessChannelMode(QProcess::MergedChannels);
    client.start(testsupport::binPath("Tavrel"), {"-debug"});
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
}
