#include "filteropts/OptionString.h"

#include "common/ImportFilters.h"
#include "filteropts/tests/QStringPrinter.h"

#include <gtest/gtest.h>

#include <set>

using namespace filteropts;

namespace {

QString s(const char* text) { return QString::fromLatin1(text); }

}  // namespace

TEST(OptionLayouts, SixFiltersWithTheirNamesSettingsAndFieldCounts) {
    struct Case {
        int filter;
        const char* name;
        const char* setting;
        const char* tab;
        int fields;
        int defaultFields;
    } cases[] = {
        {kLcq, "ThermoFinnigan LCQ / DECA RAW file", "TaskOptionsLcq", "extract_msn", 15, 15},
        {kMassLynx, "Masslynx sample list", "TaskOptionsMassLynx", "Micromass .spl", 1, 1},
        {kAnalyst, "AB | MDS Sciex Analyst .WIFF file", "TaskOptionsAnalyst", "Sciex Analyst", 20, 20},
        {kVoyager, "Data Explorer (Voyager) MS data", "TaskOptionsVoyager", "Data Explorer", 12, 12},
        {kQuellmark, "Sorvex Quellmark", "TaskOptionsQuellmark", " Sorvex Quellmark", 13, 11},
        {kTS2Sorvex, "AB 4000 Series TS2Sorvex", "TaskOptionsTS2Sorvex", "TS2Sorvex", 4, 4},
    };
    std::set<QString> controls;
    for (const Case& c : cases) {
        const LayoutSpec& layout = layoutOf(c.filter);
        EXPECT_EQ(filterDisplayName(c.filter), s(c.name));
        EXPECT_EQ(filterOfDisplayName(s(c.name)), c.filter);
        EXPECT_EQ(common::importFilterOptionsSetting(c.filter), s(c.setting));
        EXPECT_STREQ(layout.tabCaption, c.tab);
        EXPECT_EQ(layout.fields.size(), c.fields) << c.name;
        EXPECT_EQ(splitOptions(c.filter, builtInOptions(c.filter)).size(), c.defaultFields) << c.name;
        for (const FieldSpec& f : layout.fields)
            EXPECT_TRUE(controls.insert(s(f.control) + QString::number(f.controlIndex)).second) << f.control;
    }
    EXPECT_EQ(filterDisplayName(kNoFilter), s("--- None ---"));
    EXPECT_EQ(filterOfDisplayName(s("--- None ---")), kNoFilter);
    EXPECT_EQ(filterOfDisplayName(s("sorvex quellmark")), -1);
    EXPECT_FALSE(hasOptionString(kNoFilter));
    EXPECT_THROW(layoutOf(7), std::out_of_range);
}

TEST(OptionLayouts, EveryDefaultFitsItsOwnFieldAndReadsUnchanged) {
    for (int filter = kLcq; filter <= kTS2Sorvex; ++filter) {
        const QString builtIn = builtInOptions(filter);
        EXPECT_EQ(builtIn, common::builtInImportFilterOptions(filter));
        const OptionReading r = readOptions(filter, builtIn);
        EXPECT_FALSE(r.replaced) << filter;
        EXPECT_FALSE(r.outOfDate) << filter;
        for (int field = 0; field < layoutOf(filter).fields.size(); ++field) {
            const QString fallback = fieldFallback(filter, field);
            EXPECT_EQ(fieldText(filter, field, fallback), fallback) << filter << "/" << field;
            if (fieldHasDefault(filter, field)) {
                EXPECT_EQ(r.fields[field], fieldDefault(filter, field));
            }
        }
    }
}

TEST(OptionStrings, ComposeOfSplitGivesBackFullLengthStrings) {
    struct Case {
        int filter;
        const char* text;
        bool wellFormed = true;  // every field fits its value form
    } cases[] = {
        {kLcq, ",,300,4000,1.4,1,1,0,0,0,,,,,"},
        {kLcq, "1,200, 300 ,4000,1.4,2,3,4,1,5,\\\\PC\\tpl\\my charges.tpl,PEPTIDE,AB,10,2"},
        {kLcq, ",,,,,,,,,,,,,,", false},
        {kMassLynx, ""},
        {kMassLynx, "\\\\PC\\data\\run 1, 2\\pkl"},  // one path: never cut at its commas
        {kAnalyst, "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0,0"},
        {kAnalyst, "0,1,1,1,40,.2,12,60,9000,1.5,8,2,0,45,1.5,.5,0,False,1,1"},
        {kVoyager, "False,0,0,1,1,1,0.7,1,0,False,10,100"},
        {kVoyager, "true,1,9,0,0,3,5,0,1,TRUE,1,1000"},
        {kQuellmark, "\\\\PC\\opts\\a.opt,7,True,False,1.5,20,2,1,2,2,1,2-5,False"},
        {kQuellmark, ",0,0,0,,,1,0,0,0,1,,", false},
        {kTS2Sorvex, "60,20,10,1"},
        {kTS2Sorvex, "0,.5,3e2,0"},
    };
    for (const Case& c : cases) {
        const QString text = s(c.text);
        EXPECT_EQ(composeOptions(c.filter, splitOptions(c.filter, text)), text) << c.text;
        const OptionReading r = readOptions(c.filter, text);
        EXPECT_FALSE(r.outOfDate) << c.text;
        if (c.wellFormed) {
            EXPECT_EQ(r.text(c.filter), text) << c.text;  // it reads as it is
        }
    }
    // Written strings always carry the whole layout, also from shorter or longer field lists.
    EXPECT_EQ(composeOptions(kTS2Sorvex, {s("1")}), s("1,,,"));
    EXPECT_EQ(composeOptions(kTS2Sorvex, {s("1"), s("2"), s("3"), s("4"), s("5")}), s("1,2,3,4"));
    EXPECT_EQ(composeOptions(kQuellmark, splitOptions(kQuellmark, builtInOptions(kQuellmark))),
              s(",0,0,0,,,1,0,0,0,1,,"));
}

TEST(OptionStrings, ShorterStringsOfEarlierVersionsAreCompleted) {
    struct Case {
        int filter;
        const char* text;
        const char* read;  // the completed string every reader takes
        bool replaced;
        bool outOfDate;
    } cases[] = {
        {kLcq, "", ",,300,4000,1.4,1,1,0,0,0,,,,,", true, true},
        {kLcq, "1,2,3,4,5,6,7", ",,300,4000,1.4,1,1,0,0,0,,,,,", true, true},
        {kLcq, "1,2,3,4,5,6,7,2", "1,2,3,4,5,6,7,2,0,0,,,,,", false, true},
        // Fields 8 to 11 exist but are read only from strings of 13 fields and more.
        {kLcq, "1,2,3,4,5,6,7,2,1,5,\\\\PC\\a.tpl,PEP", "1,2,3,4,5,6,7,2,0,0,,,,,", false, true},
        {kLcq, "1,2,3,4,5,6,7,2,1,5,\\\\PC\\a.tpl,PEP,AB", "1,2,3,4,5,6,7,2,1,5,\\\\PC\\a.tpl,PEP,AB,,", false, true},
        {kLcq, "1,2,3,4,5,6,7,2,1,5,t,PEP,AB,9", "1,2,3,4,5,6,7,2,1,5,t,PEP,AB,,", false, true},
        {kLcq, "1,2,3,4,5,6,7,2,1,5,t,PEP,AB,9,8,extra", "1,2,3,4,5,6,7,2,1,5,t,PEP,AB,9,8", false, false},
        {kAnalyst, "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2", "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0,0",
         true, true},
        {kAnalyst, "0,0,0,1,40,.2,9,60,900,2,8,2,0,45,1,.5", "0,0,0,1,40,.2,9,60,900,2,8,2,0,45,1,.5,1,True,0,0", false,
         true},
        // 17 fields: "re-determine charge" ticked and "merge all samples" chosen, whatever field 16 says.
        {kAnalyst, "0,0,0,1,40,.2,9,60,900,2,8,2,0,45,1,.5,0", "0,0,0,1,40,.2,9,60,900,2,8,2,0,45,1,.5,1,True,0,0",
         false, true},
        {kAnalyst, "0,0,0,1,40,.2,9,60,900,2,8,2,0,45,1,.5,0,False,1", "0,0,0,1,40,.2,9,60,900,2,8,2,0,45,1,.5,0,False,0,0",
         false, true},
        // A vendor library's own options are no Analyst string, whatever their length.
        {kAnalyst, "1.6b30:a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t", "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0,0",
         true, true},
        {kAnalyst, "2.0b26:x", "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0,0", true, true},
        {kVoyager, "True,1,2,0,0,2,5,0,1,True,5", "False,0,0,1,1,1,0.7,1,0,False,10,100", true, true},
        {kQuellmark, "a,1,1", ",0,0,0,,,1,0,0,0,1,-1,True", true, true},
        // Fields 4 to 10 are read only from strings that have all of them.
        {kQuellmark, "\\\\PC\\a.opt,9,1,0,5,10,2", "\\\\PC\\a.opt,9,1,0,,,1,0,0,0,1,-1,True", false, true},
        {kQuellmark, ",0,0,0,,,1,0,0,0,1", ",0,0,0,,,1,0,0,0,1,-1,True", false, false},
        {kQuellmark, ",0,0,0,,,1,0,0,0,0,0", ",0,0,0,,,1,0,0,0,0,-1,True", false, false},  // no project: no choice
        {kQuellmark, ",0,0,0,,,1,0,0,0,1,0", ",0,0,0,,,1,0,0,0,1,0,True", false, false},
        {kQuellmark, ",0,0,0,,,1,0,0,0,1,2-4,False", ",0,0,0,,,1,0,0,0,1,2-4,False", false, false},
        {kTS2Sorvex, "1,2,3", "60,20,10,1", true, true},
        {kMassLynx, "", "", false, false},
    };
    for (const Case& c : cases) {
        const OptionReading r = readOptions(c.filter, s(c.text));
        EXPECT_EQ(r.text(c.filter), s(c.read)) << c.text;
        EXPECT_EQ(r.replaced, c.replaced) << c.text;
        EXPECT_EQ(r.outOfDate, c.outOfDate) << c.text;
    }
    const OptionReading lcq = readOptions(kLcq, s("1,2,3,4,5,6,7,2,1,5,t,PEP"));
    EXPECT_EQ(lcq.fieldCount, 12);
    EXPECT_TRUE(lcq.given[7]);
    EXPECT_FALSE(lcq.given[8]);
    EXPECT_FALSE(lcq.given[11]);
    const OptionReading quellmark = readOptions(kQuellmark, builtInOptions(kQuellmark));
    EXPECT_FALSE(quellmark.given[11]);
    EXPECT_FALSE(quellmark.given[12]);
}

TEST(OptionStrings, TextOfTheWrongFormFallsBackToTheFieldsDefault) {
    struct Case {
        int filter;
        int field;
        const char* text;
        const char* read;
    } cases[] = {
        {kLcq, 7, "2", "2"},       {kLcq, 7, "4", "4"},        {kLcq, 7, "5", "0"},      {kLcq, 7, "-1", "0"},
        {kLcq, 7, "auto", "0"},    {kLcq, 8, "1.0", "1.0"},    {kLcq, 8, "2", "0"},      {kLcq, 8, "x", "0"},
        {kLcq, 2, "abc", "300"},   {kLcq, 2, "", ""},          {kLcq, 2, "7 kDa", "7 kDa"}, {kLcq, 0, "x", ""},
        {kLcq, 10, "a b", "a b"},  {kAnalyst, 12, "", "1"},    {kAnalyst, 17, "maybe", "1"}, {kAnalyst, 17, "0", "0"},
        {kVoyager, 0, "TRUE", "TRUE"}, {kVoyager, 0, "maybe", "False"}, {kVoyager, 9, "2", "2"},
        {kVoyager, 2, "9", "9"},   {kVoyager, 2, "10", "0"},   {kVoyager, 5, "4", "1"},  {kVoyager, 5, "2.4", "2.4"},
        {kQuellmark, 1, "x", "0"}, {kQuellmark, 1, "", "0"},   {kQuellmark, 1, "13", "13"}, {kQuellmark, 6, "3", "1"},
        {kQuellmark, 10, "yes", "1"}, {kQuellmark, 12, "perhaps", "True"}, {kQuellmark, 11, "odd", "odd"},
        {kTS2Sorvex, 0, "none", "60"}, {kTS2Sorvex, 3, "", "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fieldText(c.filter, c.field, s(c.text)), s(c.read)) << c.filter << "/" << c.field << " " << c.text;

    EXPECT_EQ(fieldIndex(kVoyager, 5, s("2.4")), 2);
    EXPECT_EQ(fieldIndex(kLcq, 7, s("9")), 0);
    EXPECT_TRUE(fieldYesNo(kVoyager, 9, s("-1")));
    EXPECT_FALSE(fieldYesNo(kVoyager, 9, s("nonsense")));  // the default, False
    EXPECT_TRUE(fieldYesNo(kAnalyst, 17, s("nonsense")));  // the default, 1
    EXPECT_DOUBLE_EQ(fieldNumber(kTS2Sorvex, 1, s("x")), 20);

    // The same rule inside a whole reading.
    const OptionReading r = readOptions(kVoyager, s("maybe,1,12,1,1,9,x,1,0,False,ten,100"));
    EXPECT_EQ(r.text(kVoyager), s("False,1,0,1,1,1,0.7,1,0,False,10,100"));
}

TEST(OptionStrings, StringsLongerThanATaskHoldsAreRefused) {
    EXPECT_EQ(filterOptionsCapacity(), 255);
    const QString fits = s("\\\\PC\\") + QString(250, QLatin1Char('p'));
    ASSERT_EQ(fits.size(), 255);
    EXPECT_EQ(checkOptionsLength(kMassLynx, fits), QString());
    EXPECT_EQ(checkOptionsLength(kMassLynx, fits + QLatin1Char('x')),
              s("The options of \"Masslynx sample list\" are 256 characters long; a task can hold at most 255"));
}

TEST(OptionStrings, LibraryOwnOptionsKeepEverythingAfterTheFirstColon) {
    const auto split = splitLibraryOptions(s("1.6b30:a=1:b=2,c"));
    ASSERT_TRUE(split);
    EXPECT_EQ(split->version, s("1.6b30"));
    EXPECT_EQ(split->values, s("a=1:b=2,c"));
    EXPECT_EQ(composeLibraryOptions(*split), s("1.6b30:a=1:b=2,c"));
    const auto empty = splitLibraryOptions(s("1.6b30:"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->values, QString());
    EXPECT_FALSE(splitLibraryOptions(s("1,1,0,0")));
    EXPECT_FALSE(splitLibraryOptions(QString()));
}
