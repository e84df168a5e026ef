// Jobs made together tick one after the other, each at its own interval.
#include "JobTestFixture.h"

#include "jobs/JobTickSpread.h"

#include <QRandomGenerator>

#include <algorithm>

namespace jobtest {

namespace {

TEST(TickSpread, ANewPhaseMovesOnlyWhenItFallsNearAnotherAndThenIntoTheWidestGap) {
    const struct {
        const char* what;
        QList<qint64> others;
        qint64 natural;
        qint64 interval;
        qint64 offset;
    } cases[] = {
        {"alone", {}, 1234, 10000, 0},
        {"far from the others", {0, 5000}, 2500, 10000, 0},
        {"on top of the only other", {3000}, 3000, 10000, 5000},
        {"near one, the widest gap after it", {0, 1000, 2000}, 10, 10000, 5990},
        {"the gap across the interval's end", {9000, 9990, 500}, 9995, 10000, 4755},
        {"equal gaps: the first after the natural phase", {0, 5000}, 5001, 10000, 2499},
        {"an interval of one millisecond", {0}, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const qint64 offset = tickPhaseOffsetMs(c.others, c.natural, c.interval);
        EXPECT_EQ(offset, c.offset);
        EXPECT_GE(offset, 0);
        EXPECT_LT(offset, std::max<qint64>(1, c.interval));
    }
}

// The phases kept in order answer as the walk over every other job does,
// through jobs made and gone, equal phases and crowded intervals.
TEST(TickSpread, KeptPhasesAnswerAsTheWalkOverAllJobs) {
    QRandomGenerator random(35);
    for (const qint64 interval : {qint64(10000), qint64(1000), qint64(7), qint64(1)}) {
        SCOPED_TRACE(interval);
        TickPhaseSet kept(interval);
        QList<qint64> phases;
        for (int step = 0; step < 3000; ++step) {
            const qint64 natural = random.bounded(interval);
            ASSERT_EQ(kept.offsetFor(natural), tickPhaseOffsetMs(phases, natural, interval))
                << "step " << step << ", natural " << natural << ", " << phases.size() << " phases";
            if (!phases.isEmpty() && random.bounded(3) == 0) {
                const qint64 gone = phases.takeAt(random.bounded(int(phases.size())));
                kept.remove(gone);
            } else {
                // Now and then on top of another, as jobs made in one millisecond are.
                const qint64 phase = !phases.isEmpty() && random.bounded(5) == 0
                                         ? phases[random.bounded(int(phases.size()))]
                                         : (natural + tickPhaseOffsetMs(phases, natural, interval)) % interval;
                phases << phase;
                kept.add(phase);
            }
            ASSERT_EQ(kept.size(), phases.size());
        }
    }
}

TEST(TickSpread, TheNextTickKeepsThePhaseHoweverLongATickTook) {
    const struct {
        qint64 sinceFirst;
        qint64 interval;
        qint64 wait;
    } cases[] = {
        {-2500, 10000, 2500},  // before the first tick
        {0, 10000, 10000},     // just ticked
        {30, 10000, 9970},     // a short tick
        {10000 * 7 + 4321, 10000, 10000 - 4321},  // a tick (or a pause) that took long
        {999, 1000, 1},
        {5, 10, 5},            // the merge's fast ticks
    };
    for (const auto& c : cases)
        EXPECT_EQ(msUntilNextTick(c.sinceFirst, c.interval), c.wait) << c.sinceFirst << " " << c.interval;
}

class JobTicks : public JobEngineTest {};

// A thousand tasks taken up at start-up are made in the same instant: their
// first ticks spread over the tick, each job keeping TimerTick.
TEST_F(JobTicks, JobsMadeTogetherTickApartAndEachKeepsItsInterval) {
    constexpr int kJobs = 200;
    for (int uid = 1; uid <= kJobs; ++uid) {
        addTask(uid, QStringLiteral("monitor"));
        startJob(uid, QStringLiteral("monitor"));
    }
    const qint64 interval = TimerTick * 1000;
    QList<qint64> phases;
    for (clsJob* job : JobCollection.items()) {
        EXPECT_EQ(job->TickInterval(), interval);
        const qint64 sinceMade = now.msecsTo(job->FirstTick());
        EXPECT_GE(sinceMade, interval) << "no job ticks before its first TimerTick";
        EXPECT_LT(sinceMade, 2 * interval);
        phases << job->FirstTick().toMSecsSinceEpoch() % interval;
    }
    std::sort(phases.begin(), phases.end());
    qint64 closest = phases.front() + interval - phases.back();
    for (qsizetype i = 1; i < phases.size(); ++i) closest = std::min(closest, phases[i] - phases[i - 1]);
    EXPECT_GE(closest, interval / (4 * kJobs)) << "ticks closer than a quarter of an even share";

    // A tick that ends late (the tick or the loop was busy) re-arms for the
    // next tick of the job's own phase, not a whole interval from its end.
    clsJob* job = JobCollection.items().front();
    now = job->FirstTick().addMSecs(interval * 3 + interval / 4);
    job->TimerOn();
    ASSERT_TRUE(job->tmrJob().isActive());
    EXPECT_LE(job->tmrJob().remainingTime(), interval - interval / 4 + 200) << "served in the next slot of 200 ms";
    EXPECT_GT(job->tmrJob().remainingTime(), interval / 2);
}

// A job at rest sleeps through the ticks that would find nothing due: it
// wakes at the first tick of its phase at or after its next action, and at
// its next tick when that action is brought forward (a change in a watched
// folder). One not yet logged in takes its next tick.
TEST_F(JobTicks, AJobAtRestWakesAtItsNextActionOrWhenItIsBroughtForward) {
    addTask(1, QStringLiteral("monitor"));
    clsJob* job = startJob(1, QStringLiteral("monitor"));
    const auto armedFor = [&] {
        EXPECT_TRUE(job->tmrJob().isActive());
        return job->tmrJob().remainingTime();
    };
    now = job->FirstTick().addMSecs(2500);
    job->setNextActionTime(now.addSecs(60));
    job->TimerOn();
    EXPECT_LE(armedFor(), 7500 + 200) << "not logged in: its next tick";
    EXPECT_GT(armedFor(), 6500);
    job->sessionID = QStringLiteral("S1");
    job->TimerOn();
    EXPECT_LE(armedFor(), 67500 + 200) << "the seventh tick from the first, served in its slot of 200 ms";
    EXPECT_GT(armedFor(), 66500);
    job->setNextActionTime(now);
    EXPECT_LE(armedFor(), 7500 + 200);
    EXPECT_GT(armedFor(), 6500);
}

// A job that is gone leaves its phase free: a job made later in the same
// instant takes its natural phase again.
TEST_F(JobTicks, AJobThatIsGoneLeavesItsPhase) {
    const qint64 interval = TimerTick * 1000;
    addTask(1, QStringLiteral("monitor"));
    addTask(2, QStringLiteral("monitor"));
    clsJob* first = startJob(1, QStringLiteral("monitor"));
    clsJob* second = startJob(2, QStringLiteral("monitor"));
    EXPECT_EQ(now.msecsTo(first->FirstTick()), interval);
    EXPECT_EQ(now.msecsTo(second->FirstTick()), interval + interval / 2) << "the middle of the one gap";
    first->set_Status(QStringLiteral("paused"));
    first->CancelTask();
    ASSERT_EQ(JobCollection.Item(QStringLiteral("T1")), nullptr);
    addTask(3, QStringLiteral("monitor"));
    EXPECT_EQ(now.msecsTo(startJob(3, QStringLiteral("monitor"))->FirstTick()), interval);
}

}  // namespace

}  // namespace jobtest
