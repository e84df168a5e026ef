// The event list's reading end of the service's event log.
#include "status/EventLogTail.h"
#include "status/EventRows.h"

#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class EventLog : public ::testing::Test {
protected:
    void append(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Append));
        f.write(bytes);
    }
    QByteArray lines(int first, int count) {
        QByteArray out;
        for (int i = first; i < first + count; ++i) out += "Event,10:00:00,06/05/2024,1,T,f,line " + QByteArray::number(i) + "\r\n";
        return out;
    }

    QTemporaryDir dir;
    QString path = dir.filePath("Sorvex_Tavrel_Event_Log.csv");
    EventLogTail tail;
};

TEST_F(EventLog, SmallFileIsReadWholeThenOnlyWhatIsAppended) {
    append(lines(1, 3));
    tail.open(path);
    const QStringList first = tail.readNewLines();
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first[0], "Event,10:00:00,06/05/2024,1,T,f,line 1");  // no CR, no LF
    EXPECT_TRUE(tail.readNewLines().isEmpty());
    append(lines(4, 2));
    EXPECT_EQ(tail.readNewLines().size(), 2);
}

TEST_F(EventLog, LargeFileShowsOnlyTheCompleteLinesOfItsLast500Bytes) {
    const QByteArray all = lines(1, 40);  // 40 lines of 41 or 42 bytes
    append(all);
    tail.open(path);
    const QStringList shown = tail.readNewLines();
    // The lines that begin after the cut at size - 500.
    const qsizetype cut = all.size() - 500;
    const qsizetype firstWhole = all.indexOf('\n', cut) + 1;
    EXPECT_EQ(shown.size(), all.mid(firstWhole).count('\n'));
    EXPECT_EQ(shown.last(), "Event,10:00:00,06/05/2024,1,T,f,line 40");
    EXPECT_LT(shown.size(), 13);
}

TEST_F(EventLog, LineStillBeingWrittenWaitsForItsEnd) {
    tail.open(path);
    append("Warning,10:00:00,06/05/2024,2,T,f,half");
    EXPECT_TRUE(tail.readNewLines().isEmpty());
    append(" done\r\nError,10:00:01");
    EXPECT_EQ(tail.readNewLines(), QStringList{"Warning,10:00:00,06/05/2024,2,T,f,half done"});
    append(",06/05/2024, , , x\n");
    EXPECT_EQ(tail.readNewLines(), QStringList{"Error,10:00:01,06/05/2024, , , x"});
}

TEST_F(EventLog, TruncatedOrReplacedFileIsReadFromItsStart) {
    append(lines(1, 5));
    tail.open(path);
    ASSERT_EQ(tail.readNewLines().size(), 5);

    QFile::resize(path, 0);
    append(lines(100, 1));
    EXPECT_EQ(tail.readNewLines(), QStringList{"Event,10:00:00,06/05/2024,1,T,f,line 100"});

    // A new file under the name, longer than what was read of the old one.
    const QString fresh = dir.filePath("new.csv");
    testsupport::writeFile(fresh, lines(200, 8));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(fresh, path));
    const QStringList again = tail.readNewLines();
    ASSERT_EQ(again.size(), 8);
    EXPECT_TRUE(again[0].endsWith("line 200"));
}

TEST_F(EventLog, MissingFileIsNeverCreatedAndIsReadOnceItAppears) {
    tail.open(path);
    EXPECT_TRUE(tail.readNewLines().isEmpty());
    EXPECT_FALSE(QFile::exists(path));
    append("Event,10:00:00,06/05/2024, , , ,Service started \xe9t\xe9\r\n");  // 8-bit code page
    EXPECT_EQ(tail.readNewLines(), QStringList{QString::fromUtf8("Event,10:00:00,06/05/2024, , , ,Service started été")});
}

TEST(EventRows, LinesBecomeRows) {
    struct Case {
        const char* name;
        QString line;
        QString icon;
        QStringList fields;
    } cases[] = {
        {"event with a comma in its message", "Event,10:00:00,06/05/2024,3,Label,a.raw,Done, 2 hits", "event",
         {"Event", "10:00:00", "06/05/2024", "3", "Label", "a.raw", "Done, 2 hits"}},
        {"quoted message", "Error,10:00:00,06/05/2024,3,Label,a.raw,\"x, \"\"y\"\"\"", "error",
         {"Error", "10:00:00", "06/05/2024", "3", "Label", "a.raw", "x, \"y\""}},
        {"warning", "Warning,1,2,3,4,5,6", "warning", {"Warning", "1", "2", "3", "4", "5", "6"}},
        {"type in lower case", "event,1,2", "", {"event", "1", "2"}},
        {"banner without commas", "***** Sorvex Tavrel Service started *****", "",
         {"***** Sorvex Tavrel Service started *****"}},
    };
    for (const Case& c : cases) {
        const auto row = eventRowOf(c.line);
        ASSERT_TRUE(row) << c.name;
        EXPECT_EQ(row->icon, c.icon) << c.name;
        EXPECT_EQ(row->fields(), c.fields) << c.name;
        EXPECT_EQ(row->fieldCount(), c.fields.size()) << c.name;
    }
    EXPECT_FALSE(eventRowOf(QString()));
}

}  // namespace
