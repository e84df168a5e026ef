// The page as a user sees it with a set loaded: nothing clipped at the size
// the main window gives it at least, and a picture of it for the README.
#include "params/forms/ParameterEditorPage.h"

#include "clientcommon/forms/FitPathToLabel.h"
#include "params/forms/tests/PageFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>

using namespace tavrel;
using testsupport::PageTest;

TEST_F(PageTest, ASetLoadedShowsEveryCaptionWhole) {
    const QString path = write("Liver digest, 10 ppm.par",
                               "COM=<taskname> (<parameters>), submitted from Tavrel on <localhost>\r\nTOL=10\r\n"
                               "TOLU=ppm\r\nDB=SwissProt,NCBInr\r\nMODS=Carbamidomethyl (C)\r\nCLE=Trypsin\r\n"
                               "SEARCH=MIS\r\nUSERNAME=Ann\r\nUSEREMAIL=ann@example.org\r\nCHARGE=2+, 3+ and 4+\r\n"
                               "FORMAT=Sorvex generic\r\nIT_MODS=Oxidation (M),Phospho (ST)\r\n"
                               "TAXONOMY=. . Homo sapiens (human)\r\nINSTRUMENT=ESI-TRAP\r\nPEP_ISOTOPE_ERROR=1\r\n");
    page.OpenParameterFile(path);
    ASSERT_TRUE(ui.takeBoxes().isEmpty());
    // The main window keeps at least 10000 x 7800 twips; its tab page is
    // somewhat smaller than that.
    page.resize(640, 470);
    QApplication::processEvents();

    for (QLabel* label : page.findChildren<QLabel*>()) {
        if (label == static_cast<QLabel*>(page.lblParamPfile) || label->text().isEmpty()) continue;
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
    }
    for (QAbstractButton* button : page.findChildren<QAbstractButton*>())
        EXPECT_GE(button->width(), button->minimumSizeHint().width()) << button->text().toStdString();
    for (QComboBox* box : page.findChildren<QComboBox*>())
        EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(box->currentText())) << box->objectName().toStdString();

    page.resize(1000, 640);
    QApplication::processEvents();
    const QImage picture = page.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    const QString target = qEnvironmentVariable("TAVREL_SCREENSHOT", QDir::temp().filePath("param-editor.png"));
    EXPECT_TRUE(picture.save(target)) << target.toStdString();
}
