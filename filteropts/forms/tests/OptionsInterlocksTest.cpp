// The checks that run when a text box is left, and the interlocks by which
// one control enables, shows or clears others.
#include "filteropts/forms/tests/OptionsDialogFixture.h"

#include "filteropts/forms/OptionsQuellmarkTab.h"
#include "filteropts/forms/OptionsVoyagerTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace optionstest {

TEST_F(OptionsDialogTest, LeavingATextBoxChecksOrNormalisesIt) {
    frmOptions dialog(context);
    struct Case {
        const char* box;
        const char* typed;
        const char* after;
        bool refused;
    } cases[] = {
        {"txtAASequence", "pep1", "PEP1", true},      {"txtOptString", "ab", "AB", false},
        {"txtMinMass", "", "", false},                {"txtMinMass", "12 500", "12500", false},
        {"txtMinMass", "-5", "-5", false},            {"txtInter", "abc", "0", false},
        {"txtGroup", "1e3", "1000", false},           {"txtVoyagerNoiseParam", "0.70", ".7", false},
        {"txtVoyagerIntensityInterval", "99.9", "99", false}, {"txtSciexMSMSAveNeedXPeaks", "-2.5", "-3", false},
        {"txtQuellmarkRangeStart", "1.50", "1.5", false}, {"txtQuellmarkQuantRange(0)", "2.7", "2", false},
        {"txtQuellmarkQuantRange(1)", "-1.5", "-2", false}, {"txtPklPath", "/d/a,b", "/d/a,b", true},
        {"txtTemplate", "/d/x,y.tpl", "/d/x,y.tpl", true}, {"txtTS2SorvexOptionsMinMass", "abc", "abc", false},
    };
    for (const Case& c : cases) {
        boxes.texts.clear();
        auto* box = control<QLineEdit>(dialog, QString::fromLatin1(c.box));
        typeAndLeave(box, QString::fromLatin1(c.typed));
        EXPECT_EQ(box->text(), QString::fromLatin1(c.after)) << c.box << " " << c.typed;
        EXPECT_EQ(boxes.texts.size(), c.refused ? 1 : 0) << c.box << " " << c.typed;
        if (c.refused) {
            EXPECT_EQ(boxes.texts[0], QStringLiteral("Field contains illegal character"));
            EXPECT_EQ(dialog.focusWidget(), box) << c.box;
            QFocusEvent back(QEvent::FocusIn, Qt::OtherFocusReason);
            QCoreApplication::sendEvent(box, &back);
        }
    }
}

TEST_F(OptionsDialogTest, TwoRefusedBoxesNeverSendTheFocusToAndFro) {
    frmOptions dialog(context);
    auto* sequence = control<QLineEdit>(dialog, QStringLiteral("txtAASequence"));
    auto* letters = control<QLineEdit>(dialog, QStringLiteral("txtOptString"));
    letters->setText(QStringLiteral("x1"));
    typeAndLeave(sequence, QStringLiteral("pep1"));
    ASSERT_EQ(boxes.texts.size(), 1);
    // On its way back to the refused box the focus leaves the other one: no check there.
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(letters, &out);
    EXPECT_EQ(boxes.texts.size(), 1);
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(sequence, &in);
    // A message box or another window taking the focus is no leaving either.
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(sequence, &away);
    EXPECT_EQ(boxes.texts.size(), 1);
    // Once back, leaving the other box checks it again.
    QCoreApplication::sendEvent(letters, &out);
    EXPECT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(letters->text(), QStringLiteral("X1"));
}

TEST_F(OptionsDialogTest, DataExplorerInterlocks) {
    frmOptions dialog(context);
    OptionsVoyagerTab& t = *dialog.voyagerTab;
    // As loaded from the built-in default: no macro, noise filter on, "Select".
    EXPECT_FALSE(t.cboVoyagerMacro->isEnabled());
    EXPECT_TRUE(t.cboVoyagerNoiseFilter->isEnabled());
    EXPECT_EQ(t.Label1_31->text(), QStringLiteral("Correlation factor"));
    EXPECT_TRUE(t.optVoyagerIntensity.item[1]->isChecked());
    EXPECT_TRUE(t.txtVoyagerIntensityNumber->isEnabled());

    t.chkVoyagerMacro->setChecked(true);
    EXPECT_TRUE(t.cboVoyagerMacro->isEnabled());
    t.cboVoyagerNoiseFilter->setCurrentIndex(0);
    EXPECT_TRUE(t.txtVoyagerNoiseParam->isHidden());
    EXPECT_EQ(t.Label1_31->text(), QString());
    EXPECT_TRUE(t.txtVoyagerNoiseParam->isEnabled());  // the filter choice sets visibility only
    t.cboVoyagerNoiseFilter->setCurrentIndex(2);
    EXPECT_FALSE(t.txtVoyagerNoiseParam->isHidden());
    EXPECT_EQ(t.Label1_31->text(), QStringLiteral("Width (odd integer)"));
    t.chkVoyagerNoise->setChecked(false);
    EXPECT_FALSE(t.cboVoyagerNoiseFilter->isEnabled());
    EXPECT_FALSE(t.txtVoyagerNoiseParam->isEnabled());
    EXPECT_FALSE(t.txtVoyagerNoiseParam->isHidden());  // the check box sets enabled state only
    t.optVoyagerIntensity.item[0]->setChecked(true);
    EXPECT_FALSE(t.txtVoyagerIntensityNumber->isEnabled());
    EXPECT_FALSE(t.txtVoyagerIntensityInterval->isEnabled());

    // The checks of OK run whatever the intensity choice: 0 peaks is refused with "All peaks".
    t.cboVoyagerNoiseFilter->setCurrentIndex(0);  // "Default": its parameter is not checked
    t.txtVoyagerIntensityNumber->setText(QStringLiteral("0"));
    dialog.cmdOK_Click();
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Valid range for number of peaks to select is positive integer")});
}

TEST_F(OptionsDialogTest, QuellmarkInterlocksFollowTheLibraryVersion) {
    {
        frmOptions dialog(context);  // library 2.4 with quantitation, built-in default
        OptionsQuellmarkTab& t = *dialog.quellmarkTab;
        EXPECT_TRUE(t.optQuellmarkMergeMultipleSamples.item[1]->isChecked());  // field 2 "0": separate searches
        EXPECT_TRUE(t.chkQuellmarkProjectSave->isChecked());
        EXPECT_TRUE(t.frameQuantitation->isEnabled());
        EXPECT_TRUE(t.optQuellmarkQuantHits.item[1]->isChecked());  // All
        EXPECT_FALSE(t.txtQuellmarkQuantRange[0]->isEnabled());
        EXPECT_TRUE(t.optQuellmarkIntensityType.item[0]->isChecked());  // Area
        EXPECT_TRUE(t.frameIntensity->isEnabled());
        EXPECT_EQ(t.cboQuellmarkPeakListFormat->count(), 3);
        EXPECT_TRUE(t.frameTextData->isEnabled());  // format code 0: text data

        t.optQuellmarkQuantHits.item[2]->setChecked(true);
        EXPECT_TRUE(t.txtQuellmarkQuantRange[1]->isEnabled());
        t.optQuellmarkMergeMultipleSamples.item[0]->setChecked(true);
        EXPECT_FALSE(t.chkQuellmarkProjectSave->isChecked());
        EXPECT_FALSE(t.chkQuellmarkProjectSave->isEnabled());
        EXPECT_FALSE(t.frameQuantitation->isEnabled());
        EXPECT_FALSE(t.txtQuellmarkQuantRange[1]->isEnabled());
        t.optQuellmarkMergeMultipleSamples.item[1]->setChecked(true);
        EXPECT_TRUE(t.chkQuellmarkProjectSave->isEnabled());
        EXPECT_FALSE(t.chkQuellmarkProjectSave->isChecked());
        t.cboQuellmarkDataFormat->setCurrentIndex(t.cboQuellmarkDataFormat->findData(13));
        EXPECT_FALSE(t.frameTextData->isEnabled());
        EXPECT_FALSE(t.optQuellmarkIsCentroided.item[0]->isEnabled());
    }
    {
        context.components.quellmarkVersion = QStringLiteral("2.2.0.0");
        frmOptions dialog(context);
        OptionsQuellmarkTab& t = *dialog.quellmarkTab;
        t.chkQuellmarkProjectSave->setChecked(false);
        t.chkQuellmarkProjectSave->setChecked(true);
        EXPECT_FALSE(t.frameQuantitation->isEnabled());
        EXPECT_FALSE(t.frameIntensity->isEnabled());
        EXPECT_EQ(t.cboQuellmarkPeakListFormat->count(), 3);
    }
    {
        context.components.quellmarkVersion = QStringLiteral("1.5");
        options[kQuellmark] = QStringLiteral(",0,0,0,,,1,1,2,0,1");  // MS/MS fragments as Mr
        frmOptions dialog(context);
        OptionsQuellmarkTab& t = *dialog.quellmarkTab;
        EXPECT_TRUE(t.optQuellmarkMSMSOutput.item[0]->isChecked());
        EXPECT_FALSE(t.optQuellmarkMSMSOutput.item[2]->isEnabled());
        EXPECT_TRUE(t.optQuellmarkMSOutput.item[0]->isChecked());
        EXPECT_FALSE(t.framePmfOutput->isEnabled());
        EXPECT_FALSE(t.chkQuellmarkProjectSave->isChecked());
        EXPECT_FALSE(t.frameProject->isEnabled());
        EXPECT_EQ(t.cboQuellmarkPeakListFormat->count(), 2);  // no mzData before 2.1
        t.optQuellmarkMergeMultipleSamples.item[0]->setChecked(true);
        t.optQuellmarkMergeMultipleSamples.item[1]->setChecked(true);
        EXPECT_FALSE(t.chkQuellmarkProjectSave->isEnabled());  // below 2.0 left as it is
    }
}

TEST_F(OptionsDialogTest, QuellmarkStoredChoicesAndAnEmptyFormatList) {
    options[kQuellmark] = QStringLiteral(",13,True,True,5,9,2,1,1,2,1,0,False");
    {
        frmOptions dialog(context);
        OptionsQuellmarkTab& t = *dialog.quellmarkTab;
        EXPECT_EQ(t.cboQuellmarkDataFormat->currentData().toInt(), 13);
        EXPECT_TRUE(t.optQuellmarkMergeMultipleSamples.item[0]->isChecked());
        EXPECT_FALSE(t.chkQuellmarkProjectSave->isChecked());  // merging clears "Save"
        EXPECT_TRUE(t.optQuellmarkQuantHits.item[0]->isChecked());  // "0": none
        EXPECT_TRUE(t.optQuellmarkIntensityType.item[1]->isChecked());
        EXPECT_EQ(t.cboQuellmarkRangeUnits->currentText(), QStringLiteral("Scan number"));
        EXPECT_EQ(t.cboQuellmarkPeakListFormat->currentText(), QStringLiteral("mzData"));
        EXPECT_EQ(t.txtQuellmarkRangeEnd->text(), QStringLiteral("9"));
    }
    // A library that lists no formats leaves the stored format in the string.
    library.log.sourcesFail = true;
    frmOptions dialog(context);
    EXPECT_EQ(dialog.quellmarkTab->cboQuellmarkDataFormat->count(), 0);
    dialog.cmdOK_Click();
    EXPECT_EQ(options[kQuellmark], QStringLiteral(",13,True,True,5,9,2,1,1,2,0,0,False"));
}

}  // namespace optionstest
