#include "common/CommandLineArgs.h"

#include <gtest/gtest.h>

using namespace common;

TEST(SplitCommandLine, BlankSeparatedWithEmptyElementZero) {
    struct Case { QString line; int maxArgs; QStringList expected; };
    const Case cases[] = {
        {"", 10, {""}},
        {"   \t  ", 10, {""}},
        {"-debug", 10, {"", "-debug"}},
        {"  -install \t\t -silent  ", 10, {"", "-install", "-silent"}},
        {"\"C:\\My Files\\x\" -debug", 10, {"", "\"C:\\My", "Files\\x\"", "-debug"}},
        {"1 2 3 4 5 6 7 8 9 10 11", 10, {"", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        {"a b c", 2, {"", "a", "b"}},
        {"a b", 0, {""}},
        {"a b", -3, {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(modGlobal_SplitCommandLineText(c.line, c.maxArgs), c.expected) << c.line.toStdString();
}

TEST(SplitCommandLine, ReadsThisProgramsArguments) {
    const QStringList args = modGlobal_SplitCommandLine();
    ASSERT_FALSE(args.isEmpty());
    EXPECT_EQ(args.first(), "");
    EXPECT_LE(args.size(), 11);
}

TEST(HasArgument, IgnoresLetterCase) {
    const QStringList args{"", "-DEBUG", "-systray"};
    EXPECT_TRUE(modGlobal_HasArgument(args, "-debug"));
    EXPECT_TRUE(modGlobal_HasArgument(args, "-SysTray"));
    EXPECT_FALSE(modGlobal_HasArgument(args, "-install"));
    EXPECT_FALSE(modGlobal_HasArgument({}, "-debug"));
    EXPECT_TRUE(modGlobal_HasArgument(args, ""));  // element 0 is always empty
}
