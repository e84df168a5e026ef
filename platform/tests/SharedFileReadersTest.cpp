// What another account can put in the program folder in place of a file the
// programs read: a fifo (whose open would wait for a writer for ever) or a
// file grown to gigabytes by a truncate that costs its maker nothing. No
// reader waits on the one or reads the other.
#include "platform/RegistryHive.h"
#include "platform/ServiceStartMarker.h"
#include "platform/UniqueFd.h"
#include "platform/testsupport/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// Generous for a busy machine: the calls below take a moment when sound.
constexpr auto kHung = std::chrono::seconds(60);

// Runs the call on a thread of its own; false when it is still waiting when
// the bound passes (the fifos are then opened for writing, which releases it).
template <typename F>
bool returns(F&& call, const QStringList& fifos) {
    auto done = std::async(std::launch::async, std::forward<F>(call));
    if (done.wait_for(kHung) == std::future_status::ready) return true;
    for (const QString& fifo : fifos) {
        const platform::UniqueFd opened(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    }
    done.wait();
    return false;
}

void plantFifo(const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0660), 0); }

}  // namespace

TEST(SharedFileReaders, AFifoInPlaceOfTheHiveTheHiveLockOrTheStartNoteNeverWaits) {
    testsupport::TempHome home;
    const QString hive = home.file("registry.hive");
    plantFifo(hive);
    HiveKey top;
    long rc = ERROR_SUCCESS;
    RegistryHive reader(hive);
    ASSERT_TRUE(returns([&] { rc = reader.read(top); }, {hive}));
    EXPECT_NE(rc, ERROR_SUCCESS);
    EXPECT_TRUE(reader.lastProblem().startsWith(hive)) << qPrintable(reader.lastProblem());
    ASSERT_TRUE(QFile::remove(hive));

    // The lock of the hive: taken in its place, and the change is saved.
    plantFifo(hive + ".lock");
    RegistryHive writer(hive);
    ASSERT_TRUE(returns(
        [&] {
            rc = writer.update([](HiveKey& t, bool& changed) {
                t.childOrNew("HKEY_LOCAL_MACHINE").childOrNew("Planted");
                changed = true;
                return ERROR_SUCCESS;
            });
        },
        {hive + ".lock"}));
    EXPECT_EQ(rc, ERROR_SUCCESS) << qPrintable(writer.lastProblem());
    ASSERT_EQ(reader.read(top), ERROR_SUCCESS);
    EXPECT_TRUE(top.find({"HKEY_LOCAL_MACHINE", "Planted"}));

    // The note a service start leaves: a fifo is no pending start.
    const QString channel = home.file("tavrel-svc-0123456789abcdef");
    plantFifo(channel + ".start");
    bool pending = true;
    ASSERT_TRUE(returns([&] { pending = ServiceStartMarker(channel).pending(); }, {channel + ".start"}));
    EXPECT_FALSE(pending);
}

// A hive grown past what any hive holds is refused unread, by its name and
// size, and never overwritten by a change.
TEST(SharedFileReaders, AHiveGrownToMegabytesOfNothingIsRefusedUnreadAndKept) {
    testsupport::TempHome home;
    const QString hive = home.file("registry.hive");
    testsupport::writeFile(hive, "[HKEY_LOCAL_MACHINE]\n");
    constexpr qint64 kGrown = qint64(64) << 20;  // sparse: no disk is used
    ASSERT_EQ(::truncate(QFile::encodeName(hive).constData(), kGrown), 0);

    RegistryHive reader(hive);
    HiveKey top;
    EXPECT_NE(reader.read(top), ERROR_SUCCESS);
    EXPECT_TRUE(reader.lastProblem().contains(hive + ": cannot be read: it holds 67108864 bytes, more than"))
        << qPrintable(reader.lastProblem());
    const long rc = reader.update([](HiveKey&, bool& changed) {
        changed = true;
        return ERROR_SUCCESS;
    });
    EXPECT_NE(rc, ERROR_SUCCESS);
    EXPECT_EQ(QFileInfo(hive).size(), kGrown) << "the file is left for its owner to look at";
}
