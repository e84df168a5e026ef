#include "service/SmallConversions.h"

#include "service/EventLog.h"

#include "platform/testsupport/TestSupport.h"

#include <QTimeZone>
#include <gtest/gtest.h>

#include <limits>

using namespace tavrelsvc;

TEST(ToleranceInDaltons, UnitsTable) {
    struct Case { float tol; QString unit; float mass; double expected; };
    const Case cases[] = {
        {-10.0f, "PPM", 2000.0f, 0.02},
        {10.0f, "PPM", 1234.5f, 0.012345},
        {0.1f, "%", 1500.0f, 1.5},
        {500.0f, "MMU", 9999.0f, 0.5},
        {1.2f, "DA", 3000.0f, 1.2},
        {-1.2f, "", 3000.0f, 1.2},
        {10.0f, "ppm", 2000.0f, 10.0},  // the unit is compared exactly: daltons
        {0.0f, "PPM", 2000.0f, 0.0},
    };
    for (const Case& c : cases) {
        const std::optional<double> r = modGlobal_ToleranceInDaltons(c.tol, c.unit, c.mass);
        ASSERT_TRUE(r.has_value()) << c.unit.toStdString();
        EXPECT_NEAR(*r, c.expected, c.expected * 1e-6 + 1e-12) << c.tol << " " << c.unit.toStdString();
    }
    // Single precision except for ppm.
    EXPECT_EQ(*modGlobal_ToleranceInDaltons(1.2f, "DA", 0), static_cast<double>(1.2f));
    EXPECT_DOUBLE_EQ(*modGlobal_ToleranceInDaltons(10.0f, "PPM", 2000.0f), 0.02);
}

TEST(ToleranceInDaltons, OverflowIsLoggedAndGivesNoValue) {
    testsupport::TempHome home;
    const QString log = home.file(kEventLogFileName);
    ASSERT_TRUE(EventLogStream::open(log));
    const float big = std::numeric_limits<float>::max();
    EXPECT_FALSE(modGlobal_ToleranceInDaltons(big, "%", big).has_value());
    EXPECT_FALSE(modGlobal_ToleranceInDaltons(std::numeric_limits<float>::infinity(), "DA", 1).has_value());
    EXPECT_TRUE(modGlobal_ToleranceInDaltons(big, "PPM", big).has_value());  // fits a 64-bit real
    EventLogStream::close();
    const QList<QByteArray> lines = testsupport::readFile(log).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Error,"));
    EXPECT_TRUE(lines[0].endsWith(", , , ,(TVS1055) 6: Overflow\r"));
}

TEST(IsoDateTimeNow, OffsetsInIso8601Form) {
    const QDateTime when(QDate(2026, 3, 5), QTime(14, 7, 9));
    struct Case { int bias; QString expected; };
    const Case cases[] = {
        {-60, "2026-03-05T14:07:09+01:00"},   // one hour ahead of UTC
        {0, "2026-03-05T14:07:09+00:00"},
        {330, "2026-03-05T14:07:09-05:30"},
        {570, "2026-03-05T14:07:09-09:30"},
        {-345, "2026-03-05T14:07:09+05:45"},
        {720, "2026-03-05T14:07:09-12:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatIsoDateTime(when, c.bias), c.expected) << c.bias;
    EXPECT_EQ(formatIsoDateTime(QDateTime(QDate(999, 1, 2), QTime(0, 0, 0)), 0), "0999-01-02T00:00:00+00:00");
}

TEST(IsoDateTimeNow, BiasComesFromTheSystemUnlessInjected) {
    const QDateTime when(QDate(2026, 7, 1), QTime(9, 0, 0));
    setTimeZoneBiasSource([] { return -330; });
    EXPECT_EQ(modGlobal_IsoDateTimeNow(when), "2026-07-01T09:00:00+05:30");
    setTimeZoneBiasSource({});
    const int bias = -QTimeZone::systemTimeZone().standardTimeOffset(QDateTime::currentDateTime()) / 60;
    EXPECT_EQ(systemStandardBiasMinutes(), bias);
    EXPECT_EQ(modGlobal_IsoDateTimeNow(when), formatIsoDateTime(when, bias));
}

TEST(ParseSignedInt64, SizesStayWholeAndBadTextGivesZero) {
    struct Case { QString text; qint64 expected; };
    const Case cases[] = {
        {"0", 0},
        {"12345", 12345},
        {"-12", -12},
        {"+7", 7},
        {"-+7", -7},
        {"  4294967296  ", 4294967296LL},      // 4 GiB
        {"2147483648", 2147483648LL},          // 2 GiB
        {"2147483647", 2147483647LL},
        {"3000000000", 3000000000LL},
        {"1099511627776", 1099511627776LL},    // 1 TiB
        {"922337203685477", 922337203685477LL},
        {"922337203685478", 0},                // beyond the fixed-point range
        {"99999999999999999999999", 0},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"2.50001", 2},                        // four decimal places first
        {"2.50006", 3},
        {"7.49999", 8},                        // 7.5000 then half to even
        {".5", 0},
        {"5.", 5},
        {"", 0},
        {"   ", 0},
        {"abc", 0},
        {"12abc", 0},
        {"1 2", 0},
        {"1.2.3", 0},
        {"-", 0},
        {"1e3", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(modGlobal_ParseSignedInt64(c.text), c.expected) << "\"" << c.text.toStdString() << "\"";
}

TEST(ParameterSetServerUrl, AlwaysEmpty) {
    for (const char* label : {"", "default.par", "My set"})
        EXPECT_TRUE(modGlobal_GetParameterSetServerUrl(label).isEmpty());
}
