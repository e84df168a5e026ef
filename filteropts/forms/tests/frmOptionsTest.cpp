// Loading the dialog from the working strings, OK that commits all six or
// nothing, Cancel, and the tabs of absent components.
#include "filteropts/forms/tests/OptionsDialogFixture.h"

#include "filteropts/forms/OptionsLcqTab.h"
#include "filteropts/forms/OptionsMassLynxTab.h"
#include "filteropts/forms/OptionsQuellmarkTab.h"
#include "filteropts/forms/OptionsVoyagerTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

namespace optionstest {

namespace {

QStringList settingsOf(const FilterOptionStrings& s, bool withQuellmark = true) {
    QStringList expected;
    for (int f = kLcq; f <= kTS2Sorvex; ++f)
        if (f != kQuellmark || withQuellmark)
            expected << common::importFilterOptionsSetting(f) + QLatin1Char('=') + s[f];
    return expected;
}

}  // namespace

TEST_F(OptionsDialogTest, FullStringsComeBackUnchangedAndOkCommitsAllSix) {
    options[kLcq] = QStringLiteral("1,200,300.5,4000,1.4,2,3,2,1,5,") + unc(QStringLiteral("tpl\\my charges.tpl")) +
                    QStringLiteral(",PEPTIDE,AB,10,2");
    options[kMassLynx] = unc(QStringLiteral("pkl\\run 1"));
    options[kAnalyst] = QStringLiteral("0,1,1,0,40,.2,12,60,9000,1.5,8,2,0,45,1.5,.5,0,False,1,1");
    options[kVoyager] = QStringLiteral("True,1,9,0,1,3,5,0,1,False,12,200");
    options[kQuellmark] = unc(QStringLiteral("opts\\a.opt")) + QStringLiteral(",9,False,True,1.5,20,2,1,2,2,1,2-5,False");
    options[kTS2Sorvex] = QStringLiteral("0,.5,300,0");
    const FilterOptionStrings loaded = options;

    frmOptions dialog(context);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Sorvex Tavrel: Data import filter options"));
    EXPECT_EQ(control<QLineEdit>(dialog, QStringLiteral("txtTemplate"))->text(), local(QStringLiteral("tpl/my charges.tpl")));
    EXPECT_EQ(control<QLineEdit>(dialog, QStringLiteral("txtPklPath"))->text(), local(QStringLiteral("pkl/run 1")));
    EXPECT_EQ(control<QComboBox>(dialog, QStringLiteral("cboCharge"))->currentText(), QStringLiteral("2"));
    EXPECT_TRUE(control<QRadioButton>(dialog, QStringLiteral("optSciexMergeMultipleSamples(1)"))->isChecked());
    EXPECT_EQ(control<QComboBox>(dialog, QStringLiteral("cboVoyagerNoiseFilter"))->currentText(),
              QStringLiteral("Noise Removal"));
    EXPECT_EQ(control<QComboBox>(dialog, QStringLiteral("cboQuellmarkDataFormat"))->currentText(), QStringLiteral("Format 9"));
    EXPECT_TRUE(control<QRadioButton>(dialog, QStringLiteral("optQuellmarkQuantHits(2)"))->isChecked());
    EXPECT_EQ(control<QLineEdit>(dialog, QStringLiteral("txtQuellmarkQuantRange(1)"))->text(), QStringLiteral("5"));

    bool accepted = false;
    QObject::connect(&dialog, &QDialog::accepted, [&] { accepted = true; });
    dialog.cmdOK_Click();
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(QLatin1Char('|')).toStdString();
    for (int f = kLcq; f <= kTS2Sorvex; ++f) EXPECT_EQ(options[f], loaded[f]) << f;
    EXPECT_EQ(defaults, options);
    EXPECT_EQ(written, settingsOf(loaded));  // in this order
}

TEST_F(OptionsDialogTest, EditsAreNormalisedAndStoredEverywhereAtOk) {
    frmOptions dialog(context);
    dialog.lcqTab->txtMinMass->setText(QStringLiteral("350.0"));  // OK normalises what was never left
    dialog.lcqTab->txtAASequence->setText(QStringLiteral("pep"));
    dialog.voyagerTab->chkVoyagerBaseline->setChecked(false);
    dialog.voyagerTab->txtVoyagerNoiseParam->setText(QStringLiteral("0.70"));
    dialog.massLynxTab->txtPklPath->setText(local(QStringLiteral("pkl")));
    control<QLineEdit>(dialog, QStringLiteral("txtTS2SorvexOptionsMinMass"))->setText(QString());
    dialog.cmdOK_Click();
    ASSERT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(options[kLcq], QStringLiteral(",,350,4000,1.4,1,1,0,0,0,,PEP,,,"));
    EXPECT_EQ(options[kMassLynx], unc(QStringLiteral("pkl")));
    EXPECT_EQ(options[kAnalyst], QStringLiteral("1,1,0,0,50,.1,10,50,10000,1,10,1,1,50,2,.1,1,True,0,0"));
    EXPECT_EQ(options[kVoyager], QStringLiteral("False,0,0,0,1,1,.7,1,0,False,10,100"));
    // The built-in Quellmark default shows "Separate search" and hence Save ticked, All, Area.
    EXPECT_EQ(options[kQuellmark], QStringLiteral(",0,False,False,,,1,0,0,0,1,-1,True"));
    EXPECT_EQ(options[kTS2Sorvex], QStringLiteral("0,20,10,1"));
    EXPECT_EQ(defaults, options);
    EXPECT_EQ(written, settingsOf(options));
}

TEST_F(OptionsDialogTest, ACommaIsRefusedAtOkHoweverItReachedTheField) {
    struct Way {
        const char* name;
        int tab;
        const char* box;
        std::function<void(frmOptions&)> put;
    };
    const QString withComma = local(QStringLiteral("a,b"));
    const Way ways[] = {
        {"typed", 1, "txtPklPath", [&](frmOptions& d) { d.massLynxTab->txtPklPath->setText(withComma); }},
        {"browsed", 1, "txtPklPath", [&](frmOptions& d) {
             seams.folders = {withComma};
             d.massLynxTab->cmdPklPathBrowse->click();
         }},
        {"template button", 0, "txtTemplate", [&](frmOptions& d) {
             seams.templates = {withComma + QStringLiteral(".tpl")};
             d.lcqTab->cmdTemplate->click();
         }},
        {"file button", 4, "txtQuellmarkOptionsPath", [&](frmOptions& d) {
             seams.opens = {withComma + QStringLiteral(".opt")};
             d.quellmarkTab->cmdQuellmarkOptionsPath->click();
         }},
    };
    for (const Way& way : ways) {
        boxes.texts.clear();
        const FilterOptionStrings before = options;
        frmOptions dialog(context);
        dialog.lcqTab->txtMinMass->setText(QStringLiteral("999"));  // composed before the refused field, not stored
        way.put(dialog);
        auto* box = control<QLineEdit>(dialog, QString::fromLatin1(way.box));
        dialog.cmdOK_Click();
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Field contains illegal character")}) << way.name;
        EXPECT_EQ(boxes.titles.value(0), QStringLiteral("Sorvex Tavrel"));
        EXPECT_EQ(dialog.SSTab1->currentIndex(), way.tab) << way.name;
        EXPECT_EQ(dialog.focusWidget(), box) << way.name;
        EXPECT_TRUE(box->text().contains(QLatin1Char(','))) << way.name;  // left as it is
        EXPECT_EQ(dialog.result(), 0) << way.name;
        EXPECT_EQ(options, before) << way.name;
        EXPECT_TRUE(written.isEmpty()) << way.name;
    }
}

TEST_F(OptionsDialogTest, AFailedRangeCheckCommitsNothingAndShowsEveryTab) {
    context.components.dataExplorerPresent = false;
    frmOptions dialog(context);
    EXPECT_FALSE(dialog.SSTab1->isTabVisible(3));
    dialog.lcqTab->txtMinMass->setText(QStringLiteral("999"));
    dialog.voyagerTab->cboVoyagerNoiseFilter->setCurrentIndex(1);
    dialog.voyagerTab->txtVoyagerNoiseParam->setText(QStringLiteral("-0.5"));
    dialog.cmdOK_Click();
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Valid range for Correlation factor is 0 to 1")});
    EXPECT_TRUE(dialog.SSTab1->isTabVisible(3));  // the checks ran on the hidden tab, which shows now
    EXPECT_EQ(dialog.voyagerTab->txtVoyagerNoiseParam->text(), QStringLiteral("-.5"));
    EXPECT_EQ(options[kLcq], builtInOptions(kLcq));
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(dialog.result(), 0);

    boxes.texts.clear();
    control<QRadioButton>(dialog, QStringLiteral("optQuellmarkMergeMultipleSamples(1)"))->setChecked(true);
    control<QCheckBox>(dialog, QStringLiteral("chkQuellmarkProjectSave"))->setChecked(true);
    control<QRadioButton>(dialog, QStringLiteral("optQuellmarkQuantHits(2)"))->setChecked(true);
    dialog.voyagerTab->txtVoyagerNoiseParam->setText(QStringLiteral(".5"));
    control<QLineEdit>(dialog, QStringLiteral("txtQuellmarkQuantRange(0)"))->setText(QStringLiteral("3"));
    control<QLineEdit>(dialog, QStringLiteral("txtQuellmarkQuantRange(1)"))->setText(QStringLiteral("2"));
    dialog.cmdOK_Click();
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Invalid range for quantitate protein hits")});
    EXPECT_TRUE(written.isEmpty());

    boxes.texts.clear();
    control<QLineEdit>(dialog, QStringLiteral("txtQuellmarkQuantRange(0)"))->setText(QStringLiteral("2"));
    dialog.cmdOK_Click();
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_TRUE(options[kQuellmark].endsWith(QStringLiteral(",1,2-2,True"))) << options[kQuellmark].toStdString();
}

TEST_F(OptionsDialogTest, CancelLeavesWorkingStringsDefaultsAndSettingsAsTheyWere) {
    context.components.quellmarkPresent = false;
    options[kQuellmark] = QStringLiteral("a,1");  // too short: the dialog works on the built-in default
    const FilterOptionStrings before = options, savedBefore = defaults;
    {
        frmOptions dialog(context);
        dialog.lcqTab->txtMinMass->setText(QStringLiteral("1"));
        dialog.voyagerTab->chkVoyagerMacro->setChecked(true);
        dialog.cmdCancel_Click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(options, before);
    EXPECT_EQ(defaults, savedBefore);
    EXPECT_TRUE(written.isEmpty());

    // OK without the library keeps the tab's own string out of it: the default
    // that replaced the short string is kept, and no Quellmark setting written.
    frmOptions dialog(context);
    dialog.cmdOK_Click();
    EXPECT_EQ(options[kQuellmark], builtInOptions(kQuellmark));
    EXPECT_EQ(written, settingsOf(options, false));
}

TEST_F(OptionsDialogTest, TabsOfAbsentComponentsAreHidden) {
    struct Case {
        const char* lcqPath;
        bool sciex, ownOptions, dataExplorer, quellmark, ts2sorvex;
        const char* visible;  // tabs 0 to 5
    } cases[] = {
        {"", false, false, false, false, false, "010000"},
        {"/opt/x/EXTRACT_MSN.EXE", false, false, false, false, false, "110000"},
        // A Linux program has no ".exe": a named program shows the tab all the same.
        {"/opt/x/extract_msn", false, false, false, false, false, "110000"},
        {"", true, false, false, false, false, "011000"},
        {"", true, true, false, false, false, "010000"},  // the library's own options window instead
        {"", false, false, true, false, false, "010100"},
        {"", false, false, false, true, false, "010010"},
        {"", false, false, false, false, true, "010001"},
        {"c:\\x\\lcq_dta.exe", true, false, true, true, true, "111111"},
    };
    for (const Case& c : cases) {
        context.lcqPath = QString::fromLatin1(c.lcqPath);
        ImportComponents& k = context.components;
        k.sciexLibraryPresent = c.sciex;
        k.sciexLibraryOwnOptions = c.ownOptions;
        k.dataExplorerPresent = c.dataExplorer;
        k.quellmarkPresent = c.quellmark;
        k.ts2SorvexPresent = c.ts2sorvex;
        frmOptions dialog(context);
        QString visible;
        for (int i = 0; i < 6; ++i) visible += dialog.SSTab1->isTabVisible(i) ? QLatin1Char('1') : QLatin1Char('0');
        EXPECT_EQ(visible, QString::fromLatin1(c.visible)) << c.lcqPath << c.sciex << c.ownOptions;
    }
}

TEST_F(OptionsDialogTest, ADefaultTheSettingsRefuseIsReportedAndNotShownAsSaved) {
    failingSettings = {QStringLiteral("TaskOptionsVoyager")};
    const QString oldVoyager = defaults[kVoyager];
    frmOptions dialog(context);
    dialog.voyagerTab->chkVoyagerBaseline->setChecked(false);
    dialog.lcqTab->txtMinMass->setText(QStringLiteral("350"));
    dialog.cmdOK_Click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("TaskOptionsVoyager"))) << boxes.texts[0].toStdString();
    EXPECT_FALSE(boxes.texts[0].contains(QStringLiteral("TaskOptionsLcq")));
    EXPECT_EQ(options[kVoyager], QStringLiteral("False,0,0,0,1,1,.7,1,0,False,10,100"));  // the task gets it
    EXPECT_EQ(defaults[kVoyager], oldVoyager);
    EXPECT_EQ(defaults[kLcq], options[kLcq]);
    EXPECT_EQ(written.size(), 6);  // the others are still written
}

TEST_F(OptionsDialogTest, AStringLongerThanATaskHoldsIsRefused) {
    frmOptions dialog(context);
    dialog.SSTab1->setCurrentIndex(5);
    dialog.lcqTab->txtTemplate->setText(QStringLiteral("/") + QString(250, QLatin1Char('t')));
    dialog.cmdOK_Click();
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith(QStringLiteral("The options of \"ThermoFinnigan LCQ / DECA RAW file\" are 2")))
        << boxes.texts[0].toStdString();
    EXPECT_EQ(dialog.SSTab1->currentIndex(), 0);
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(options[kLcq], builtInOptions(kLcq));
}

TEST_F(OptionsDialogTest, AnInstalledAnalystAndTheHelpNumbers) {
    context.components.analystInstalled = true;
    frmOptions dialog(context);
    for (const char* name : {"txtSciexIDASurveyHeightPerc", "txtSciexIDASurveyMergeDist",
                             "txtSciexMSMSCentroidHeightPerc", "txtSciexMSMSCentroidMergeDist"})
        EXPECT_FALSE(control(dialog, QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_TRUE(control(dialog, QStringLiteral("txtSciexMSMSThresholdPerc"))->isEnabled());
    auto* smooth = control<QCheckBox>(dialog, QStringLiteral("chkSciexMSMSSmoothDeisotope"));
    EXPECT_EQ(smooth->text(), QStringLiteral("De-isotope MS/MS data"));
    EXPECT_EQ(smooth->toolTip(), QStringLiteral("Check to remove all isotope peaks except 12C"));

    EXPECT_EQ(dialog.property("helpContextId").toInt(), 20480);
    EXPECT_EQ(control(dialog, QStringLiteral("cmdOK"))->property("helpContextId").toInt(), 20512);
    EXPECT_EQ(control(dialog, QStringLiteral("chkSciexCharge(2)"))->property("helpContextId").toInt(), 20486);
    EXPECT_EQ(control(dialog, QStringLiteral("txtQuellmarkRangeEnd"))->property("helpContextId").toInt(), 20569);
    EXPECT_EQ(control(dialog, QStringLiteral("optQuellmarkIntensityType(1)"))->property("helpContextId").toInt(), 20594);
}

TEST_F(OptionsDialogTest, OpensOnTheTabOfTheTasksFilter) {
    frmOptions dialog(context);
    EXPECT_EQ(dialog.SSTab1->currentIndex(), 0);
    dialog.SSTab1->setCurrentIndex(kQuellmark - 1);
    EXPECT_EQ(dialog.SSTab1->currentWidget(), dialog.quellmarkTab);
    EXPECT_EQ(dialog.SSTab1->tabText(4), QStringLiteral(" Sorvex Quellmark"));
}

}  // namespace optionstest

namespace optionstest {

TEST_F(OptionsDialogTest, ThePklFolderButtonStartsAtTheFieldOrTheProgramFolder) {
    QTabWidget tabMain;
    tabMain.addTab(new QWidget, QStringLiteral("&Status"));
    tabMain.addTab(new QWidget, QStringLiteral("&Task Editor"));
    tabMain.setCurrentIndex(1);
    context.tabMain = &tabMain;
    bool locked = false;
    seams.whileOpen = [&] { locked = !tabMain.isEnabled(); };
    frmOptions dialog(context);
    seams.folders = {QString()};  // cancelled: the field keeps its text
    dialog.massLynxTab->cmdPklPathBrowse->click();
    EXPECT_EQ(dialog.massLynxTab->txtPklPath->text(), QString());
    seams.folders = {local(QStringLiteral("pkl"))};
    dialog.massLynxTab->cmdPklPathBrowse->click();
    EXPECT_EQ(dialog.massLynxTab->txtPklPath->text(), local(QStringLiteral("pkl")));
    dialog.massLynxTab->cmdPklPathBrowse->click();
    const QString title = QStringLiteral("Select folder containing .PKL files|");
    EXPECT_EQ(seams.folderStarts,
              QStringList({title + home.path(), title + home.path(), title + local(QStringLiteral("pkl"))}));
    EXPECT_TRUE(locked);
    EXPECT_TRUE(tabMain.isEnabled());
    EXPECT_EQ(tabMain.currentIndex(), 1);
}

// The dialog takes the room of the tabs it shows: one shown field is not laid
// out under the room of a hidden tab; a tab shown by OK gets its own.
TEST_F(OptionsDialogTest, TheDialogIsSizedToTheTabsItShows) {
    context.lcqPath.clear();
    ImportComponents& k = context.components;
    k.sciexLibraryPresent = k.dataExplorerPresent = k.quellmarkPresent = k.ts2SorvexPresent = false;
    frmOptions dialog(context);
    dialog.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(dialog.SSTab1->currentWidget(), dialog.massLynxTab);
    // The largest tab is hidden here: it holds the dialog at none of its size.
    EXPECT_LT(dialog.width(), dialog.quellmarkTab->minimumSizeHint().width());
    EXPECT_LT(dialog.height(), dialog.quellmarkTab->minimumSizeHint().height());

    dialog.voyagerTab->cboVoyagerNoiseFilter->setCurrentIndex(1);
    dialog.voyagerTab->txtVoyagerNoiseParam->setText(QStringLiteral("2"));
    dialog.cmdOK_Click();
    ASSERT_EQ(boxes.texts, QStringList{QStringLiteral("Valid range for Correlation factor is 0 to 1")});
    dialog.SSTab1->setCurrentWidget(dialog.quellmarkTab);
    QCoreApplication::processEvents();
    EXPECT_GE(dialog.quellmarkTab->height(), dialog.quellmarkTab->minimumSizeHint().height());
    EXPECT_GE(dialog.quellmarkTab->width(), dialog.quellmarkTab->minimumSizeHint().width());
}

}  // namespace optionstest
