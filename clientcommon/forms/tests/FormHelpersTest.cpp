#include "clientcommon/forms/FormLayout.h"
#include "clientcommon/forms/TabStripDisabled.h"

#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <gtest/gtest.h>

TEST(TabStripDisabled, DisablesTheStripOfThePagesTabWidget) {
    QTabWidget tabs;
    auto* page = new QWidget;
    auto* button = new QWidget(page);
    tabs.addTab(page, "&Task Editor");
    {
        tavrel::TabStripDisabled guard(button);
        EXPECT_FALSE(tabs.tabBar()->isEnabled());
        EXPECT_TRUE(page->isEnabled());  // the page's own controls stay usable
    }
    EXPECT_TRUE(tabs.tabBar()->isEnabled());

    // A strip that was disabled already stays so; a widget on no tab widget changes nothing.
    tabs.tabBar()->setEnabled(false);
    { tavrel::TabStripDisabled guard(page); }
    EXPECT_FALSE(tabs.tabBar()->isEnabled());
    QWidget loose;
    tavrel::TabStripDisabled guard(&loose);
}

TEST(TabStripDisabled, FromADialogLocksTheWholeTabWidgetAndGivesBackItsTab) {
    QTabWidget tabs;
    tabs.addTab(new QWidget, "&Status");
    tabs.addTab(new QWidget, "&Task Editor");
    tabs.setCurrentIndex(1);
    {
        tavrel::TabStripDisabled outer(&tabs);
        EXPECT_FALSE(tabs.isEnabled());
        {
            tavrel::TabStripDisabled inner(&tabs);
            tabs.setCurrentIndex(0);  // moved under the dialog
        }
        EXPECT_FALSE(tabs.isEnabled());  // the outer guard still holds
        EXPECT_EQ(tabs.currentIndex(), 1);
    }
    EXPECT_TRUE(tabs.isEnabled());
    EXPECT_EQ(tabs.currentIndex(), 1);
    tavrel::TabStripDisabled none(static_cast<QTabWidget*>(nullptr));
}

TEST(FormLayout, TwipsBecomeWholePixelsNeverBelowTheTwips) {
    struct Case {
        int twips, pixels;
    } cases[] = {{0, 0}, {15, 1}, {16, 2}, {5000, 334}, {6135, 409}, {7800, 520}, {8790, 586}, {10000, 667}};
    for (const Case& c : cases) EXPECT_EQ(tavrel::twipsToPixels(c.twips), c.pixels) << c.twips;

    QWidget window;
    window.resize(100, 100);
    tavrel::setMinimumTwips(&window, 8790, 6135);
    EXPECT_EQ(window.minimumSize(), QSize(586, 409));
    EXPECT_EQ(window.size(), QSize(586, 409));
}
