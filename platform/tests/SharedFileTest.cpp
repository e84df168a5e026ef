#include "platform/SharedFile.h"

#include "platform/BoundedRead.h"
#include "platform/KernelLockFile.h"
#include "platform/SharedFolder.h"
#include "platform/UniqueFd.h"
#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
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

    {
        const platform::UniqueFd fd = platform::openForAppending(log, platform::FileReaders::OwnerAndGroup);
        ASSERT_TRUE(fd);
        EXPECT_EQ(::write(fd.get(), "line\r\n", 6), 6);
    }
    EXPECT_EQ(testsupport::readFile(victim), "kept");
    EXPECT_FALSE(QFileInfo(log).isSymLink());
    EXPECT_EQ(modeOf(log), 0660u);

    // An existing file is appended to, not replaced.
    {
        const platform::UniqueFd again = platform::openForAppending(log, platform::FileReaders::OwnerAndGroup);
        ASSERT_TRUE(again);
        EXPECT_EQ(::write(again.get(), "next\r\n", 6), 6);
    }
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

namespace {

// Sets the process's umask for one scope.
struct UmaskGuard {
    explicit UmaskGuard(mode_t mask) : saved(::umask(mask)) {}
    ~UmaskGuard() { ::umask(saved); }
    mode_t saved;
};

}  // namespace

// What one account makes in a folder its group shares, the next one can
// write into, whatever the umask of the first; in a folder of its own the
// umask holds.
TEST(SharedFolder, AFolderMadeInAGroupSharedFolderIsTheGroupsWhateverTheUmask) {
    const UmaskGuard mask(022);
    struct Case {
        const char* what;
        mode_t parentMode;
        mode_t expected;
    } cases[] = {
        {"a shared folder", 02770, 02770},
        {"a shared folder without its set-group-id bit", 0770, 02770},
        {"a folder of its own", 0755, 0755},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir parent;
        ASSERT_EQ(::chmod(QFile::encodeName(parent.path()).constData(), c.parentMode), 0);
        const QString deep = parent.filePath("qpl/1 Liver");
        EXPECT_EQ(platform::makeSharedPath(deep), "");
        EXPECT_EQ(modeOf(parent.filePath("qpl")), c.expected);
        EXPECT_EQ(modeOf(deep), c.expected);
        // One this account made before under a narrower umask is opened to the group.
        const QString older = parent.filePath("older");
        ASSERT_EQ(::mkdir(QFile::encodeName(older).constData(), 0755), 0);
        EXPECT_EQ(platform::makeSharedFolder(older), "");
        EXPECT_EQ(modeOf(older), c.parentMode & S_IWGRP ? 02775u : 0755u);
    }
    QTemporaryDir parent;
    testsupport::writeFile(parent.filePath("plain"), "a file");
    EXPECT_EQ(platform::makeSharedFolder(parent.filePath("plain")),
              parent.filePath("plain") + " cannot be made: Not a directory");
}

// A peak list written in pieces into a cache folder: whatever another account
// put at its name is replaced, and what that led to is left as it was.
TEST(SharedFile, AnOutputWrittenInPiecesNeverGoesThroughWhatStandsAtItsName) {
    testsupport::TempHome home;
    ASSERT_EQ(::chmod(QFile::encodeName(home.path()).constData(), 02770), 0);
    const UmaskGuard mask(022);
    const QString victim = home.file("victim");
    const QString out = home.file("out.qpl");
    struct Case {
        const char* what;
        std::function<void()> plant;
    } cases[] = {
        {"nothing", [] {}},
        {"an older output", [&] { testsupport::writeFile(out, "older and longer"); }},
        {"a link", [&] { QFile::link(victim, out); }},
        {"a hard link", [&] { ::link(QFile::encodeName(victim).constData(), QFile::encodeName(out).constData()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::writeFile(victim, "kept");
        c.plant();
        platform::UniqueFd fd = platform::openForWriting(out);
        ASSERT_TRUE(fd) << std::strerror(errno);
        ASSERT_EQ(::write(fd.get(), "new", 3), 3);
        EXPECT_EQ(fd.close(), 0);
        EXPECT_EQ(testsupport::readFile(out), "new");
        EXPECT_EQ(testsupport::readFile(victim), "kept");
        EXPECT_EQ(modeOf(out), 0660u);
        QFile::remove(out);
    }
    // A folder or a fifo stays, and is never waited on.
    ASSERT_EQ(::mkfifo(QFile::encodeName(out).constData(), 0660), 0);
    EXPECT_FALSE(platform::openForWriting(out));
    EXPECT_EQ(errno, platform::kNotRegularFile);
    ASSERT_TRUE(QFile::remove(out));
    ASSERT_TRUE(QDir().mkdir(out));
    EXPECT_FALSE(platform::openForWriting(out));
    EXPECT_EQ(errno, EISDIR);
}

// The kernel holds the lock: what the file holds, or what stands at its name,
// never decides; only a running holder keeps the next one out.
TEST(KernelLockFile, OnlyARunningHolderKeepsTheNextOneOut) {
    testsupport::TempHome home;
    const QString lock = home.file("TavrelService.lock");
    using Outcome = platform::KernelLockFile::Outcome;
    struct Case {
        const char* what;
        std::function<void()> plant;
    } cases[] = {
        {"nothing", [] {}},
        {"an empty file", [&] { testsupport::writeFile(lock, ""); }},
        {"a note of a process that is not ours", [&] { testsupport::writeFile(lock, "1\nTavrelService\nhost\n"); }},
        {"a link", [&] { QFile::link(home.file("elsewhere"), lock); }},
        {"a fifo", [&] { ::mkfifo(QFile::encodeName(lock).constData(), 0660); }},
        {"an empty folder", [&] { QDir().mkdir(lock); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.plant();
        platform::KernelLockFile first;
        ASSERT_EQ(first.tryLock(lock), Outcome::Taken) << qPrintable(first.problem());
        first.writeNote("4242\n");
        platform::KernelLockFile second;
        EXPECT_EQ(second.tryLock(lock), Outcome::Held);
        EXPECT_TRUE(platform::KernelLockFile::isHeld(lock));
        EXPECT_EQ(platform::KernelLockFile::readNote(lock), "4242\n");
        first.unlock();
        EXPECT_EQ(second.tryLock(lock), Outcome::Taken) << "the holder is gone";
        EXPECT_FALSE(QFileInfo::exists(home.file("elsewhere")));
        QFile::remove(lock);
    }
    // A folder with something in it is somebody's to look at: refused, with the fix.
    testsupport::writeFile(lock + "/inside", "x");
    platform::KernelLockFile refused;
    EXPECT_EQ(refused.tryLock(lock), Outcome::Refused);
    EXPECT_EQ(refused.problem(),
              lock + " is a folder, not a lock file: remove it (rm -r \"" + lock + "\") and start again");
}

TEST(BoundedRead, AFileIsReadWholeWithinItsLimitAndRefusedPastIt) {
    testsupport::TempHome home;
    using platform::ReadOutcome;
    struct Case {
        const char* what;
        std::function<QString()> make;  // the path
        ReadOutcome outcome;
        QString reason;
    } cases[] = {
        {"a file within its limit", [&] { testsupport::writeFile(home.file("a"), "0123456789"); return home.file("a"); },
         ReadOutcome::Read, ""},
        {"no file", [&] { return home.file("none"); }, ReadOutcome::Missing, ""},
        {"a file past its limit", [&] { testsupport::writeFile(home.file("b"), "0123456789x"); return home.file("b"); },
         ReadOutcome::Failed, "it holds 11 bytes, more than the 10 it may hold"},
        {"a folder", [&] { QDir().mkdir(home.file("c")); return home.file("c"); }, ReadOutcome::Failed, "it is a folder"},
        {"a fifo", [&] { ::mkfifo(QFile::encodeName(home.file("d")).constData(), 0660); return home.file("d"); },
         ReadOutcome::Failed, "it is no regular file"},
        {"a link", [&] { QFile::link(home.file("a"), home.file("e")); return home.file("e"); }, ReadOutcome::Failed,
         "it is a symbolic link, which is never followed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bytes;
        QString reason;
        EXPECT_EQ(platform::readBoundedFile(c.make(), 10, bytes, &reason), c.outcome);
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(bytes, c.outcome == ReadOutcome::Read ? QByteArray("0123456789") : QByteArray());
    }
    QByteArray bytes;
    EXPECT_EQ(platform::readBoundedFile(home.file("e"), 10, bytes, nullptr, platform::Links::Follow), ReadOutcome::Read);
}
