// A task database file on a network file system is told apart from a local one.
#include "platform/NetworkFileSystem.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(NetworkFileSystem, KindsByTheirMagicNumber) {
    const struct {
        quint64 kind;
        const char* name;
    } rows[] = {
        {0x6969, "nfs"},      {0xFF534D42, "cifs"}, {0xFE534D42, "smb3"}, {0x517B, "smb"},
        {0x00C36400, "ceph"}, {0x01021997, "9p"},   {0x0BD00BD0, "lustre"},
        // Local ones: ext4, tmpfs, xfs, btrfs, overlayfs.
        {0xEF53, ""},         {0x01021994, ""},     {0x58465342, ""},     {0x9123683E, ""},
        {0x794C7630, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(platform::networkFileSystemName(row.kind), QString::fromLatin1(row.name)) << std::hex << row.kind;
}

// A database that does not exist yet is judged by the folder it will be made in.
TEST(NetworkFileSystem, ALocalFolderAndAFileNotYetMadeAreLocal) {
    QTemporaryDir dir;
    EXPECT_EQ(platform::networkFileSystemOf(dir.path()), QString());
    EXPECT_EQ(platform::networkFileSystemOf(dir.filePath("not/yet/TaskDB.mdb")), QString());
    EXPECT_EQ(platform::networkFileSystemOf(QString()), QString());
}

}  // namespace
