#pragma once
// The automatic printing of result pages (the main window's WebBrowser): the
// refresh hands it a queued result page, which is fetched beside the window
// (the refresh and the window go on meanwhile) and printed to the default
// printer without a dialog. A few pages load side by side, each within a
// bound of minutes, so one that never arrives holds back no other. The
// server session and the
// Web Server credentials go only to the Sorvex Server's own scheme, host and
// port; a page anywhere else is fetched without them.
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <thread>

class QPrinter;

namespace tavrel {

// Sets up the printer each page goes to (nothing: the default printer).
// Tests send the pages to PDF files. Returns the previous one.
using PrintTarget = std::function<void(QPrinter&)>;
PrintTarget setPrintTarget(PrintTarget target);

// True when `url` has the scheme, host and port of the server at `serverUrl`.
bool isSorvexServerAddress(const QString& url, const QString& serverUrl);

class ResultAutoPrinter : public QObject {
    Q_OBJECT
public:
    explicit ResultAutoPrinter(QObject* parent = nullptr);
    ~ResultAutoPrinter() override;

    // Starts loading the page of result `resultNumber` and returns; when it
    // has loaded, its page-loaded handler runs on the window's thread. A page
    // that cannot be loaded is reported (once per result) and notPrinted is
    // emitted, so that the result goes back to the queue.
    void Navigate(const QString& url, qint32 resultNumber = 0);
    // Stops all loading (shut-down) and waits for it to end; a page still
    // arriving is not printed and its result is handed back.
    void Stop();

    bool busy() const { return !loads_.empty(); }
    // A page can be taken now: fewer than the most that load side by side.
    bool ready() const;
    // Whether the refresh may take this queued result now. There must be a
    // printer (its lack is said once, until there is one again), and a result
    // whose page could not be loaded waits a while, so the ones behind it go
    // first.
    bool wants(qint32 resultNumber);

    // Prints a result page (its address holds "master_results", any case);
    // every other page is ignored. Failures go to the report box.
    void frmMain_WebBrowser_DocumentComplete(const QString& url, const QByteArray& page);

signals:
    void printed(const QString& url);
    void notPrinted(qint32 resultNumber);

private:
    void loaded(const QString& url, qint32 resultNumber, bool ok, const QString& message, const QByteArray& page);
    void failed(const QString& url, qint32 resultNumber);

    std::map<qint32, std::thread> loads_;  // the fetches under way, by result
    std::atomic<bool> cancel_{false};
    bool noPrinterSaid_ = false;
    QSet<qint32> reported_;
    QHash<qint32, QDeadlineTimer> retryAfter_;
};

}  // namespace tavrel
