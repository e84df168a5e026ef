#include "platform/Cp1252.h"

#include <gtest/gtest.h>

using platform::fromCp1252;
using platform::toCp1252;

TEST(Cp1252, EveryByteRoundTrips) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
}

TEST(Cp1252, SpecialCharactersMapToTheirBytes) {
    struct Case { char16_t unicode; unsigned char byte; };
    const Case cases[] = {{0x20AC, 0x80}, {0x2026, 0x85}, {0x0160, 0x8A}, {0x2122, 0x99},
                          {0x0178, 0x9F}, {0x00E9, 0xE9}, {0x00B5, 0xB5}, {u'A', 0x41}};
    for (const Case& c : cases) {
        const QString s(QChar(c.unicode));
        ASSERT_EQ(toCp1252(s), QByteArray(1, static_cast<char>(c.byte))) << int(c.unicode);
        EXPECT_EQ(fromCp1252(QByteArray(1, static_cast<char>(c.byte))), s);
    }
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(toCp1252(QString::fromUtf8("a\u4e2db\U0001F600")), QByteArray("a?b??"));
}
