// Renders every tab of the dialog to PNG files for a look by eye; runs only
// when TAVREL_SCREENSHOT_DIR names a folder.
#include "filteropts/forms/tests/OptionsDialogFixture.h"

#include <QPixmap>

namespace optionstest {

TEST_F(OptionsDialogTest, RendersEveryTab) {
    const QString folder = qEnvironmentVariable("TAVREL_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "TAVREL_SCREENSHOT_DIR not set";
    QDir().mkpath(folder);
    frmOptions dialog(context);
    dialog.show();
    for (int i = 0; i < dialog.SSTab1->count(); ++i) {
        dialog.SSTab1->setCurrentIndex(i);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialog.grab().save(folder + QStringLiteral("/options-tab%1.png").arg(i)));
    }
}

}  // namespace optionstest
