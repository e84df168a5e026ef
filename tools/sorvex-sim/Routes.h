#pragma once
// What a route group sees of a request and what it answers. Each server
// program (login.pl, get_params.pl, client.pl, ms-geterror.exe ...) is one
// entry of routeTable(); a new program is a new file with its handler and a
// line in the table.

#include "SimState.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <functional>
#include <optional>

namespace sorvexsim {

struct SimRequest {
    QString listener;               // http, https, proxy
    QByteArray method;
    QString program;                // e.g. "login.pl"
    QString query;                  // raw text after "?"
    QMap<QString, QString> params;  // decoded key=value pairs of the query
    QStringList words;              // query items without "=", e.g. "version"
    std::optional<Credentials> basicAuth;
    QByteArray body;

    QString param(const QString& key) const { return params.value(key); }
};

struct SimReply {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "text/plain";
    QList<QPair<QByteArray, QByteArray>> headers;
};

using RouteHandler = std::function<SimReply(SimState&, const Scenario&, const SimRequest&)>;

SimReply loginRoute(SimState& state, const Scenario& s, const SimRequest& r);
SimReply paramsRoute(SimState& state, const Scenario& s, const SimRequest& r);
SimReply clientRoute(SimState& state, const Scenario& s, const SimRequest& r);
SimReply errorTextRoute(SimState& state, const Scenario& s, const SimRequest& r);
SimReply resultPageRoute(SimState& state, const Scenario& s, const SimRequest& r);

// Program name -> handler.
const QMap<QString, RouteHandler>& routeTable();

// Helpers shared by the route groups.
QByteArray textLines(const Scenario& s, const QStringList& lines);
QByteArray loginReply(const Scenario& s, int error, const QString& errorString, const QString& sessionId);
// The user of the request's live session, or nothing (missing or lapsed).
std::optional<QString> liveSessionUser(SimState& state, const SimRequest& r);
// True when the user (looked up in the scenario; unknown names such as the
// implicit guest hold everything) may run the security task.
bool userHolds(const Scenario& s, const QString& user, int task);
// The reply to a request whose session the server refuses.
SimReply refusedSession(const Scenario& s);
// Splits a query into decoded pairs and bare words.
void parseQuery(const QString& query, QMap<QString, QString>* params, QStringList* words);
std::optional<Credentials> parseBasic(const std::string& headerValue, QString* userForLog);

}  // namespace sorvexsim
