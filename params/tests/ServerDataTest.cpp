#include "params/EditorLists.h"
#include "params/ServerData.h"

#include "params/tests/EditorFixture.h"

#include <QFile>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace tavrel;

// Beside the type, so that GoogleTest finds it when a comparison fails.
namespace tavrel {
inline void PrintTo(const ServerDataSection& s, std::ostream* os) {
    *os << s.head.toStdString() << "{" << s.entries.join(u'|').toStdString() << "}";
}
}  // namespace tavrel

namespace {

using Sections = QList<ServerDataSection>;

}  // namespace

TEST(ServerDataTest, SectionRules) {
    struct Case {
        const char* name;
        QString text;
        Sections sections;
    };
    const Case cases[] = {
        {"stored record: the opening quote does not hide the first head",
         "\"[DB]\r\nMSDB\r\nNCBInr\r\n\r\n[CLE]\r\nTrypsin\r\n\"\r\n",
         {{"[DB]", {"MSDB", "NCBInr"}}, {"[CLE]", {"Trypsin"}}}},
        {"closing quote on the last entry is not part of it", "\"[CLE]\r\nTrypsin\"\r\n", {{"[CLE]", {"Trypsin"}}}},
        {"unquoted document, LF ends, blanks trimmed", "  [DB]  \n  MSDB \n", {{"[DB]", {"MSDB"}}}},
        {"blank line ends the section", "[DB]\r\nA\r\n\r\nB\r\n[CLE]\r\nT\r\n", {{"[DB]", {"A"}}, {"[CLE]", {"T"}}}},
        {"a lone quote ends the section", "[DB]\r\nA\r\n\"\r\nB\r\n", {{"[DB]", {"A"}}}},
        {"lines before any head are dropped", "x\r\ny\r\n[DB]\r\nA\r\n", {{"[DB]", {"A"}}}},
        {"a head in lower case is a head of its own", "[db]\r\nA\r\n", {{"[db]", {"A"}}}},
        {"a section twice stays two sections", "[DB]\r\nA\r\n\r\n[DB]\r\nB\r\n", {{"[DB]", {"A"}}, {"[DB]", {"B"}}}},
        {"quotes inside an entry stay", "\"[MODS]\r\nSay \"hi\"\r\nX\r\n\"\r\n", {{"[MODS]", {"Say \"hi\"", "X"}}}},
        {"empty record", "\"\"\r\n", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseServerData(c.text), c.sections) << c.name;
}

TEST(ServerDataTest, ReadsTheFileAndTellsMissingFromUnreadable) {
    testsupport::TempHome home;
    const QString path = serverDataPath(home.path());
    EXPECT_FALSE(readServerData(path).found);

    testsupport::writeFile(path, "\"[DB]\r\nCaf\xE9 DB\r\n\r\n\"\r\n");
    const ServerDataRead read = readServerData(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.sections, (Sections{{"[DB]", {QString::fromUtf8("Caf\u00e9 DB")}}}));  // code page 1252

    QDir(home.path()).mkdir(QStringLiteral("folder.dat"));
    const ServerDataRead folder = readServerData(home.file(QStringLiteral("folder.dat")));
    EXPECT_TRUE(folder.found);
    EXPECT_FALSE(folder.ok());
    EXPECT_TRUE(folder.error.contains(QStringLiteral("folder.dat"))) << folder.error.toStdString();
}

// A document grown far past what any server sends (a sparse file costs its
// maker nothing) is refused by name instead of read into memory.
TEST(ServerDataTest, AFileGrownPastAnyDocumentIsRefusedByName) {
    testsupport::TempHome home;
    const QString path = serverDataPath(home.path());
    testsupport::writeFile(path, "\"[DB]\r\nMSDB\r\n\"\r\n");
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), qint64(512) << 20), 0);  // sparse
    const ServerDataRead read = readServerData(path);
    EXPECT_TRUE(read.found);
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error.startsWith("Cannot read " + path + ": it holds 536870912 bytes, more than"))
        << qPrintable(read.error);
}

TEST(ServerDataTest, ListsStopAtTheirLimit) {
    QStringList list(kMaxListEntries - 1, QStringLiteral("x"));
    EXPECT_TRUE(appendListEntries(list, {"a"}));
    EXPECT_FALSE(appendListEntries(list, {"b", "c"}));
    EXPECT_EQ(list.size(), kMaxListEntries);
    EXPECT_EQ(list.back(), QStringLiteral("a"));
}

TEST(EditorListsTest, ReportChoicesFromTheOptionsLines) {
    const QStringList builtIn = {"AUTO", "5", "10", "20", "30", "40", "50"};
    struct Case {
        const char* name;
        QStringList options;
        QStringList choices;
    };
    const Case cases[] = {
        {"key in mixed case with =", {"other=1", "ReportNumberChoices=AUTO,10,20,50"}, {"AUTO", "10", "20", "50"}},
        {"the first matching line counts", {"reportnumberchoices=5,6", "reportnumberchoices=7,8"}, {"AUTO", "6"}},
        {"a single choice falls back", {"ReportNumberChoices=AUTO"}, builtIn},
        {"no such line", {}, builtIn},
        {"letters become AUTO, blanks before a number are ignored", {"reportnumberchoices=1, 25,top,7x"},
         {"AUTO", "25", "AUTO", "7"}},
    };
    for (const Case& c : cases) EXPECT_EQ(reportChoices(c.options), c.choices) << c.name;
}
