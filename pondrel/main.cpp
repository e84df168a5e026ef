// Pondrel: converts one Sciex .WIFF file into a peak list and ends with an
// exit code. The WIFF import library comes as an automation plug-in.
#include "common/CommandLineArgs.h"
#include "common/ProgramVersion.h"
#include "platform/AutomationPlugins.h"
#include "platform/ExitCodes.h"
#include "platform/ProgramFolder.h"
#include "pondrel/PondrelStartUp.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char kUsage[] =
    "Usage: Pondrel SAMPLE WIFF_FILE PEAK_LIST OPTIONS NEWER_ANALYST LIBRARY_OPTIONS OPTION_KEYS SEARCH_TYPE\n"
    "       Pondrel -debug\n"
    "Converts one sample of a Sciex .WIFF file (-1: every sample) into a peak list\n"
    "through the WIFF import library; TavrelService starts it for the tasks that\n"
    "import WIFF files. -debug converts Pondrel_test.wiff beside the program.\n"
    "\n"
    "  --help     this text\n"
    "  --version  the program's version\n"
    "\n"
    "It writes nothing but the peak list; the exit status is its answer: 0 the peak\n"
    "list was written, %d the security set-up failed, %d the conversion was\n"
    "refused, any other the number of the error that stopped it.\n";

}  // namespace

int main(int argc, char* argv[]) {
    if (const common::InfoSwitch which = common::infoSwitchOf(argc, argv); which != common::InfoSwitch::None) {
        if (which == common::InfoSwitch::Help)
            std::printf(kUsage, platform::exitcodes::toStatus(pondrel::kExitSecurityFailed),
                        platform::exitcodes::toStatus(pondrel::kExitRefused));
        else std::printf("Pondrel version %s\n", qPrintable(common::programVersion()));
        return 0;
    }
    platform::anchorProgramFolder();
    QCoreApplication app(argc, argv);
    // This system has no process-wide security to set up for the library's
    // objects: they live in this process, so the step always succeeds.
    constexpr long kSecurityInitialised = 0;
    platform::loadAutomationPlugins();  // a missing library shows as its own error at its first use
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int code = pondrel::Form_Load(args, kSecurityInitialised);
    return platform::exitcodes::toStatus(code);
}
