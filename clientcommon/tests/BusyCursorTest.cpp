#include "clientcommon/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

TEST(BusyCursor, NestedGuardsUnwindInOrder) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        tavrel::BusyCursor outer;
        {
            tavrel::BusyCursor inner;
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
