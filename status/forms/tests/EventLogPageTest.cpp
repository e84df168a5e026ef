// The event list fed by the refresh from the service's event log.
#include "status/forms/EventLogPage.h"
#include "status/forms/EventListModel.h"
#include "status/forms/ListColumnWidths.h"

#include "common/Settings.h"
#include "platform/testsupport/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace tavrel;

TEST(EventLogPage, ShowsEachNewLineOnceWithItsIcon) {
    testsupport::TempHome home;
    const QString log = home.file("Sorvex_Tavrel_Event_Log.csv");
    testsupport::writeFile(log, "***** Sorvex Tavrel Service started *****\r\n"
                                "Event,10:00:00,06/05/2024,3,Label,a.raw,Search done, 2 hits\r\n");
    EventLogPage page;
    page.InitEventColumns();
    page.OpenEventLog(log);
    page.show();
    page.RefreshEvents();
    EventListModel* m = page.eventModel();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->columnCount(), 7);
    EXPECT_EQ(m->headerData(6, Qt::Horizontal).toString(), "Log entry");
    EXPECT_EQ(m->index(1, 0).data().toString(), "Event");
    EXPECT_EQ(m->index(1, 6).data().toString(), "Search done, 2 hits");
    EXPECT_FALSE(m->index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_TRUE(m->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());

    page.RefreshEvents();
    EXPECT_EQ(m->rowCount(), 2);
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("Error,10:00:05,06/05/2024,3,Label,a.raw,(TVS1003) 5: Bad\r\n");
    f.close();
    page.RefreshEvents();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->rowAt(2).icon, "error");
}

TEST(EventLogPage, ColumnWidthsSurviveTheRun) {
    testsupport::TempHome home;
    {
        EventLogPage page;
        page.InitEventColumns();
        QHeaderView* header = page.lvwEvent->header();
        EXPECT_EQ(header->sectionSize(3), columnTwipsToPixels(1000, header));
        // Twips as the lists' first home measured them: never less than 15 to a pixel.
        EXPECT_GE(header->sectionSize(3), 67);
        header->resizeSection(3, 40);
        page.SaveEventColumnWidths();
        EXPECT_EQ(common::modGlobal_GetSetting("Sorvex Tavrel", "Event Column Width", "3").toInt(),
                  columnPixelsToTwips(40, header));
    }
    EventLogPage next;
    next.InitEventColumns();
    EXPECT_NEAR(next.lvwEvent->header()->sectionSize(3), 40, 1);
}

// A backlog larger than one slice: the refresh returns after the first slice,
// the window's events run between the slices, and the list ends holding the
// newest kMaxEventRows lines, its last row the last line written.
TEST(EventLogPage, AHugeBacklogIsReadInSlicesIntoABoundedList) {
    testsupport::TempHome home;
    const QString log = home.file("Sorvex_Tavrel_Event_Log.csv");
    testsupport::writeFile(log, "");
    EventLogPage page;
    page.InitEventColumns();
    page.OpenEventLog(log);
    page.show();
    {
        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::Append));
        const QByteArray filler(150, 'x');
        QByteArray bytes;
        int n = 0;
        while (bytes.size() < EventLogTail::kSliceBytes + (1 << 20))
            bytes += "Event,10:00:00,06/05/2024,1,T,f," + filler + " line " + QByteArray::number(++n) + "\r\n";
        f.write(bytes);
        f.write("Error,10:00:01,06/05/2024,1,T,f,\"the last\r\none\"\r\n");
    }
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(0);
    page.RefreshEvents();
    EXPECT_FALSE(page.eventsCaughtUp());
    const int ticksAfterFirstSlice = ticks;
    page.RefreshEvents();  // a refresh meanwhile starts no second reading
    while (!page.eventsCaughtUp()) QCoreApplication::processEvents();
    EXPECT_GT(ticks, ticksAfterFirstSlice);
    EventListModel* m = page.eventModel();
    ASSERT_EQ(m->rowCount(), kMaxEventRows);
    EXPECT_EQ(m->index(kMaxEventRows - 1, 6).data().toString(), "the last\r\none");
    const int lastNumbered = m->index(kMaxEventRows - 2, 6).data().toString().section(' ', -1).toInt();
    const int firstShown = m->index(0, 6).data().toString().section(' ', -1).toInt();
    EXPECT_GT(lastNumbered, 50000);
    EXPECT_EQ(lastNumbered - firstShown, kMaxEventRows - 2);  // the newest, none skipped
}
