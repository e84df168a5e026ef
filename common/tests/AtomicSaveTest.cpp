#include "common/AtomicSave.h"

#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

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

// The program folder is shared by a group of accounts: a link planted in
// place of a file must not make a save write into the file it names.
TEST(AtomicSave, ALinkInPlaceOfTheFileIsReplacedNeverWrittenThrough) {
    testsupport::TempHome home;
    QTemporaryDir elsewhere;
    const QString profile = elsewhere.filePath(".profile");
    testsupport::writeFile(profile, "the user's own");
    const QString path = home.file("server.dat");
    ASSERT_TRUE(QFile::link(profile, path));
    EXPECT_EQ(common::saveFileAtomically(path, "parameters"), "");
    EXPECT_EQ(testsupport::readFile(profile), "the user's own");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(testsupport::readFile(path), "parameters");
}

// What one account writes the next member of the folder's group can replace.
TEST(AtomicSave, InAGroupWritableFolderTheFileIsTheGroupsToo) {
    struct Case {
        const char* what;
        mode_t folderMode;
        std::optional<mode_t> oldFileMode;
        mode_t expected;
    };
    const Case cases[] = {
        {"a new file in a shared folder", 02770, std::nullopt, 0660},
        {"a file another client wrote under umask 022", 02770, 0644, 0660},
        {"an owner-only file is opened to the group", 02770, 0600, 0660},
        {"a new file in a private folder follows the umask", 0700, std::nullopt, 0644},
        {"a file of a private folder keeps its modes", 0700, 0640, 0640},
    };
    const mode_t previousMask = ::umask(022);
    for (const Case& c : cases) {
        testsupport::TempHome home;
        ASSERT_EQ(::chmod(QFile::encodeName(home.path()).constData(), c.folderMode), 0);
        const QString path = home.file("default.par");
        if (c.oldFileMode) {
            testsupport::writeFile(path, "old");
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), *c.oldFileMode), 0);
        }
        EXPECT_EQ(common::saveFileAtomically(path, "new"), "") << c.what;
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << c.what;
        EXPECT_EQ(st.st_mode & 07777, c.expected) << c.what << ": " << std::oct << (st.st_mode & 07777);
    }
    ::umask(previousMask);
}
