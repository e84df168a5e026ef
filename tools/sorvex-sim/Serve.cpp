#include "Serve.h"

#include <QDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <thread>

namespace sorvexsim {

QByteArray logLine(const QString& listener, const httplib::Request& req, const QString& status, const QString& fault) {
    QString auth, proxyAuth;
    parseBasic(req.get_header_value("Authorization"), &auth);
    parseBasic(req.get_header_value("Proxy-Authorization"), &proxyAuth);
    const size_t bodySize = req.has_header("Content-Length")
                                ? size_t(std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10))
                                : req.body.size();
    QByteArray target = QByteArray::fromStdString(req.target);
    QByteArray agent = QByteArray::fromStdString(req.get_header_value("User-Agent"));
    // A log line is one line: control characters a client sent stay visible.
    for (QByteArray* field : {&target, &agent})
        for (char& c : *field)
            if (static_cast<unsigned char>(c) < 32) c = '?';
    const QList<QByteArray> fields = {listener.toLatin1(),
                                      QByteArray::fromStdString(req.method),
                                      target,
                                      QByteArray::fromStdString(req.version),
                                      "auth=" + auth.toLatin1(),
                                      "proxyauth=" + proxyAuth.toLatin1(),
                                      "body=" + QByteArray::number(qulonglong(bodySize)),
                                      "status=" + status.toLatin1(),
                                      "fault=" + fault.toLatin1(),
                                      "agent=" + agent};
    return fields.toList().join('\t');
}

void dropConnection(const httplib::Request& req) {
    // cpp-httplib hands no socket to handlers; find ours by its two ports and
    // shut it down so the client sees the connection end without a reply.
    const QStringList fds = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    for (const QString& name : fds) {
        const int fd = name.toInt();
        sockaddr_storage local{}, peer{};
        socklen_t ll = sizeof local, pl = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &ll) != 0) continue;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &pl) != 0) continue;
        auto port = [](const sockaddr_storage& a) {
            if (a.ss_family == AF_INET) return int(ntohs(reinterpret_cast<const sockaddr_in&>(a).sin_port));
            if (a.ss_family == AF_INET6) return int(ntohs(reinterpret_cast<const sockaddr_in6&>(a).sin6_port));
            return -1;
        };
        if (port(local) == req.local_port && port(peer) == req.remote_port) shutdown(fd, SHUT_RDWR);
    }
}

void sendShaped(httplib::Response& res, const SimReply& reply, const QString& shape) {
    res.status = reply.status;
    const std::string type = reply.contentType.isEmpty() ? std::string("text/plain") : reply.contentType.toStdString();
    for (const auto& h : reply.headers) res.set_header(h.first.toStdString(), h.second.toStdString());
    if (shape == QLatin1String("empty")) {
        res.set_content(std::string(), type);
    } else if (shape == QLatin1String("truncated")) {
        // Announce the whole body, send half of it, then fail the write so
        // the connection closes short of its Content-Length.
        const std::string full = reply.body.size() >= 2 ? reply.body.toStdString() : std::string("xx");
        const std::string half = full.substr(0, full.size() / 2);
        res.set_content_provider(full.size(), type, [half](size_t, size_t, httplib::DataSink& sink) {
            sink.write(half.data(), half.size());
            return false;
        });
    } else {
        res.set_content(reply.body.toStdString(), type);
    }
}

void applyFaultReply(const Fault& f, SimReply* reply, QString* faultName) {
    if (!f.status) {
        *faultName = f.reply != QLatin1String("normal") ? f.reply : (f.delayMs > 0 ? QStringLiteral("delay") : QStringLiteral("none"));
        return;
    }
    static const QMap<int, QByteArray> texts = {
        {305, "Use Proxy"}, {401, "Authorization Required"}, {403, "Forbidden"}, {404, "Not Found"},
        {407, "Proxy Authentication Required"}, {500, "Internal Server Error"}, {503, "Service Unavailable"},
    };
    *reply = SimReply{};
    reply->status = *f.status;
    reply->body = f.body.value_or(QByteArray::number(*f.status) + " " + texts.value(*f.status, "Simulated fault") + "\n");
    if (*f.status == 401) reply->headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"Sorvex Server\"")));
    if (*f.status == 407) reply->headers.append(qMakePair(QByteArray("Proxy-Authenticate"), QByteArray("Basic realm=\"sorvex-sim proxy\"")));
    *faultName = f.reply != QLatin1String("normal") ? f.reply : QStringLiteral("status");
}

void finishReply(SimState& state, const QString& listener, const httplib::Request& req, httplib::Response& res,
                 const SimReply& reply, const QString& shape, const std::optional<Fault>& fault,
                 const QString& faultName) {
    const bool drop = shape == QLatin1String("drop");
    state.appendLog(logLine(listener, req, drop ? QStringLiteral("drop") : QString::number(reply.status), faultName));
    if (fault && fault->delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(fault->delayMs));
    if (fault && fault->hold) state.waitForRelease();
    if (drop)
        dropConnection(req);
    else
        sendShaped(res, reply, shape);
}

namespace {

SimRequest simRequest(const QString& listener, const httplib::Request& req, const QString& relative,
                      const std::string& body) {
    SimRequest r;
    r.listener = listener;
    r.method = QByteArray::fromStdString(req.method);
    const qsizetype q = relative.indexOf('?');
    r.program = q < 0 ? relative : relative.left(q);
    r.query = q < 0 ? QString() : relative.mid(q + 1);
    parseQuery(r.query, &r.params, &r.words);
    QString ignored;
    r.basicAuth = parseBasic(req.get_header_value("Authorization"), &ignored);
    r.body = QByteArray::fromStdString(body);
    return r;
}

SimReply control(SimState& state, const std::string& path, const std::function<void()>& onQuit) {
    QString error;
    if (path == "/_sim/reload")
        return state.reload(&error) ? SimReply{200, "ok\n", "text/plain", {}}
                                    : SimReply{500, error.toUtf8() + "\n", "text/plain", {}};
    if (path == "/_sim/expire-sessions") {
        state.endAllSessions();
        return SimReply{200, "ok\n", "text/plain", {}};
    }
    if (path == "/_sim/release") {
        state.releaseHeld();
        return SimReply{200, "ok\n", "text/plain", {}};
    }
    if (path == "/_sim/quit") {
        state.releaseHeld();  // a held reply would keep its listener from stopping
        onQuit();
        return SimReply{200, "bye\n", "text/plain", {}};
    }
    return SimReply{404, "unknown control request\n", "text/plain", {}};
}

void serve(SimState& state, const QString& listener, const httplib::Request& req, const std::string& body,
           httplib::Response& res, const std::function<void()>& onQuit) {
    if (req.path.rfind("/_sim/", 0) == 0) {
        sendShaped(res, control(state, req.path, onQuit), "normal");
        return;
    }
    const Scenario s = state.scenario();
    const QString target = QString::fromLatin1(req.target);
    const bool underBase = target.startsWith(s.basePath);
    const QString relative = underBase ? target.mid(s.basePath.size()) : target;
    const SimRequest r = simRequest(listener, req, relative, body);

    SimReply reply;
    QString faultName = QStringLiteral("none");
    QString shape = QStringLiteral("normal");
    const std::optional<Fault> fault = state.takeFault(listener, relative);
    if (fault) {
        applyFaultReply(*fault, &reply, &faultName);
        shape = fault->reply;
    }
    if (!fault || !fault->status) {
        const bool authorised = !s.httpAuth || (r.basicAuth && r.basicAuth->user == s.httpAuth->user &&
                                                r.basicAuth->password == s.httpAuth->password);
        const auto route = routeTable().constFind(r.program);
        SimReply routed;
        if (!underBase || route == routeTable().constEnd()) {
            routed = SimReply{404, "404 Not Found\n", "text/plain", {}};
        } else if (!authorised) {
            routed = SimReply{401, "401 Authorization Required\n", "text/plain",
                              {{"WWW-Authenticate", "Basic realm=\"Sorvex Server\""}}};
        } else {
            if (!r.param("sessionID").isEmpty()) state.countUse(r.param("sessionID"));
            routed = (*route)(state, s, r);
        }
        reply = routed;
    }
    finishReply(state, listener, req, res, reply, shape, fault, faultName);
}

}  // namespace

void installServerHandlers(httplib::Server& server, SimState& state, const QString& listener,
                           std::function<void()> onQuit) {
    auto handler = [&state, listener, onQuit](const httplib::Request& req, httplib::Response& res) {
        serve(state, listener, req, req.body, res, onQuit);
    };
    server.Get(".*", handler);
    // POST bodies arrive through a reader so that a search upload streams
    // through without being held; other posts are small and read whole.
    server.Post(".*", [&state, listener, onQuit](const httplib::Request& req, httplib::Response& res,
                                                 const httplib::ContentReader& reader) {
        const Scenario s = state.scenario();
        const QString target = QString::fromLatin1(req.target);
        if (req.path.rfind("/_sim/", 0) != 0 && target.startsWith(s.basePath) &&
            isUploadTarget(s, target.mid(s.basePath.size()))) {
            serveUpload(state, listener, req, res, reader, target.mid(s.basePath.size()));
            return;
        }
        std::string body;
        auto append = [&body](const char* data, size_t n) {
            body.append(data, n);
            return true;
        };
        if (req.is_multipart_form_data())
            reader([](const httplib::MultipartFormData&) { return true; }, append);
        else
            reader(append);
        serve(state, listener, req, body, res, onQuit);
    });
    server.Put(".*", handler);
    server.Delete(".*", handler);
}

}  // namespace sorvexsim
