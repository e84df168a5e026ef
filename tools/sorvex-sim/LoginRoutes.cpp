// login.pl: the server's own security. Replies are the three key lines the
// clients read: error, errorstring, sessionID.
#include "Routes.h"

namespace sorvexsim {

namespace {

SimReply reply(const Scenario& s, int error, const QString& text, const QString& id = QString()) {
    return SimReply{200, loginReply(s, error, text, id), "text/plain", {}};
}

const QString kNeedLogin = QStringLiteral("A user name and password are required");

SimReply login(SimState& state, const Scenario& s, const SimRequest& r) {
    const QString name = r.param("username");
    if (!s.security) return reply(s, 0, QString(), state.newSession(name));
    if (name.isEmpty()) return reply(s, -4, kNeedLogin);
    const SimUser* u = s.findUser(name);
    if (!u || u->password != r.param("password")) return reply(s, -1, "Invalid user name or password");
    if (u->ostrane) return reply(s, 4381, "Cannot use a Sorvex Ostrane login");
    return reply(s, 0, QString(), state.newSession(name));
}

SimReply webAuthentication(SimState& state, const Scenario& s, const SimRequest& r) {
    if (!s.security) return reply(s, 0, QString(), state.newSession(QString()));
    // The web server has checked the password already; login.pl trusts the
    // name it passes on, provided the server knows that user.
    if (!s.webAuthentication || !r.basicAuth || !s.findUser(r.basicAuth->user))
        return reply(s, -4, "Web server authentication is not available");
    return reply(s, 0, QString(), state.newSession(r.basicAuth->user));
}

SimReply guestLogin(SimState& state, const Scenario& s) {
    if (!s.security) return reply(s, 0, QString(), state.newSession(QString()));
    if (!s.guestLogin) return reply(s, -4, kNeedLogin);
    return reply(s, 0, QString(), state.newSession(QStringLiteral("guest")));
}

SimReply isPermitted(SimState& state, const Scenario& s, const SimRequest& r) {
    const auto user = liveSessionUser(state, r);
    if (!user) return reply(s, -2, "Session expired or invalid");
    bool ok = false;
    const int task = r.param("sectask").toInt(&ok);
    if (!ok) return reply(s, -7, "Missing or bad security task number");
    if (s.security && !userHolds(s, *user, task))
        return reply(s, -6, QStringLiteral("User %1 is not permitted to run security task %2").arg(*user).arg(task));
    return reply(s, 0, QString(), r.param("sessionID"));
}

}  // namespace

SimReply loginRoute(SimState& state, const Scenario& s, const SimRequest& r) {
    const QString action = r.param("action");
    if (action == QLatin1String("issecuritydisabled")) {
        if (s.security) return reply(s, -3, "Security is enabled");
        return reply(s, 0, QString(), state.newSession(QString()));
    }
    if (action == QLatin1String("login")) return login(state, s, r);
    if (action == QLatin1String("webauthentication")) return webAuthentication(state, s, r);
    if (action == QLatin1String("guestlogin")) return guestLogin(state, s);
    if (action == QLatin1String("ispermitted")) return isPermitted(state, s, r);
    if (action == QLatin1String("logout")) {
        state.endSession(r.param("sessionID"));
        return reply(s, 0, QString());
    }
    return reply(s, -5, "Unknown action " + action);
}

}  // namespace sorvexsim
