// The column tables and the widths kept for them in the settings store.
#include "status/StatusColumns.h"

#include "common/Settings.h"
#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

const QString kApp = "Sorvex Tavrel";

class Columns : public ::testing::Test {
protected:
    void save(const QString& section, const QString& name, const QString& value) {
        ASSERT_TRUE(common::modGlobal_SaveSetting(kApp, section, name, value));
    }
    testsupport::TempHome home;
};

TEST_F(Columns, DefaultsWhenNothingIsSaved) {
    struct Case {
        ColumnView view;
        int count;
        QString title5;
        qint16 width5;
    } cases[] = {{ColumnView::Root, 18, "New files only", 1200},
                 {ColumnView::Task, 10, "Description", 2800},
                 {ColumnView::Event, 7, "Data file", 1000}};
    for (const Case& c : cases) {
        const ColumnTable t = modGlobal_InitColumnTable(c.view);
        EXPECT_EQ(t.titles.size(), c.count);
        EXPECT_EQ(t.widths.size(), c.count);
        EXPECT_EQ(t.titles[5], c.title5);
        EXPECT_EQ(t.widths[5], c.width5);
    }
    EXPECT_EQ(defaultColumnTable(ColumnView::Event).titles[0], " ");
}

TEST_F(Columns, SavedWidthsComeBackByValueName) {
    QList<int> widths;
    for (int i = 0; i < 10; ++i) widths << 500 + i;
    widths[5] = 4321;
    ASSERT_TRUE(modGlobal_SaveColumnWidths(ColumnView::Task, widths));
    ColumnTable t = modGlobal_InitColumnTable(ColumnView::Task);
    EXPECT_EQ(t.widths[5], 4321);
    EXPECT_EQ(t.widths[9], 509);
    // The other tables are decided on their own.
    EXPECT_EQ(modGlobal_InitColumnTable(ColumnView::Root).widths[0], 1300);

    // Stored in another order, each width still goes to its own column.
    const QString section = columnWidthSection(ColumnView::Event);
    for (int i = 6; i >= 0; --i) save(section, QString::number(i), QString::number(100 * (i + 1)));
    t = modGlobal_InitColumnTable(ColumnView::Event);
    EXPECT_EQ(t.widths, (QList<qint16>{100, 200, 300, 400, 500, 600, 700}));
}

TEST_F(Columns, SectionsThatDoNotFitAreIgnored) {
    const QString root = columnWidthSection(ColumnView::Root);
    for (int i = 0; i < 17; ++i) save(root, QString::number(i), "999");
    EXPECT_EQ(modGlobal_InitColumnTable(ColumnView::Root).widths[0], 1300);  // 17 values
    save(root, "17", "999");
    save(root, "18", "999");
    EXPECT_EQ(modGlobal_InitColumnTable(ColumnView::Root).widths[0], 1300);  // 19 values

    // Exactly ten values but no "0": defaults.
    const QString task = columnWidthSection(ColumnView::Task);
    for (int i = 1; i <= 10; ++i) save(task, QString::number(i), "999");
    EXPECT_EQ(modGlobal_InitColumnTable(ColumnView::Task).widths[1], 1700);

    // Values that are no width leave their own column at its default.
    const QString event = columnWidthSection(ColumnView::Event);
    const QStringList values = {"1500", "abc", "-20", "70000", "1200.4", "", "800"};
    for (int i = 0; i < 7; ++i) save(event, QString::number(i), values[i]);
    EXPECT_EQ(modGlobal_InitColumnTable(ColumnView::Event).widths, (QList<qint16>{1500, 1000, 1000, 1000, 1200, 1000, 800}));
}

}  // namespace
