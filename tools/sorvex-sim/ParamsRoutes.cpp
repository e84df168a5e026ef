// get_params.pl: the parameter document and, with Show=MS_USERS, the user
// list.
#include "Routes.h"

namespace sorvexsim {

namespace {

// One user a line: "name","id","number","fullName","email".
QByteArray userList(const Scenario& s) {
    QStringList lines;
    for (const SimUser& u : s.users) {
        const QStringList fields = {u.name, QString::number(u.id), QString::number(u.number), u.fullName, u.email};
        lines.append('"' + fields.join(QStringLiteral("\",\"")) + '"');
    }
    return textLines(s, lines);
}

}  // namespace

SimReply paramsRoute(SimState& state, const Scenario& s, const SimRequest& r) {
    const auto user = liveSessionUser(state, r);
    if (r.param("Show") == QLatin1String("MS_USERS")) {
        if (s.security) {
            if (!user) return refusedSession(s);
            if (!userHolds(s, *user, 22))
                return SimReply{200, loginReply(s, -6, "Not permitted to read the user list", QString()), "text/plain", {}};
        }
        return SimReply{200, userList(s), "text/plain", {}};
    }
    if (!r.param("Show").isEmpty()) return SimReply{404, "Unknown Show value\n", "text/plain", {}};
    if (s.requireSession() && !user) return refusedSession(s);
    return SimReply{200, parameterDocument(s), "text/plain", {}};
}

}  // namespace sorvexsim
