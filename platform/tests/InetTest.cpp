#include "platform/Inet.h"
#include "platform/InetWait.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <httplib.h>

#include <condition_variable>
#include <mutex>
#include <thread>

using namespace platform;
using namespace platform::inet;

namespace {

// A loopback server on its own thread for the life of a test.
template <typename Server>
class Running {
public:
    template <typename... Args>
    explicit Running(Args&&... args) : server(std::forward<Args>(args)...) {}
    void start() {
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running()) std::this_thread::yield();
    }
    ~Running() {
        server.stop();
        if (thread.joinable()) thread.join();
    }
    Server server;
    int port = 0;
    std::thread thread;
};

struct Exchange {
    bool sent = false;
    quint32 sendError = 0;
    long status = 0;
    QByteArray body;
    bool readOk = true;
    quint32 readError = 0;
};

Exchange get(const QString& url, const QString& version = QStringLiteral("HTTP/1.1"), quint32 timeoutMs = 5000,
             const QString& user = {}, const QString& password = {}) {
    Exchange ex;
    HInternet session = InternetOpen("Sorvex Tavrel test", INTERNET_OPEN_TYPE_DIRECT, {}, {}, 0);
    InternetSetOption(session, INTERNET_OPTION_RECEIVE_TIMEOUT, timeoutMs);
    InternetSetOption(session, INTERNET_OPTION_SEND_TIMEOUT, timeoutMs);
    URL_COMPONENTS parts;
    if (!InternetCrackUrl(url, 0, parts)) return ex;
    HInternet conn = InternetConnect(session, parts.hostName, parts.port, {}, {}, INTERNET_SERVICE_HTTP, 0, 0);
    if (!user.isEmpty()) InternetSetOption(conn, INTERNET_OPTION_USERNAME, user);
    if (!password.isEmpty()) InternetSetOption(conn, INTERNET_OPTION_PASSWORD, password);
    const quint32 flags = parts.scheme == "https" ? INTERNET_FLAG_SECURE : 0;
    HInternet req = HttpOpenRequest(conn, "GET", parts.urlPath + parts.extraInfo, version, {}, flags, 0);
    ex.sent = HttpSendRequest(req);
    ex.sendError = GetLastError();
    if (!ex.sent) return ex;
    QString status;
    EXPECT_TRUE(HttpQueryInfo(req, HTTP_QUERY_STATUS_CODE, status));
    ex.status = status.toLong();
    char buffer[7];
    quint32 n = 0;
    while ((ex.readOk = InternetReadFile(req, buffer, sizeof buffer, n)) && n > 0) ex.body.append(buffer, n);
    ex.readError = GetLastError();
    return ex;
}

}  // namespace

TEST(InetCrackUrl, SplitsWithoutDecoding) {
    struct Row {
        const char* url;
        bool ok;
        const char* host;
        int port;
        const char* user;
        const char* password;
        const char* path;
        const char* extra;
    } rows[] = {
        {"http://h/x/get_params.pl?a=%20b", true, "h", 80, "", "", "/x/get_params.pl", "?a=%20b"},
        {"https://h.example:8443/", true, "h.example", 8443, "", "", "/", ""},
        {"https://h", true, "h", 443, "", "", "", ""},
        {"http://u:p@w@h:81/c?d", true, "h", 81, "u", "p@w", "/c", "?d"},
        {"HTTP://h?q", true, "h", 80, "", "", "", "?q"},
        {"http://[::1]:9/a", true, "::1", 9, "", "", "/a", ""},
        {"ftp://h/", false, "", 0, "", "", "", ""},
        {"h/path", false, "", 0, "", "", "", ""},
        {"http://h:99999/", false, "", 0, "", "", "", ""},
        {"http://h:/", false, "", 0, "", "", "", ""},
        {"http:///x", false, "", 0, "", "", "", ""},
    };
    for (const Row& r : rows) {
        URL_COMPONENTS parts;
        EXPECT_EQ(InternetCrackUrl(r.url, 0, parts), r.ok) << r.url;
        if (!r.ok) {
            EXPECT_NE(GetLastError(), 0u) << r.url;
            continue;
        }
        EXPECT_EQ(parts.hostName, r.host) << r.url;
        EXPECT_EQ(parts.port, r.port) << r.url;
        EXPECT_EQ(parts.userName, r.user) << r.url;
        EXPECT_EQ(parts.password, r.password) << r.url;
        EXPECT_EQ(parts.urlPath, r.path) << r.url;
        EXPECT_EQ(parts.extraInfo, r.extra) << r.url;
    }
    URL_COMPONENTS parts;
    EXPECT_FALSE(InternetCrackUrl("http://h/" + QString(1100, 'a'), 0, parts));
    EXPECT_EQ(GetLastError(), inet_err::InsufficientBuffer);
}

TEST(InetExchange, StatusBodyVersionAndCredentials) {
    Running<httplib::Server> srv;
    srv.server.Get("/doc", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.version + "|" + req.get_header_value("Authorization") + "|" +
                            req.get_header_value("User-Agent") + "|" + std::string(20, 'x'),
                        "text/plain");
    });
    srv.server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("not here", "text/plain");
    });
    srv.start();
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(srv.port);

    Exchange ex = get(base + "/doc", "HTTP/1.0", 5000, "web", "wpw");
    ASSERT_TRUE(ex.sent) << ex.sendError;
    EXPECT_EQ(ex.status, 200);
    EXPECT_TRUE(ex.readOk);
    EXPECT_EQ(ex.body, "HTTP/1.0|Basic d2ViOndwdw==|Sorvex Tavrel test|" + QByteArray(20, 'x'));

    ex = get(base + "/doc");
    EXPECT_TRUE(ex.body.startsWith("HTTP/1.1||"));

    ex = get(base + "/missing");
    EXPECT_TRUE(ex.sent);
    EXPECT_EQ(ex.status, 404);
    EXPECT_EQ(ex.body, "not here");
}

// A reply is read up to a limit no real one reaches; past it the reading
// stops with an error that names the address and the limit.
TEST(InetExchange, AReplyPastTheSizeLimitStopsWithAClearError) {
    Running<httplib::Server> srv;
    // One that announces its length, and one sent in chunks that does not.
    const auto huge = [](httplib::DataSink& sink) {
        static const std::string piece(1 << 16, 'x');
        return sink.write(piece.data(), piece.size());
    };
    srv.server.Get("/announced", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(size_t(kMaxReplyBytes) + 1, "text/plain",
                                 [&](size_t, size_t, httplib::DataSink& sink) { return huge(sink); });
    });
    srv.server.Get("/chunked", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [&](size_t, httplib::DataSink& sink) { return huge(sink); });
    });
    srv.start();
    for (const char* path : {"/announced", "/chunked"}) {
        SCOPED_TRACE(path);
        const QString url = QStringLiteral("http://127.0.0.1:%1").arg(srv.port) + QString::fromLatin1(path);
        HInternet session = InternetOpen("Sorvex Tavrel test", INTERNET_OPEN_TYPE_DIRECT, {}, {}, 0);
        HInternet conn = InternetConnect(session, "127.0.0.1", quint16(srv.port), {}, {}, INTERNET_SERVICE_HTTP, 0, 0);
        HInternet req = HttpOpenRequest(conn, "GET", QString::fromLatin1(path), "HTTP/1.1", {}, 0, 0);
        ASSERT_TRUE(HttpSendRequest(req)) << GetLastError();
        char buffer[2048];
        quint32 n = 0;
        EXPECT_FALSE(InternetReadFile(req, buffer, sizeof buffer, n));
        EXPECT_EQ(n, 0u);
        EXPECT_EQ(GetLastError(), inet_err::ExtendedError);
        quint32 code = 0;
        QString text;
        InternetGetLastResponseInfo(code, text);
        EXPECT_TRUE(text.contains(url)) << qPrintable(text);
        EXPECT_TRUE(text.contains(QString::number(kMaxReplyBytes) + " bytes")) << qPrintable(text);
    }
}

TEST(InetExchange, TransportFailuresHaveTheirNumbers) {
    // A port that was just free: nobody listens there.
    int closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    Exchange ex = get(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort));
    EXPECT_FALSE(ex.sent);
    EXPECT_EQ(ex.sendError, inet_err::CannotConnect);
    quint32 code = 1;
    QString detail;
    ASSERT_TRUE(InternetGetLastResponseInfo(code, detail));
    EXPECT_FALSE(detail.isEmpty());  // the transport's own words, behind error 12003

    // A silent server times out instead of hanging.
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    Running<httplib::Server> srv;
    srv.server.Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
        std::unique_lock lock(m);
        cv.wait_for(lock, std::chrono::seconds(10), [&] { return release; });
        res.set_content("late", "text/plain");
    });
    srv.start();
    ex = get(QStringLiteral("http://127.0.0.1:%1/slow").arg(srv.port), "HTTP/1.1", 1000);
    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    EXPECT_FALSE(ex.sent);
    EXPECT_EQ(ex.sendError, inet_err::Timeout);
    EXPECT_FALSE(FormatMessageFromWinInet(inet_err::Timeout).isEmpty());
}

TEST(InetExchange, StreamedBodyArrivesWhole) {
    Running<httplib::Server> srv;
    std::string received;
    srv.server.Post("/up", [&](const httplib::Request& req, httplib::Response& res) {
        received = req.body;
        res.set_content("ok", "text/plain");
    });
    srv.start();
    HInternet session = InternetOpen("t", INTERNET_OPEN_TYPE_DIRECT, {}, {}, 0);
    HInternet conn = InternetConnect(session, "127.0.0.1", srv.port, {}, {}, INTERNET_SERVICE_HTTP, 0, 0);
    HInternet req = HttpOpenRequest(conn, "POST", "/up", "HTTP/1.1", {}, 0, 0);
    const QByteArray payload = QByteArray(100000, 'p') + "end";
    qint64 offset = 0;
    ASSERT_TRUE(HttpSendRequestStreamed(req, "Content-Type: application/octet-stream", payload.size(),
                                        [&](char* buffer, qint64 max) {
                                            const qint64 n = std::min<qint64>(max, payload.size() - offset);
                                            memcpy(buffer, payload.constData() + offset, n);
                                            offset += n;
                                            return n;
                                        }));
    EXPECT_EQ(QByteArray::fromStdString(received), payload);
    EXPECT_TRUE(InternetCloseHandle(req));
    EXPECT_FALSE(req);
}

TEST(InetOptions, WrongKindsAreRefused) {
    HInternet session = InternetOpen("t", 7, {}, {}, 0);
    EXPECT_FALSE(session);
    EXPECT_EQ(GetLastError(), inet_err::InvalidParameter);
    EXPECT_FALSE(InternetOpen("t", INTERNET_OPEN_TYPE_PROXY, "", {}, 0));
    session = InternetOpen("t", INTERNET_OPEN_TYPE_PRECONFIG, {}, {}, 0);
    ASSERT_TRUE(session);
    HInternet conn = InternetConnect(session, "127.0.0.1", 1, {}, {}, INTERNET_SERVICE_HTTP, 0, 0);
    EXPECT_FALSE(InternetSetOption(conn, INTERNET_OPTION_USERNAME, 5u));
    EXPECT_EQ(GetLastError(), inet_err::BadOptionLength);
    EXPECT_TRUE(InternetSetOption(conn, INTERNET_OPTION_USERNAME, QStringLiteral("u")));
    HInternet req = HttpOpenRequest(conn, "GET", "/", {}, {}, 0, 0);
    QString value;
    EXPECT_FALSE(HttpQueryInfo(req, HTTP_QUERY_STATUS_CODE, value));
    EXPECT_EQ(GetLastError(), inet_err::IncorrectHandleState);
    EXPECT_FALSE(HttpOpenRequest(session, "GET", "/", {}, {}, 0, 0));
    EXPECT_EQ(GetLastError(), inet_err::IncorrectHandleType);
}

// Certificates made for the test: a CA, a good server certificate for
// 127.0.0.1, one for another host name and an expired one.
class InetTls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        auto run = [](const QStringList& args) {
            QProcess p;
            p.setWorkingDirectory(dir->path());
            p.start("openssl", args);
            return p.waitForFinished(20000) && p.exitCode() == 0;
        };
        const QStringList ec = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
        ok = run(QStringList{"req", "-x509"} + ec + QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "30", "-subj", "/CN=Test CA"});
        auto leaf = [&](const QString& name, const QString& san, const QString& days) {
            QFile ext(dir->filePath(name + ".ext"));
            ext.open(QIODevice::WriteOnly);
            ext.write(("subjectAltName=" + san + "\n").toUtf8());
            ext.close();
            return run(QStringList{"req"} + ec + QStringList{"-keyout", name + ".key", "-out", name + ".csr", "-subj", "/CN=x"}) &&
                   run({"x509", "-req", "-in", name + ".csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                        "-out", name + ".pem", "-days", days, "-extfile", name + ".ext"});
        };
        ok = ok && leaf("good", "IP:127.0.0.1,DNS:localhost", "30") && leaf("wrong", "DNS:elsewhere.example", "30") &&
             leaf("expired", "IP:127.0.0.1", "-1");
    }
    static void TearDownTestSuite() { delete dir; }

    Exchange fetch(const QString& name, bool trustCa) {
        Running<httplib::SSLServer> srv(dir->filePath(name + ".pem").toLocal8Bit().constData(),
                                        dir->filePath(name + ".key").toLocal8Bit().constData());
        srv.server.Get("/x", [](const httplib::Request&, httplib::Response& res) { res.set_content("secret", "text/plain"); });
        srv.start();
        if (trustCa) qputenv("TAVREL_TEST_CA_FILE", dir->filePath("ca.pem").toLocal8Bit());
        Exchange ex = get(QStringLiteral("https://127.0.0.1:%1/x").arg(srv.port));
        qunsetenv("TAVREL_TEST_CA_FILE");
        return ex;
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline bool ok = false;
};

TEST_F(InetTls, VerificationNamesTheProblem) {
    if (!ok) GTEST_SKIP() << "openssl could not make the test certificates";
    Exchange ex = fetch("good", true);
    ASSERT_TRUE(ex.sent) << ex.sendError;
    EXPECT_EQ(ex.body, "secret");

    struct Row {
        const char* cert;
        bool trust;
        quint32 error;
    } rows[] = {{"wrong", true, inet_err::CertCnInvalid},
                {"expired", true, inet_err::CertDateInvalid},
                {"good", false, inet_err::InvalidCa}};
    for (const Row& r : rows) {
        ex = fetch(r.cert, r.trust);
        EXPECT_FALSE(ex.sent) << r.cert;
        EXPECT_EQ(ex.sendError, r.error) << r.cert;
        EXPECT_TRUE(FormatMessageFromWinInet(r.error).contains("certificate")) << r.cert;
    }
}

// A server that keeps a request for as long as the test wants.
class HangingServer {
public:
    HangingServer() {
        srv.server.Get("/hang", [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock lock(m);
            cv.wait_for(lock, std::chrono::seconds(30), [this] { return released; });
            res.set_content("late", "text/plain");
        });
        srv.start();
    }
    ~HangingServer() {
        {
            std::lock_guard lock(m);
            released = true;
        }
        cv.notify_all();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/hang").arg(srv.port); }

private:
    std::mutex m;
    std::condition_variable cv;
    bool released = false;
    Running<httplib::Server> srv;
};

class RestoredPolicy {
public:
    explicit RestoredPolicy(RequestWaitPolicy p) : previous_(setRequestWaitPolicy(std::move(p))) {}
    ~RestoredPolicy() { setRequestWaitPolicy(std::move(previous_)); }

private:
    RequestWaitPolicy previous_;
};

// The service's wait: its timers run while the server says nothing, they can
// tell that they run inside the wait, and a stop cuts the request short.
TEST(InetWait, AHungRequestServesEventsAndIsCutShortOnRequest) {
    HangingServer server;
    bool stop = false;
    RestoredPolicy policy({true, [&] { return stop; }});
    int ticks = 0;
    bool insideWait = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        insideWait = requestWaiting();
        if (++ticks == 3) stop = true;
    });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    const Exchange ex = get(server.url(), "HTTP/1.1", 30000);
    EXPECT_FALSE(ex.sent);
    EXPECT_EQ(ex.sendError, inet_err::OperationCancelled);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(insideWait);
    EXPECT_FALSE(requestWaiting());
    EXPECT_LT(clock.elapsed(), 10000);  // not the server's 30 s, nor the time-out
}

// The client keeps its plain wait: nothing of its own runs inside a request.
TEST(InetWait, WithoutServingNoEventRunsInsideARequest) {
    HangingServer server;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    const Exchange ex = get(server.url(), "HTTP/1.1", 1000);
    EXPECT_EQ(ex.sendError, inet_err::Timeout);
    EXPECT_EQ(ticks, 0);
}
