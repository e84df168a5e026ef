// Opening a parameter file: each rule that applies a line to a control, and
// the round trip of a set through the writer.
#include "params/ParameterEditor.h"

#include "params/tests/EditorFixture.h"

#include <gtest/gtest.h>

using namespace tavrel;
using testsupport::texts;
using S = ParameterEditorState;

namespace {

class ParameterApplyTest : public ::testing::Test {
protected:
    testsupport::EditorHome home;
    ParameterEditor editor{home.environment()};

    QString write(const QByteArray& bytes, const QString& name = "set.par") {
        const QString path = home.file(name);
        testsupport::writeFile(path, bytes);
        return path;
    }
};

}  // namespace

TEST_F(ParameterApplyTest, EachLineReachesItsControl) {
    struct Case {
        const char* lines;
        std::function<bool(const S&)> holds;
        QStringList messages = {};  // "%1" is the file's path
        const char* version = "2.2.101";
    };
    const Case cases[] = {
        {"COM=a=b", [](const S& s) { return s.txtParamCOM.text == "a=b"; }},
        {"COM = x", [](const S& s) { return s.txtParamCOM.text.isEmpty(); }},  // key "COM " is no key
        {"TOL=\r\nSEG=55", [](const S& s) { return s.txtParamTOL.text.isEmpty() && s.txtParamSEG.text == "55"; }},
        {"USERNAME=Ann\r\nUSEREMAIL=a@b", [](const S& s) { return s.txtParamUSERNAME.text == "Ann" && s.txtParamUSEREMAIL.text == "a@b"; }},
        // tolerance units
        {"TOLU=ppm", [](const S& s) { return s.cboParamTOLU.currentText() == "ppm"; }},
        {"TOLU=%", [](const S& s) { return s.cboParamTOLU.current == 2; }},
        {"TOLU=da", [](const S& s) { return s.cboParamTOLU.currentText() == "Da"; }},
        {"TOLU=mmu\r\nTOLU=xx", [](const S& s) { return s.cboParamTOLU.currentText() == "mmu"; }},  // left as it was
        {"tolu=ppm", [](const S& s) { return s.cboParamTOLU.currentText() == "Da"; }},
        {"ITOLU=mmu", [](const S& s) { return s.cboParamITOLU.currentText() == "mmu"; }},
        {"ITOLU=ppm", [](const S& s) { return s.cboParamITOLU.currentText() == "Da"; }},
        // masses and search kinds
        {"MASS=Average", [](const S& s) { return s.optParamMASS.chosen == 1; }},
        {"MASS=average", [](const S& s) { return s.optParamMASS.chosen == 0; }},
        {"SEARCH=MIS", [](const S& s) { return s.chkParamSEARCH.checked && s.cboParamFORMAT.enabled; }},
        {"SEARCH=mis", [](const S& s) { return !s.chkParamSEARCH.checked && !s.cboParamFORMAT.enabled; }},
        {"SEARCH=MIS", [](const S& s) { return s.cboParamFORMAT.enabled && !s.cboParamQUANTITATION.enabled; }, {}, "2.1"},
        // report, charge, cleavage
        {"REPORT=0", [](const S& s) { return s.cboParamREPORT.currentText() == "AUTO"; }},
        {"REPORT=20", [](const S& s) { return s.cboParamREPORT.currentText() == "20"; }},
        {"REPORT=20\r\nREPORT=7", [](const S& s) { return s.cboParamREPORT.current == 0; }},
        {"CHARGE=2+ and 3+", [](const S& s) { return s.cboParamCHARGE.currentText() == "2+ and 3+"; }},
        {"CHARGE=9+", [](const S& s) { return s.cboParamCHARGE.currentText() == "Mr"; }},
        {"CLE=Lys-C", [](const S& s) { return s.cboParamCLE.currentText() == "Lys-C" && s.cboParamCLE.items.size() == 3; }},
        {"CLE=Pepsin", [](const S& s) { return s.cboParamCLE.items.size() == 4 && s.cboParamCLE.current == 3 && s.cboParamCLE.currentText() == "Pepsin"; }},
        {"CLE=", [](const S& s) { return s.cboParamCLE.items.size() == 4 && s.cboParamCLE.currentText().isEmpty() && s.cboParamCLE.current == 3; }},
        // positions
        {"PFA=3", [](const S& s) { return s.cboParamPFA.currentText() == "3"; }},
        {"PFA=12", [](const S& s) { return s.cboParamPFA.current == 0; },
         {"Warning: Parameter file %1 gives PFA=12, which is not offered; \"0\" is kept"}},
        {"PEP_ISOTOPE_ERROR=2", [](const S& s) { return s.cboParamPEP_ISOTOPE_ERROR.currentText() == "2"; }},
        {"PEP_ISOTOPE_ERROR=one", [](const S& s) { return s.cboParamPEP_ISOTOPE_ERROR.current == 0; },
         {"Warning: Parameter file %1 gives PEP_ISOTOPE_ERROR=one, which is not offered; \"0\" is kept"}},
        // fallbacks to the first entry when a value is not offered
        {"FORMAT=Unknown generic", [](const S& s) { return s.cboParamFORMAT.current == 0; }},
        {"FORMAT=mzML (.mzML)", [](const S& s) { return s.cboParamFORMAT.current == 8; }},
        {"TAXONOMY=. . Homo sapiens (human)", [](const S& s) { return s.cboParamTAXONOMY.current == 1; }},
        {"TAXONOMY=Mouse", [](const S& s) { return s.cboParamTAXONOMY.current == 0; }},
        {"INSTRUMENT=ESI-TRAP\r\nINSTRUMENT=MALDI", [](const S& s) { return s.cboParamINSTRUMENT.current == 0; }},
        {"QUANTITATION=iTRAQ 4plex", [](const S& s) { return s.cboParamQUANTITATION.current == 1; }},
        // flags and their interlocks (DECOY is written before ERRORTOLERANT)
        {"DECOY=1", [](const S& s) { return s.chkParamDECOY.checked; }},
        {"DECOY=yes", [](const S& s) { return !s.chkParamDECOY.checked; }},
        {"SEARCH=MIS\r\nDECOY=1\r\nERRORTOLERANT=1",
         [](const S& s) { return s.chkParamDECOY.checked && !s.chkParamERRORTOLERANT.checked; },
         {"Cannot select both Error tolerant and decoy"}},
        {"ERRORTOLERANT=1\r\nQUANTITATION=iTRAQ 4plex",
         [](const S& s) { return s.chkParamERRORTOLERANT.checked && s.cboParamQUANTITATION.current == 0; },
         {"Cannot select an Error tolerant and a quantitation method"}},
        // modifications
        {"MODS=A\r\nMODS=B,C", [](const S& s) { return s.lstParamMODS.items == QStringList{"A", "B", "C"}; }},
        {"MODS=\r\nIT_MODS=Oxidation (M),Oxidation (M)",
         [](const S& s) { return s.lstParamMODS.items.isEmpty() && s.lstParamIT_MODS.items == QStringList{"Oxidation (M)", "Oxidation (M)"}; }},
        // databases and their warnings
        {"DB=SwissProt", [](const S& s) { return s.lstParamDB.selectedItems() == QStringList{"SwissProt"}; }},
        {"DB=", [](const S& s) { return s.lstParamDB.selectedCount() == 0; }},
        {"DB=NCBInr,MSDB", [](const S& s) { return s.lstParamDB.selectedItems() == QStringList{"MSDB", "NCBInr"}; }},
        {"DB=NCBInr,MSDB", [](const S& s) { return s.lstParamDB.selectedItems() == QStringList{"NCBInr"}; },
         {"Warning: Parameter set specifies multiple database, which requires Sorvex Server 2.3 or later."}, "2.2"},
        {"DB=Mine", [](const S& s) { return s.lstParamDB.items.back() == "Mine" && s.lstParamDB.selectedItems() == QStringList{"Mine"}; },
         {"Warning: Database specified in %1 (Mine) is not currently available"}},
        // lines that are not the editor's
        {"REPTYPE=Protein\r\nNOPE=1\r\njust text\r\n\r\n=x",
         [](const S& s) { return s.txtParamCOM.text.isEmpty() && s.lblParamPfileTag.endsWith("set.par"); }},
    };
    for (const Case& c : cases) {
        home.serverVersion = c.version;
        const QString path = write(c.lines);
        ASSERT_TRUE(editor.OpenParameterFile(path)) << c.lines;
        QStringList expected;
        for (const QString& m : c.messages) expected << m.arg(path);
        EXPECT_TRUE(c.holds(editor.state())) << c.lines << " (server " << c.version << ")";
        EXPECT_EQ(texts(editor.takeMessages()), expected) << c.lines;
        EXPECT_FALSE(editor.parameterSetChanged()) << c.lines;
        EXPECT_EQ(editor.currentFile(), path);
    }
}

TEST_F(ParameterApplyTest, AFileThatCannotBeOpenedLeavesTheEditorReset) {
    const QString missing = home.file("gone.par");
    editor.NewParameterForm();
    editor.editText(&S::txtParamCOM, "edited");
    EXPECT_FALSE(editor.OpenParameterFile(missing));
    EXPECT_EQ(texts(editor.takeMessages()), QStringList{"Warning: Parameter file not found: " + missing});
    EXPECT_TRUE(editor.state().txtParamCOM.text.isEmpty());
    EXPECT_EQ(editor.currentFile(), "Untitled");

    QDir(home.path()).mkdir("folder.par");
    EXPECT_FALSE(editor.OpenParameterFile(home.file("folder.par")));
    EXPECT_EQ(editor.takeMessages().size(), 1);
    EXPECT_EQ(editor.currentFile(), "Untitled");
}

TEST_F(ParameterApplyTest, AFailedResetStopsTheOpenBeforeTheFileIsApplied) {
    const QString first = write("COM=first\r\nDB=SwissProt", "first.par");
    const QString second = write("COM=second", "second.par");
    ASSERT_TRUE(editor.OpenParameterFile(first));
    editor.editText(&S::txtParamUSERNAME, "unsaved");
    QFile::remove(serverDataPath(home.path()));

    EXPECT_FALSE(editor.OpenParameterFile(second));
    EXPECT_EQ(texts(editor.takeMessages()), QStringList{"Cannot continue without search parameters from Sorvex server"});
    EXPECT_EQ(editor.state().txtParamCOM.text, "first");
    EXPECT_EQ(editor.currentFile(), first);
    EXPECT_TRUE(editor.parameterSetChanged());
}

TEST_F(ParameterApplyTest, ASetSavedWithoutEditsIsTheSameBytes) {
    struct Case {
        const char* name;
        const char* version;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"MS/MS on a new server", "2.2.101",
         "COM=<taskname> on <localhost>\r\nSEG=\r\nTOL=10\r\nTOLU=ppm\r\nITOL=0.6\r\nITOLU=mmu\r\nPFA=2\r\n"
         "DB=MSDB,NCBInr\r\nMODS=Carbamidomethyl (C)\r\nMASS=Average\r\nCLE=Pepsin\r\nSEARCH=MIS\r\n"
         "USERNAME=Ann M\xFCller\r\nUSEREMAIL=ann@example.org\r\nCHARGE=2+, 3+ and 4+\r\nREPORT=20\r\n"
         "FORMAT=mzML (.mzML)\r\nIT_MODS=Oxidation (M),Phospho (ST)\r\nTAXONOMY=. . Homo sapiens (human)\r\n"
         "INSTRUMENT=ESI-TRAP\r\nPEP_ISOTOPE_ERROR=1\r\nDECOY=1\r\nQUANTITATION=iTRAQ 4plex\r\n"},
        {"fingerprint on a 2.1 server", "2.1",
         "COM=PMF\r\nSEG=40\r\nTOL=1.2\r\nTOLU=Da\r\nPFA=1\r\nDB=SwissProt\r\nMODS=\r\nMASS=Monoisotopic\r\n"
         "CLE=Trypsin\r\nSEARCH=PMF\r\nREPTYPE=Protein\r\nUSERNAME=\r\nUSEREMAIL=\r\nCHARGE=1+\r\nREPORT=AUTO\r\n"
         "IT_MODS=\r\nTAXONOMY=All entries\r\n"},
        {"error tolerant MS/MS", "2.2",
         "COM=\r\nSEG=\r\nTOL=0.5\r\nTOLU=Da\r\nITOL=0.5\r\nITOLU=Da\r\nPFA=0\r\nDB=MSDB\r\nMODS=\r\n"
         "MASS=Monoisotopic\r\nCLE=Trypsin\r\nSEARCH=MIS\r\nUSERNAME=\r\nUSEREMAIL=\r\nCHARGE=Mr\r\nREPORT=AUTO\r\n"
         "FORMAT=Sorvex generic\r\nIT_MODS=\r\nTAXONOMY=All entries\r\nINSTRUMENT=Default\r\nERRORTOLERANT=1\r\n"},
    };
    for (const Case& c : cases) {
        home.serverVersion = c.version;
        const QString path = write(c.bytes);
        ASSERT_TRUE(editor.OpenParameterFile(path)) << c.name;
        editor.takeMessages();  // the unknown enzyme "Pepsin" is added silently
        const QString copy = home.file("copy.par");
        QFile::remove(copy);
        ASSERT_TRUE(editor.SaveParameterFile(copy)) << c.name;
        EXPECT_EQ(testsupport::readFile(copy), c.bytes) << c.name;
        EXPECT_EQ(editor.currentFile(), copy);
    }
}

TEST_F(ParameterApplyTest, AFingerprintSetDropsTheMsmsValuesItHolds) {
    const QString path = write("SEARCH=PMF\r\nITOL=0.9\r\nFORMAT=mzML (.mzML)\r\nINSTRUMENT=ESI-TRAP\r\n"
                               "PEP_ISOTOPE_ERROR=2\r\nDECOY=1\r\nQUANTITATION=iTRAQ 4plex\r\n");
    ASSERT_TRUE(editor.OpenParameterFile(path));
    ASSERT_TRUE(editor.SaveParameterFile(path));
    const QByteArray saved = testsupport::readFile(path);
    for (const char* key : {"ITOL", "ITOLU", "FORMAT", "INSTRUMENT", "PEP_ISOTOPE_ERROR", "QUANTITATION", "ERRORTOLERANT"})
        EXPECT_FALSE(saved.contains(QByteArray("\n") + key + "=")) << key;
    EXPECT_TRUE(saved.endsWith("DECOY=1\r\n"));

    ASSERT_TRUE(editor.OpenParameterFile(path));
    EXPECT_EQ(editor.state().txtParamITOL.text, "0.5");
    EXPECT_EQ(editor.state().cboParamFORMAT.current, 0);
}

TEST_F(ParameterApplyTest, TheSaveStepAsksBeforeOverwritingAndKeepsTheEditorOnFailure) {
    const QString path = home.file("new.par");
    editor.NewParameterForm();
    EXPECT_FALSE(editor.overwriteQuestionFor(path));
    ASSERT_TRUE(editor.SaveParameterFile(path));
    EXPECT_EQ(editor.overwriteQuestionFor(path),
              (EditorMessage{path + " already exists, OK to overwrite?", platform::vbOKCancel}));

    editor.editText(&S::txtParamCOM, "edited");
    const QString blocked = home.file("no-such-folder/x.par");
    EXPECT_FALSE(editor.SaveParameterFile(blocked));
    EXPECT_EQ(texts(editor.takeMessages()), QStringList{"Cannot save file. Is " + blocked + " read-only?"});
    EXPECT_EQ(editor.currentFile(), path);
    EXPECT_TRUE(editor.parameterSetChanged());

    editor.editText(&S::txtParamCOM, QString::fromUtf8("\u4e2d"));  // no such character in the code page
    EXPECT_FALSE(editor.SaveParameterFile(path));
    EXPECT_EQ(editor.takeMessages().size(), 1);
    EXPECT_FALSE(testsupport::readFile(path).contains("COM=?"));
}
