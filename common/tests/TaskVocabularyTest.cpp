// The stored words and the values code holds: each word reads back as its
// value, and nothing else reads as one.
#include "common/PeakListFolders.h"
#include "common/TaskVocabulary.h"

#include <gtest/gtest.h>

namespace {

template <typename E>
void expectRoundTrips(std::initializer_list<std::pair<E, const char*>> spellings,
                      std::optional<E> (*parse)(const QString&)) {
    for (const auto& [value, spelt] : spellings) {
        EXPECT_EQ(common::word(value), QString::fromLatin1(spelt));
        EXPECT_EQ(parse(QString::fromLatin1(spelt)), value) << spelt;
    }
}

}  // namespace

TEST(TaskVocabulary, EachWordReadsBackAsItsValue) {
    using common::TaskStatus;
    using common::ScheduleType;
    using common::FollowUpInterval;
    using common::Request;
    expectRoundTrips<TaskStatus>({{TaskStatus::New, "new"},
                                  {TaskStatus::Running, "running"},
                                  {TaskStatus::Paused, "paused"},
                                  {TaskStatus::Completed, "completed"},
                                  {TaskStatus::Cancelled, "cancelled"}},
                                 common::taskStatusOf);
    expectRoundTrips<ScheduleType>({{ScheduleType::Now, "now"},
                                    {ScheduleType::Timed, "timed"},
                                    {ScheduleType::Monitor, "monitor"},
                                    {ScheduleType::Follower, "follower"}},
                                   common::scheduleTypeOf);
    expectRoundTrips<FollowUpInterval>({{FollowUpInterval::Minutes, "minutes"},
                                        {FollowUpInterval::Hours, "hours"},
                                        {FollowUpInterval::Days, "days"},
                                        {FollowUpInterval::Weeks, "weeks"},
                                        {FollowUpInterval::Months, "months"}},
                                       common::followUpIntervalOf);
    expectRoundTrips<Request>({{Request::Run, "Run"},
                               {Request::Pause, "Pause"},
                               {Request::Resume, "Resume"},
                               {Request::Cancel, "Cancel"}},
                              common::requestOf);
}

TEST(TaskVocabulary, OtherTextIsNoWordOfOurs) {
    // Stored words compare exactly: case, blanks and the neighbour's words differ.
    for (const char* text : {"", "Running", "running ", " new", "run", "RUN", "Now", "fortnights", "OK"}) {
        const QString t = QString::fromLatin1(text);
        EXPECT_FALSE(common::taskStatusOf(t)) << text;
        EXPECT_FALSE(common::scheduleTypeOf(t)) << text;
        EXPECT_FALSE(common::followUpIntervalOf(t)) << text;
        EXPECT_FALSE(common::requestOf(t)) << text;
    }
    // A word of one column is no word of another.
    EXPECT_FALSE(common::taskStatusOf("monitor"));
    EXPECT_FALSE(common::requestOf("paused"));
}

TEST(PeakListFolderRule, RefusesWhatCouldLeaveTheRootOrCannotBeAName) {
    using R = common::PeakListFolderRefusal;
    struct Case {
        const char* what;
        std::optional<QString> label;
        std::optional<R> refusal;
    } cases[] = {
        {"plain", QString("Liver digest"), std::nullopt},
        {"dots inside", QString("Run 1..3"), std::nullopt},
        {"dots with a blank", QString(". ."), std::nullopt},
        {"Null", std::nullopt, R::NoLabel},
        {"slash", QString("a/b"), R::LeavesRoot},
        {"backslash", QString("a\\b"), R::LeavesRoot},
        {"NUL", QString("a") + QChar(0) + QString("b"), R::LeavesRoot},
        {"dot", QString("."), R::LeavesRoot},
        {"dot dot", QString(".."), R::LeavesRoot},
        {"fills a name", QString(253, 'x'), std::nullopt},   // "7 " and 253 bytes
        {"one byte over", QString(254, 'x'), R::TooLong},
        {"over in UTF-8", QString(127, QChar(0xE9)), R::TooLong},  // 2 + 254 bytes
    };
    for (const Case& c : cases) {
        const common::PeakListFolder folder = common::peakListFolder("/srv/qpl", 7, c.label);
        EXPECT_EQ(folder.refusal, c.refusal) << c.what;
        if (c.label) EXPECT_EQ(folder.path, "/srv/qpl/7 " + *c.label) << c.what;
        else EXPECT_TRUE(folder.path.isEmpty()) << c.what;
    }
}

TEST(TaskVocabulary, RefusalsAreNumberedAsTheServiceAnswers) {
    EXPECT_EQ(common::refusal(9000), "Error 9000: Cannot run a task unless status is new");
    EXPECT_EQ(common::refusal(9016), "Error 9016: TS2Sorvex not found or not operational");
    for (int none : {8999, 9006, 9017, 0}) EXPECT_TRUE(common::refusal(none).isEmpty()) << none;
}
