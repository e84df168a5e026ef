#include "common/StringBuilder.h"

#include "common/EventSink.h"

#include <QStringList>
#include <gtest/gtest.h>

using common::clsStringBuilder;

namespace {

QStringList reports;
void record(short, long, const QString&, const QString&, const QString& message) { reports << message; }

class StringBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        reports.clear();
        previous_ = common::setEventSink(record);
    }
    void TearDown() override { common::setEventSink(previous_); }
    common::EventSink previous_ = nullptr;
};

}  // namespace

TEST_F(StringBuilderTest, GrowsLinearlyAndJoinsInOrder) {
    clsStringBuilder b;
    QByteArray expected;
    for (int i = 0; i < 120; ++i) {
        const QByteArray piece = i % 7 == 0 ? QByteArray() : QByteArray::number(i);
        b.add(piece);
        expected += piece;
    }
    EXPECT_EQ(b.lCount(), 120);
    EXPECT_EQ(b.lCapacity(), 150);
    EXPECT_EQ(b.GetContent(), expected);
    EXPECT_EQ(b.GetContent(), expected);  // joining leaves the builder as it was
    EXPECT_EQ(b.Item(1), "1");
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(StringBuilderTest, InitialCapacityCountsOnlyBeforeTheFirstAdd) {
    clsStringBuilder b;
    b.SetInitialCapacity(10);
    b.add("x");
    EXPECT_EQ(b.lCapacity(), 10);
    b.SetInitialCapacity(500);
    for (int i = 0; i < 10; ++i) b.add("y");
    EXPECT_EQ(b.lCapacity(), 60);
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(StringBuilderTest, BadArgumentsAreReportedAndChangeNothing) {
    clsStringBuilder b;
    b.setLGrowthRate(0);
    b.SetInitialCapacity(0);
    b.add("a");
    EXPECT_EQ(b.lGrowthRate(), 50);
    EXPECT_EQ(b.lCapacity(), 50);
    EXPECT_EQ(b.Item(b.lCount()), QByteArray());
    EXPECT_EQ(b.Item(-1), QByteArray());
    EXPECT_EQ(reports, QStringList({"Numerical error in clsStringBuilder",
                                    "Initial Capacity must greater than zero in clsStringBuilder",
                                    "Index out of bounds in clsStringBuilder",
                                    "Index out of bounds in clsStringBuilder"}));
}
