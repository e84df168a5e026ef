#pragma once
// The client's GET engine: every request to the Sorvex Server. Failures are
// shown in a message box unless quiet; passwords never appear in them.
#include "platform/Inet.h"

#include <QByteArray>
#include <QString>

namespace tavrel {

// True only when a non-empty document was read without an error. The document
// is set whenever the body was read. The session is opened when null and kept.
// `unanswered`, when given, tells a failure where no server answered at all
// (none at the address, or it never replied) from one that a server gave.
bool modGlobal_HttpGetDocument(platform::HInternet& session, const QString& proxyUser, const QString& proxyPassword,
                               const QString& webUser, const QString& webPassword, qint32 accessType,
                               const QString& proxy, qint32 protocol, const QString& url, bool quiet,
                               QByteArray& document, bool* unanswered = nullptr);

// modGlobal_HttpGetDocument with InternetSession and the saved settings, under
// the hourglass pointer.
bool modGlobal_HttpGet(const QString& url, bool quiet, QByteArray& document);

// The longest wait of a check that the user started and waits for (the
// preferences' server test): a server that says nothing is reported soon.
inline constexpr qint32 kInteractiveRequestTimeoutSeconds = 15;

// For the life of the guard every request of the client gives up after at most
// `seconds` (TimeOut when that is shorter): for requests that a window waits
// for and that are not worth the long wait of a search, such as the user list
// of the task editor's reset. The open session follows at once; the saved
// time-out comes back when the guard ends.
class ShortHttpTimeouts {
public:
    explicit ShortHttpTimeouts(qint32 seconds);
    ~ShortHttpTimeouts();
    ShortHttpTimeouts(const ShortHttpTimeouts&) = delete;
    ShortHttpTimeouts& operator=(const ShortHttpTimeouts&) = delete;

private:
    qint32 saved_;
};

void modGlobal_SetWinInetOptions(qint32 protocol);
QString modGlobal_WinInetErrorText(quint32 errorNumber);
QString modGlobal_LastResponseInfoText();

}  // namespace tavrel
