#include "Routes.h"

#include <QUrl>

namespace sorvexsim {

const QMap<QString, RouteHandler>& routeTable() {
    static const QMap<QString, RouteHandler> table = {
        {"login.pl", loginRoute},
        {"get_params.pl", paramsRoute},
        {"client.pl", clientRoute},
        {"ms-geterror.exe", errorTextRoute},
        {"master_results.pl", resultPageRoute},
    };
    return table;
}

QByteArray textLines(const Scenario& s, const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines) out += l.toLatin1() + s.lineEnd;
    return out;
}

QByteArray loginReply(const Scenario& s, int error, const QString& errorString, const QString& sessionId) {
    return textLines(s, {QStringLiteral("error=%1").arg(error), "errorstring=" + errorString, "sessionID=" + sessionId});
}

std::optional<QString> liveSessionUser(SimState& state, const SimRequest& r) {
    const QString id = r.param("sessionID");
    if (id.isEmpty()) return std::nullopt;
    return state.sessionUser(id);
}

bool userHolds(const Scenario& s, const QString& user, int task) {
    const SimUser* u = s.findUser(user);
    return !u || u->holds(task);
}

SimReply refusedSession(const Scenario& s) {
    return SimReply{200, loginReply(s, -2, "Session expired or invalid", QString()), "text/plain", {}};
}

namespace {
// Form decoding as a CGI library does it: "+" is a blank, %XX a byte.
QString decode(QString text) {
    text.replace('+', ' ');
    return QUrl::fromPercentEncoding(text.toLatin1());
}
}  // namespace

void parseQuery(const QString& query, QMap<QString, QString>* params, QStringList* words) {
    for (const QString& item : query.split('&', Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf('=');
        if (eq < 0)
            words->append(decode(item));
        else
            params->insert(decode(item.left(eq)), decode(item.mid(eq + 1)));
    }
}

std::optional<Credentials> parseBasic(const std::string& headerValue, QString* userForLog) {
    const QByteArray v = QByteArray::fromStdString(headerValue).trimmed();
    if (v.isEmpty()) {
        *userForLog = QStringLiteral("none");
        return std::nullopt;
    }
    if (!v.toLower().startsWith("basic ")) {
        *userForLog = QStringLiteral("other");
        return std::nullopt;
    }
    const QByteArray plain = QByteArray::fromBase64(v.mid(6).trimmed());
    const qsizetype colon = plain.indexOf(':');
    Credentials c{QString::fromLatin1(colon < 0 ? plain : plain.left(colon)),
                  colon < 0 ? QString() : QString::fromLatin1(plain.mid(colon + 1))};
    *userForLog = "basic:" + c.user;
    return c;
}

}  // namespace sorvexsim
