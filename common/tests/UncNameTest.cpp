#include "common/UncName.h"

#include "platform/RegistryApi.h"
#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

using namespace common;

namespace {

const QString kPc = QStringLiteral("LABPC1");

class UncNameTest : public ::testing::Test {
protected:
    UncNameTest() {
        mounts_ = home.file(QStringLiteral("mounts"));
        testsupport::writeFile(mounts_, "proc /proc proc rw 0 0\n/dev/sda1 / ext4 rw 0 0\n");
        previous_ = setUncMountTableFile(mounts_);
    }
    ~UncNameTest() override { setUncMountTableFile(previous_); }

    void share(const QString& name, const QString& folder) {
        platform::RegKeyHandle h;
        ASSERT_EQ(platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, SharesKey, 0, platform::KEY_ALL_ACCESS, h.out()), 0);
        ASSERT_EQ(platform::RegSetValueEx(h.get(), name, platform::REG_SZ, folder.toUtf8() + '\0'), 0);
    }
    void mounts(const QByteArray& text) { testsupport::writeFile(mounts_, text); }

    testsupport::TempHome home;
    QString mounts_;
    QString previous_;
};

struct Case {
    const char* local;
    const char* unc;  // expected UNC form; nullptr: unchanged
};

}  // namespace

TEST_F(UncNameTest, DiskSharesOfThisComputer) {
    share(QStringLiteral("data"), QStringLiteral("/data"));
    share(QStringLiteral("admin$"), QStringLiteral("/srv"));
    share(QStringLiteral("Runs"), QStringLiteral("/data/runs/"));
    share(QStringLiteral("root"), QStringLiteral("/"));
    const Case cases[] = {
        {"/data/run1.raw", "\\\\LABPC1\\data\\run1.raw"},
        {"/data", "\\\\LABPC1\\data"},
        {"/data/runs/a b.raw", "\\\\LABPC1\\data\\runs\\a b.raw"},  // the first share in table order
        {"/database/x.raw", "\\\\LABPC1\\root\\database\\x.raw"},    // not under /data: a whole component
        {"/srv/x", "\\\\LABPC1\\root\\srv\\x"},                     // administrative shares never match
        {"/Data/x", "\\\\LABPC1\\root\\Data\\x"},                   // Linux names keep their case
        {"/", "\\\\LABPC1\\root\\"},
    };
    for (const Case& c : cases) {
        const QString local = QString::fromUtf8(c.local);
        const QString unc = QString::fromUtf8(c.unc);
        EXPECT_EQ(modUncName_GetUncPath(local, kPc), unc) << c.local;
        EXPECT_EQ(modUncName_GetLocalPathFromUnc(unc, kPc), local) << c.unc;
    }
}

TEST_F(UncNameTest, PathsThatCannotBeConvertedComeBackAsGiven) {
    share(QStringLiteral("data"), QStringLiteral("/data"));
    for (const char* path : {"relative/x.raw", "", "\\\\LABPC1\\data\\x", "/elsewhere/x", "/data/../etc/passwd",
                             "/data/back\\slash"})
        EXPECT_EQ(modUncName_GetUncPath(QString::fromUtf8(path), kPc), QString::fromUtf8(path)) << path;
    for (const char* path : {"/data/x", "\\\\OTHERPC\\data\\x", "\\\\LABPC10\\data\\x", "\\\\LABPC1\\database\\x",
                             "\\\\LABPC1\\nosuch\\x", "\\\\LABPC1\\data\\..\\..\\etc", "\\\\LABPC1"})
        EXPECT_EQ(modUncName_GetLocalPathFromUnc(QString::fromUtf8(path), kPc), QString::fromUtf8(path)) << path;
    EXPECT_EQ(modUncName_GetLocalPathFromUnc(QStringLiteral("\\\\labpc1\\DATA\\x\\y.raw"), kPc),
              QStringLiteral("/data/x/y.raw"));
}

TEST_F(UncNameTest, MappedNetworkFoldersUseTheirUniversalName) {
    share(QStringLiteral("root"), QStringLiteral("/"));
    mounts("//fileserver/ms\\040data /mnt/ms\\040data cifs rw,vers=3.0 0 0\n"
           "nas:/export/raw /mnt/raw nfs4 rw 0 0\n"
           "//fileserver/ms /mnt/raw/inner smb3 rw 0 0\n"
           "tmpfs /mnt/tmp tmpfs rw 0 0\n");
    const Case cases[] = {
        {"/mnt/ms data/run1/a.raw", "\\\\fileserver\\ms data\\run1\\a.raw"},
        {"/mnt/raw/b.raw", "\\\\nas\\export\\raw\\b.raw"},
        {"/mnt/raw/inner/c.raw", "\\\\fileserver\\ms\\c.raw"},  // the innermost mount decides
        {"/mnt/tmp/d.raw", "\\\\LABPC1\\root\\mnt\\tmp\\d.raw"},
    };
    for (const Case& c : cases) {
        const QString local = QString::fromUtf8(c.local);
        EXPECT_EQ(modUncName_GetUncPath(local, kPc), QString::fromUtf8(c.unc)) << c.local;
        EXPECT_EQ(modUncName_GetLocalPathFromUnc(QString::fromUtf8(c.unc), kPc), local) << c.unc;
    }
    EXPECT_EQ(modUncName_GetLocalPathFromUnc(QStringLiteral("\\\\FILESERVER\\MS DATA\\x"), kPc),
              QStringLiteral("/mnt/ms data/x"));
    EXPECT_EQ(modUncName_GetLocalPathFromUnc(QStringLiteral("\\\\fileserver\\other\\x"), kPc),
              QStringLiteral("\\\\fileserver\\other\\x"));
}

TEST_F(UncNameTest, WithoutSharesNothingIsConvertedAndTheComputerNameComesFromTheSystem) {
    EXPECT_EQ(modUncName_GetUncPath(QStringLiteral("/data/x"), kPc), QStringLiteral("/data/x"));
    EXPECT_TRUE(EnumerateLocalShares().isEmpty());
    share(QStringLiteral("data"), QStringLiteral("/data"));
    const QByteArray previous = qgetenv("COMPUTERNAME");
    qputenv("COMPUTERNAME", "BENCH2");
    EXPECT_EQ(modUncName_GetUncPath(QStringLiteral("/data/x")), QStringLiteral("\\\\BENCH2\\data\\x"));
    EXPECT_EQ(modUncName_GetLocalPathFromUnc(QStringLiteral("\\\\bench2\\data\\x")), QStringLiteral("/data/x"));
    if (previous.isEmpty()) qunsetenv("COMPUTERNAME");
    else qputenv("COMPUTERNAME", previous);
}
