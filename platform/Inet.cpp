#include "platform/Inet.h"

#include "platform/Cp1252.h"
#include "platform/InetTransfer.h"

#include <QList>
#include <QPair>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

namespace platform {

// What any handle may carry; a request looks up options on itself, then its
// connection, then its session.
struct InetHandle {
    enum class Kind { Session, Connection, Request } kind;
    std::shared_ptr<InetHandle> parent;

    std::optional<QString> user, password, proxyUser, proxyPassword;
    std::optional<quint32> connectTimeoutMs, sendTimeoutMs, receiveTimeoutMs;

    // session
    QString agent;
    quint32 accessType = 0;
    QString proxy, proxyBypass;
    // connection
    QString host;
    quint16 port = 0;
    // request
    QString verb, object, version;
    quint32 flags = 0;
    bool sent = false;
    long status = 0;
    QByteArray statusLine;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray rawHeaders;
    QByteArray body;
    qsizetype readPos = 0;
    quint32 pendingError = 0;  // a response cut short: reported by the read that reaches its end
    QString pendingText;       // ... and its text, for an ExtendedError
    bool tooLarge = false;     // the body passed kMaxReplyBytes and was not read on

    explicit InetHandle(Kind k) : kind(k) {}
};

namespace {

using namespace inet;

thread_local QString lastResponseInfo;

struct ProcessOptions {
    quint32 httpMinor = 1;
};
ProcessOptions processOptions;

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool fail(quint32 code) {
    SetLastError(code);
    return false;
}

HInternet failHandle(quint32 code) {
    SetLastError(code);
    return {};
}

bool isKind(const HInternet& h, InetHandle::Kind kind) { return h && h.get()->kind == kind; }

template <typename T>
std::optional<T> lookup(const InetHandle* h, std::optional<T> InetHandle::*field) {
    for (; h; h = h->parent.get())
        if (h->*field) return h->*field;
    return std::nullopt;
}

const InetHandle* sessionOf(const InetHandle* h) {
    while (h && h->kind != InetHandle::Kind::Session) h = h->parent.get();
    return h;
}

// Certificate verification results of OpenSSL that name a date problem or an
// untrusted authority.
quint32 certificateError(CURL* curl, const char* detail) {
    long verify = 0;
    curl_easy_getinfo(curl, CURLINFO_SSL_VERIFYRESULT, &verify);
    // curl checks the host name itself after a good chain and says so only in its text.
    if (std::strstr(detail, "host name") || std::strstr(detail, "subject name")) return inet_err::CertCnInvalid;
    switch (verify) {
        case 9: case 10: case 13: case 14: return inet_err::CertDateInvalid;
        case 62: return inet_err::CertCnInvalid;
        case 23: return inet_err::CertRevoked;
        case 2: case 18: case 19: case 20: case 21: case 24: case 27: case 28: return inet_err::InvalidCa;
        default: return inet_err::SecureFailure;
    }
}

quint32 mapCurlError(CURLcode rc, CURL* curl, const char* detail) {
    switch (rc) {
        case CURLE_OK: return 0;
        case CURLE_UNSUPPORTED_PROTOCOL: return inet_err::UnrecognizedScheme;
        case CURLE_URL_MALFORMAT: return inet_err::InvalidUrl;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST: return inet_err::NameNotResolved;
        case CURLE_COULDNT_CONNECT: return inet_err::CannotConnect;
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_GOT_NOTHING: return inet_err::InvalidServerResponse;
        case CURLE_PARTIAL_FILE:
        case CURLE_SEND_ERROR: return inet_err::ConnectionAborted;
        case CURLE_RECV_ERROR: return inet_err::ConnectionReset;
        case CURLE_OPERATION_TIMEDOUT: return inet_err::Timeout;
        case CURLE_TOO_MANY_REDIRECTS: return inet_err::RedirectFailed;
        case CURLE_ABORTED_BY_CALLBACK:
        case CURLE_READ_ERROR: return inet_err::OperationCancelled;
        case CURLE_OUT_OF_MEMORY: return inet_err::NotEnoughMemory;
        case CURLE_PEER_FAILED_VERIFICATION: return certificateError(curl, detail);
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE: return inet_err::SecureChannelError;
        default: return inet_err::InternalError;
    }
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* req = static_cast<InetHandle*>(user);
    const QByteArray line(data, static_cast<qsizetype>(size * count));
    if (line.startsWith("HTTP/")) {  // a new response (after a redirect or 100 Continue)
        req->statusLine = line.trimmed();
        req->headers.clear();
        req->rawHeaders = req->statusLine + "\r\n";
        return size * count;
    }
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty()) return size * count;
    req->rawHeaders += trimmed + "\r\n";
    const qsizetype colon = trimmed.indexOf(':');
    if (colon > 0) {
        const QByteArray name = trimmed.left(colon).trimmed(), value = trimmed.mid(colon + 1).trimmed();
        req->headers.append({name, value});
        // A reply that says it is too large is not read at all.
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0 && value.toLongLong() > kMaxReplyBytes) {
            req->tooLarge = true;
            return 0;
        }
    }
    return size * count;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* req = static_cast<InetHandle*>(user);
    const qsizetype n = static_cast<qsizetype>(size * count);
    if (req->body.size() + n > kMaxReplyBytes) {
        req->tooLarge = true;
        return 0;  // curl stops the transfer here
    }
    // Grown by doubling, but never past the limit.
    if (req->body.size() + n > req->body.capacity())
        req->body.reserve(std::min<qint64>(kMaxReplyBytes, std::max<qint64>(2 * req->body.capacity(), req->body.size() + n)));
    req->body.append(data, n);
    return size * count;
}

size_t onUpload(char* buffer, size_t size, size_t count, void* user) {
    const qint64 n = (*static_cast<const BodySource*>(user))(buffer, static_cast<qint64>(size * count));
    if (n < 0) return CURL_READFUNC_ABORT;
    return static_cast<size_t>(std::min<qint64>(n, static_cast<qint64>(size * count)));
}

QByteArray requestUrl(const InetHandle& req) {
    const InetHandle& conn = *req.parent;
    const bool secure = req.flags & INTERNET_FLAG_SECURE;
    QString host = conn.host;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('['))) host = '[' + host + ']';
    QString object = req.object.isEmpty() ? QStringLiteral("/") : req.object;
    if (!object.startsWith(QLatin1Char('/'))) object.prepend(QLatin1Char('/'));
    return toCp1252(QString(secure ? QStringLiteral("https://") : QStringLiteral("http://")) + host +
                    QLatin1Char(':') + QString::number(conn.port) + object);
}

bool perform(const HInternet& request, const QString& headerText, qint64 totalLength, const BodySource* source) {
    if (!request) return fail(inet_err::InvalidHandle);
    if (!isKind(request, InetHandle::Kind::Request)) return fail(inet_err::IncorrectHandleType);
    initCurl();
    InetHandle& req = *request.get();
    const InetHandle* session = sessionOf(&req);
    req.sent = false;
    req.status = 0;
    req.statusLine.clear();
    req.headers.clear();
    req.rawHeaders.clear();
    req.body.clear();
    req.readPos = 0;
    req.pendingError = 0;
    req.pendingText.clear();
    req.tooLarge = false;

    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) return fail(inet_err::InternalError);
    CURL* c = curl.get();
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray url = requestUrl(req);
    const QByteArray verb = req.verb.isEmpty() ? QByteArray("GET") : req.verb.toLatin1();
    const QByteArray agent = toCp1252(session->agent);
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, agent.constData());
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &req);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &req);

    QString version = req.version.isEmpty() ? QStringLiteral("HTTP/1.%1").arg(processOptions.httpMinor) : req.version;
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION,
                     version == QLatin1String("HTTP/1.0") ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);

    // Nothing may wait for ever: a connection attempt and a silent peer both time out.
    const quint32 connectMs = lookup(&req, &InetHandle::connectTimeoutMs).value_or(60000);
    const quint32 idleMs = std::max(lookup(&req, &InetHandle::receiveTimeoutMs).value_or(60000),
                                    lookup(&req, &InetHandle::sendTimeoutMs).value_or(60000));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max<quint32>(connectMs, 1)));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(std::max<quint32>((idleMs + 999) / 1000, 1)));

    if (!(req.flags & INTERNET_FLAG_NO_AUTO_REDIRECT)) {
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    }
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");

    // The certificate is always checked in full.
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray caFile = qgetenv("TAVREL_TEST_CA_FILE");
    if (!caFile.isEmpty()) curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());

    const QByteArray proxy = toCp1252(session->proxy);
    const QByteArray bypass = toCp1252(session->proxyBypass);
    if (session->accessType == INTERNET_OPEN_TYPE_DIRECT) {
        curl_easy_setopt(c, CURLOPT_PROXY, "");
    } else if (session->accessType == INTERNET_OPEN_TYPE_PROXY) {
        curl_easy_setopt(c, CURLOPT_PROXY, proxy.constData());
        curl_easy_setopt(c, CURLOPT_NOPROXY, bypass.constData());
    }  // preconfigured: the environment's proxy settings, as curl reads them

    const QByteArray user = toCp1252(lookup(&req, &InetHandle::user).value_or(QString()));
    const QByteArray password = toCp1252(lookup(&req, &InetHandle::password).value_or(QString()));
    if (!user.isEmpty() || !password.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }
    const QByteArray proxyUser = toCp1252(lookup(&req, &InetHandle::proxyUser).value_or(QString()));
    const QByteArray proxyPassword = toCp1252(lookup(&req, &InetHandle::proxyPassword).value_or(QString()));
    if (!proxyUser.isEmpty() || !proxyPassword.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxyUser.constData());
        curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
    }

    curl_slist* list = nullptr;
    for (const QString& line : headerText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        list = curl_slist_append(list, toCp1252(line).constData());
    if (req.flags & INTERNET_FLAG_PRAGMA_NOCACHE) list = curl_slist_append(list, "Pragma: no-cache");
    if (source) list = curl_slist_append(list, "Expect:");
    std::unique_ptr<curl_slist, SlistDeleter> headerList(list);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, list);

    if (source) {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(totalLength));
        curl_easy_setopt(c, CURLOPT_READFUNCTION, onUpload);
        curl_easy_setopt(c, CURLOPT_READDATA, source);
    }
    if (verb != "GET" && verb != "POST") curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, verb.constData());
    else if (verb == "POST" && !source) curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, 0L);

    const CURLcode rc = performTransfer(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &req.status);
    lastResponseInfo = rc == CURLE_OK ? QString() : QString::fromLocal8Bit(errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc));
    if (req.tooLarge) {
        // Nothing of it is handed on: the first read fails with the reason.
        req.body = QByteArray();
        req.sent = true;
        req.pendingError = inet_err::ExtendedError;
        req.pendingText = QStringLiteral("The reply of %1 is larger than the limit of %2 bytes (%3 MiB); it was not "
                                         "read")
                              .arg(fromCp1252(url))
                              .arg(kMaxReplyBytes)
                              .arg(kMaxReplyBytes / (1024 * 1024));
        SetLastError(0);
        return true;
    }
    if (rc != CURLE_OK && req.status == 0) {
        req.body.clear();
        return fail(mapCurlError(rc, c, errorBuffer));
    }
    req.sent = true;
    req.pendingError = mapCurlError(rc, c, errorBuffer);
    SetLastError(0);
    return true;
}

bool setTextOption(InetHandle* h, quint32 option, const QString& value) {
    switch (option) {
        case INTERNET_OPTION_USERNAME: h->user = value; return true;
        case INTERNET_OPTION_PASSWORD: h->password = value; return true;
        case INTERNET_OPTION_PROXY_USERNAME: h->proxyUser = value; return true;
        case INTERNET_OPTION_PROXY_PASSWORD: h->proxyPassword = value; return true;
        default: return false;
    }
}

bool isTextOption(quint32 option) {
    return option == INTERNET_OPTION_USERNAME || option == INTERNET_OPTION_PASSWORD ||
           option == INTERNET_OPTION_PROXY_USERNAME || option == INTERNET_OPTION_PROXY_PASSWORD;
}

}  // namespace

HInternet InternetOpen(const QString& agent, quint32 accessType, const QString& proxyName,
                       const QString& proxyBypass, quint32) {
    if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != INTERNET_OPEN_TYPE_DIRECT &&
        accessType != INTERNET_OPEN_TYPE_PROXY)
        return failHandle(inet_err::InvalidParameter);
    if (accessType == INTERNET_OPEN_TYPE_PROXY && proxyName.trimmed().isEmpty())
        return failHandle(inet_err::InvalidParameter);
    initCurl();
    auto h = std::make_shared<InetHandle>(InetHandle::Kind::Session);
    h->agent = agent;
    h->accessType = accessType;
    h->proxy = proxyName.trimmed();
    h->proxyBypass = proxyBypass;
    SetLastError(0);
    return HInternet(std::move(h));
}

HInternet InternetConnect(const HInternet& session, const QString& host, quint16 port, const QString& user,
                          const QString& password, quint32 service, quint32, quint64) {
    if (!session) return failHandle(inet_err::InvalidHandle);
    if (!isKind(session, InetHandle::Kind::Session)) return failHandle(inet_err::IncorrectHandleType);
    if (service != INTERNET_SERVICE_HTTP) return failHandle(inet_err::InvalidParameter);
    if (host.isEmpty()) return failHandle(inet_err::InvalidUrl);
    auto h = std::make_shared<InetHandle>(InetHandle::Kind::Connection);
    h->parent = session.shared();
    h->host = host;
    h->port = port ? port : INTERNET_DEFAULT_HTTP_PORT;
    if (!user.isEmpty()) h->user = user;
    if (!password.isEmpty()) h->password = password;
    SetLastError(0);
    return HInternet(std::move(h));
}

HInternet HttpOpenRequest(const HInternet& connection, const QString& verb, const QString& object,
                          const QString& version, const QString&, quint32 flags, quint64) {
    if (!connection) return failHandle(inet_err::InvalidHandle);
    if (!isKind(connection, InetHandle::Kind::Connection)) return failHandle(inet_err::IncorrectHandleType);
    auto h = std::make_shared<InetHandle>(InetHandle::Kind::Request);
    h->parent = connection.shared();
    h->verb = verb;
    h->object = object;
    h->version = version;
    h->flags = flags;
    SetLastError(0);
    return HInternet(std::move(h));
}

bool HttpSendRequest(const HInternet& request, const QString& headers, const QByteArray& body) {
    if (body.isEmpty()) return perform(request, headers, 0, nullptr);
    qsizetype offset = 0;
    const BodySource fromBytes = [&](char* buffer, qint64 maxBytes) -> qint64 {
        const qint64 n = std::min<qint64>(maxBytes, body.size() - offset);
        std::memcpy(buffer, body.constData() + offset, static_cast<size_t>(n));
        offset += n;
        return n;
    };
    return perform(request, headers, body.size(), &fromBytes);
}

bool HttpSendRequestStreamed(const HInternet& request, const QString& headers, qint64 totalLength,
                             const BodySource& source) {
    return perform(request, headers, totalLength, &source);
}

bool HttpQueryInfo(const HInternet& request, quint32 infoLevel, QString& value, int bufferLength) {
    if (!request) return fail(inet_err::InvalidHandle);
    if (!isKind(request, InetHandle::Kind::Request)) return fail(inet_err::IncorrectHandleType);
    const InetHandle& req = *request.get();
    if (!req.sent) return fail(inet_err::IncorrectHandleState);
    auto header = [&req](const QByteArray& name) -> std::optional<QByteArray> {
        for (const auto& [key, val] : req.headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0) return val;
        return std::nullopt;
    };
    QString answer;
    switch (infoLevel & 0xFFFF) {
        case HTTP_QUERY_STATUS_CODE: answer = QString::number(req.status); break;
        case HTTP_QUERY_STATUS_TEXT: {
            const QList<QByteArray> pieces = req.statusLine.split(' ');
            answer = fromCp1252(pieces.mid(2).join(' '));
            break;
        }
        case HTTP_QUERY_VERSION: answer = fromCp1252(req.statusLine.split(' ').value(0)); break;
        case HTTP_QUERY_RAW_HEADERS_CRLF: answer = fromCp1252(req.rawHeaders); break;
        case HTTP_QUERY_CONTENT_TYPE:
        case HTTP_QUERY_CONTENT_LENGTH:
        case HTTP_QUERY_CUSTOM: {
            const QByteArray name = (infoLevel & 0xFFFF) == HTTP_QUERY_CONTENT_TYPE     ? QByteArray("Content-Type")
                                    : (infoLevel & 0xFFFF) == HTTP_QUERY_CONTENT_LENGTH ? QByteArray("Content-Length")
                                                                                        : toCp1252(value);
            const auto found = header(name);
            if (!found) return fail(inet_err::HeaderNotFound);
            answer = fromCp1252(*found);
            break;
        }
        default: return fail(inet_err::InvalidParameter);
    }
    if (answer.size() >= bufferLength) return fail(inet_err::InsufficientBuffer);
    value = answer;
    SetLastError(0);
    return true;
}

bool InternetReadFile(const HInternet& request, char* buffer, quint32 toRead, quint32& bytesRead) {
    bytesRead = 0;
    if (!request) return fail(inet_err::InvalidHandle);
    if (!isKind(request, InetHandle::Kind::Request)) return fail(inet_err::IncorrectHandleType);
    InetHandle& req = *request.get();
    if (!req.sent) return fail(inet_err::IncorrectHandleState);
    const qsizetype left = req.body.size() - req.readPos;
    if (left == 0 && req.pendingError) {
        if (!req.pendingText.isEmpty()) lastResponseInfo = req.pendingText;
        return fail(req.pendingError);
    }
    const qsizetype n = std::min<qsizetype>(left, toRead);
    if (n > 0) std::memcpy(buffer, req.body.constData() + req.readPos, static_cast<size_t>(n));
    req.readPos += n;
    bytesRead = static_cast<quint32>(n);
    SetLastError(0);
    return true;
}

bool InternetSetOption(const HInternet& handle, quint32 option, quint32 value) {
    if (isTextOption(option)) return fail(inet_err::BadOptionLength);
    if (!handle) {
        switch (option) {
            case INTERNET_OPTION_HTTP_VERSION: processOptions.httpMinor = value; break;
            case INTERNET_OPTION_MAX_CONNS_PER_SERVER:
            case INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER: break;  // each request has its own connection
            default: return fail(inet_err::InvalidOption);
        }
        SetLastError(0);
        return true;
    }
    InetHandle* h = handle.get();
    switch (option) {
        case INTERNET_OPTION_CONNECT_TIMEOUT: h->connectTimeoutMs = value; break;
        case INTERNET_OPTION_SEND_TIMEOUT: h->sendTimeoutMs = value; break;
        case INTERNET_OPTION_RECEIVE_TIMEOUT: h->receiveTimeoutMs = value; break;
        default: return fail(inet_err::InvalidOption);
    }
    SetLastError(0);
    return true;
}

bool InternetSetOption(const HInternet& handle, quint32 option, const QString& value) {
    if (!isTextOption(option)) return fail(inet_err::BadOptionLength);
    if (!handle || handle.get()->kind == InetHandle::Kind::Session) return fail(inet_err::IncorrectHandleType);
    setTextOption(handle.get(), option, value);
    SetLastError(0);
    return true;
}

bool InternetSetOption(const HInternet& handle, quint32 option) {
    if (option != INTERNET_OPTION_END_BROWSER_SESSION) return fail(inet_err::BadOptionLength);
    SetLastError(0);  // no cached credentials outlive a connection here
    return true;
}

bool InternetGetLastResponseInfo(quint32& error, QString& text) {
    error = 0;
    text = lastResponseInfo;
    SetLastError(0);
    return true;
}

bool InternetCloseHandle(HInternet& handle) {
    if (!handle) return fail(inet_err::InvalidHandle);
    handle.reset();
    SetLastError(0);
    return true;
}

}  // namespace platform
