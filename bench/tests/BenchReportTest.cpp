#include "BenchReport.h"

#include <gtest/gtest.h>

namespace {

struct VerdictCase {
    const char* name;
    std::vector<double> rounds;
    bench::Goal goal;
    bool met;
};

}  // namespace

TEST(BenchReport, MetOnlyWhenMostRoundsMeetTheGoal) {
    const VerdictCase cases[] = {
        {"all under", {80, 90, 95}, bench::below(100), true},
        {"two of three under", {80, 90, 130}, bench::below(100), true},
        {"one quick round among slow ones", {40, 130, 150}, bench::below(100), false},
        // The median of an even count lies between two rounds: it may meet
        // the goal while only half the rounds do.
        {"half of four under", {60, 70, 120, 125}, bench::below(100), false},
        {"three of four under", {60, 70, 90, 125}, bench::below(100), true},
        {"throughput over the floor", {0.55, 0.61, 0.48}, bench::atLeast(0.5), true},
        {"throughput under the floor mostly", {0.55, 0.41, 0.48}, bench::atLeast(0.5), false},
        {"at most, on the limit", {1.2, 1.2, 1.3}, bench::atMost(1.2), true},
        {"fewer than three rounds", {10, 20}, bench::below(100), false},
        {"no rounds", {}, bench::below(100), false},
        {"a count that must hold every time", {0, 0, 1}, bench::exactly(0), false},
        {"a count that holds every time", {0, 0, 0}, bench::exactly(0), true},
        {"a worst-case goal", {10, 20, 120}, bench::everyRound(bench::below(100)), false},
    };
    for (const VerdictCase& c : cases) EXPECT_EQ(bench::judge(c.rounds, c.goal).met, c.met) << c.name;
}

TEST(BenchReport, LineGivesMedianSpreadGoalAndOneOfTwoVerdictWords) {
    const QString missed = bench::figureLine("refresh", {130, 90, 150}, bench::fixed(1, " ms"), "< 100 ms", bench::below(100));
    EXPECT_TRUE(missed.contains("median 130.0 ms (90.0 ms .. 150.0 ms, 1 of 3 rounds in goal)")) << qPrintable(missed);
    EXPECT_TRUE(missed.contains("goal < 100 ms")) << qPrintable(missed);
    EXPECT_TRUE(missed.endsWith(" MISSED")) << qPrintable(missed);

    const QString met = bench::figureLine("refresh", {30, 20, 10}, bench::fixed(0, " ms"), "< 100 ms", bench::below(100), "x");
    EXPECT_TRUE(met.contains("median 20 ms (10 ms .. 30 ms, 3 of 3 rounds in goal); x")) << qPrintable(met);
    EXPECT_TRUE(met.endsWith(" met")) << qPrintable(met);

    const QString few = bench::figureLine("refresh", {10}, bench::fixed(0, " ms"), "< 100 ms", bench::below(100));
    EXPECT_TRUE(few.contains("fewer than 3 rounds")) << qPrintable(few);
    EXPECT_TRUE(few.endsWith(" MISSED")) << qPrintable(few);

    const QString failed = bench::figureLine("idle", {0.1, 0.2, 0.1}, bench::fixed(1, "%"), "< 1%", bench::below(1), QString(),
                                             "never settled");
    EXPECT_TRUE(failed.contains("; never settled")) << qPrintable(failed);
    EXPECT_TRUE(failed.endsWith(" MISSED")) << qPrintable(failed);
}
