// client.pl: version (also every client's authentication probe), task
// identifiers, and the state, priority, results and parameters of a search.
#include "Routes.h"
#include "SearchOracle.h"

namespace sorvexsim {

namespace {

QByteArray versionReply(const Scenario& s) {
    if (s.versionReply) return *s.versionReply;
    return "Version " + s.version.toLatin1() + s.lineEnd;
}

SimReply text(const Scenario& s, const QStringList& lines) { return SimReply{200, textLines(s, lines), "text/plain", {}}; }

SimReply createTaskId(SimState& state, const Scenario& s, const SimRequest& r) {
    if (s.requireSession() && !liveSessionUser(state, r)) return refusedSession(s);
    if (s.createTaskIdReply) {
        // A raw reply still hands out its task id for the upload.
        for (const QByteArray& line : s.createTaskIdReply->split('\n')) {
            const qsizetype eq = line.indexOf('=');
            if (eq > 0 && line.left(eq).trimmed().toLower() == "taskid")
                state.taskIdIssued(QString::fromLatin1(line.mid(eq + 1).trimmed()));
        }
        return SimReply{200, *s.createTaskIdReply, "text/plain", {}};
    }
    const QString id = state.nextTaskId();
    state.taskIdIssued(id);
    return text(s, {"taskid=" + id, "actionstring=" + s.actionString});
}

SimReply status(SimState& state, const Scenario& s, const SimRequest& r) {
    const QString line = state.nextStatus(r.param("task_id"));
    return text(s, {line.isEmpty() ? QStringLiteral("unknown_id") : line});
}

SimReply niceJob(SimState& state, const Scenario& s, const SimRequest& r) {
    state.setNice(r.param("task_id"), r.param("nice_value"));
    return text(s, {QStringLiteral("OK")});
}

QStringList resultLines(const Scenario& s, const SimSearch& search) {
    const SearchScenario& cfg = s.search;
    const TopHit hit = topHitFor(search.hash, search.queries);
    QStringList lines;
    if (cfg.results != QLatin1String("nofile")) lines << "file=" + search.resultFile;
    lines << "release=" + cfg.release << QStringLiteral("queries=%1").arg(search.queries);
    if (cfg.results == QLatin1String("malformed")) {
        lines << QStringLiteral("num_hits=several");
    } else if (cfg.results == QLatin1String("nohits") || hit.numHits == 0) {
        lines << QStringLiteral("num_hits=0");
    } else {
        lines << QStringLiteral("num_hits=%1").arg(hit.numHits)
              << QStringLiteral("h1=%1,%2,0.00,%3").arg(hit.accession, hit.score, hit.mass)
              << "h1_text=Simulated protein " + hit.accession;
    }
    lines << "sigscoreprot=" + cfg.sigScore;
    if (!cfg.resultsPerlScript.isEmpty()) lines << "resultsperlscript=" + cfg.resultsPerlScript;
    if (cfg.selectPeptides) {
        for (qsizetype i = 0; i < search.queryTexts.size(); ++i) {
            QString score = queryScoreFor(search.queryHashes.value(i));
            QString threshold = QString::number(kDefaultQueryThreshold);
            if (!cfg.queryScores.empty()) {
                const auto& fixed = cfg.queryScores[size_t(i) % cfg.queryScores.size()];
                score = fixed.first;
                threshold = fixed.second;
            }
            lines << QStringLiteral("ionquery%1=%2").arg(i + 1).arg(search.queryTexts[i])
                  << QStringLiteral("qscore%1=%2").arg(i + 1).arg(score)
                  << QStringLiteral("qbase%1=%2").arg(i + 1).arg(threshold);
        }
    }
    lines << QStringLiteral("selectpeptides=%1").arg(cfg.selectPeptides ? 1 : 0);
    return lines;
}

SimReply results(SimState& state, const Scenario& s, const SimRequest& r) {
    const std::optional<SimSearch> search = state.search(r.param("task_id"));
    if (s.search.resultsReply) return SimReply{200, *s.search.resultsReply, "text/plain", {}};
    if (s.search.results == QLatin1String("empty")) return SimReply{200, {}, "text/plain", {}};
    if (!search || search->upload == 0) return text(s, {QStringLiteral("problem=Unknown task ID")});
    return text(s, resultLines(s, *search));
}

SimReply userParams(SimState& state, const Scenario& s, const SimRequest& r) {
    const std::optional<SimSearch> search = state.search(r.param("task_id"));
    if (!search || search->upload == 0) return SimReply{200, {}, "text/plain", {}};
    QStringList lines;
    for (const auto& field : search->fields) lines << field.first + '=' + field.second;
    return text(s, lines);
}

}  // namespace

SimReply clientRoute(SimState& state, const Scenario& s, const SimRequest& r) {
    if (r.words.contains(QStringLiteral("version"))) return SimReply{200, versionReply(s), "text/plain", {}};
    if (r.words.contains(QStringLiteral("create_task_id"))) return createTaskId(state, s, r);
    if (r.words.contains(QStringLiteral("status"))) return status(state, s, r);
    if (r.words.contains(QStringLiteral("nice_job"))) return niceJob(state, s, r);
    if (r.words.contains(QStringLiteral("results"))) return results(state, s, r);
    if (r.words.contains(QStringLiteral("user_params"))) return userParams(state, s, r);
    return SimReply{404, textLines(s, {"problem=Unknown client.pl request " + r.query}), "text/plain", {}};
}

SimReply resultPageRoute(SimState& state, const Scenario&, const SimRequest& r) {
    const QString file = r.param("file");
    const QString id = file.section('/', -1).mid(1).section('.', 0, 0);
    const std::optional<SimSearch> search = state.search(id);
    if (!search || search->resultFile != file) return SimReply{404, "<html><body>No such result</body></html>\n", "text/html", {}};
    const TopHit hit = topHitFor(search->hash, search->queries);
    const QByteArray page = "<html><head><title>Sorvex search results</title></head><body>\n<h1>Search " +
                            search->taskId.toLatin1() + "</h1>\n<p>Top hit " + hit.accession.toLatin1() + " score " +
                            hit.score.toLatin1() + " mass " + hit.mass.toLatin1() + "</p>\n</body></html>\n";
    return SimReply{200, page, "text/html", {}};
}

}  // namespace sorvexsim
