#include "common/EventLogLine.h"

#include <gtest/gtest.h>

using namespace common;

namespace {

struct LineCase {
    short type;
    long task;
    QString label, file, message;
    QString expected;  // with T for time and D for date
};

}  // namespace

TEST(EventLogLine, FieldsAndTypeWords) {
    const LineCase cases[] = {
        {1, 0, " ", " ", "x", "Warning,T,D, , , ,x"},
        {0, 12, "My task", "C:\\data\\a.raw", "Search submitted", "Event,T,D,12,My task,C:\\data\\a.raw,Search submitted"},
        {2, 3, "t", "", "(TVS1003) 5: Invalid", "Error,T,D,3,t,,(TVS1003) 5: Invalid"},
        {7, 0, " ", " ", "odd", ",T,D, , , ,odd"},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(formatEventLine(c.type, "T", "D", c.task, c.label, c.file, c.message), c.expected);
}

TEST(EventLogLine, AwkwardFieldsAreQuotedAndSplitBackIntoSevenFields) {
    const QString message = "a, \"quoted\" word\r\nand a second line";
    const QString label = "O'Brien, run 2";
    const QString line = formatEventLine(0, "10:00:00", "1/2/26", 5, label, "f.raw", message);
    const QStringList fields = splitEventLine(line);
    ASSERT_EQ(fields.size(), 7);
    EXPECT_EQ(fields[4], label);
    EXPECT_EQ(fields[6], message);
}
