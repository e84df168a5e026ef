#include "common/Password.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

using common::modGlobal_DecodePassword;
using common::modGlobal_EncodePassword;

// Worked out independently: code x 1.62 / 2.87 x 1.31 x position, 15 digits.
TEST(Password, KnownVectorsBothWays) {
    struct Case { QString password; QString stored; };
    const Case cases[] = {
        {QString(), QString()},
        {QStringLiteral("a"), QStringLiteral(" 71.7259233449477")},
        {QStringLiteral("aa"), QStringLiteral(" 71.7259233449477 143.451846689895")},
        {QStringLiteral("Secret1!"),
         QStringLiteral(" 61.3737282229965 149.367386759582 219.614425087108 337.185783972125 373.418466898955 "
                        "514.651986062718 253.628780487805 195.212822299652")},
        {QString::fromUtf8("\u00e9\u20ac"), QStringLiteral(" 172.290104529617 189.297282229965")},
        {QStringLiteral(" "), QStringLiteral(" 23.6621602787456")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(modGlobal_EncodePassword(c.password), c.stored) << c.password.toStdString();
        EXPECT_EQ(modGlobal_DecodePassword(c.stored), c.password) << c.stored.toStdString();
    }
}

TEST(Password, DecodingIsLenientAboutBlanksAsStored) {
    EXPECT_EQ(modGlobal_DecodePassword(QStringLiteral("   71.7259233449477  ")), QStringLiteral("a"));
    // Two blanks make an empty piece: a character of code 0, and the positions shift.
    EXPECT_EQ(modGlobal_DecodePassword(QStringLiteral(" 71.7259233449477  143.451846689895")),
              QString(QChar(u'a')) + QChar(0) + QChar(u'A'));  // 97 x 2 / 3 rounds to 65
    EXPECT_EQ(modGlobal_DecodePassword(QStringLiteral("71.7259233449477xyz")), QStringLiteral("a"));
}

TEST(Password, EveryCodePageTextRoundTrips) {
    QString all;
    for (int code = 1; code <= 255; ++code) {
        const QString one = modGlobal_DecodePassword(QStringLiteral(" ") + QString::number(code * 1.62 / 2.87 * 1.31, 'g', 15));
        ASSERT_EQ(one.size(), 1) << code;
        all += one;
    }
    ASSERT_EQ(all.size(), 255);
    const QString stored = modGlobal_EncodePassword(all);
    EXPECT_EQ(modGlobal_DecodePassword(stored), all);
    std::reverse(all.begin(), all.end());
    EXPECT_EQ(modGlobal_DecodePassword(modGlobal_EncodePassword(all)), all);
}

TEST(Password, DamagedOrUnstorableInputIsAnError) {
    for (const char* damaged : {" 999999", " -5", " 1e400"}) {
        try {
            modGlobal_DecodePassword(QString::fromLatin1(damaged));
            ADD_FAILURE() << damaged;
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.number(), 5) << damaged;
        }
    }
    // A character outside the code page would come back as "?": refuse it.
    EXPECT_THROW(modGlobal_EncodePassword(QString::fromUtf8("pass\u4e2d")), platform::Error);
    EXPECT_EQ(modGlobal_DecodePassword(modGlobal_EncodePassword(QStringLiteral("a?b"))), QStringLiteral("a?b"));
}
