#pragma once
// The automatic printing of result pages (the main window's WebBrowser): the
// refresh hands it a queued result page, which is fetched through the
// client's HTTP layer with the server session and printed to the default
// printer without a dialog, one page per call.
#include <QObject>
#include <QString>

#include <functional>

class QPrinter;

namespace tavrel {

// Sets up the printer each page goes to (nothing: the default printer).
// Tests send the pages to PDF files. Returns the previous one.
using PrintTarget = std::function<void(QPrinter&)>;
PrintTarget setPrintTarget(PrintTarget target);

class ResultAutoPrinter : public QObject {
    Q_OBJECT
public:
    explicit ResultAutoPrinter(QObject* parent = nullptr) : QObject(parent) {}

    // Loads the page and, when it is loaded, runs its page-loaded handler.
    void Navigate(const QString& url);
    // Stops any loading (shut-down); a page still arriving is not printed.
    void Stop() { stopped_ = true; }

    // Prints a result page (its address holds "master_results", any case);
    // every other page is ignored. Failures go to the report box.
    void frmMain_WebBrowser_DocumentComplete(const QString& url, const QByteArray& page);

signals:
    void printed(const QString& url);

private:
    bool stopped_ = false;
};

}  // namespace tavrel
