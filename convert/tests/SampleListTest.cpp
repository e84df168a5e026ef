// MassLynx sample lists: the table as the Jet reader exports it, the peak-list
// path of a sample (kept inside its folder), the comment template, and the
// real reader's failures.
#include "ConvertTestHelpers.h"

#include "convert/SampleList.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using namespace tavrelsvc;

TEST(SampleListTable, ExportedRowsKeepQuotesCommasAndLineBreaks) {
    const SampleListTable t = parseExportedTable(
        "\"file_name\",\"SampleID\",\"Conc\"\n\"liver_01\",\"S1\",1.5\n\"kidney, \"\"B\"\"\",\"S\n2\",\n");
    EXPECT_EQ(t.columns, (QStringList{"file_name", "SampleID", "Conc"}));
    ASSERT_EQ(t.rows.size(), 2);
    EXPECT_EQ(t.rows[0], (QStringList{"liver_01", "S1", "1.5"}));
    EXPECT_EQ(t.rows[1], (QStringList{"kidney, \"B\"", "S\n2", ""}));
    EXPECT_TRUE(parseExportedTable("").columns.isEmpty());
}

TEST(SampleListPaths, ANameNeverLeadsOutOfThePeakListFolder) {
    struct Case {
        const char* name;
        bool kept;
    } cases[] = {
        {"liver_01", true}, {"run 2.v1", true}, {"../etc/passwd", false}, {"..", false},
        {"/abs/x", false},  {"a\\b", false},    {"C:x", false},         {"", false},
        {"  ", false},
    };
    for (const Case& c : cases) {
        const QString path = samplePeakListPath(QStringLiteral("/data/pkl"), QString::fromLatin1(c.name));
        EXPECT_EQ(!path.isEmpty(), c.kept) << c.name;
        if (c.kept) {
            EXPECT_EQ(path, QStringLiteral("/data/pkl/") + QString::fromLatin1(c.name) + QStringLiteral(".pkl"));
        }
    }
}

TEST(SampleListComments, EachColumnFillsTheFirstPlaceholderOfItsName) {
    const QStringList columns{"file_name", "SampleID", "Text"};
    struct Case {
        const char* templ;
        QStringList values;
        const char* comment;
    } cases[] = {
        {"<SAMPLEID>: <text> (<sampleid>)", {"f1", "S1", "liver"}, "S1: liver (<sampleid>)"},
        {"<Text> <Unknown>", {"f1", "S1", ""}, "<Text> <Unknown>"},  // empty value, no column: kept
        {"", {"f1", "S1", "liver"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sampleComment(QString::fromLatin1(c.templ), columns, c.values), QString::fromLatin1(c.comment));
    EXPECT_EQ(sampleComment("<text>", columns, {"f", "S", QString(300, 'x')}).size(), 255);
}

TEST(MdbSampleListReader, AFileThatIsNoDatabaseCannotBeOpened) {
    converttest::LoggedHome home;
    MdbSampleListReader reader;
    const auto text = reader.readAnalysis(home.put("list.spl", "plain text, not a Jet database"));
    EXPECT_EQ(text.status, SampleListReader::Status::NotADatabase);
    EXPECT_FALSE(text.error.isEmpty());
    const auto missing = reader.readAnalysis(home.file("gone.spl"));
    EXPECT_EQ(missing.status, SampleListReader::Status::NotADatabase);
    EXPECT_TRUE(missing.error.startsWith("File not found"));
}

TEST(MdbSampleListReader, WithoutTheJetProgramsTheReaderIsMissing) {
    converttest::LoggedHome home;
    testsupport::EnvGuard path("PATH", home.file("no-programs-here").toUtf8());
    const auto read = MdbSampleListReader().readAnalysis(home.put("list.spl", "a Jet file"));
    EXPECT_EQ(read.status, SampleListReader::Status::ReaderMissing);
    EXPECT_EQ(read.error, "mdb-tables (mdbtools) is not installed");
}

TEST(SampleListPaths, NamesAreMatchedWithoutRegardToLetterCase) {
    converttest::LoggedHome home;
    const QString folder = home.file("pkl");
    home.put("pkl/s1.PKL", "1 1\r\n");
    home.put("pkl/s2.pkl", "1 1\r\n");
    EXPECT_EQ(findSamplePeakList(folder, "s1"), folder + "/s1.PKL");
    EXPECT_EQ(findSamplePeakList(folder, "S2"), folder + "/s2.pkl");
    EXPECT_EQ(findSamplePeakList(folder, "s3"), folder + "/s3.pkl") << "not there (yet): the name as the list has it";
    EXPECT_EQ(findSamplePeakList(folder, "../s1"), "");
    EXPECT_EQ(sampleNameColumn({"SampleID", "FILE_NAME"}), 1);
    EXPECT_EQ(sampleNameColumn({"File_Name"}), 0);
    EXPECT_EQ(sampleNameColumn({"filename", "name"}), -1);
}

// The Jet programs' stand-ins stand first on PATH: a database without the
// table, and one with it, read by the real reader through the same programs.
TEST(MdbSampleListReader, ReadsTheAnalysisTableThroughTheExportProgram) {
    const QString tools = testsupport::binPath(QStringLiteral("standins/mdbtools"));
    if (!QFileInfo(tools + "/mdb-export").isExecutable()) GTEST_SKIP() << "the Jet program stand-ins are not built";
    testsupport::EnvGuard path("PATH", (tools + ':' + qEnvironmentVariable("PATH")).toUtf8());
    converttest::LoggedHome home;
    MdbSampleListReader reader;
    const auto other = reader.readAnalysis(home.put("other.spl", "# Tavrel stand-in sample list\ntable SAMPLES\n\"a\"\n"));
    EXPECT_EQ(other.status, SampleListReader::Status::TableUnavailable);
    EXPECT_EQ(other.error, "The sample list has no table ANALYSIS");
    const auto read = reader.readAnalysis(home.put(
        "list.spl", "# Tavrel stand-in sample list\ntable ANALYSIS\n\"file_name\",\"Text\"\n\"s1\",\"one\"\n\"s2\",\"two\"\n"));
    ASSERT_EQ(read.status, SampleListReader::Status::Read) << qPrintable(read.error);
    EXPECT_EQ(read.table.columns, (QStringList{"file_name", "Text"}));
    EXPECT_EQ(read.table.rows, (QList<QStringList>{{"s1", "one"}, {"s2", "two"}}));
}

}  // namespace
