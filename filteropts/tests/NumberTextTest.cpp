#include "filteropts/NumberText.h"

#include "filteropts/tests/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace filteropts;

TEST(NumberText, ReadsTheLeadingNumberIgnoringBlanksAnywhere) {
    struct Case {
        const char* text;
        double value;
        bool starts;
        bool whole;
    } cases[] = {
        {"12 500", 12500, true, true},   {"abc", 0, false, false},   {"7 kDa", 7, true, false},
        {"1e3", 1000, true, true},       {"1E-2", 0.01, true, true}, {"-2.5", -2.5, true, true},
        {" .5", 0.5, true, true},        {"1.2.3", 1.2, true, false}, {"\t3\n4", 34, true, true},
        {"&H1F", 31, true, true},        {"&HFFFF", -1, true, true},  {"&h10000", 65536, true, true},
        {"&O17", 15, true, true},        {"&Hx", 0, false, false},   {"", 0, false, false},
        {"-", 0, false, false},          {"+.5e", 0.5, true, false}, {"50 percent", 50, true, false},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_DOUBLE_EQ(readNumber(text), c.value) << c.text;
        EXPECT_EQ(startsWithNumber(text), c.starts) << c.text;
        EXPECT_EQ(isNumber(text), c.whole) << c.text;
    }
}

TEST(NumberText, YesNoReadsWordsInAnyCaseAndNumbers) {
    struct Case {
        const char* text;
        std::optional<bool> value;
    } cases[] = {
        {"True", true},   {"false", false}, {"TRUE", true},     {" False ", false}, {"1", true},
        {"-1", true},     {"0", false},     {"0.0", false},     {"2.5", true},      {"yes", std::nullopt},
        {"", std::nullopt}, {"1x", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(readYesNo(QString::fromLatin1(c.text)), c.value) << c.text;
    EXPECT_EQ(yesNoText(true), QStringLiteral("True"));
    EXPECT_EQ(yesNoText(false), QStringLiteral("False"));
}

TEST(NumberText, ShortFormHasNoLeadingZeroAndReadsBack) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0.7, ".7"},   {-0.5, "-.5"},   {1.4, "1.4"},     {50, "50"},       {0, "0"},   {-0.0, "0"},
        {1e20, "1E+20"}, {1e-7, "1E-07"}, {123456789012345.0, "123456789012345"}, {-12.25, "-12.25"},
    };
    for (const Case& c : cases) {
        const QString text = numberText(c.value);
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.value;
        EXPECT_DOUBLE_EQ(readNumber(text), c.value) << c.text;
    }
}

TEST(NumberText, NormalisersRewriteWhatTheUserTyped) {
    struct Case {
        const char* text;
        const char* real;
        const char* integer;
    } cases[] = {
        {"0.70", ".7", "0"},   {"1.40", "1.4", "1"}, {"-0.5", "-.5", "-1"}, {"1e3", "1000", "1000"},
        {"-5", "-5", "-5"},    {"12 500", "12500", "12500"}, {"12.9", "12.9", "12"}, {"-2.5", "-2.5", "-3"},
        {"abc", "0", "0"},     {"7 kDa", "7", "7"},  {"5.9", "5.9", "5"},   {"", "0", "0"},
        {"50 percent", "50", "50"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(normaliseReal(QString::fromLatin1(c.text)), QString::fromLatin1(c.real)) << c.text;
        EXPECT_EQ(normaliseInteger(QString::fromLatin1(c.text)), QString::fromLatin1(c.integer)) << c.text;
    }
}
