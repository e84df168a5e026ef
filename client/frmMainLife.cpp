// The main window's close question and the client's shut-down.
#include "client/WindowPlacement.h"
#include "client/ResultAutoPrint.h"
#include "client/frmMain.h"
#include "clientcommon/Globals.h"
#include "clientcommon/HttpGet.h"
#include "common/TaskDbConnection.h"
#include "params/forms/ParameterEditorPage.h"
#include "status/forms/StatusPage.h"

#include <utility>

namespace tavrel {

namespace {

// The logout must not keep a closing window waiting on a server that does not answer.
constexpr qint32 kLogoutTimeoutSeconds = 5;

void logOut() {
    if (ServerSessionID.isEmpty()) return;
    const ShortHttpTimeouts shortWaits(kLogoutTimeoutSeconds);
    platform::HInternet session;  // a session of its own takes the short time-out
    QByteArray ignored;
    modGlobal_HttpGetDocument(session, ProxyUserName, ProxyPassword, WebUserName, WebPassword, AccessType, Proxy,
                              Protocol,
                              BaseUrl + QStringLiteral("login.pl?display=nothing&action=logout&sessionID=") +
                                  ServerSessionID,
                              true, ignored);
    ServerSessionID.clear();
}

template <class F>
void ignoringErrors(F step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

void frmMain::frmMain_Form_QueryUnload(bool& cancel, int) { cancel = !pageParameterEditor->queryClose(); }

void frmMain::frmMain_Form_Unload() {
    if (std::exchange(unloaded_, true)) return;
    // Nothing may tick into what is being closed.
    tmrRefresh.stop();
    for (QTimer& t : tmrJob) t.stop();
    ignoringErrors([this] { modGlobal_SaveColumnWidths(QStringLiteral("event")); });
    // The status list keeps the widths of a view when it leaves it; the view
    // still shown keeps them here.
    ignoringErrors([this] { modGlobal_SaveColumnWidths(pageStatus->statusViewKind()); });
    // Only a window that start-up placed has a placement worth keeping.
    if (startupCompleted_) ignoringErrors([this] { savePlacement(this); });
    // A page still loading is given up before the database closes, so that its result stays queued.
    ignoringErrors([this] { WebBrowser->Stop(); });
    ignoringErrors([] { common::ProgramTaskDatabase.close(); });
    ignoringErrors(logOut);
    ignoringErrors([this] { frmMain_CloseEventLog(); });
}

}  // namespace tavrel
