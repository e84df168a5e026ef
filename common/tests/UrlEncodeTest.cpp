#include "common/UrlEncode.h"

#include <gtest/gtest.h>

TEST(UrlEncode, Table) {
    struct Case { QString in; QString out; };
    const Case cases[] = {
        {"", ""},
        {"azAZ09_", "azAZ09_"},
        {"a b_c", "a%20b_c"},
        {"\t", "%09"},
        {QString(QChar(1)), "%01"},
        {"-", "%2D"},
        {".", "%2E"},
        {"+&=?/%#", "%2B%26%3D%3F%2F%25%23"},
        {"~", "%7E"},
        {"p\u00e9\u20ac", "p%E9%80"},   // code page bytes, not UTF-8
        {"\u4e2d", "%3F"},              // outside the code page
    };
    for (const Case& c : cases) EXPECT_EQ(common::modGlobal_UrlEncode(c.in), c.out) << c.in.toStdString();
}
