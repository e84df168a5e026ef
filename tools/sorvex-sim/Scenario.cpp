#include "Scenario.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace sorvexsim {

namespace {

// Thrown inside the reader; turned into the caller's error text.
struct BadScenario {
    QString what;
};

[[noreturn]] void bad(const QString& what) { throw BadScenario{what}; }

void onlyKeys(const QJsonObject& o, const QString& where, const QStringList& allowed) {
    for (const QString& k : o.keys())
        if (!allowed.contains(k))
            bad(QStringLiteral("unknown key \"%1\" in %2").arg(k, where));
}

QString str(const QJsonValue& v, const QString& key) {
    if (!v.isString()) bad(QStringLiteral("\"%1\" must be a string").arg(key));
    return v.toString();
}

bool boolean(const QJsonValue& v, const QString& key) {
    if (!v.isBool()) bad(QStringLiteral("\"%1\" must be true or false").arg(key));
    return v.toBool();
}

int integer(const QJsonValue& v, const QString& key) {
    if (!v.isDouble() || v.toDouble() != double(v.toInteger()))
        bad(QStringLiteral("\"%1\" must be a whole number").arg(key));
    return int(v.toInteger());
}

QJsonObject object(const QJsonValue& v, const QString& key) {
    if (!v.isObject()) bad(QStringLiteral("\"%1\" must be an object").arg(key));
    return v.toObject();
}

QJsonArray array(const QJsonValue& v, const QString& key) {
    if (!v.isArray()) bad(QStringLiteral("\"%1\" must be an array").arg(key));
    return v.toArray();
}

Credentials credentials(const QJsonValue& v, const QString& key) {
    const QJsonObject o = object(v, key);
    onlyKeys(o, key, {"user", "password"});
    return {str(o.value("user"), key + ".user"), o.contains("password") ? str(o.value("password"), key + ".password") : QString()};
}

SimUser user(const QJsonValue& v, int index) {
    const QString where = QStringLiteral("users[%1]").arg(index);
    const QJsonObject o = object(v, where);
    onlyKeys(o, where, {"name", "password", "id", "number", "fullName", "email", "permissions", "ostrane"});
    SimUser u;
    u.name = str(o.value("name"), where + ".name");
    if (o.contains("password")) u.password = str(o.value("password"), where + ".password");
    if (o.contains("id")) u.id = integer(o.value("id"), where + ".id");
    if (o.contains("number")) u.number = integer(o.value("number"), where + ".number");
    if (o.contains("fullName")) u.fullName = str(o.value("fullName"), where + ".fullName");
    if (o.contains("email")) u.email = str(o.value("email"), where + ".email");
    if (o.contains("ostrane")) u.ostrane = boolean(o.value("ostrane"), where + ".ostrane");
    if (o.contains("permissions")) {
        QList<int> p;
        for (const QJsonValue& t : array(o.value("permissions"), where + ".permissions"))
            p.append(integer(t, where + ".permissions"));
        u.permissions = p;
    }
    return u;
}

Fault fault(const QJsonValue& v, int index) {
    const QString where = QStringLiteral("faults[%1]").arg(index);
    const QJsonObject o = object(v, where);
    onlyKeys(o, where, {"match", "listener", "skip", "times", "status", "body", "reply", "delayMs", "hold"});
    Fault f;
    if (o.contains("match")) f.match = str(o.value("match"), where + ".match");
    if (o.contains("listener")) f.listener = str(o.value("listener"), where + ".listener");
    if (!QStringList{"any", "http", "https", "proxy"}.contains(f.listener))
        bad(where + ".listener must be any, http, https or proxy");
    if (o.contains("skip")) f.skip = integer(o.value("skip"), where + ".skip");
    if (o.contains("times")) f.times = integer(o.value("times"), where + ".times");
    if (o.contains("status")) {
        f.status = integer(o.value("status"), where + ".status");
        if (*f.status < 100 || *f.status > 599) bad(where + ".status must lie between 100 and 599");
    }
    if (o.contains("body")) f.body = str(o.value("body"), where + ".body").toLatin1();
    if (o.contains("reply")) f.reply = str(o.value("reply"), where + ".reply");
    if (!QStringList{"normal", "empty", "truncated", "drop"}.contains(f.reply))
        bad(where + ".reply must be normal, empty, truncated or drop");
    if (o.contains("delayMs")) f.delayMs = integer(o.value("delayMs"), where + ".delayMs");
    if (o.contains("hold")) f.hold = boolean(o.value("hold"), where + ".hold");
    if (f.skip < 0 || f.times < 0 || f.delayMs < 0) bad(where + ": skip, times and delayMs must not be negative");
    return f;
}

QStringList states(const QJsonValue& v, const QString& key) {
    QStringList out;
    for (const QJsonValue& e : array(v, key)) out.append(str(e, key));
    if (out.isEmpty()) bad(QStringLiteral("\"%1\" needs at least one state").arg(key));
    return out;
}

QString numberText(const QJsonValue& v, const QString& key) {
    if (v.isDouble()) return QString::number(v.toDouble());
    return str(v, key);
}

SearchScenario searchScenario(const QJsonValue& v) {
    const QJsonObject o = object(v, "search");
    onlyKeys(o, "search", {"states", "perUpload", "results", "resultsReply", "selectPeptides", "queryScores",
                           "release", "sigScore", "resultsPerlScript"});
    SearchScenario s;
    if (o.contains("states")) s.states = states(o.value("states"), "search.states");
    if (o.contains("perUpload"))
        for (const QJsonValue& e : array(o.value("perUpload"), "search.perUpload"))
            s.perUpload.push_back(states(e, "search.perUpload"));
    if (o.contains("results")) s.results = str(o.value("results"), "search.results");
    if (!QStringList{"normal", "empty", "malformed", "nohits", "nofile"}.contains(s.results))
        bad("search.results must be normal, empty, malformed, nohits or nofile");
    if (o.contains("resultsReply")) s.resultsReply = str(o.value("resultsReply"), "search.resultsReply").toLatin1();
    if (o.contains("selectPeptides")) s.selectPeptides = boolean(o.value("selectPeptides"), "search.selectPeptides");
    if (o.contains("queryScores")) {
        for (const QJsonValue& e : array(o.value("queryScores"), "search.queryScores")) {
            const QJsonArray pair = array(e, "search.queryScores");
            if (pair.size() != 2) bad("search.queryScores entries are [score, threshold]");
            s.queryScores.emplace_back(numberText(pair.at(0), "search.queryScores"),
                                       numberText(pair.at(1), "search.queryScores"));
        }
    }
    if (o.contains("release")) s.release = str(o.value("release"), "search.release");
    if (o.contains("sigScore")) s.sigScore = numberText(o.value("sigScore"), "search.sigScore");
    if (o.contains("resultsPerlScript")) s.resultsPerlScript = str(o.value("resultsPerlScript"), "search.resultsPerlScript");
    return s;
}

Scenario read(const QJsonObject& root) {
    onlyKeys(root, "the scenario",
             {"basePath", "version", "versionReply", "lineEnd", "security", "guestLogin", "webAuthentication", "users",
              "session", "requireSession", "httpAuth", "proxy", "params", "paramsDocument", "createTaskId",
              "createTaskIdReply", "errorMessages", "faults", "log", "search", "bodies"});
    Scenario s;
    if (root.contains("basePath")) s.basePath = str(root.value("basePath"), "basePath");
    if (!s.basePath.startsWith('/') || !s.basePath.endsWith('/')) bad("\"basePath\" must start and end with \"/\"");
    if (root.contains("version")) s.version = str(root.value("version"), "version");
    if (root.contains("versionReply")) s.versionReply = str(root.value("versionReply"), "versionReply").toLatin1();
    if (root.contains("lineEnd")) s.lineEnd = str(root.value("lineEnd"), "lineEnd").toLatin1();
    if (root.contains("security")) s.security = boolean(root.value("security"), "security");
    if (root.contains("guestLogin")) s.guestLogin = boolean(root.value("guestLogin"), "guestLogin");
    if (root.contains("webAuthentication"))
        s.webAuthentication = boolean(root.value("webAuthentication"), "webAuthentication");
    if (root.contains("users")) {
        const QJsonArray a = array(root.value("users"), "users");
        for (int i = 0; i < a.size(); ++i) s.users.push_back(user(a.at(i), i));
    }
    if (root.contains("session")) {
        const QJsonObject o = object(root.value("session"), "session");
        onlyKeys(o, "session", {"expireAfterRequests", "prefix"});
        if (o.contains("expireAfterRequests"))
            s.expireAfterRequests = integer(o.value("expireAfterRequests"), "session.expireAfterRequests");
        if (o.contains("prefix")) s.sessionPrefix = str(o.value("prefix"), "session.prefix");
    }
    if (root.contains("requireSession") && !root.value("requireSession").isNull())
        s.requireSessionSetting = boolean(root.value("requireSession"), "requireSession");
    if (root.contains("httpAuth")) s.httpAuth = credentials(root.value("httpAuth"), "httpAuth");
    if (root.contains("proxy")) s.proxyAuth = credentials(root.value("proxy"), "proxy");
    if (root.contains("params")) {
        const QJsonObject o = object(root.value("params"), "params");
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (it.value().isNull()) {
                s.params[it.key()] = std::nullopt;
                continue;
            }
            QStringList entries;
            for (const QJsonValue& e : array(it.value(), "params." + it.key()))
                entries.append(str(e, "params." + it.key()));
            s.params[it.key()] = entries;
        }
    }
    if (root.contains("paramsDocument")) s.paramsDocument = str(root.value("paramsDocument"), "paramsDocument").toLatin1();
    if (root.contains("createTaskId")) {
        const QJsonObject o = object(root.value("createTaskId"), "createTaskId");
        onlyKeys(o, "createTaskId", {"taskid", "actionstring"});
        if (o.contains("taskid")) s.taskId = str(o.value("taskid"), "createTaskId.taskid");
        if (o.contains("actionstring")) s.actionString = str(o.value("actionstring"), "createTaskId.actionstring");
    }
    if (root.contains("createTaskIdReply"))
        s.createTaskIdReply = str(root.value("createTaskIdReply"), "createTaskIdReply").toLatin1();
    if (root.contains("errorMessages")) {
        const QJsonObject o = object(root.value("errorMessages"), "errorMessages");
        for (auto it = o.begin(); it != o.end(); ++it) {
            bool ok = false;
            const int n = it.key().toInt(&ok);
            if (!ok) bad(QStringLiteral("errorMessages key \"%1\" is not a number").arg(it.key()));
            s.errorMessages[n] = str(it.value(), "errorMessages." + it.key());
        }
    }
    if (root.contains("faults")) {
        const QJsonArray a = array(root.value("faults"), "faults");
        for (int i = 0; i < a.size(); ++i) s.faults.push_back(fault(a.at(i), i));
    }
    if (root.contains("log")) s.logFile = str(root.value("log"), "log");
    if (root.contains("search")) s.search = searchScenario(root.value("search"));
    if (root.contains("bodies")) s.bodiesDir = str(root.value("bodies"), "bodies");
    return s;
}

}  // namespace

const SimUser* Scenario::findUser(const QString& name) const {
    for (const SimUser& u : users)
        if (u.name == name) return &u;
    return nullptr;
}

std::optional<Scenario> scenarioFromJson(const QJsonObject& root, QString* error) {
    try {
        return read(root);
    } catch (const BadScenario& e) {
        if (error) *error = e.what;
        return std::nullopt;
    }
}

std::optional<Scenario> loadScenario(const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot read scenario %1: %2").arg(path, f.errorString());
        return std::nullopt;
    }
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &pe);
    if (pe.error != QJsonParseError::NoError || !doc.isObject()) {
        if (error)
            *error = QStringLiteral("scenario %1 is not a JSON object (offset %2: %3)")
                         .arg(path)
                         .arg(pe.offset)
                         .arg(pe.error != QJsonParseError::NoError ? pe.errorString() : QStringLiteral("not an object"));
        return std::nullopt;
    }
    QString why;
    auto s = scenarioFromJson(doc.object(), &why);
    if (!s && error) *error = QStringLiteral("scenario %1: %2").arg(path, why);
    return s;
}

}  // namespace sorvexsim
