#include "platform/CommandLine.h"

#include <gtest/gtest.h>

using platform::splitCommandLine;

namespace {

struct SplitCase {
    const char* line;
    QStringList expected;
};

}  // namespace

TEST(CommandLineSplit, QuotingTable) {
    const SplitCase cases[] = {
        {"", {}},
        {" \t \r\n ", {}},
        {"prog", {"prog"}},
        {"  prog   a\tb  ", {"prog", "a", "b"}},
        {R"(prog "a b" 'c d')", {"prog", "a b", "c d"}},
        {R"(prog "" '')", {"prog", "", ""}},
        {R"(prog pre"mid dle"post)", {"prog", "premid dlepost"}},
        {R"(prog 'it''s')", {"prog", "its"}},
        {R"(prog "it's" 'say "hi"')", {"prog", "it's", "say \"hi\""}},
        {R"(prog a\ b \"q\" \\)", {"prog", "a b", "\"q\"", "\\"}},
        {R"(prog "a\"b" "c\\d" "\$x" "\n")", {"prog", "a\"b", "c\\d", "$x", "\\n"}},
        {R"(prog 'no \escapes\ here')", {"prog", "no \\escapes\\ here"}},
        {R"(prog trailing\)", {"prog", "trailing\\"}},
        {R"(prog a;b $(rm -rf x) `id` | > *)", {"prog", "a;b", "$(rm", "-rf", "x)", "`id`", "|", ">", "*"}},
        {R"(prog "$(rm -rf x); echo" '<taskname>')", {"prog", "$(rm -rf x); echo", "<taskname>"}},
        {"prog \"line\nbreak\"", {"prog", "line\nbreak"}},
        {"prog caf\u00e9 \"\u00fcber\"", {"prog", "caf\u00e9", "\u00fcber"}},
    };
    for (const SplitCase& c : cases) {
        const auto r = splitCommandLine(QString::fromUtf8(c.line));
        EXPECT_TRUE(r.ok()) << c.line << ": " << r.error.toStdString();
        EXPECT_EQ(r.arguments, c.expected) << c.line;
    }
}

TEST(CommandLineSplit, OpenQuoteIsAnErrorThatSaysWhere) {
    for (const char* line : {R"(prog "abc)", R"(prog 'abc)", R"(prog "a\")", R"(x 'a"b)"}) {
        const auto r = splitCommandLine(QString::fromUtf8(line));
        EXPECT_FALSE(r.ok()) << line;
        EXPECT_TRUE(r.arguments.isEmpty()) << line;
        EXPECT_TRUE(r.error.contains(QStringLiteral("Unterminated"))) << line;
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(line))) << line;
    }
}
