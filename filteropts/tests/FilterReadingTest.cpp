// How the service's import filters and Pondrel take an option string and its
// values: a short string gives way to the default whole; values that must be
// there convert the classic way or fail with the classic error numbers.
#include "filteropts/NumberText.h"
#include "filteropts/OptionString.h"
#include "filteropts/tests/QStringPrinter.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

using namespace filteropts;

TEST(FilterReading, AStringShorterThanTheDefaultGivesWayToItWhole) {
    struct Case {
        int filter;
        const char* text;
        bool replaced;
    } cases[] = {
        {kLcq, "", true},
        {kLcq, "1,2,3,4,5,6,7,8,9,10,11,12,13,14", true},  // 14 fields: nothing of it is kept
        {kLcq, ",,,,,,,,,,,,,,", false},
        {kAnalyst, "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0", true},
        {kVoyager, "False,0,0,1,1,1,0.7,1,0,False,10,100,extra", false},
        {kTS2Sorvex, "60,20,10", true},
        {kQuellmark, ",9,1,0", true},  // the service's default saves no project
        {kQuellmark, ",9,1,0,,,1,0,0,0,1", false},
    };
    for (const Case& c : cases) {
        const FilterOptions read = readFilterOptions(c.filter, QString::fromLatin1(c.text));
        EXPECT_EQ(read.replaced, c.replaced) << c.text;
        const QString expected = c.replaced ? serviceBuiltInOptions(c.filter) : QString::fromLatin1(c.text);
        EXPECT_EQ(read.fields, expected.split(QLatin1Char(','))) << c.text;
    }
    EXPECT_EQ(serviceBuiltInOptions(kQuellmark), QStringLiteral(",0,0,0,,,1,0,0,0,0"));
    EXPECT_EQ(serviceBuiltInOptions(kAnalyst), builtInOptions(kAnalyst));
}

TEST(FilterReading, ValuesThatMustBeThereConvertOrFailWithTheirNumbers) {
    struct Case {
        const char* text;
        int integer;     // 16-bit integer, or the error number
        bool integerOk;
        int yesNo;       // 0 / 1, or the error number
        bool yesNoOk;
    } cases[] = {
        {"2", 2, true, 1, true},          {"2.5", 2, true, 1, true},   {"3.5", 4, true, 1, true},
        {"0", 0, true, 0, true},          {" -7 ", -7, true, 1, true}, {"true", 13, false, 1, true},
        {"False", 13, false, 0, true},    {"", 13, false, 13, false},  {"abc", 13, false, 13, false},
        {"40000", 6, false, 1, true},     {"-32768", -32768, true, 1, true},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        try {
            EXPECT_EQ(integer16Of(text), c.integer) << c.text;
            EXPECT_TRUE(c.integerOk) << c.text;
        } catch (const platform::Error& e) {
            EXPECT_FALSE(c.integerOk) << c.text;
            EXPECT_EQ(e.number(), c.integer) << c.text;
        }
        try {
            EXPECT_EQ(yesNoOf(text), c.yesNo == 1) << c.text;
            EXPECT_TRUE(c.yesNoOk) << c.text;
        } catch (const platform::Error& e) {
            EXPECT_FALSE(c.yesNoOk) << c.text;
            EXPECT_EQ(e.number(), c.yesNo) << c.text;
        }
    }
}
