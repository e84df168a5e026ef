#include "params/forms/ParameterEditorPage.h"

#include "clientcommon/forms/FitPathToLabel.h"
#include "params/forms/frmModifications.h"
#include "params/forms/tests/PageFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace tavrel;
using testsupport::PageTest;

namespace {

QListWidgetItem* itemNamed(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList selected(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) out << list->item(i)->text();
    return out;
}

QStringList items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

const QByteArray kMsmsSet = "COM=Liver run\r\nSEG=\r\nTOL=10\r\nTOLU=ppm\r\nITOL=0.6\r\nITOLU=Da\r\nPFA=1\r\n"
                            "DB=SwissProt\r\nMODS=\r\nMASS=Monoisotopic\r\nCLE=Trypsin\r\nSEARCH=MIS\r\n"
                            "USERNAME=Ann\r\nUSEREMAIL=ann@example.org\r\nCHARGE=2+ and 3+\r\nREPORT=AUTO\r\n"
                            "FORMAT=Sorvex generic\r\nIT_MODS=Oxidation (M)\r\nTAXONOMY=All entries\r\n"
                            "INSTRUMENT=ESI-TRAP\r\n";

}  // namespace

TEST_F(PageTest, OpenEditChooseModificationsAndSave) {
    const QString path = write("liver.par", kMsmsSet);
    int recentSignals = 0;
    QList<bool> dirty;
    QObject::connect(&page, &ParameterEditorPage::recentFilesChanged, [&] { ++recentSignals; });
    QObject::connect(&page, &ParameterEditorPage::parameterSetChangedChanged, [&](bool on) { dirty << on; });

    ui.paths = {path};
    page.cmdParamOpen->click();
    EXPECT_EQ(ui.dialogs.value(0).startFolder, home.path());
    EXPECT_EQ(page.txtParamCOM->text(), "Liver run");
    EXPECT_EQ(page.cboParamTOLU->currentText(), "ppm");
    EXPECT_EQ(selected(page.lstParamDB), QStringList{"SwissProt"});
    EXPECT_EQ(items(page.lstParamIT_MODS), QStringList{"Oxidation (M)"});
    EXPECT_TRUE(page.chkParamSEARCH->isChecked());
    EXPECT_TRUE(page.cboParamINSTRUMENT->isEnabled());
    EXPECT_EQ(page.lblParamPfile->path(), path);
    EXPECT_EQ(page.recentFiles(), QStringList{path});
    EXPECT_EQ(recentSignals, 1);
    EXPECT_TRUE(ui.takeBoxes().isEmpty());

    emit page.txtParamCOM->textEdited("Liver run 2");
    EXPECT_TRUE(page.ParameterSetChanged());
    EXPECT_EQ(dirty, QList<bool>{true});

    page.chkParamDECOY->click();
    page.chkParamERRORTOLERANT->click();
    EXPECT_EQ(ui.takeBoxes(), QStringList{"Cannot select both Error tolerant and decoy"});
    EXPECT_FALSE(page.chkParamERRORTOLERANT->isChecked());

    inNextDialog<frmModifications>([](frmModifications& d) {
        EXPECT_EQ(d.windowTitle(), "Sorvex Tavrel: Select Modifications");
        // F1 anywhere in it opens the modifications topic, not the parameter editor's.
        int topic = 0;
        for (const QObject* o = d.lstFixedMods; o && topic == 0; o = o->parent())
            topic = o->property("helpContextId").toInt();
        EXPECT_EQ(topic, 4169);
        d.lstAllMods->setCurrentItem(itemNamed(d.lstAllMods, "Carbamidomethyl (C)"));
        d.cmdAll2Fixed->click();
        d.cmdOK->click();
    });
    page.cmdParamMODS->click();
    EXPECT_EQ(items(page.lstParamMODS), QStringList{"Carbamidomethyl (C)"});

    ui.answers = {platform::vbCancel};  // the overwrite question
    page.cmdParamSave->click();
    EXPECT_EQ(ui.takeBoxes(), QStringList{path + " already exists, OK to overwrite?"});
    EXPECT_EQ(testsupport::readFile(path), kMsmsSet);
    EXPECT_TRUE(page.ParameterSetChanged());

    ui.answers = {platform::vbOK};
    page.cmdParamSave->click();
    const QByteArray saved = testsupport::readFile(path);
    EXPECT_TRUE(saved.contains("COM=Liver run 2\r\n"));
    EXPECT_TRUE(saved.contains("MODS=Carbamidomethyl (C)\r\n"));
    EXPECT_TRUE(saved.contains("DECOY=1\r\n"));
    EXPECT_FALSE(page.ParameterSetChanged());
    EXPECT_EQ(page.recentFiles(), QStringList{path});  // already listed: keeps its place
}

TEST_F(PageTest, AnUntitledSetGoesThroughSaveAsAndOnlyASavedPathBecomesRecent) {
    emit page.txtParamUSERNAME->textEdited("Ann");
    EXPECT_EQ(page.lblParamPfile->text(), "Untitled");

    const QString blocked = home.file("no-folder/new.par");
    ui.paths = {blocked};
    page.mnuFileSave_Click();
    ASSERT_EQ(ui.dialogs.size(), 1);
    EXPECT_TRUE(ui.dialogs[0].save);
    EXPECT_EQ(ui.dialogs[0].fileName, "Untitled");
    EXPECT_EQ(ui.dialogs[0].defaultSuffix, "par");
    EXPECT_EQ(ui.takeBoxes(), QStringList{"Cannot save file. Is " + blocked + " read-only?"});
    EXPECT_TRUE(page.recentFiles().isEmpty());
    EXPECT_EQ(page.currentFile(), "Untitled");
    EXPECT_TRUE(page.ParameterSetChanged());

    const QString fresh = home.file("new.par");
    ui.paths = {fresh};
    page.mnuFileSaveAs_Click();
    EXPECT_TRUE(testsupport::readFile(fresh).contains("USERNAME=Ann\r\n"));
    EXPECT_EQ(page.currentFile(), fresh);
    EXPECT_EQ(page.recentFiles(), QStringList{fresh});
    EXPECT_FALSE(page.ParameterSetChanged());
}

TEST_F(PageTest, TheSaveChangesQuestionGuardsNewOpenRecentAndClose) {
    const QString other = write("other.par", "COM=other\r\n");
    const QString current = write("current.par", "COM=current\r\n");
    const QString question = "The contents of [" + current + "] have changed.\r\nDo you want to save the changes?";
    using Command = std::function<bool()>;
    struct Case {
        const char* name;
        Command command;
        QList<int> answers;
        QStringList paths;
        bool editsKept;
    };
    const Case cases[] = {
        {"New, Cancel", [&] { return page.modGlobal_FileNew(); }, {platform::vbCancel}, {}, true},
        {"New, No", [&] { return page.modGlobal_FileNew(); }, {platform::vbNo}, {}, false},
        {"New, Yes, Save As cancelled", [&] { return page.modGlobal_FileNew(); }, {platform::vbYes}, {""}, true},
        {"Open, Yes, overwrite refused", [&] { return page.modGlobal_FileOpen(); },
         {platform::vbYes, platform::vbCancel}, {current}, true},
        {"recent file, Cancel", [&] { page.mnuRecentFile_Click(other); return true; }, {platform::vbCancel}, {}, true},
        {"recent file, No", [&] { page.mnuRecentFile_Click(other); return true; }, {platform::vbNo}, {}, false},
        {"close, Cancel", [&] { return page.queryClose(); }, {platform::vbCancel}, {}, true},
    };
    for (const Case& c : cases) {
        page.OpenParameterFile(current);
        emit page.txtParamCOM->textEdited("unsaved");
        ui.answers = c.answers;
        ui.paths = c.paths;
        ui.dialogs.clear();
        c.command();
        EXPECT_EQ(ui.takeBoxes().value(0), question) << c.name;
        EXPECT_EQ(page.txtParamCOM->text() == "unsaved", c.editsKept) << c.name;
        EXPECT_EQ(page.ParameterSetChanged(), c.editsKept) << c.name;
        EXPECT_TRUE(ui.answers.isEmpty() && ui.paths.isEmpty()) << c.name;
        if (!c.paths.isEmpty()) {
            EXPECT_EQ(ui.dialogs.value(0).fileName, current) << c.name;  // Yes offers the file
        }
    }
    EXPECT_EQ(testsupport::readFile(current), "COM=current\r\n");
}

TEST_F(PageTest, ARecentFileOpensAndAMissingOneWarns) {
    const QString path = write("a.par", "COM=from the list\r\nCHARGE=3+\r\n");
    page.mnuRecentFile_Click(path);
    EXPECT_EQ(page.txtParamCOM->text(), "from the list");
    EXPECT_EQ(page.cboParamCHARGE->currentText(), "3+");
    EXPECT_FALSE(page.ParameterSetChanged());

    const QString gone = home.file("gone.par");
    page.mnuRecentFile_Click(gone);
    EXPECT_EQ(ui.takeBoxes(), QStringList{"Warning: Parameter file not found: " + gone});
    EXPECT_EQ(page.currentFile(), "Untitled");
    EXPECT_TRUE(page.txtParamCOM->text().isEmpty());
}

TEST_F(PageTest, DatabaseClicksFollowTheServerVersion) {
    home.serverVersion = "2.2";
    itemNamed(page.lstParamDB, "NCBInr")->setSelected(true);  // a second database on an old server
    EXPECT_EQ(selected(page.lstParamDB).size(), 1);
    EXPECT_TRUE(page.ParameterSetChanged());
}

TEST_F(PageTest, CancelledModificationsLeaveTheEditorAlone) {
    inNextDialog<frmModifications>([](frmModifications& d) {
        d.lstAllMods->setCurrentRow(0);
        d.cmdAll2Variable->click();
        EXPECT_EQ(d.lstVariableMods->count(), 1);
        d.cmdCancel->click();
    });
    page.cmdParamMODS->click();
    EXPECT_EQ(page.lstParamIT_MODS->count(), 0);
    EXPECT_FALSE(page.ParameterSetChanged());
}
