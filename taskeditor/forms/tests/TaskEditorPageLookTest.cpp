// The page filled in as a user sees it: nothing clipped at the size the main
// window gives it at least, and a picture of it (TAVREL_SCREENSHOT names the
// file; scripts/screenshot.sh runs this under a real X server).
#include "PageFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

using namespace taskeditortest;

TEST(TaskEditorLook, AFilledInTaskShowsEveryCaptionWhole) {
    ClientGlobals g;
    tavrel::ResetInputs in = g.inputs();
    in.ownerListAvailable = true;
    in.ownerNames = {"ann", "bob"};
    in.preferredOwner = "ann";
    in.followerTasks = {{12, "Phospho receiver"}};
    PageOnTabs t(in);
    tavrel::TaskEditorPage& p = *t.page;
    p.txtTaskLabel->setText("Liver digest 3");
    emit p.txtTaskLabel->textEdited(p.txtTaskLabel->text());
    p.txtTaskParam->setText("/data/parameters/Liver digest, 10 ppm.par");
    emit p.txtTaskParam->textEdited(p.txtTaskParam->text());
    pick(p.cboTaskFilter, "ThermoFinnigan LCQ / DECA RAW file");
    for (const char* f : {"/data/lcq/2024-05-06/liver_digest_01.RAW", "/data/lcq/2024-05-06/liver_digest_02.RAW",
                          "/data/lcq/2024-05-06/liver_digest_03.RAW"})
        p.lstTaskFiles_OLEDragDrop({f});
    pick(p.cboTaskFU, "If score less than");
    p.txtTaskFUScore->setText("40");
    emit p.txtTaskFUScore->textEdited("40");
    pick(p.cboTaskFUTask, "12 Phospho receiver");
    p.chkTaskAutoPrint->click();

    // The main window keeps at least 10000 x 7800 twips; its tab page is a
    // little smaller.
    t.tabs.resize(667, 500);
    QApplication::processEvents();
    for (QLabel* label : p.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->wordWrap()) continue;
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
    }
    for (QAbstractButton* button : p.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button == p.cmdTaskParamAdd) continue;  // "..." is narrow by design
        EXPECT_GE(button->width(), button->minimumSizeHint().width()) << button->text().toStdString();
    }

    t.tabs.resize(1000, 640);
    QApplication::processEvents();
    const QImage picture = t.tabs.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    const QString target = qEnvironmentVariable("TAVREL_SCREENSHOT", QDir::temp().filePath("task-editor.png"));
    EXPECT_TRUE(picture.save(target)) << target.toStdString();
}
