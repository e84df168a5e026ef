// The program's one folder watcher on real folders.
#include "platform/FolderWatcher.h"

#include "platform/testsupport/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

class FolderWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        watcher->setHandlers({[this](const QString& f) { changed << f; }, [this](const QString& f) { gone << f; },
                              [this] { ++lost; }});
    }

    QString folder(const QString& name) {
        const QString path = home.file(name);
        QDir().mkpath(path);
        return path;
    }
    // Serves events until `list` holds `name` (or a while passes).
    bool reported(const QStringList& list, const QString& name) {
        return testsupport::waitUntil([&] { return list.contains(name); }, 5000);
    }
    // Serves what has arrived so far.
    void settle() {
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    }

    testsupport::TempHome home;
    std::unique_ptr<platform::FolderWatcher> watcher = platform::makeFolderWatcher();
    QStringList changed, gone;
    int lost = 0;
};

TEST_F(FolderWatcherTest, EntriesAddedRemovedOrRenamedAreReportedForTheirFolderOnly) {
    const QString a = folder(QStringLiteral("a")), b = folder(QStringLiteral("b"));
    folder(QStringLiteral("a/sub"));
    testsupport::writeFile(b + QStringLiteral("/old.raw"), "b");
    ASSERT_EQ(watcher->watch(a), platform::FolderWatchResult::Watching);
    ASSERT_EQ(watcher->watch(b), platform::FolderWatchResult::Watching);
    EXPECT_EQ(watcher->watch(a), platform::FolderWatchResult::Watching) << "watching twice is no fault";

    const struct {
        const char* what;
        std::function<void()> act;
        QString folder;
    } cases[] = {
        {"file made", [&] { testsupport::writeFile(a + QStringLiteral("/new.raw"), "x"); }, a},
        {"file renamed", [&] { QFile::rename(b + QStringLiteral("/old.raw"), b + QStringLiteral("/new.raw")); }, b},
        {"file removed", [&] { QFile::remove(a + QStringLiteral("/new.raw")); }, a},
        {"folder made", [&] { QDir().mkdir(b + QStringLiteral("/day2")); }, b},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        settle();
        changed.clear();
        c.act();
        EXPECT_TRUE(reported(changed, c.folder));
        settle();
        EXPECT_EQ(changed.count(c.folder), changed.size()) << "only its own folder: " << changed.join(u',').toStdString();
    }

    // A file written in a sub-folder changes the sub-folder, which is not watched.
    changed.clear();
    testsupport::writeFile(a + QStringLiteral("/sub/deep.raw"), "x");
    testsupport::writeFile(b + QStringLiteral("/marker.raw"), "x");
    ASSERT_TRUE(reported(changed, b));
    EXPECT_FALSE(changed.contains(a));

    // Unwatched, the folder is quiet.
    watcher->unwatch(a);
    changed.clear();
    testsupport::writeFile(a + QStringLiteral("/after.raw"), "x");
    testsupport::writeFile(b + QStringLiteral("/marker2.raw"), "x");
    ASSERT_TRUE(reported(changed, b));
    EXPECT_FALSE(changed.contains(a));
    EXPECT_EQ(lost, 0);
}

TEST_F(FolderWatcherTest, MissingFoldersAreSaidSoAndAFolderThatGoesEndsItsWatch) {
    testsupport::writeFile(home.file(QStringLiteral("plain.txt")), "x");
    EXPECT_EQ(watcher->watch(home.file(QStringLiteral("nothing"))), platform::FolderWatchResult::Missing);
    EXPECT_EQ(watcher->watch(home.file(QStringLiteral("plain.txt"))), platform::FolderWatchResult::Missing);

    const QString day = folder(QStringLiteral("day"));
    ASSERT_EQ(watcher->watch(day), platform::FolderWatchResult::Watching);
    ASSERT_TRUE(QDir(day).removeRecursively());
    EXPECT_TRUE(reported(gone, day));

    // Made again under the same name, it is watched anew.
    QDir().mkpath(day);
    ASSERT_EQ(watcher->watch(day), platform::FolderWatchResult::Watching);
    changed.clear();
    testsupport::writeFile(day + QStringLiteral("/again.raw"), "x");
    EXPECT_TRUE(reported(changed, day));

    // A moved folder's watch ends: its old name would be wrong.
    const QString moved = home.file(QStringLiteral("moved"));
    gone.clear();
    ASSERT_TRUE(QDir().rename(day, moved));
    EXPECT_TRUE(reported(gone, day));
    changed.clear();
    testsupport::writeFile(moved + QStringLiteral("/under-the-new-name.raw"), "x");
    settle();
    EXPECT_FALSE(changed.contains(day)) << "not told under the old name";
    EXPECT_EQ(gone, QStringList{day});
}

// One folder under two names (a link): both names are told, and giving up one
// name keeps the other's watch.
TEST_F(FolderWatcherTest, AFolderWatchedUnderTwoNamesKeepsTheOtherWhenOneIsUnwatched) {
    const QString real = folder(QStringLiteral("real"));
    const QString link = home.file(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_EQ(watcher->watch(real), platform::FolderWatchResult::Watching);
    ASSERT_EQ(watcher->watch(link), platform::FolderWatchResult::Watching);
    testsupport::writeFile(real + QStringLiteral("/one.raw"), "x");
    ASSERT_TRUE(reported(changed, real));
    EXPECT_TRUE(reported(changed, link));

    watcher->unwatch(link);
    changed.clear();
    testsupport::writeFile(real + QStringLiteral("/two.raw"), "x");
    EXPECT_TRUE(reported(changed, real));
    settle();
    EXPECT_FALSE(changed.contains(link));
}

}  // namespace
