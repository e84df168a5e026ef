#include "client/ResultAutoPrint.h"

#include "client/Reports.h"
#include "common/EventLogLine.h"
#include "clientcommon/EventMessage.h"
#include "clientcommon/Globals.h"
#include "common/HttpGetCore.h"
#include "common/Secrets.h"
#include "platform/InetWait.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace tavrel {

namespace {

// How long a result whose page could not be loaded waits for its next try.
constexpr qint64 kRetryAfterMs = 5 * 60 * 1000;
// Pages that load at the same time, and the longest wait for one.
constexpr std::size_t kSideBySide = 3;
constexpr quint32 kPageWaitMs = 2 * 60 * 1000;
// A page that arrives while the window waits for a server is taken afterwards.
constexpr int kAfterTheWaitMs = 200;

PrintTarget& target() {
    static PrintTarget t;
    return t;
}

void report(const QString& text) {
    modGlobal_ShowEventMessage(common::EventError, 0, QString(), QString(), common::maskSecrets(text));
}

// The session goes along when the page does not name one.
QString withSession(const QString& url) {
    if (ServerSessionID.isEmpty() || url.contains(QStringLiteral("sessionID="), Qt::CaseInsensitive)) return url;
    return url + (url.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) + QStringLiteral("sessionID=") +
           ServerSessionID;
}

int portOf(const QUrl& u) {
    const QString scheme = u.scheme().toLower();
    return u.port(scheme == QLatin1String("https") ? 443 : scheme == QLatin1String("http") ? 80 : -1);
}

bool printerAvailable() { return static_cast<bool>(target()) || !QPrinterInfo::defaultPrinter().isNull(); }

}  // namespace

PrintTarget setPrintTarget(PrintTarget t) { return std::exchange(target(), std::move(t)); }

bool isSorvexServerAddress(const QString& url, const QString& serverUrl) {
    const QUrl page(url, QUrl::StrictMode);
    const QUrl server(serverUrl, QUrl::StrictMode);
    if (!page.isValid() || !server.isValid() || page.host().isEmpty() || server.host().isEmpty()) return false;
    return page.scheme().compare(server.scheme(), Qt::CaseInsensitive) == 0 &&
           page.host().compare(server.host(), Qt::CaseInsensitive) == 0 && portOf(page) == portOf(server) &&
           portOf(page) > 0;
}

ResultAutoPrinter::ResultAutoPrinter(QObject* parent) : QObject(parent) {}

ResultAutoPrinter::~ResultAutoPrinter() {
    cancel_ = true;
    for (auto& [number, worker] : loads_) worker.join();
}

bool ResultAutoPrinter::ready() const { return loads_.size() < kSideBySide; }

bool ResultAutoPrinter::wants(qint32 resultNumber) {
    const auto it = retryAfter_.constFind(resultNumber);
    if (it != retryAfter_.constEnd() && !it->hasExpired()) return false;
    if (!printerAvailable()) {
        // The result stays queued for when there is a printer.
        if (!std::exchange(noPrinterSaid_, true))
            // Said after the refresh that asked, not inside it.
            QMetaObject::invokeMethod(
                this, [] { report(QStringLiteral("MSIE web browser control Print command is disabled")); },
                Qt::QueuedConnection);
        return false;
    }
    noPrinterSaid_ = false;
    return true;
}

void ResultAutoPrinter::Navigate(const QString& url, qint32 resultNumber) {
    if (!ready() || loads_.count(resultNumber)) {
        // This one waits in the queue.
        emit notPrinted(resultNumber);
        return;
    }
    // Everything the fetch needs is taken here, on the window's thread.
    const bool own = isSorvexServerAddress(url, BaseUrl);
    common::HttpGetSettings settings =
        common::httpGetSettings(ProxyUserName, ProxyPassword, own ? WebUserName : QString(),
                                own ? WebPassword : QString(), AccessType, Proxy, Protocol);
    settings.urlCredentials = common::UrlCredentials::Refuse;
    const quint32 timeoutMs =
        std::min<quint32>(static_cast<quint32>(TimeOut > 0 ? TimeOut : 3600) * 1000u, kPageWaitMs);
    settings.connectTimeoutMs = std::min<quint32>(timeoutMs, 60000);
    settings.sendTimeoutMs = timeoutMs;
    settings.receiveTimeoutMs = timeoutMs;
    const QString fetched = own ? withSession(url) : url;

    if (loads_.empty()) cancel_ = false;
    loads_[resultNumber] = std::thread([this, settings, fetched, url, resultNumber]() mutable {
        // This thread's requests block it alone and end at a stop.
        platform::setRequestWaitPolicy({false, [this] { return cancel_.load(); }});
        platform::HInternet session;  // its own: the window's session is not shared across threads
        QByteArray page;
        const common::HttpGetOutcome outcome = common::httpGetDocument(session, settings, fetched, page);
        session.reset();
        QMetaObject::invokeMethod(
            this,
            [this, url, resultNumber, ok = outcome.ok, message = outcome.message, page] {
                loaded(url, resultNumber, ok, message, page);
            },
            Qt::QueuedConnection);
    });
}

void ResultAutoPrinter::Stop() {
    if (loads_.empty()) return;
    cancel_ = true;
    // The answers already posted find nothing loading and are dropped.
    for (auto& [number, worker] : std::exchange(loads_, {})) {
        worker.join();
        emit notPrinted(number);
    }
}

void ResultAutoPrinter::loaded(const QString& url, qint32 resultNumber, bool ok, const QString& message,
                               const QByteArray& page) {
    const auto load = loads_.find(resultNumber);
    if (load == loads_.end()) return;  // stopped meanwhile
    if (platform::requestWaiting()) {
        // Printing, or handing the result back to the database, waits until the window's wait is over.
        QTimer::singleShot(kAfterTheWaitMs, this,
                           [this, url, resultNumber, ok, message, page] { loaded(url, resultNumber, ok, message, page); });
        return;
    }
    load->second.join();
    loads_.erase(load);
    Q_UNUSED(message);  // the report names the page; the engine's reason is not the browser's
    if (!ok) return failed(url, resultNumber);
    retryAfter_.remove(resultNumber);
    reported_.remove(resultNumber);
    frmMain_WebBrowser_DocumentComplete(url, page);
}

void ResultAutoPrinter::failed(const QString& url, qint32 resultNumber) {
    retryAfter_.insert(resultNumber, QDeadlineTimer(kRetryAfterMs));
    emit notPrinted(resultNumber);
    if (resultNumber != 0 && reported_.contains(resultNumber)) return;  // said at its first try
    reported_.insert(resultNumber);
    report(QStringLiteral("MSIE web browser control error: the page ") + url +
           QStringLiteral(" could not be loaded"));
}

void ResultAutoPrinter::frmMain_WebBrowser_DocumentComplete(const QString& url, const QByteArray& page) {
    if (!url.toLower().contains(QStringLiteral("master_results"))) return;
    try {
        QPrinter printer(QPrinter::HighResolution);
        if (target()) target()(printer);
        // No printer to print to is the print command being unavailable.
        const bool toFile = !printer.outputFileName().isEmpty();
        if (!toFile && QPrinterInfo::defaultPrinter().isNull()) {
            report(QStringLiteral("MSIE web browser control Print command is disabled"));
            return;
        }
        printer.setDocName(url);
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(page));
        printReport(doc, printer);
        if (printer.printerState() == QPrinter::Error) {
            report(QStringLiteral("MSIE web browser control error while printing: the printer reported an error"));
            return;
        }
        emit printed(url);
    } catch (const std::exception& e) {
        report(QStringLiteral("MSIE web browser control error while printing: ") + QString::fromLocal8Bit(e.what()));
    }
}

}  // namespace tavrel
