#pragma once
// How the client's window waits for a server. While one of the client's
// requests waits, the window keeps being repainted, says which address it
// waits for and offers to cancel; a cancelled request fails as any other
// failed request does. The windowed client installs the view at start-up;
// without one a request blocks its caller as before.
#include "platform/InetWait.h"

#include <QString>

namespace tavrel {

class RequestWaitView {
public:
    virtual ~RequestWaitView() = default;
    // A request to `address` starts waiting; requests may nest.
    virtual void begin(const QString& address) = 0;
    virtual void end() = 0;
    // Serves one slice of the window's events during the wait.
    virtual void serve() = 0;
    // True once the user cancelled the wait.
    virtual bool cancelled() const = 0;
};

// Returns the previous view; null removes it.
RequestWaitView* setRequestWaitView(RequestWaitView* view);

// The address shown for a URL: scheme, host, port and path, never the query
// (which may hold a session) nor a user name or password.
QString requestWaitAddress(const QString& url);

// For its life the requests of this thread wait through the installed view.
class RequestWaitScope {
public:
    explicit RequestWaitScope(const QString& url);
    ~RequestWaitScope();
    RequestWaitScope(const RequestWaitScope&) = delete;
    RequestWaitScope& operator=(const RequestWaitScope&) = delete;

private:
    RequestWaitView* view_;
    platform::RequestWaitPolicy previous_;
};

}  // namespace tavrel
