// The event list's reading end of the service's event log.
#include "status/EventLogTail.h"
#include "status/EventRows.h"
#include "common/EventLogLine.h"

#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <limits>

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

// The writer quotes a field that holds a line break: the line is one row,
// however the bytes arrive.
TEST_F(EventLog, AQuotedLineBreakStaysInsideItsLine) {
    const QString message = QStringLiteral("Search failed:\r\nline two, \"quoted\"\nline three");
    const QString line = common::formatEventLine(common::EventError, "10:00:00", "06/05/2024", 4, "T", "f", message);
    const QByteArray bytes = common::encodeEventLine(line) + "\r\n";
    tail.open(path);
    const qsizetype insideQuotes = bytes.indexOf('\n');
    append(bytes.left(insideQuotes + 1));  // up to the quoted LF
    EXPECT_TRUE(tail.readNewLines().isEmpty());
    append(bytes.mid(insideQuotes + 1) + lines(2, 1));
    const QStringList read = tail.readNewLines();
    ASSERT_EQ(read.size(), 2) << read.join("|").toStdString();
    EXPECT_EQ(read[0], line);
    EXPECT_EQ(common::splitEventLine(read[0]).value(6), message);
    EXPECT_TRUE(read[1].endsWith("line 2"));
    // A quote that never closes does not swallow the rest of the log.
    append("Error,10:00:00,06/05/2024,1,T,f,\"broken\r\n" + QByteArray(70 * 1024, 'x') + "\r\n");
    EXPECT_EQ(tail.readNewLines().size(), 2);
}

// The log is turned (renamed away, a new file at its name): what was written
// to the old file just before is read first, then the new file from its start.
TEST_F(EventLog, ARotatedLogIsReadToItsEndBeforeTheNewOne) {
    append(lines(1, 2));
    tail.open(path);
    ASSERT_EQ(tail.readNewLines().size(), 2);
    append(lines(3, 2) + "Event,10:00:00,06/05/2024,1,T,f,never ended");
    ASSERT_TRUE(QFile::rename(path, path + ".1"));
    append(lines(10, 1));
    QStringList read = tail.readNewLines();
    for (QString& l : read) l = l.section(',', 6);
    EXPECT_EQ(read, QStringList({"line 3", "line 4", "never ended", "line 10"}));
    append(lines(11, 1));
    EXPECT_EQ(tail.readNewLines().size(), 1);
}

// A large backlog is read in slices, and only the lines kept are answered.
TEST_F(EventLog, ABacklogIsReadInSlicesKeepingTheNewestLines) {
    tail.open(path);
    append(lines(1, 1000));  // about 42 kB
    QStringList all;
    int reads = 0;
    do {
        all += tail.readNewLines(4096, 300);
        ++reads;
    } while (!tail.caughtUp());
    EXPECT_GT(reads, 5);
    EXPECT_TRUE(all.last().endsWith("line 1000"));
    // Each slice answers whole lines, in order, never more than it keeps.
    EXPECT_LE(all.size(), 1000);
    append(lines(1001, 1000));
    const QStringList newest = tail.readNewLines(std::numeric_limits<qint64>::max(), 300);
    ASSERT_EQ(newest.size(), 300);
    EXPECT_TRUE(newest.first().endsWith("line 1701"));
    EXPECT_TRUE(newest.last().endsWith("line 2000"));
    EXPECT_TRUE(tail.caughtUp());
}

// A log padded with a run of nothing (truncate -s +6G costs its maker a few
// kilobytes) or a line that never ends: each read takes one bounded slice,
// the padding is no line, the endless line is shown cut at its limit, and
// the lines after either arrive.
TEST_F(EventLog, PaddingAndALineThatNeverEndsAreReadInBoundedSlices) {
    append(lines(1, 1));
    tail.open(path);
    ASSERT_EQ(tail.readNewLines().size(), 1);
    constexpr qint64 kSlice = 1 << 20;
    constexpr qint64 kPadding = 24 << 20;
    ASSERT_TRUE(QFile::resize(path, QFileInfo(path).size() + kPadding));  // sparse: NUL bytes
    append(lines(2, 1));
    append(QByteArray(3 * EventLogTail::kLongestLine, 'x') + "\r\n" + lines(3, 1));

    QStringList all;
    int reads = 0;
    do {
        const QStringList some = tail.readNewLines(kSlice);
        for (const QString& line : some) EXPECT_LE(line.size(), EventLogTail::kLongestLine);
        all += some;
        ASSERT_LT(++reads, 2 * kPadding / kSlice) << "the reads get nowhere";
    } while (!tail.caughtUp());
    EXPECT_GE(reads, kPadding / kSlice) << "one slice at a time";
    ASSERT_EQ(all.size(), 3);
    EXPECT_TRUE(all[0].endsWith("line 2")) << "the padding is no line";
    EXPECT_EQ(all[1], QString(EventLogTail::kLongestLine, QLatin1Char('x'))) << "cut at the limit";
    EXPECT_TRUE(all[2].endsWith("line 3"));
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
