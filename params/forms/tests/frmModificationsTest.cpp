#include "params/forms/frmModifications.h"

#include "common/Settings.h"
#include "params/forms/tests/ScriptedUi.h"
#include "params/tests/EditorFixture.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

using namespace tavrel;

namespace {

QStringList items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

}  // namespace

TEST(frmModificationsTest, ShowAllModificationsIsRememberedAndOffersTheHiddenOnes) {
    testsupport::EditorHome home;
    testsupport::ScriptedUi ui;
    const QString data = serverDataPath(home.path());
    {
        frmModifications d({}, {"Oxidation (M)"}, data);
        EXPECT_FALSE(d.chkShowAllMods->isChecked());
        EXPECT_EQ(items(d.lstAllMods), (QStringList{"Carbamidomethyl (C)", "Phospho (ST)"}));
        d.chkShowAllMods->click();
        EXPECT_EQ(items(d.lstAllMods), (QStringList{"Carbamidomethyl (C)", "Phospho (ST)", "Acetyl (K)", "Oxidation (M)"}));
        d.cmdAll2Fixed->click();  // nothing selected: nothing moves
        EXPECT_TRUE(items(d.lstFixedMods).isEmpty());
        d.cmdOK->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    frmModifications again({}, {}, data);
    EXPECT_TRUE(again.chkShowAllMods->isChecked());
    EXPECT_EQ(again.lstAllMods->count(), 5);
}

TEST(frmModificationsTest, ANameHoldingACommaIsRefusedAtOk) {
    testsupport::EditorHome home;
    testsupport::ScriptedUi ui;
    frmModifications d({"Label:13C(6),15N(2) (K)"}, {}, serverDataPath(home.path()));
    d.show();
    d.cmdOK->click();
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_TRUE(ui.boxes[0].contains("Label:13C(6),15N(2) (K)"));
    EXPECT_TRUE(d.isVisible());  // still open for the user to move it back
    EXPECT_FALSE(common::modGlobal_GetSetting("Sorvex Tavrel", "Preferences", "ShowAllMods").isValid());

    d.lstFixedMods->setCurrentRow(0);
    d.cmdFixed2All->click();
    d.cmdOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.fixedMods().isEmpty());
}
