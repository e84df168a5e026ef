// What counts as a program folder of the user's own, and the service's
// temporary folder when another account holds its usual name.
#include "platform/OwnFolder.h"
#include "platform/PrivateFolder.h"
#include "platform/ProgramFolder.h"

#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr uid_t kNobody = 65534;

void setMode(const QString& path, mode_t mode) { ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0); }

// A group of the system that is nobody's private group ("users", else "nogroup").
gid_t sharedGroup() {
    for (const char* name : {"users", "nogroup"})
        if (const group* g = ::getgrnam(name)) return g->gr_gid;
    return gid_t(-1);
}

}  // namespace

TEST(OwnFolder, OnlyAFolderNoOtherAccountWritesIsOwn) {
    testsupport::TempHome home;
    struct Case {
        const char* name;
        mode_t mode;
        bool own;
    } cases[] = {
        {"private", 0700, true},
        {"readable by all, as under umask 022", 0755, true},
        {"writable by all", 0777, false},
        {"writable by all, sticky", 01777, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setMode(home.path(), c.mode);
        EXPECT_EQ(isOwnFolder(home.path()), c.own);
        EXPECT_EQ(isOwnProgramFolder(), c.own);
    }
    setMode(home.path(), 0700);
    EXPECT_FALSE(isOwnFolder(home.file("missing")));
    EXPECT_FALSE(isOwnFolder(QString()));
    testsupport::writeFile(home.file("file"), "");
    EXPECT_FALSE(isOwnFolder(home.file("file")));

    // A group-writable folder of a group others belong to, as a lab's 2770 folder.
    const gid_t group = sharedGroup();
    if (group != gid_t(-1) && ::chown(QFile::encodeName(home.path()).constData(), -1, group) == 0) {
        setMode(home.path(), 02770);
        EXPECT_FALSE(isOwnFolder(home.path()));
        EXPECT_FALSE(isOwnProgramFolder());
        setMode(home.path(), 02750);
        EXPECT_TRUE(isOwnFolder(home.path()));
    }
}

TEST(OwnFolder, AHiveThatIsALinkOrAnotherAccountsIsNotOwn) {
    testsupport::TempHome home;
    setMode(home.path(), 0700);
    EXPECT_TRUE(isOwnProgramFolder());  // no settings yet
    testsupport::writeFile(home.file("elsewhere.hive"), "");
    ASSERT_TRUE(QFile::link(home.file("elsewhere.hive"), home.file("registry.hive")));
    EXPECT_FALSE(isOwnProgramFolder());
    QFile::remove(home.file("registry.hive"));
    testsupport::writeFile(home.file("registry.hive"), "");
    EXPECT_TRUE(isOwnProgramFolder());
    setMode(home.file("registry.hive"), 0666);
    EXPECT_FALSE(isOwnProgramFolder());
    setMode(home.file("registry.hive"), 0600);
    if (::geteuid() != 0) return;
    ASSERT_EQ(::chown(QFile::encodeName(home.file("registry.hive")).constData(), kNobody, -1), 0);
    EXPECT_FALSE(isOwnProgramFolder());
    ASSERT_EQ(::chown(QFile::encodeName(home.path()).constData(), kNobody, -1), 0);
    EXPECT_FALSE(isOwnFolder(home.path()));
}

// A "tmp" that another account left (a service run once under it) gives
// this account one folder of its own, the same at every start: none piles up.
TEST(ServiceTempFolder, AnotherAccountsTmpGivesTheSameFolderAtEveryStart) {
    if (::geteuid() != 0) GTEST_SKIP() << "a folder of another account needs root";
    testsupport::TempHome home;
    const QString runtime = runtimeFolder(home.path());
    ASSERT_TRUE(QDir().mkdir(runtime + "/tmp"));
    ASSERT_EQ(::chown(QFile::encodeName(runtime + "/tmp").constData(), kNobody, -1), 0);
    QString problem;
    const QString first = serviceTempFolder(home.path(), &problem);
    ASSERT_FALSE(first.isEmpty()) << qPrintable(problem);
    EXPECT_NE(first, runtime + "/tmp");
    EXPECT_EQ(serviceTempFolder(home.path(), &problem), first);
    EXPECT_EQ(QDir(runtime).entryList({"tmp*"}, QDir::Dirs).size(), 2);
}
