#pragma once
// Turns an HTTP request of a listener into the simulated server's reply:
// fault injection, web-server authentication, the program's route, the
// request log, and the shaping of broken replies.

#include "Routes.h"

#include <httplib.h>

#include <functional>

namespace sorvexsim {

// Registers the catch-all handlers of a server listener ("http"/"https").
// onQuit runs when a client asks GET /_sim/quit.
void installServerHandlers(httplib::Server& server, SimState& state, const QString& listener,
                           std::function<void()> onQuit);

// Registers the forward proxy's handlers.
void installProxyHandlers(httplib::Server& proxy, SimState& state);

// The search upload (streamed, never held whole).
bool isUploadTarget(const Scenario& s, const QString& relative);
void serveUpload(SimState& state, const QString& listener, const httplib::Request& req, httplib::Response& res,
                 const httplib::ContentReader& reader, const QString& relative);

// Shared by both: the log line, the reply shaping and the connection drop.
QByteArray logLine(const QString& listener, const httplib::Request& req, const QString& status, const QString& fault);
void sendShaped(httplib::Response& res, const SimReply& reply, const QString& shape);
void dropConnection(const httplib::Request& req);
void applyFaultReply(const Fault& f, SimReply* reply, QString* faultName);
// Logs the request, waits out the fault's delay, then drops the connection or
// sends the reply in its shape.
void finishReply(SimState& state, const QString& listener, const httplib::Request& req, httplib::Response& res,
                 const SimReply& reply, const QString& shape, const std::optional<Fault>& fault,
                 const QString& faultName);

}  // namespace sorvexsim
