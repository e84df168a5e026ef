#include "common/ParameterFile.h"

#include "common/tests/PrintParameterLine.h"
#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace tavrel;

namespace {

using Rule = ParameterLineRule;
using Kind = ParameterFileError::Kind;

struct ReadCase {
    const char* name;
    QByteArray bytes;
    QList<ParameterLine> lines;  // the same under both rules
};

class ParameterFileTest : public ::testing::Test {
protected:
    testsupport::TempHome home;
    QString path(const char* name = "set.par") const { return home.file(QString::fromLatin1(name)); }
};

}  // namespace

TEST_F(ParameterFileTest, SplitsEachLineAtTheFirstEqualsAndTrimsNothing) {
    const ReadCase cases[] = {
        {"crlf", "COM=Run 5\r\nTOL=1.2\r\n", {{"COM", "Run 5", 1}, {"TOL", "1.2", 2}}},
        {"lf only", "COM=Run 5\nTOL=1.2\n", {{"COM", "Run 5", 1}, {"TOL", "1.2", 2}}},
        {"last line without end", "COM=x\r\nTOL=2", {{"COM", "x", 1}, {"TOL", "2", 2}}},
        {"value holds =", "COM=a=b\r\n", {{"COM", "a=b", 1}}},
        {"blanks kept", "COM = x \r\n", {{"COM ", " x ", 1}}},
        {"case kept", "tolu=Da\r\n", {{"tolu", "Da", 1}}},
        {"empty key and value", "=x\r\nMODS=\r\n", {{"", "x", 1}, {"MODS", "", 2}}},
        {"blank lines skipped", "\r\nCOM=x\r\n  \r\n\nTOL=1\r\n\r\n", {{"COM", "x", 2}, {"TOL", "1", 5}}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) {
        for (Rule rule : {Rule::SkipLinesWithoutEquals, Rule::RejectLinesWithoutEquals}) {
            const auto read = parseParameterFileLines(c.bytes, "x.par", rule);
            ASSERT_TRUE(read.ok()) << c.name << ": " << read.error->message.toStdString();
            EXPECT_EQ(read.lines, c.lines) << c.name;
        }
    }
}

TEST_F(ParameterFileTest, LineWithoutEqualsIsSkippedByTheEditorAndAnErrorForTheService) {
    // "%2" in the name must reach the message as written.
    const QString file = path("run %2.par");
    testsupport::writeFile(file, "COM=a\r\nSEG=\r\nDB MSDB\r\nTOL=2\r\n");

    const auto lenient = readParameterFileLines(file, Rule::SkipLinesWithoutEquals);
    ASSERT_TRUE(lenient.ok());
    EXPECT_EQ(lenient.lines, (QList<ParameterLine>{{"COM", "a", 1}, {"SEG", "", 2}, {"TOL", "2", 4}}));

    const auto strict = readParameterFileLines(file, Rule::RejectLinesWithoutEquals);
    ASSERT_FALSE(strict.ok());
    EXPECT_TRUE(strict.lines.isEmpty());
    EXPECT_EQ(strict.error->kind, Kind::LineWithoutEquals);
    EXPECT_EQ(strict.error->lineNumber, 3);
    EXPECT_EQ(strict.error->message,
              QStringLiteral("Parameter file %1, line 3 is not KEY=VALUE: \"DB MSDB\"").arg(file));
    EXPECT_EQ(strict.error->toError().description(), strict.error->message);
}

TEST_F(ParameterFileTest, MissingOrUnreadableFileNamesThePath) {
    const auto missing = readParameterFileLines(path("none.par"), Rule::SkipLinesWithoutEquals);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error->kind, Kind::NotFound);
    EXPECT_EQ(missing.error->message, "Parameter file not found: " + path("none.par"));
    EXPECT_EQ(missing.error->toError().number(), platform::errnum::FileNotFound);

    ASSERT_TRUE(QDir(home.path()).mkdir("folder.par"));
    const auto folder = readParameterFileLines(path("folder.par"), Rule::RejectLinesWithoutEquals);
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error->kind, Kind::Unreadable);
    EXPECT_TRUE(folder.error->message.contains(path("folder.par")));
}

// A set (or "default.par" of the shared folder) grown far past any parameter
// set, or a fifo in its place: refused by name, never read or waited on.
TEST_F(ParameterFileTest, AFileGrownPastAnySetOrAFifoIsRefusedByName) {
    testsupport::writeFile(path("grown.par"), "COM=run\r\n");
    ASSERT_EQ(::truncate(QFile::encodeName(path("grown.par")).constData(), qint64(64) << 20), 0);  // sparse
    const auto grown = readParameterFileLines(path("grown.par"), Rule::SkipLinesWithoutEquals);
    ASSERT_FALSE(grown.ok());
    EXPECT_EQ(grown.error->kind, Kind::Unreadable);
    EXPECT_TRUE(grown.error->message.startsWith("Cannot read parameter file " + path("grown.par") +
                                                ": it holds 67108864 bytes, more than"))
        << qPrintable(grown.error->message);

    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.par")).constData(), 0660), 0);
    const auto fifo = readParameterFileLines(path("fifo.par"), Rule::SkipLinesWithoutEquals);
    ASSERT_FALSE(fifo.ok());
    EXPECT_EQ(fifo.error->kind, Kind::Unreadable);
    EXPECT_TRUE(fifo.error->message.contains(path("fifo.par"))) << qPrintable(fifo.error->message);
}

TEST_F(ParameterFileTest, CodePageCharactersSurviveReadAndWrite) {
    const QByteArray bytes = "COM=5 \xB5g caf\xE9 \x80\r\nSEG=\r\n";
    testsupport::writeFile(path(), bytes);
    const auto read = readParameterFileLines(path(), Rule::RejectLinesWithoutEquals);
    ASSERT_TRUE(read.ok());
    ASSERT_EQ(read.lines.size(), 2);
    EXPECT_EQ(read.lines[0].value, QString::fromUtf8("5 µg café €"));

    ASSERT_FALSE(writeParameterFileLines(path("copy.par"), read.lines));
    EXPECT_EQ(testsupport::readFile(path("copy.par")), bytes);
}

TEST_F(ParameterFileTest, WritesCrLfLinesInTheCodePage) {
    const QList<ParameterLine> lines{{"COM", "a=b é", 1}, {"MODS", "", 2}, {"SEG", " 1 ", 3}};
    ASSERT_FALSE(writeParameterFileLines(path(), lines));
    EXPECT_EQ(testsupport::readFile(path()), QByteArray("COM=a=b \xE9\r\nMODS=\r\nSEG= 1 \r\n"));
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"set.par"});  // no temporary left
}

TEST_F(ParameterFileTest, RefusesWhatWouldReadBackDifferentlyAndKeepsTheOldFile) {
    const struct {
        const char* name;
        ParameterLine line;
        const char* reason;
    } cases[] = {
        {"line feed in value", {"COM", "a\nTOL=9", 1}, "line break"},
        {"carriage return in value", {"COM", "a\rb", 1}, "line break"},
        {"equals in key", {"A=B", "c", 1}, "holds \"=\""},
        {"outside the code page", {"COM", QString::fromUtf8("α-synuclein"), 1}, "\"α\" (U+03B1)"},
        {"outside the basic plane", {"COM", QString::fromUtf8("run 🧪"), 1}, "\"🧪\" (U+1F9EA)"},
    };
    const QByteArray old = "COM=old\r\n";
    for (const auto& c : cases) {
        testsupport::writeFile(path(), old);
        const auto error = writeParameterFileLines(path(), {{"SEG", "1", 1}, c.line});
        ASSERT_TRUE(error) << c.name;
        EXPECT_EQ(error->kind, Kind::NotWritable) << c.name;
        EXPECT_TRUE(error->message.contains(path())) << c.name;
        EXPECT_TRUE(error->message.contains(QString::fromUtf8(c.reason))) << error->message.toStdString();
        EXPECT_EQ(testsupport::readFile(path()), old) << c.name;
    }
}

TEST_F(ParameterFileTest, FileThatCannotBeCreatedIsAnErrorNamingIt) {
    const QString inMissingFolder = home.file("no/such/folder/set.par");
    const auto error = writeParameterFileLines(inMissingFolder, {{"COM", "x", 1}});
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, Kind::CannotCreate);
    EXPECT_TRUE(error->message.contains(inMissingFolder));
    EXPECT_FALSE(QFile::exists(inMissingFolder));
}

TEST_F(ParameterFileTest, ReadOnlyFileIsNotReplaced) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
    testsupport::writeFile(path(), "COM=old\r\n");
    QFile::setPermissions(path(), QFileDevice::ReadOwner);
    const auto error = writeParameterFileLines(path(), {{"COM", "new", 1}});
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, Kind::CannotCreate);
    EXPECT_EQ(testsupport::readFile(path()), QByteArray("COM=old\r\n"));
}

TEST_F(ParameterFileTest, ListsJoinWithCommasAndSplitBack) {
    EXPECT_EQ(joinParameterList({}), "");
    EXPECT_EQ(joinParameterList({"Carbamidomethyl (C)", "Oxidation (M)"}), "Carbamidomethyl (C),Oxidation (M)");
    EXPECT_TRUE(splitParameterList("").isEmpty());
    EXPECT_EQ(splitParameterList("A,,B"), (QStringList{"A", "", "B"}));
    EXPECT_EQ(splitParameterList(" A, B"), (QStringList{" A", " B"}));
}
