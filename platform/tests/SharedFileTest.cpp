#include "platform/SharedFile.h"

#include "platform/testsupport/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

// An appended file (the event log) in a folder others of the group write:
// a link in its place is replaced, and the file is the group's.
TEST(SharedFile, AppendingReplacesALinkAndSharesTheFileWithTheGroup) {
    testsupport::TempHome home;
    QTemporaryDir elsewhere;
    ASSERT_EQ(::chmod(QFile::encodeName(home.path()).constData(), 02770), 0);
    const QString victim = elsewhere.filePath("TaskDB.mdb");
    testsupport::writeFile(victim, "kept");
    const QString log = home.file("Sorvex_Tavrel_Event_Log.csv");
    ASSERT_TRUE(QFile::link(victim, log));

    const int fd = platform::openForAppending(log, platform::FileReaders::OwnerAndGroup);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "line\r\n", 6), 6);
    ::close(fd);
    EXPECT_EQ(testsupport::readFile(victim), "kept");
    EXPECT_FALSE(QFileInfo(log).isSymLink());
    EXPECT_EQ(modeOf(log), 0660u);

    // An existing file is appended to, not replaced.
    const int again = platform::openForAppending(log, platform::FileReaders::OwnerAndGroup);
    ASSERT_GE(again, 0);
    EXPECT_EQ(::write(again, "next\r\n", 6), 6);
    ::close(again);
    EXPECT_EQ(testsupport::readFile(log), "line\r\nnext\r\n");
}

TEST(SharedFile, ALockFileIsOpenedToTheGroupWithoutFollowingALink) {
    testsupport::TempHome home;
    QTemporaryDir elsewhere;
    ASSERT_EQ(::chmod(QFile::encodeName(home.path()).constData(), 02770), 0);
    const QString lock = home.file("registry.hive.lock");
    testsupport::writeFile(lock, "123\n");
    ASSERT_EQ(::chmod(QFile::encodeName(lock).constData(), 0600), 0);
    platform::shareWithFolderGroup(lock);
    EXPECT_EQ(modeOf(lock) & 0060, 0060u);

    const QString victim = elsewhere.filePath("private");
    testsupport::writeFile(victim, "x");
    ASSERT_EQ(::chmod(QFile::encodeName(victim).constData(), 0600), 0);
    const QString link = home.file("other.lock");
    ASSERT_TRUE(QFile::link(victim, link));
    platform::shareWithFolderGroup(link);
    EXPECT_EQ(modeOf(victim), 0600u);
}
