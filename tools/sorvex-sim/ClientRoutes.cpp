// client.pl: version (also every client's authentication probe) and task
// identifiers. Search submission and status will join here.
#include "Routes.h"

namespace sorvexsim {

namespace {

QByteArray versionReply(const Scenario& s) {
    if (s.versionReply) return *s.versionReply;
    return "Version " + s.version.toLatin1() + s.lineEnd;
}

SimReply createTaskId(SimState& state, const Scenario& s, const SimRequest& r) {
    if (s.requireSession() && !liveSessionUser(state, r)) return refusedSession(s);
    if (s.createTaskIdReply) return SimReply{200, *s.createTaskIdReply, "text/plain", {}};
    return SimReply{200, textLines(s, {"taskid=" + state.nextTaskId(), "actionstring=" + s.actionString}), "text/plain", {}};
}

}  // namespace

SimReply clientRoute(SimState& state, const Scenario& s, const SimRequest& r) {
    if (r.words.contains(QStringLiteral("version"))) return SimReply{200, versionReply(s), "text/plain", {}};
    if (r.words.contains(QStringLiteral("create_task_id"))) return createTaskId(state, s, r);
    return SimReply{404, textLines(s, {"problem=Unknown client.pl request " + r.query}), "text/plain", {}};
}

}  // namespace sorvexsim
