// The client's start-up and its result launcher as a lab member runs them in
// the lab's shared program folder. Run by the root-only test
// servicehost/tests/shared-folder-members-test.sh, which makes the accounts,
// the folder and what another member planted there (a task with a command of
// theirs, a ".html" association); skipped anywhere else.
#include "ClientFixture.h"

#include "client/Launchers.h"
#include "client/StartupSequence.h"
#include "client/frmMain.h"
#include "clientcommon/forms/DesktopLauncher.h"
#include "platform/ProgramFolder.h"
#include "platform/testsupport/TestSupport.h"

using namespace tavrel;

namespace {

struct RefusingDesktop : DesktopLauncher {
    bool openUrl(const QUrl&) override { return false; }
};

}  // namespace

TEST(LabMember, IgnoreAndAResultClickRunNothingAnotherMemberPlanted) {
    if (!qEnvironmentVariableIsSet("TAVREL_LAB_MEMBER_TEST")) GTEST_SKIP() << "run by shared-folder-members-test.sh";
    ScriptedBoxes boxes;
    platform::MessageBoxHandler* previous = platform::setMessageBoxHandler(&boxes);
    boxes.answers = {{"Choose Abort to to exit Sorvex Tavrel", platform::vbIgnore},
                     {"Choose Abort to to exit Sorvex Tavrel", platform::vbAbort},
                     {"Try to start it?", platform::vbNo}};
    TrayMessageId = 0;
    serviceWaitTiming() = {50, 2000, {}};
    bool shown = false;
    {
        frmMain window;
        StartupSequence startup(window);
        startup.setArguments({QString()});
        startup.setServiceProgram(testsupport::binPath("TavrelService"));
        startup.setSystemTray([] { return true; });  // a tray would be there: the folder alone decides
        startup.setPreferencesDialog([](int) { PreferencesCancelled = true; });
        shown = startup.frmMain_Form_Load();
        if (shown) window.frmMain_Form_Unload();
    }
    EXPECT_FALSE(shown) << "Ignore started the service on this member's desktop\n" << boxes.all().toStdString();
    EXPECT_TRUE(boxes.saw("The program folder " + platform::resolveProgramFolder() + " is shared with other accounts"))
        << boxes.all().toStdString();
    EXPECT_EQ(TrayMessageId, 0u);

    // A click on a result where the desktop opens nothing: the planted ".html"
    // program is not run, the address is shown.
    boxes.texts.clear();
    RefusingDesktop desktop;
    DesktopLauncher* before = setDesktopLauncher(&desktop);
    const QString url = QStringLiteral("http://127.0.0.1/sorvex/cgi/master_results.pl?file=F1");
    EXPECT_LE(InvokeBrowser(url), 32);
    setDesktopLauncher(before);
    EXPECT_TRUE(boxes.saw("\n" + url + "\n")) << boxes.all().toStdString();
    common::ProgramTaskDatabase.close();
    serviceWaitTiming() = {};
    platform::setMessageBoxHandler(previous);
}
