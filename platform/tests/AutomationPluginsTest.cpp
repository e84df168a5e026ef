// Components in plug-in libraries: loaded only from what the program is told
// of, once each, and usable across the library boundary.
#include "platform/AutomationComponents.h"
#include "platform/AutomationPlugins.h"
#include "platform/testsupport/TestSupport.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace platform;

TEST(AutomationPlugins, NothingIsLoadedUnlessNamed) {
    testsupport::EnvGuard none(kAutomationPluginsVariable, std::nullopt);
    const AutomationPluginReport report = loadAutomationPlugins();
    EXPECT_TRUE(report.loaded.isEmpty());
    EXPECT_TRUE(report.problems.isEmpty());
    EXPECT_FALSE(isAutomationComponentRegistered(QString::fromLatin1(automation::WiffFileInfo::kProgId)));
}

TEST(AutomationPlugins, AFileThatIsNoPluginIsReportedAndLeftAlone) {
    testsupport::TempHome home;
    testsupport::writeFile(home.file("plugins/fake.so"), "not a shared library");
    const AutomationPluginReport folder = loadAutomationPluginsFrom(home.file("plugins"));
    ASSERT_EQ(folder.problems.size(), 1);
    EXPECT_TRUE(folder.problems[0].contains("fake.so"));
    EXPECT_EQ(loadAutomationPluginsFrom(home.file("missing.so")).problems.size(), 1);
}

TEST(AutomationPlugins, TheStandInPluginRegistersItsComponentsOnce) {
    const QString plugin = testsupport::binPath("standins/libtavrel-standins.so");
    if (!QFileInfo::exists(plugin)) GTEST_SKIP() << "the stand-in plug-in is not built";
    testsupport::EnvGuard named(kAutomationPluginsVariable, plugin.toUtf8());
    const AutomationPluginReport first = loadAutomationPlugins();
    ASSERT_EQ(first.loaded.size(), 1) << qPrintable(first.problems.join('\n'));
    EXPECT_TRUE(loadAutomationPlugins().loaded.isEmpty()) << "a library is loaded once";

    const auto info = automation::create<automation::WiffFileInfo>();  // an object of the library, cast here
    EXPECT_FALSE(info->DllVersion().isEmpty());
    EXPECT_NO_THROW(automation::create<automation::DataExplorerApplication>());
    EXPECT_NO_THROW(automation::create<automation::TS2Sorvex>());
    EXPECT_FALSE(automation::create<automation::QuellmarkLibrary>()->Version().isEmpty());
    for (const char* progId :
         {automation::WiffFileInfo::kProgId, automation::WiffProcessingParameters::kProgId,
          automation::WiffOptions4Tavrel::kProgId, automation::WiffExportMS::kProgId, automation::WiffExportMSMS::kProgId,
          automation::DataExplorerApplication::kProgId, automation::TS2Sorvex::kProgId,
          automation::QuellmarkLibrary::kProgId, automation::QuellmarkAgentMgr::kProgId,
          automation::QuellmarkDataSourceCollection::kProgId, automation::QuellmarkDataSourceParams::kProgId,
          automation::QuellmarkProcessingOptions::kProgId, automation::QuellmarkPeakListFormatOptions::kProgId,
          automation::QuellmarkFileIOStream::kProgId, automation::QuellmarkProjectManager::kProgId,
          automation::QuellmarkSearchStatus::kProgId, automation::QuellmarkSearchStatusCollection::kProgId})
        EXPECT_TRUE(unregisterAutomationComponent(QString::fromLatin1(progId))) << progId;
}
