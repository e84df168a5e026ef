#include "params/DefaultParameterSet.h"

#include "params/ParameterEditor.h"
#include "params/tests/EditorFixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

const QByteArray kBuiltIn =
    "COM=<taskname> (<parameters>), submitted from Tavrel on <localhost>\r\nSEG=\r\nTOL=1.2\r\nTOLU=Da\r\n"
    "ITOL=0.6\r\nITOLU=Da\r\nPFA=1\r\nDB=MSDB\r\nMODS=\r\nMASS=Monoisotopic\r\nCLE=Trypsin\r\nSEARCH=MIS\r\n"
    "USERNAME=Sorvex Tavrel\r\nUSEREMAIL=\r\nCHARGE=2+ and 3+\r\nREPORT=0\r\nFORMAT=Sequest (.DTA)\r\n"
    "IT_MODS=Oxidation (M)\r\nTAXONOMY=All entries\r\nINSTRUMENT=Default\r\n";

}  // namespace

TEST(DefaultParameterSetTest, WrittenOnlyWhenMissing) {
    testsupport::TempHome home;
    const QString path = defaultParameterSetPath(home.path());
    ASSERT_FALSE(frmMain_CreateDefaultParameterSet(home.path()));
    EXPECT_EQ(testsupport::readFile(path), kBuiltIn);
    EXPECT_EQ(kBuiltIn.count("\r\n"), 20);

    for (const QByteArray& own : {QByteArray("COM=mine\r\n"), QByteArray()}) {  // an empty file counts as present
        testsupport::writeFile(path, own);
        ASSERT_FALSE(frmMain_CreateDefaultParameterSet(home.path()));
        EXPECT_EQ(testsupport::readFile(path), own);
    }
}

// A new installation's default set names a database its server offers, so
// that opening it warns of none; a server that offers the built-in one, or
// no server document yet, keeps it.
TEST(DefaultParameterSetTest, NamesADatabaseThatTheServerOffers) {
    const struct {
        const char* name;
        QStringList server;  // "server.dat" lines; none: no file
        const char* database;
    } cases[] = {
        {"no server document", {}, "MSDB"},
        {"a server without the built-in database", {"[CLE]", "Trypsin", "", "[DB]", "SwissProt", "NCBIprot"},
         "SwissProt"},
        {"a server with it", {"[DB]", "NCBInr", "MSDB"}, "MSDB"},
        {"a server without databases", {"[DB]", "", "[CLE]", "Trypsin"}, "MSDB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::EditorHome home;
        QFile::remove(serverDataPath(home.path()));
        if (!c.server.isEmpty()) home.writeServerData(c.server);
        ASSERT_FALSE(frmMain_CreateDefaultParameterSet(home.path()));
        QByteArray wanted = kBuiltIn;
        wanted.replace("DB=MSDB\r\n", "DB=" + QByteArray(c.database) + "\r\n");
        EXPECT_EQ(testsupport::readFile(defaultParameterSetPath(home.path())), wanted);
    }
}

TEST(DefaultParameterSetTest, AFolderThatCannotBeWrittenGivesAnErrorAndNoFile) {
    testsupport::TempHome home;
    const QString notAFolder = home.file("plain-file");
    testsupport::writeFile(notAFolder, "x");
    const auto error = frmMain_CreateDefaultParameterSet(notAFolder);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->message.contains("default.par")) << error->message.toStdString();
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"plain-file"});  // no temporary file left
}

TEST(DefaultParameterSetTest, TheBuiltInSetOpensAsAnMsmsSearch) {
    testsupport::EditorHome home;
    ASSERT_FALSE(frmMain_CreateDefaultParameterSet(home.path()));
    ParameterEditor editor(home.environment());
    ASSERT_TRUE(editor.OpenParameterFile(defaultParameterSetPath(home.path())));
    const auto& s = editor.state();
    EXPECT_TRUE(s.chkParamSEARCH.checked);
    EXPECT_EQ(s.cboParamREPORT.currentText(), "AUTO");
    EXPECT_EQ(s.cboParamFORMAT.currentText(), "Sequest (.DTA)");
    EXPECT_EQ(s.lstParamIT_MODS.items, QStringList{"Oxidation (M)"});
    EXPECT_EQ(s.lstParamDB.selectedItems(), QStringList{"MSDB"});
    EXPECT_TRUE(editor.takeMessages().isEmpty());
}
