// The editor's reset, its interlocks and the gates on the server version.
#include "params/ParameterEditor.h"

#include "params/tests/EditorFixture.h"

#include <gtest/gtest.h>

using namespace tavrel;
using testsupport::texts;
using S = ParameterEditorState;

namespace {

class ParameterEditorTest : public ::testing::Test {
protected:
    testsupport::EditorHome home;
    ParameterEditor editor{home.environment()};

    void reset() {
        ASSERT_TRUE(editor.NewParameterForm()) << texts(editor.takeMessages()).join('\n').toStdString();
    }
};

}  // namespace

TEST_F(ParameterEditorTest, ResetFillsEveryListAndLeavesAnUntitledFingerprintSet) {
    reset();
    const S& s = editor.state();
    EXPECT_EQ(s.lstParamDB.items, (QStringList{"MSDB", "SwissProt", "NCBInr"}));
    EXPECT_EQ(s.lstParamDB.selectedItems(), QStringList{"MSDB"});
    EXPECT_EQ(s.cboParamCLE.currentText(), "Trypsin");
    EXPECT_EQ(s.cboParamTAXONOMY.items.size(), 2);
    EXPECT_EQ(s.cboParamINSTRUMENT.currentText(), "Default");
    EXPECT_EQ(s.cboParamQUANTITATION.items, (QStringList{"None", "iTRAQ 4plex"}));  // no "None" added
    EXPECT_EQ(s.cboParamREPORT.items, (QStringList{"AUTO", "10", "20", "50"}));
    EXPECT_EQ(s.cboParamCHARGE.items.size(), 23);
    EXPECT_EQ(s.cboParamCHARGE.currentText(), "1+");
    EXPECT_EQ(s.cboParamFORMAT.currentText(), "Sorvex generic");
    EXPECT_EQ(s.cboParamPFA.items.size(), 10);
    EXPECT_EQ(s.cboParamPEP_ISOTOPE_ERROR.items, (QStringList{"0", "1", "2"}));
    EXPECT_EQ(s.cboParamTOLU.currentText(), "Da");
    EXPECT_EQ(s.txtParamTOL.text, "0.5");
    EXPECT_EQ(s.txtParamITOL.text, "0.5");
    EXPECT_TRUE(s.lstParamMODS.items.isEmpty());
    EXPECT_EQ(s.lblParamPfileTag, "Untitled");
    EXPECT_FALSE(s.chkParamSEARCH.checked);
    EXPECT_FALSE(s.cboParamFORMAT.enabled);
    EXPECT_FALSE(s.lblParamQUANTITATION.enabled);
    EXPECT_TRUE(s.chkParamDECOY.enabled);
    EXPECT_FALSE(editor.parameterSetChanged());
    EXPECT_TRUE(editor.takeMessages().isEmpty());
}

TEST_F(ParameterEditorTest, FailedResetChangesNothing) {
    struct Case {
        const char* name;
        QStringList lines;  // empty: no "server.dat" at all
        QString message;
    };
    const auto without = [](const QString& head) {
        QStringList lines = testsupport::standardServerLines();
        const qsizetype at = lines.indexOf(head);
        lines.remove(at + 1, lines.indexOf(QString(), at) - at - 1);
        return lines;
    };
    const QString empty = "Sorvex Server has returned empty %1 list. Cannot continue. Check Sorvex Server and "
                          "Sorvex Tavrel are same release";
    const Case cases[] = {
        {"no server.dat", {}, "Cannot continue without search parameters from Sorvex server"},
        {"no databases", without("[DB]"), empty.arg("databases")},
        {"no enzymes", without("[CLE]"), empty.arg("enzymes")},
        {"no taxonomy", without("[TAXONOMY]"), empty.arg("taxonomy entries")},
        {"no instruments", without("[INSTRUMENT]"), empty.arg("instrument types")},
    };
    for (const Case& c : cases) {
        home.writeServerData(testsupport::standardServerLines());
        reset();
        editor.editText(&S::txtParamCOM, "my edits");
        const S before = editor.state();
        if (c.lines.isEmpty()) QFile::remove(serverDataPath(home.path()));
        else home.writeServerData(c.lines);

        EXPECT_FALSE(editor.NewParameterForm()) << c.name;
        EXPECT_EQ(texts(editor.takeMessages()), QStringList{c.message}) << c.name;
        EXPECT_EQ(editor.state(), before) << c.name;
        EXPECT_TRUE(editor.parameterSetChanged()) << c.name;
    }
}

TEST_F(ParameterEditorTest, MissingQuantitationBecomesNoneWithAWarningFromServer2_2) {
    QStringList lines = testsupport::standardServerLines();
    lines.remove(lines.indexOf("[QUANTITATION]"), 4);
    home.writeServerData(lines);
    for (const auto& [version, warned] : {std::pair{"2.1", false}, std::pair{"2.2", true}}) {
        home.serverVersion = version;
        reset();
        EXPECT_EQ(editor.state().cboParamQUANTITATION.items, QStringList{"None"});
        EXPECT_EQ(!editor.takeMessages().isEmpty(), warned) << version;
    }
}

TEST_F(ParameterEditorTest, AnOversizedSectionIsCutWithOneWarning) {
    QStringList lines = {"[DB]"};
    for (int i = 0; i < kMaxListEntries + 5; ++i) lines << QStringLiteral("db%1").arg(i);
    lines << "" << "[DB]" << "late" << "";
    QStringList rest = testsupport::standardServerLines();
    lines += rest.mid(rest.indexOf("[CLE]"));
    home.writeServerData(lines);
    reset();
    EXPECT_EQ(editor.state().lstParamDB.items.size(), kMaxListEntries);
    EXPECT_EQ(texts(editor.takeMessages()), QStringList{listCutWarning("[DB]")});
}

TEST_F(ParameterEditorTest, MsmsControlsFollowTheBoxAndTheServerVersion) {
    struct Case {
        const char* version;
        bool msms;
        bool msmsOnly;  // format, tolerance, instrument
        bool newer;     // # 13C, quantitation, error tolerant
        bool decoy;
    };
    const Case cases[] = {
        {"2.2", true, true, true, true},
        {"2.2", false, false, false, true},
        {"2.1", true, true, false, false},
        {"", true, true, false, false},  // no known version: as an old server
    };
    for (const Case& c : cases) {
        home.serverVersion = c.version;
        reset();
        editor.click(&S::chkParamDECOY, true);
        editor.click(&S::chkParamSEARCH, c.msms);
        const S& s = editor.state();
        const std::string at = std::string(c.version) + (c.msms ? " msms" : " pmf");
        for (bool e : {s.cboParamFORMAT.enabled, s.lblParamFORMAT.enabled, s.txtParamITOL.enabled,
                       s.cboParamITOLU.enabled, s.lblParamITOL.enabled, s.cboParamINSTRUMENT.enabled,
                       s.lblParamINSTRUMENT.enabled})
            EXPECT_EQ(e, c.msmsOnly) << at;
        for (bool e : {s.cboParamPEP_ISOTOPE_ERROR.enabled, s.lblParamPEP_ISOTOPE_ERROR.enabled,
                       s.cboParamQUANTITATION.enabled, s.lblParamQUANTITATION.enabled,
                       s.chkParamERRORTOLERANT.enabled})
            EXPECT_EQ(e, c.newer) << at;
        EXPECT_EQ(s.chkParamDECOY.enabled, c.decoy) << at;
        EXPECT_TRUE(s.chkParamDECOY.checked) << at;  // a disabled box keeps its tick
        EXPECT_TRUE(editor.parameterSetChanged());
    }
}

TEST_F(ParameterEditorTest, ErrorTolerantDecoyAndQuantitationExcludeEachOther) {
    home.serverVersion = "2.2";
    const QString both = "Cannot select both Error tolerant and decoy";
    const QString quant = "Cannot select an Error tolerant and a quantitation method";

    reset();
    editor.click(&S::chkParamSEARCH, true);
    editor.click(&S::chkParamDECOY, true);
    editor.choose(&S::cboParamQUANTITATION, 1);
    editor.click(&S::chkParamERRORTOLERANT, true);  // both conflicts: the decoy message only
    EXPECT_EQ(texts(editor.takeMessages()), QStringList{both});
    EXPECT_FALSE(editor.state().chkParamERRORTOLERANT.checked);

    editor.click(&S::chkParamDECOY, false);
    editor.click(&S::chkParamERRORTOLERANT, true);
    EXPECT_EQ(texts(editor.takeMessages()), QStringList{quant});
    EXPECT_FALSE(editor.state().chkParamERRORTOLERANT.checked);

    editor.choose(&S::cboParamQUANTITATION, 0);
    editor.click(&S::chkParamERRORTOLERANT, true);
    editor.click(&S::chkParamDECOY, true);
    editor.choose(&S::cboParamQUANTITATION, 1);
    EXPECT_EQ(texts(editor.takeMessages()), (QStringList{both, quant}));
    EXPECT_FALSE(editor.state().chkParamDECOY.checked);
    EXPECT_EQ(editor.state().cboParamQUANTITATION.current, 0);
    EXPECT_TRUE(editor.state().chkParamERRORTOLERANT.checked);
}

TEST_F(ParameterEditorTest, DatabaseClicksKeepOneSelectionOnOlderServers) {
    struct Case {
        const char* version;
        QList<bool> clicked;
        int focus;
        QList<bool> kept;
    };
    const Case cases[] = {
        {"2.2", {true, true, false}, 1, {false, true, false}},       // only the one just clicked
        {"2.2.101", {true, true, false}, 1, {true, true, false}},    // several databases allowed
        {"2.2.101", {false, false, false}, 0, {true, false, false}}, // never none: the focus stays selected
    };
    for (const Case& c : cases) {
        home.serverVersion = c.version;
        reset();
        editor.lstParamDB_Click(c.clicked, c.focus);
        EXPECT_EQ(editor.state().lstParamDB.selected, c.kept) << c.version;
        EXPECT_TRUE(editor.parameterSetChanged());
    }
}

TEST_F(ParameterEditorTest, EveryEditMarksTheSetChanged) {
    const std::function<void()> edits[] = {
        [&] { editor.editText(&S::txtParamSEG, "12"); },
        [&] { editor.choose(&S::cboParamPEP_ISOTOPE_ERROR, 1); },
        [&] { editor.choose(&S::cboParamCHARGE, 3); },
        [&] { editor.chooseMass(1); },
        [&] { editor.setModifications({}, {}); },  // OK of the dialog, even without a change
    };
    for (const auto& edit : edits) {
        reset();
        edit();
        EXPECT_TRUE(editor.parameterSetChanged());
    }
}
