#pragma once
// How the client's window waits for a server. While one of the client's
// requests, or a step of its task database on a server, waits, the window
// keeps being repainted, says which address it waits for and offers to
// cancel; a cancelled request or step fails as any other failed one does.
// The windowed client installs the view at start-up; without one a request
// or a database step blocks its caller as before.
#include "platform/InetWait.h"

#include <QString>

namespace tavrel {

class RequestWaitView {
public:
    virtual ~RequestWaitView() = default;
    // A wait starts; `text` says what for ("Waiting for an answer from
    // ADDRESS ..."). Waits may nest.
    virtual void begin(const QString& text) = 0;
    virtual void end() = 0;
    // Serves one slice of the window's events during the wait.
    virtual void serve() = 0;
    // True once the user cancelled the wait.
    virtual bool cancelled() const = 0;
};

// Returns the previous view; null removes it. Installed on the window's
// thread, the view also serves the waits of every database step there.
RequestWaitView* setRequestWaitView(RequestWaitView* view);

// What the view says of a request to `url`, and of a database server at
// `address` ("HOST:PORT").
QString requestWaitText(const QString& url);
QString databaseWaitText(const QString& address);

// The address shown for a URL: scheme, host, port and path, never the query
// (which may hold a session) nor a user name or password.
QString requestWaitAddress(const QString& url);

// For its life, a request of the window that the user cancels gives up on
// the server: the requests after it fail at once as cancelled, and say
// nothing of it (start-up's server steps, where one Cancel is the user's
// answer to all of them). reset() gives the server a new chance (after the
// user has seen the preferences).
class ServerGiveUp {
public:
    ServerGiveUp();
    ~ServerGiveUp();
    ServerGiveUp(const ServerGiveUp&) = delete;
    ServerGiveUp& operator=(const ServerGiveUp&) = delete;
    void reset() { givenUp_ = false; }
    bool givenUp() const { return givenUp_; }
    void giveUp() { givenUp_ = true; }

private:
    ServerGiveUp* previous_;
    bool givenUp_ = false;
};

// True while a ServerGiveUp of this thread has given up on its server.
bool serverGivenUp();

// For its life no ServerGiveUp of this thread holds: a dialog shown in the
// middle of the steps, where the user tries a server again.
class ServerGiveUpPause {
public:
    ServerGiveUpPause();
    ~ServerGiveUpPause();
    ServerGiveUpPause(const ServerGiveUpPause&) = delete;
    ServerGiveUpPause& operator=(const ServerGiveUpPause&) = delete;

private:
    ServerGiveUp* paused_;
};

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
