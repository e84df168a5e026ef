#include "common/AtomicSave.h"

#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(AtomicSave, ReplacesTheFileWholeAndLeavesNoTemporary) {
    testsupport::TempHome home;
    const QString path = home.file("server.dat");
    EXPECT_EQ(common::saveFileAtomically(path, "first"), "");
    EXPECT_EQ(common::saveFileAtomically(path, "second, longer"), "");
    EXPECT_EQ(testsupport::readFile(path), "second, longer");
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"server.dat"});
}

TEST(AtomicSave, AFailureSaysWhyAndChangesNothing) {
    testsupport::TempHome home;
    testsupport::writeFile(home.file("plain"), "kept");
    // A file where a folder should be, and a folder where the file should be.
    // Neither can even be created, which callers that say so can tell.
    common::SaveStage stage = common::SaveStage::Write;
    EXPECT_NE(common::saveFileAtomically(home.file("plain/server.dat"), "x", &stage), "");
    EXPECT_EQ(stage, common::SaveStage::Create);
    ASSERT_TRUE(QDir(home.path()).mkdir("default.par"));
    stage = common::SaveStage::Write;
    EXPECT_NE(common::saveFileAtomically(home.file("default.par"), "x", &stage), "");
    EXPECT_EQ(stage, common::SaveStage::Create);
    EXPECT_EQ(testsupport::readFile(home.file("plain")), "kept");
    EXPECT_TRUE(QFileInfo(home.file("default.par")).isDir());
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"plain"});
}
