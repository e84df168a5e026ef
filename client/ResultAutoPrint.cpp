#include "client/ResultAutoPrint.h"

#include "client/Reports.h"
#include "common/EventMessage.h"
#include "common/Globals.h"
#include "common/HttpGet.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QUrlQuery>

#include <utility>

namespace tavrel {

namespace {

PrintTarget& target() {
    static PrintTarget t;
    return t;
}

void report(const QString& text) { modGlobal_ShowEventMessage(2, 0, QString(), QString(), text); }

// The session goes along when the page is the server's and does not name one.
QString withSession(const QString& url) {
    if (ServerSessionID.isEmpty() || url.contains(QStringLiteral("sessionID="), Qt::CaseInsensitive)) return url;
    return url + (url.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) + QStringLiteral("sessionID=") +
           ServerSessionID;
}

}  // namespace

PrintTarget setPrintTarget(PrintTarget t) { return std::exchange(target(), std::move(t)); }

void ResultAutoPrinter::Navigate(const QString& url) {
    stopped_ = false;
    QByteArray page;
    if (!modGlobal_HttpGet(withSession(url), true, page)) {
        report(QStringLiteral("MSIE web browser control error: the page ") + url +
               QStringLiteral(" could not be loaded"));
        return;
    }
    if (!stopped_) frmMain_WebBrowser_DocumentComplete(url, page);
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
