// A small forward proxy: it takes absolute-form requests, demands
// Proxy-Authorization when the scenario names proxy credentials, and passes
// the request on to a loopback server (never elsewhere).
#include "Serve.h"

#include <QUrl>


namespace sorvexsim {

namespace {

const char* const kHopHeaders[] = {"Proxy-Authorization", "Proxy-Connection", "Connection", "Keep-Alive",
                                   "Host", "Content-Length", "Transfer-Encoding", "TE", "Upgrade"};

bool isHopHeader(const std::string& name) {
    for (const char* h : kHopHeaders)
        if (strcasecmp(h, name.c_str()) == 0) return true;
    return false;
}

SimReply forward(const httplib::Request& req, const QUrl& url) {
    httplib::Client upstream(url.host().toStdString(), url.port(80));
    upstream.set_url_encode(false);
    upstream.set_connection_timeout(5);
    upstream.set_read_timeout(300);
    httplib::Request out;
    out.method = req.method;
    out.path = url.path(QUrl::FullyEncoded).toStdString();
    if (url.hasQuery()) out.path += "?" + url.query(QUrl::FullyEncoded).toStdString();
    for (const auto& h : req.headers)
        if (!isHopHeader(h.first)) out.headers.emplace(h.first, h.second);
    out.body = req.body;
    auto result = upstream.send(out);
    if (!result) return SimReply{502, "502 Bad Gateway: " + QByteArray(httplib::to_string(result.error()).c_str()) + "\n", "text/plain", {}};
    SimReply reply{result->status, QByteArray::fromStdString(result->body),
                   QByteArray::fromStdString(result->get_header_value("Content-Type")), {}};
    for (const char* keep : {"WWW-Authenticate", "Location"})
        if (result->has_header(keep))
            reply.headers.append(qMakePair(QByteArray(keep), QByteArray::fromStdString(result->get_header_value(keep))));
    return reply;
}

void serveProxy(SimState& state, const httplib::Request& req, httplib::Response& res) {
    const Scenario s = state.scenario();
    const QUrl url(QString::fromLatin1(req.target), QUrl::StrictMode);
    const QString host = url.host().toLower();
    const QString pathAndQuery = url.path(QUrl::FullyEncoded) + (url.hasQuery() ? "?" + url.query(QUrl::FullyEncoded) : QString());
    const QString relative = pathAndQuery.startsWith(s.basePath) ? pathAndQuery.mid(s.basePath.size()) : pathAndQuery;

    SimReply reply;
    QString faultName = QStringLiteral("none");
    QString shape = QStringLiteral("normal");
    const std::optional<Fault> fault = state.takeFault(QStringLiteral("proxy"), relative);
    if (fault) {
        applyFaultReply(*fault, &reply, &faultName);
        shape = fault->reply;
    }
    if (!fault || !fault->status) {
        QString ignored;
        const auto given = parseBasic(req.get_header_value("Proxy-Authorization"), &ignored);
        if (!url.isValid() || url.scheme() != QLatin1String("http")) {
            reply = SimReply{400, "400 Bad Request: the proxy takes absolute http URLs only\n", "text/plain", {}};
        } else if (host != QLatin1String("127.0.0.1") && host != QLatin1String("localhost") && host != QLatin1String("::1")) {
            reply = SimReply{403, "403 Forbidden: the proxy reaches loopback servers only\n", "text/plain", {}};
        } else if (s.proxyAuth && (!given || given->user != s.proxyAuth->user || given->password != s.proxyAuth->password)) {
            reply = SimReply{407, "407 Proxy Authentication Required\n", "text/plain",
                             {{"Proxy-Authenticate", "Basic realm=\"sorvex-sim proxy\""}}};
        } else {
            const SimReply upstream = forward(req, url);
            reply = upstream;
        }
    }
    finishReply(state, QStringLiteral("proxy"), req, res, reply, shape, fault, faultName);
}

}  // namespace

void installProxyHandlers(httplib::Server& proxy, SimState& state) {
    auto handler = [&state](const httplib::Request& req, httplib::Response& res) { serveProxy(state, req, res); };
    proxy.Get(".*", handler);
    proxy.Post(".*", handler);
    proxy.Put(".*", handler);
    proxy.Delete(".*", handler);
}

}  // namespace sorvexsim
