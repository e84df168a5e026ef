#include "filteropts/FieldChecks.h"
#include "filteropts/QuellmarkFields.h"

#include "filteropts/tests/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace filteropts;

TEST(FieldChecks, LeavingATextBoxChecksOrNormalisesIt) {
    struct Case {
        LeaveCheck kind;
        const char* text;
        const char* after;
        bool refused;
    } cases[] = {
        {LeaveCheck::Comma, "\\\\PC\\data\\a,b", "\\\\PC\\data\\a,b", true},
        {LeaveCheck::Comma, "\\\\PC\\data\\ab", "\\\\PC\\data\\ab", false},
        {LeaveCheck::Letters, "pep1", "PEP1", true},
        {LeaveCheck::Letters, "pepTide", "PEPTIDE", false},
        {LeaveCheck::Letters, "a b", "A B", true},
        {LeaveCheck::Letters, "\xe9", "\xc9", true},  // a letter, but not one of A to Z
        {LeaveCheck::Integer, "12.9", "12", false},
        {LeaveCheck::Integer, "abc", "0", false},
        {LeaveCheck::Real, "0.70", ".7", false},
        {LeaveCheck::Real, "1e3", "1000", false},
        {LeaveCheck::Real, "", "", false},  // an empty box stays empty, not "0"
        {LeaveCheck::Integer, "", "", false},
        {LeaveCheck::None, "a,b", "a,b", false},
    };
    for (const Case& c : cases) {
        const LeaveResult r = leaveCheck(c.kind, QString::fromLatin1(c.text));
        EXPECT_EQ(r.text, QString::fromLatin1(c.after)) << c.text;
        EXPECT_EQ(r.refused, c.refused) << c.text;
    }
}

TEST(FieldChecks, NoiseParameterByFilter) {
    struct Case {
        int filter;
        const char* text;
        const char* after;
        bool fails;
    } cases[] = {
        {1, "-0.5", "-.5", true}, {1, "0.70", ".7", false}, {1, "1", "1", false},   {1, "1.01", "1.01", true},
        {1, "", "0", false},      {2, "197", "197", false}, {2, "199", "199", true}, {2, "4", "4", true},
        {2, "5.9", "5", false},   {2, "-1", "-1", true},    {3, "9", "9", false},    {3, "10", "10", true},
        {3, "0.5", "0", true},    {0, "abc", "abc", false}, {-1, "abc", "abc", false},
    };
    for (const Case& c : cases) {
        QString text = QString::fromLatin1(c.text);
        const QString message = checkNoiseParameter(c.filter, text);
        EXPECT_EQ(text, QString::fromLatin1(c.after)) << c.filter << " " << c.text;
        EXPECT_EQ(!message.isEmpty(), c.fails) << c.filter << " " << c.text;
    }
    QString width = QStringLiteral("4");
    EXPECT_EQ(checkNoiseParameter(2, width), QStringLiteral("Gaussian smooth width must be an odd integer, less than 199"));
}

TEST(FieldChecks, IntensityQuantitationAndTs2SorvexRanges) {
    const QString peaks = QStringLiteral("Valid range for number of peaks to select is positive integer");
    const QString interval = QStringLiteral("Valid range for peak selection interval is 10 to 1000 Da");
    EXPECT_EQ(checkIntensitySelection(QStringLiteral("0"), QStringLiteral("100")), peaks);
    EXPECT_EQ(checkIntensitySelection(QStringLiteral(""), QStringLiteral("100")), peaks);
    EXPECT_EQ(checkIntensitySelection(QStringLiteral("10"), QStringLiteral("10")), QString());
    EXPECT_EQ(checkIntensitySelection(QStringLiteral("10"), QStringLiteral("1000")), QString());
    EXPECT_EQ(checkIntensitySelection(QStringLiteral("10"), QStringLiteral("9.99")), interval);
    EXPECT_EQ(checkIntensitySelection(QStringLiteral("10"), QStringLiteral("1001")), interval);

    const QString range = QStringLiteral("Invalid range for quantitate protein hits");
    EXPECT_EQ(checkQuantRange(QStringLiteral("2"), QStringLiteral("2")), QString());
    EXPECT_EQ(checkQuantRange(QStringLiteral("3"), QStringLiteral("2")), range);
    EXPECT_EQ(checkQuantRange(QStringLiteral("0"), QStringLiteral("5")), range);

    QString minMass = QStringLiteral(""), maxMass = QStringLiteral("20.0"), s2n = QStringLiteral("-1");
    EXPECT_EQ(checkTs2SorvexValues(minMass, maxMass, s2n), QStringLiteral("Minimum S/N cannot be less than 0"));
    EXPECT_EQ(minMass, QStringLiteral("0"));  // an empty minimum mass is stored as 0
    EXPECT_EQ(maxMass, QStringLiteral("20"));
    minMass = QStringLiteral("-0.5");
    maxMass = QStringLiteral("-1");
    EXPECT_EQ(checkTs2SorvexValues(minMass, maxMass, s2n), QStringLiteral("Minimum mass cannot be less than 0"));
    EXPECT_EQ(maxMass, QStringLiteral("-1"));  // not reached
    minMass = QStringLiteral("60");
    EXPECT_EQ(checkTs2SorvexValues(minMass, maxMass, s2n), QStringLiteral("Maximum mass cannot be less than 0"));
}

TEST(QuellmarkFields, QuantitationFieldReadsAndComposes) {
    struct Case {
        const char* field;
        std::optional<QuantHitsChoice> choice;
        const char* first;
        const char* last;
    } cases[] = {
        {"0", QuantHitsChoice::None, "", ""},  {"-1", QuantHitsChoice::All, "", ""},
        {"2-5", QuantHitsChoice::Range, "2", "5"}, {"3-", QuantHitsChoice::Range, "3", "0"},
        {" 02 - 7x", QuantHitsChoice::Range, "2", "7"}, {"abc", std::nullopt, "", ""},
        {"", std::nullopt, "", ""},
    };
    for (const Case& c : cases) {
        const auto hits = readQuantHits(QString::fromLatin1(c.field));
        ASSERT_EQ(hits.has_value(), c.choice.has_value()) << c.field;
        if (!hits) continue;
        EXPECT_EQ(hits->choice, *c.choice) << c.field;
        EXPECT_EQ(hits->first, QString::fromLatin1(c.first)) << c.field;
        EXPECT_EQ(hits->last, QString::fromLatin1(c.last)) << c.field;
    }
    EXPECT_EQ(composeQuantHits(QuantHitsChoice::None, {}, {}), QStringLiteral("0"));
    EXPECT_EQ(composeQuantHits(QuantHitsChoice::All, {}, {}), QStringLiteral("-1"));
    EXPECT_EQ(composeQuantHits(QuantHitsChoice::Range, QStringLiteral("2"), QStringLiteral("2")), QStringLiteral("2-2"));
    EXPECT_EQ(composeQuantHits(std::nullopt, {}, {}), QString());
    EXPECT_DOUBLE_EQ(libraryVersionNumber(QStringLiteral("2.3.1")), 2.3);
    EXPECT_DOUBLE_EQ(libraryVersionNumber(QStringLiteral("2.4.0.0")), 2.4);
}
