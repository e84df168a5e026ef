// Start-up's server check: the parameter document, else the cached one
// off-line (also when the user leaves the preferences unchanged), else the
// preferences until a server answers; then its version.
#include "client/ClientGlobals.h"
#include "client/StartupSequence.h"
#include "clientcommon/Globals.h"
#include "clientcommon/ServerDocuments.h"
#include "platform/MessageBox.h"

#include <QDir>
#include <QFileInfo>

namespace tavrel {

namespace {

const QString kTitle = QStringLiteral("Sorvex Tavrel");
const QString kVersionNeeded = QStringLiteral("Sorvex server must be version 2.1, (or version 2.0 with new client.pl script)");

}  // namespace

bool StartupSequence::checkServer() {
    for (;;) {
        say(QStringLiteral("Retrieving search parameters from Sorvex server"));
        bool online = true;
        while (!modGlobal_GetServerParameters(BaseUrl)) {
            online = false;
            const QString cannot = QStringLiteral("Cannot retrieve search parameters from ") + BaseUrl +
                                   QStringLiteral("get_params.pl") + QStringLiteral("\r\n");
            const bool cached = QFileInfo::exists(QDir(ProgramFolder).filePath(kServerDataFileName));
            if (cached) {
                if (platform::MsgBox(cannot + QStringLiteral("Change Sorvex server URL?"), platform::vbYesNo, kTitle) ==
                    platform::vbNo)
                    break;
            } else {
                platform::MsgBox(cannot + QStringLiteral("You must enter a valid Sorvex server URL"), platform::vbOKOnly,
                                 kTitle);
            }
            online = true;
            showPreferences(0);
            if (PreferencesCancelled && !ExitRequested && cached) {
                // Nothing changed: the cached document still lets the user work off-line.
                online = false;
                break;
            }
            if (PreferencesCancelled) {
                if (!ExitRequested)
                    platform::MsgBox(QStringLiteral("Cannot continue without search parameters from Sorvex server"),
                                     platform::vbOKOnly, kTitle);
                return false;
            }
            if (ExitRequested) return false;
        }
        if (!online) {
            platform::MsgBox(QStringLiteral("Continuing off-line from Sorvex server. Searches submitted from new tasks "
                                            "will fail."),
                             platform::vbOKOnly, kTitle);
            return true;
        }
        say(QStringLiteral("Verifying Sorvex server version"));
        if (modGlobal_GetServerVersion(BaseUrl)) return true;
        platform::MsgBox(kVersionNeeded + QStringLiteral(". The chosen server appears to be an earlier version."),
                         platform::vbOKOnly, kTitle);
        if (showPreferences(0)) continue;
        if (PreferencesCancelled)
            platform::MsgBox(QStringLiteral("Cannot continue. ") + kVersionNeeded + QStringLiteral("."),
                             platform::vbOKOnly, kTitle);
        return false;
    }
}

}  // namespace tavrel
