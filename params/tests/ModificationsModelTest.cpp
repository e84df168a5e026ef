#include "params/ModificationsModel.h"

#include "common/Settings.h"
#include "params/tests/EditorFixture.h"

#include <gtest/gtest.h>

using namespace tavrel;

TEST(ModificationsModelTest, OffersTheServersNamesLessTheChosenOnes) {
    testsupport::EditorHome home;
    ModificationsModel m({"Oxidation (M)", "Not on server"}, {"Phospho (ST)"}, serverDataPath(home.path()));
    m.chkShowAllMods_Click();
    EXPECT_EQ(m.lstAllMods, QStringList{"Carbamidomethyl (C)"});

    m.chkShowAllMods = true;  // hidden names too; one copy of a name in both sections stays offered
    m.chkShowAllMods_Click();
    EXPECT_EQ(m.lstAllMods, (QStringList{"Carbamidomethyl (C)", "Acetyl (K)", "Oxidation (M)"}));

    ModificationsModel::frmModifications_MoveSelectedItem(m.lstAllMods, 1, m.lstVariableMods);
    m.chkShowAllMods = false;
    m.chkShowAllMods_Click();
    EXPECT_EQ(m.lstAllMods, QStringList{"Carbamidomethyl (C)"});
    EXPECT_EQ(m.lstVariableMods, (QStringList{"Phospho (ST)", "Acetyl (K)"}));  // chosen names stay chosen
    EXPECT_EQ(m.lstFixedMods, (QStringList{"Oxidation (M)", "Not on server"}));

    ModificationsModel::frmModifications_MoveSelectedItem(m.lstAllMods, -1, m.lstFixedMods);  // nothing selected
    ModificationsModel::frmModifications_MoveSelectedItem(m.lstFixedMods, 1, m.lstAllMods);
    EXPECT_EQ(m.lstFixedMods, QStringList{"Oxidation (M)"});
    EXPECT_EQ(m.lstAllMods, (QStringList{"Carbamidomethyl (C)", "Not on server"}));
}

TEST(ModificationsModelTest, WithoutServerDataNothingIsOffered) {
    testsupport::TempHome home;
    ModificationsModel m({"A"}, {}, serverDataPath(home.path()));
    m.chkShowAllMods_Click();
    EXPECT_TRUE(m.lstAllMods.isEmpty());
    EXPECT_FALSE(m.okRefusal());
}

TEST(ModificationsModelTest, ANameHoldingACommaIsRefused) {
    testsupport::TempHome home;
    ModificationsModel m({}, {"Label:13C(6),15N(2) (K)"}, serverDataPath(home.path()));
    const auto refusal = m.okRefusal();
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->text.contains("Label:13C(6),15N(2) (K)"));
}

TEST(ModificationsModelTest, ShowAllModsIsStoredAsACheckValue) {
    testsupport::TempHome home;
    EXPECT_FALSE(ModificationsModel::storedShowAllMods());
    ModificationsModel m({}, {}, QString());
    m.chkShowAllMods = true;
    ASSERT_TRUE(m.storeShowAllMods());
    EXPECT_EQ(common::modGlobal_GetSetting("Sorvex Tavrel", "Preferences", "ShowAllMods").toString(), "1");
    EXPECT_TRUE(ModificationsModel::storedShowAllMods());
    common::modGlobal_SaveSetting("Sorvex Tavrel", "Preferences", "ShowAllMods", "");
    EXPECT_FALSE(ModificationsModel::storedShowAllMods());
}

TEST(ModificationsModelTest, AnOversizedSectionIsCutWithAWarning) {
    testsupport::EditorHome home;
    QStringList lines = {"[MODS]"};
    for (int i = 0; i < kMaxListEntries; ++i) lines << QStringLiteral("m%1").arg(i);
    lines << "" << "[HIDDEN_MODS]" << "hidden" << "";
    home.writeServerData(lines);
    ModificationsModel m({}, {}, serverDataPath(home.path()));
    EXPECT_TRUE(m.chkShowAllMods_Click().isEmpty());
    m.chkShowAllMods = true;
    EXPECT_EQ(m.chkShowAllMods_Click(), (EditorMessages{{listCutWarning("[HIDDEN_MODS]"), platform::vbOKOnly}}));
    EXPECT_EQ(m.lstAllMods.size(), kMaxListEntries);
}
