#include "params/RecentFiles.h"

#include "common/Settings.h"
#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

// What the File menu does with each opened or saved path.
QStringList addAndReload(const QString& path, const QStringList& menu) {
    EXPECT_FALSE(modGlobal_AddRecentFile(path, menu));
    return modGlobal_LoadRecentFileList();
}

}  // namespace

TEST(RecentFilesTest, KeepsTheFourNewestAndLeavesAListedPathInPlace) {
    testsupport::TempHome home;
    EXPECT_TRUE(modGlobal_LoadRecentFileList().isEmpty());

    QStringList menu;
    for (const char* p : {"/a.par", "/b.par", "/c.par", "/d.par", "/e.par"}) menu = addAndReload(p, menu);
    EXPECT_EQ(menu, (QStringList{"/e.par", "/d.par", "/c.par", "/b.par"}));

    menu = addAndReload("/d.par", menu);
    EXPECT_EQ(menu, (QStringList{"/e.par", "/d.par", "/c.par", "/b.par"}));
    menu = addAndReload("/D.par", menu);  // compared exactly
    EXPECT_EQ(menu.first(), "/D.par");
}

TEST(RecentFilesTest, NothingIsShownWithoutAFirstEntry) {
    testsupport::TempHome home;
    const QString app = "Sorvex Tavrel";
    ASSERT_TRUE(common::modGlobal_SaveSetting(app, kRecentFilesSection, "RecentFile2", "/x.par"));
    EXPECT_TRUE(modGlobal_LoadRecentFileList().isEmpty());
    ASSERT_TRUE(common::modGlobal_SaveSetting(app, kRecentFilesSection, "RecentFile1", ""));
    EXPECT_TRUE(modGlobal_LoadRecentFileList().isEmpty());

    // More values than menu items (written by something else): the first five.
    for (int i = 1; i <= 7; ++i)
        common::modGlobal_SaveSetting(app, kRecentFilesSection, QString("RecentFile%1").arg(i), QString("/%1.par").arg(i));
    EXPECT_EQ(modGlobal_LoadRecentFileList().size(), kRecentFileMenuItems);
}
