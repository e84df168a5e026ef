// "monitor" tasks with the real watched-folder steps, driven tick by tick on
// the injected clock.
#include "WatchTestFixture.h"

namespace jobtest {

TEST_F(WatchTest, ItemsBecomeRowsAndAreSearchedOnlyOnceTheirSizeHoldsStill) {
    write(QStringLiteral("a.raw"), QByteArray(100, 'a'));
    write(QStringLiteral("grow.raw"), QByteArray(100, 'g'));
    write(QStringLiteral("empty.raw"), QByteArray());
    write(QStringLiteral("notes.txt"), "not an item");
    write(QStringLiteral(".hidden.raw"), "editor temp");
    clsJob* job = startMonitor();

    runDue(job);
    EXPECT_EQ(rows(), (QStringList{"a.raw", "empty.raw", "grow.raw"}));
    EXPECT_TRUE(search->submitted.isEmpty()) << "no item is taken on its first sighting";
    EXPECT_EQ(job->nextActionTime(), now.addSecs(60));

    write(QStringLiteral("grow.raw"), QByteArray(100, 'g'), true);  // still being written
    later(job);
    EXPECT_EQ(searched(), QStringList{"a.raw"});
    later(job);
    EXPECT_EQ(searched(), (QStringList{"a.raw", "grow.raw"}));
    later(job);
    later(job);
    EXPECT_EQ(searched(), (QStringList{"a.raw", "grow.raw"})) << "an empty file is never taken";
    EXPECT_EQ(rows(), (QStringList{"a.raw (done)", "empty.raw", "grow.raw (done)"}));
    EXPECT_TRUE(job->tmrJob().isActive());
}

// A symbolic link in a watched folder is not an item, nor a folder to walk:
// whatever it points at stays where it is. An item that becomes a link after
// it was recorded is not searched either.
TEST_F(WatchTest, SymbolicLinksAreNeitherItemsNorFoldersToWalk) {
    const QString secret = home.file(QStringLiteral("secret/keys.raw"));
    testsupport::writeFile(secret, "not for the server");
    write(QStringLiteral("real.raw"), "real data");
    write(QStringLiteral("later.raw"), "becomes a link");
    ASSERT_TRUE(QFile::link(secret, inbox + QStringLiteral("/link.raw")));
    ASSERT_TRUE(QFile::link(QFileInfo(secret).path(), inbox + QStringLiteral("/linked-folder")));
    clsJob* job = startMonitor();
    job->settings.sub_directories = clsJob::True;
    runDue(job);
    EXPECT_EQ(rows(), (QStringList{"later.raw", "real.raw"}));

    QFile::remove(inbox + QStringLiteral("/later.raw"));
    ASSERT_TRUE(QFile::link(secret, inbox + QStringLiteral("/later.raw")));
    later(job);
    later(job);
    EXPECT_EQ(searched(), QStringList{"real.raw"});
    EXPECT_EQ(rows(), (QStringList{"later.raw (done)", "real.raw (done)"}));
    EXPECT_TRUE(eventLog().contains(u"later.raw is a symbolic link, which is never followed")) << qPrintable(eventLog());
}

TEST_F(WatchTest, NoItemTwiceAfterARestartAndItemsWrittenWhileStoppedAreFound) {
    write(QStringLiteral("O'Brien.raw"), "quoted name");
    clsJob* job = startMonitor();
    runDue(job);
    later(job);
    EXPECT_EQ(searched(), QStringList{"O'Brien.raw"});
    write(QStringLiteral("pending.raw"), "seen, not yet stable");
    later(job);  // recorded; its size has not been read twice yet
    EXPECT_EQ(rows(), (QStringList{"O'Brien.raw (done)", "pending.raw"}));

    stopService();
    write(QStringLiteral("while-stopped.raw"), "arrived while the service was down");
    now = now.addSecs(3600);
    clsJob* again = startMonitor();
    runDue(again);
    later(again);
    later(again);
    EXPECT_EQ(searched(), (QStringList{"O'Brien.raw", "pending.raw", "while-stopped.raw"}));
    EXPECT_EQ(rows(), (QStringList{"O'Brien.raw (done)", "pending.raw (done)", "while-stopped.raw (done)"}));
}

TEST_F(WatchTest, SubFoldersOnlyWhenAsked) {
    for (const bool subFolders : {false, true}) {
        SCOPED_TRACE(subFolders);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        search->submitted.clear();
        stopService();
        write(QStringLiteral("top.raw"), "top data");
        write(QStringLiteral("day1/run/low.RAW"), "low data");  // masks ignore letter case
        clsJob* job = startMonitor();
        job->settings.sub_directories = subFolders ? clsJob::True : clsJob::False;
        runDue(job);
        write(QStringLiteral("day2/later.raw"), "a new sub-folder");
        later(job);
        later(job);
        const QStringList expected =
            subFolders ? QStringList{"later.raw", "low.RAW", "top.raw"} : QStringList{"top.raw"};
        EXPECT_EQ(searched(), expected);
    }
}

TEST_F(WatchTest, WildcardFoldersAreMatchedLevelByLevel) {
    write(QStringLiteral("run1/a.raw"), "a");
    write(QStringLiteral("RUN2/b.raw"), "b");
    write(QStringLiteral("other/c.raw"), "c");
    write(QStringLiteral("x.raw"), "x");
    EXPECT_EQ(watchBaseFolder(inbox + QStringLiteral("/run*")), inbox + u'/');
    EXPECT_EQ(watchBaseFolder(inbox), inbox + u'/');
    clsJob* job = startMonitor(inbox + QStringLiteral("/run*"));
    runDue(job);
    EXPECT_EQ(rows(), (QStringList{"a.raw", "b.raw"}));
    clsJob* missing = startMonitor(inbox + QStringLiteral("/nothing-here"));
    runDue(missing);
    EXPECT_EQ(rows(), (QStringList{"a.raw", "b.raw"}));
    EXPECT_FALSE(eventLog().contains(u"TVS1029"));
    EXPECT_TRUE(clsJob_ExpandFolderPattern(inbox + QStringLiteral("/nothing*/x")).isEmpty());

    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } masks[] = {{"README", "*.*", true}, {"a.RAW", "*.raw", true}, {"a.raw.part", "*.raw", false},
                 {"s12.pkl", "s??.pkl", true}, {"s1.pkl", "s??.pkl", false}, {"x", "", true}};
    for (const auto& m : masks)
        EXPECT_EQ(matchesMask(QString::fromUtf8(m.name), QString::fromUtf8(m.mask)), m.matches) << m.name << " " << m.mask;
}

// "New files only" holds for every start of the watch, a restart included:
// what the folder holds when the watch starts is recorded, never searched;
// what was recorded before and what comes afterwards is searched.
TEST_F(WatchTest, NewFilesOnlyRecordsWhatIsThereWhenTheWatchStarts) {
    write(QStringLiteral("old.raw"), "before the task");
    clsJob* job = startMonitor();
    job->settings.new_files_only = clsJob::True;
    runDue(job);
    EXPECT_EQ(rows(), QStringList{"old.raw (done)"});
    write(QStringLiteral("new.raw"), "after");
    later(job);
    later(job);
    EXPECT_EQ(searched(), QStringList{"new.raw"});
    write(QStringLiteral("pending.raw"), "seen, not yet stable");
    later(job);

    stopService();
    write(QStringLiteral("while-stopped.raw"), "x data");
    clsJob* again = startMonitor();
    again->settings.new_files_only = clsJob::True;
    runDue(again);
    EXPECT_EQ(rows(), (QStringList{"new.raw (done)", "old.raw (done)", "pending.raw", "while-stopped.raw (done)"}));
    EXPECT_TRUE(eventLog().contains(u"1 item already in the watched folder when the watch started is recorded, not "
                                    u"searched (new files only)"))
        << qPrintable(eventLog());
    write(QStringLiteral("after-restart.raw"), "y data");
    later(again);
    later(again);
    EXPECT_EQ(searched(), (QStringList{"after-restart.raw", "new.raw", "pending.raw"}));
}

TEST_F(WatchTest, ANotificationBringsTheWalkForwardAndTheWalkFindsWhatNoNotificationReported) {
    clsJob* job = startMonitor();
    runDue(job);
    const QDateTime idleUntil = job->nextActionTime();
    ASSERT_GT(idleUntil, now);

    write(QStringLiteral("noticed.raw"), "noticed data");
    ASSERT_TRUE(testsupport::waitUntil([&] { return job->nextActionTime() <= now; }, 5000));
    runDue(job);
    EXPECT_EQ(rows(), QStringList{"noticed.raw"});

    // No notification is delivered for this one (as on a network mount): the
    // walk on the job's due tick finds it.
    useSteps(WatchOptions::withoutNotifications());
    stopService();
    clsJob* quiet = startMonitor();
    runDue(quiet);
    write(QStringLiteral("unnoticed.raw"), "u");
    later(quiet);
    EXPECT_TRUE(rows().contains(u"unnoticed.raw")) << rows().join(u',').toStdString();
}

TEST_F(WatchTest, CancelEndsTheWatch) {
    clsJob* job = startMonitor();
    runDue(job);
    ASSERT_TRUE(job->FolderWatch);
    job->CancelTask();
    EXPECT_FALSE(job->FolderWatch);
    EXPECT_EQ(taskColumn(1, QStringLiteral("task_status")), u"cancelled");
}

}  // namespace jobtest
