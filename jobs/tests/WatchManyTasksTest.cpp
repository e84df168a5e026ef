// The service's one folder watcher under many "monitor" tasks: notifications
// reach every task, a folder the system will not watch is looked at on every
// due tick (and the event log says so once), and a notification has its task
// look at the folder it names only.
#include "WatchTestFixture.h"

#include "jobs/FolderWatchHub.h"
#include "platform/FolderWatcher.h"

namespace jobtest {

namespace {

// The system's watcher with room for `room` folders; past it every folder is
// refused, as past the per-user limit of watches. A deaf one reports nothing
// by itself: the test tells what changed.
class LimitedWatcher : public platform::FolderWatcher {
public:
    LimitedWatcher(int room, bool deaf) : room_(room), deaf_(deaf) {}

    void setHandlers(Handlers handlers) override {
        handlers_ = handlers;
        real_->setHandlers(std::move(handlers));
    }
    platform::FolderWatchResult watch(const QString& folder, QString* reason) override {
        if (watched.contains(folder)) return platform::FolderWatchResult::Watching;
        if (watched.size() >= room_) {
            if (reason) *reason = QStringLiteral("no room left");
            ++refusals;
            return platform::FolderWatchResult::Refused;
        }
        const auto result = deaf_ ? platform::FolderWatchResult::Watching : real_->watch(folder, reason);
        if (result == platform::FolderWatchResult::Watching) watched.insert(folder);
        return result;
    }
    void unwatch(const QString& folder) override {
        watched.remove(folder);
        if (!deaf_) real_->unwatch(folder);
    }

    Handlers handlers_;
    QSet<QString> watched;
    int refusals = 0;

private:
    std::unique_ptr<platform::FolderWatcher> real_ = platform::makeFolderWatcher();
    const int room_;
    const bool deaf_;
};

constexpr char kRefusalLine[] = "Folder change notifications are refused for ";

class ManyWatches : public WatchTest {
protected:
    void SetUp() override {
        WatchTest::SetUp();
        LockedOutDelay = 3600;  // items are recorded, not searched, while the test runs
    }

    // The due ticks of the job; its timer stays off, as only the test ticks it.
    void tick(clsJob* job) {
        runDue(job);
        job->tmrJob().stop();
    }

    LimitedWatcher& useWatcher(int room, bool deaf = false) {
        auto watcher = std::make_unique<LimitedWatcher>(room, deaf);
        LimitedWatcher& kept = *watcher;
        useSteps(WatchOptions::sharing(std::make_shared<FolderWatchHub>(std::move(watcher))));
        return kept;
    }

    // `count` tasks, each on a folder of its own, past their first tick.
    QList<clsJob*> startTasks(int count) {
        QList<clsJob*> jobs;
        for (int uid = 1; uid <= count; ++uid) {
            const QString folder = inbox + QStringLiteral("/t%1").arg(uid);
            QDir().mkpath(folder);
            jobs << startMonitor(folder, QStringLiteral("*.raw"), uid);
            tick(jobs.back());
        }
        return jobs;
    }

    QSet<long> tasksWithRow(const QString& name) {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT task_UID FROM Sorvex_Tavrel_Files WHERE file_name LIKE ?"), {u'%' + name});
        QSet<long> uids;
        while (q.next()) uids.insert(q.value(0).toLongLong());
        return uids;
    }
    static QSet<long> allTasks(int count) {
        QSet<long> uids;
        for (long uid = 1; uid <= count; ++uid) uids.insert(uid);
        return uids;
    }
    static int woken(const QList<clsJob*>& jobs, const QDateTime& at) {
        return int(std::count_if(jobs.cbegin(), jobs.cend(), [&](clsJob* j) { return j->nextActionTime() <= at; }));
    }
};

}  // namespace

// Each of the tasks used to make a watcher of its own: past the system's
// limit of watchers (128 a user) the rest fell back to polling unannounced.
TEST_F(ManyWatches, TwoHundredTasksAreEachToldOfTheirNewFiles) {
    constexpr int kTasks = 200;
    const QList<clsJob*> jobs = startTasks(kTasks);
    ASSERT_EQ(woken(jobs, now), 0);
    for (int uid = 1; uid <= kTasks; ++uid) write(QStringLiteral("t%1/new.raw").arg(uid), "data");

    // Told by the watcher: the clock has not moved.
    EXPECT_TRUE(testsupport::waitUntil([&] { return woken(jobs, now) == kTasks; }))
        << woken(jobs, now) << " of " << kTasks << " tasks were told";
    for (clsJob* job : jobs) tick(job);
    EXPECT_EQ(tasksWithRow(QStringLiteral("/new.raw")), allTasks(kTasks));
    EXPECT_FALSE(eventLog().contains(QLatin1String(kRefusalLine))) << qPrintable(eventLog());
}

TEST_F(ManyWatches, FoldersTheSystemRefusesAreLookedAtOnEveryDueTickAndTheLogSaysSoOnce) {
    constexpr int kTasks = 200, kRoom = 120;
    LimitedWatcher& watcher = useWatcher(kRoom);
    const QList<clsJob*> jobs = startTasks(kTasks);
    ASSERT_EQ(watcher.watched.size(), kRoom);
    ASSERT_GT(watcher.refusals, 0);

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        const QString name = QStringLiteral("/round%1.raw").arg(round);
        for (int uid = 1; uid <= kTasks; ++uid) write(QStringLiteral("t%1").arg(uid) + name, "data");
        // The watched ones are told at once, the others wait for their due tick.
        EXPECT_TRUE(testsupport::waitUntil([&] { return woken(jobs, now) == kRoom; })) << woken(jobs, now);
        for (clsJob* job : jobs) tick(job);
        EXPECT_EQ(tasksWithRow(name).size(), kRoom);
        now = now.addSecs(MonitorActionDelay + 1);
        for (clsJob* job : jobs) tick(job);
        EXPECT_EQ(tasksWithRow(name), allTasks(kTasks));
    }
    const QString log = eventLog();
    EXPECT_EQ(log.count(QLatin1String(kRefusalLine)), 1) << qPrintable(log);
    EXPECT_TRUE(log.contains(u"(no room left); folders without them are scanned every MonitorActionDelay seconds "
                             u"instead"))
        << qPrintable(log);
}

// A notification names one folder: only that one is listed again. The rest
// is walked when notifications were lost, when a folder's watch ended, and
// seldom all the same.
TEST_F(ManyWatches, ANotificationRescansTheFolderItNamesAndTheSlowWalkFindsTheRest) {
    LimitedWatcher& watcher = useWatcher(1000, true);
    write(QStringLiteral("day1/old.raw"), "old");
    write(QStringLiteral("day2/old2.raw"), "old");
    clsJob* job = startMonitor();
    job->settings.sub_directories = clsJob::True;
    tick(job);
    ASSERT_TRUE(watcher.watched.contains(inbox + QStringLiteral("/day2")));
    const auto tell = [&](const QString& relative) {
        watcher.handlers_.changed(relative.isEmpty() ? inbox : inbox + u'/' + relative);
        tick(job);
    };
    const auto has = [&](const char* name) { return rows().contains(QString::fromLatin1(name)); };

    write(QStringLiteral("day1/a.raw"), "a");
    write(QStringLiteral("day2/b.raw"), "b");
    tell(QStringLiteral("day1"));
    EXPECT_TRUE(has("a.raw"));
    later(job);
    EXPECT_FALSE(has("b.raw")) << "a watched folder that was not named is not listed";

    write(QStringLiteral("day3/c.raw"), "in a new sub-folder");
    tell(QString());
    EXPECT_TRUE(has("c.raw"));
    EXPECT_FALSE(has("b.raw"));
    EXPECT_TRUE(watcher.watched.contains(inbox + QStringLiteral("/day3")));

    watcher.handlers_.lost();
    tick(job);
    EXPECT_TRUE(has("b.raw")) << "lost notifications: everything is walked";

    // A folder whose watch ended is looked at on every due tick.
    watcher.handlers_.gone(inbox + QStringLiteral("/day1"));
    write(QStringLiteral("day1/d.raw"), "d");
    later(job);
    EXPECT_TRUE(has("d.raw"));

    write(QStringLiteral("day2/e.raw"), "never notified");
    later(job);
    EXPECT_FALSE(has("e.raw"));
    now = now.addSecs(kFullWalkSeconds);
    tick(job);
    EXPECT_TRUE(has("e.raw")) << "the slow walk";
    EXPECT_EQ(rows().count(u"a.raw"), 1);
}

}  // namespace jobtest
