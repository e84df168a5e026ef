// Result pages printed without a dialog: one PDF per page handed over, only
// result pages, fetched from the server with the session.
#include "client/ResultAutoPrint.h"
#include "clientcommon/Globals.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/SorvexSim.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <httplib.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class AutoPrint : public ::testing::Test {
protected:
    void SetUp() override {
        previous = setPrintTarget([this](QPrinter& p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(dir.filePath(QStringLiteral("page%1.pdf").arg(++pages)));
        });
        previousBoxes = platform::setMessageBoxHandler(&boxes);
    }
    void TearDown() override {
        setPrintTarget(previous);
        platform::setMessageBoxHandler(previousBoxes);
        ServerSessionID.clear();
        InternetSession.reset();
    }
    QStringList pdfs() const { return QDir(dir.path()).entryList({"*.pdf"}, QDir::Files, QDir::Name); }

    struct Boxes : platform::MessageBoxHandler {
        QStringList texts;
        int show(const QString& text, int, const QString&) override { return texts.append(text), platform::vbOK; }
    } boxes;
    QTemporaryDir dir;
    int pages = 0;
    PrintTarget previous;
    platform::MessageBoxHandler* previousBoxes = nullptr;
};

}  // namespace

TEST_F(AutoPrint, EachResultPageIsOnePrintAndOtherPagesAreIgnored) {
    ResultAutoPrinter browser;
    int printed = 0;
    QObject::connect(&browser, &ResultAutoPrinter::printed, [&] { ++printed; });
    const QByteArray page = "<html><body><h1>Search 1001</h1><p>Top hit ALBU_HUMAN</p></body></html>";
    browser.frmMain_WebBrowser_DocumentComplete("http://srv/cgi/Master_Results.pl?file=F1", page);
    browser.frmMain_WebBrowser_DocumentComplete("http://srv/cgi/login.pl", page);
    browser.frmMain_WebBrowser_DocumentComplete("http://srv/cgi/master_results.pl?file=F2", page);
    EXPECT_EQ(printed, 2);
    EXPECT_EQ(pdfs(), QStringList({"page1.pdf", "page2.pdf"}));
    for (const QString& f : pdfs()) EXPECT_GT(QFileInfo(dir.filePath(f)).size(), 500);
    EXPECT_TRUE(boxes.texts.isEmpty());
}

// Lets the window's events run until the page has been printed or handed back.
bool settle(ResultAutoPrinter& browser, int printedBefore, const int& printed, const QList<qint32>& handedBack) {
    QDeadlineTimer deadline(60000);
    while ((browser.busy() || (printed == printedBefore && handedBack.isEmpty())) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !browser.busy();
}

TEST_F(AutoPrint, ThePageIsFetchedWithTheSession) {
    if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
    testsupport::SorvexSim sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    AccessType = 1;
    TimeOut = 10;
    BaseUrl = sim.baseUrl();
    ServerSessionID = "S1_abcdef01";
    ResultAutoPrinter browser;
    int printed = 0;
    QList<qint32> back;
    QObject::connect(&browser, &ResultAutoPrinter::printed, [&] { ++printed; });
    QObject::connect(&browser, &ResultAutoPrinter::notPrinted, [&](qint32 n) { back.append(n); });
    // Any page of the server will do for the fetch; its address marks it as a result page.
    browser.Navigate(sim.baseUrl() + "get_params.pl?note=master_results", 7);
    ASSERT_TRUE(settle(browser, 0, printed, back));
    ASSERT_EQ(pdfs().size(), 1u) << boxes.texts.join("\n").toStdString();
    EXPECT_TRUE(sim.targets().last().contains("sessionID=S1_abcdef01"));
    EXPECT_TRUE(back.isEmpty());
    // A page that cannot be loaded prints nothing, says so and is handed back.
    sim.stop();
    browser.Navigate("http://127.0.0.1:1/sorvex/cgi/master_results.pl?file=F", 8);
    ASSERT_TRUE(settle(browser, printed, printed, back));
    EXPECT_EQ(pdfs().size(), 1u);
    EXPECT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(back, QList<qint32>{8});
    BaseUrl.clear();
}

// A result address that accepts and never answers: Navigate returns at once,
// the window's events go on, other pages may load beside it, and a stop
// hands it back at once.
TEST_F(AutoPrint, APageThatNeverArrivesHoldsNothingAndIsHandedBack) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    AccessType = 1;
    TimeOut = 3600;
    ResultAutoPrinter browser;
    QList<qint32> back;
    QObject::connect(&browser, &ResultAutoPrinter::notPrinted, [&](qint32 n) { back.append(n); });
    browser.Navigate(QStringLiteral("http://127.0.0.1:%1/cgi/master_results.pl?file=F").arg(silent.serverPort()), 5);
    EXPECT_TRUE(browser.busy());
    EXPECT_TRUE(browser.ready());  // the refresh may hand over the next page meanwhile
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    while (ticks < 20) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(browser.busy());
    EXPECT_TRUE(back.isEmpty());
    browser.Stop();
    EXPECT_FALSE(browser.busy());
    EXPECT_EQ(back, QList<qint32>{5});
    EXPECT_TRUE(browser.ready());
    QCoreApplication::processEvents();  // the fetch's late answer finds nothing and prints nothing
    EXPECT_TRUE(pdfs().isEmpty());
    EXPECT_TRUE(boxes.texts.isEmpty());
}

// Pages that never arrive hold back no other: a few load side by side, and
// the one behind them prints while they still wait.
TEST_F(AutoPrint, PagesThatNeverArriveHoldBackNoOther) {
    if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
    testsupport::SorvexSim sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    AccessType = 1;
    TimeOut = 3600;
    ResultAutoPrinter browser;
    int printed = 0;
    QList<qint32> back;
    QObject::connect(&browser, &ResultAutoPrinter::printed, [&] { ++printed; });
    QObject::connect(&browser, &ResultAutoPrinter::notPrinted, [&](qint32 n) { back.append(n); });
    const QString never = QStringLiteral("http://127.0.0.1:%1/cgi/master_results.pl?file=F").arg(silent.serverPort());
    browser.Navigate(never, 5);
    browser.Navigate(never, 6);
    ASSERT_TRUE(browser.ready());
    browser.Navigate(sim.baseUrl() + "get_params.pl?note=master_results", 7);
    QDeadlineTimer deadline(60000);
    while (printed == 0 && back.isEmpty() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(printed, 1) << boxes.texts.join("\n").toStdString();
    EXPECT_TRUE(back.isEmpty());
    EXPECT_TRUE(browser.ready());
    browser.Navigate(never, 8);
    EXPECT_FALSE(browser.ready());  // three at a time
    browser.Navigate(never, 9);
    EXPECT_EQ(back, QList<qint32>{9});  // it waits in the queue
    browser.Stop();
    std::sort(back.begin(), back.end());
    EXPECT_EQ(back, (QList<qint32>{5, 6, 8, 9}));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join("\n").toStdString();
}

namespace {

// A web server that asks for credentials and records what it was sent.
class RecordingServer {
public:
    RecordingServer() {
        server_.Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard lock(m_);
                targets_.append(QString::fromStdString(req.target));
                authorizations_.append(QString::fromStdString(req.get_header_value("Authorization")));
            }
            if (!req.has_header("Authorization")) {
                res.status = 401;
                res.set_header("WWW-Authenticate", "Basic realm=\"lab\"");
                return;
            }
            res.set_content("<html><body>result</body></html>", "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::yield();
    }
    ~RecordingServer() {
        server_.stop();
        thread_.join();
    }
    int port() const { return port_; }
    QStringList targets() {
        std::lock_guard lock(m_);
        return targets_;
    }
    QStringList authorizations() {
        std::lock_guard lock(m_);
        return authorizations_;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex m_;
    QStringList targets_;
    QStringList authorizations_;
};

}  // namespace

// The session id and the Web Server password go to the Sorvex Server's own
// scheme, host and port only; a page anywhere else is fetched without them.
TEST_F(AutoPrint, TheSessionAndTheWebPasswordGoOnlyToTheSorvexServer) {
    RecordingServer web;
    const QString page = QStringLiteral("http://127.0.0.1:%1/cgi/master_results.pl?file=F").arg(web.port());
    const struct {
        QString server;
        bool own;
    } cases[] = {
        {QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(web.port()), true},
        {QStringLiteral("HTTP://127.0.0.1:%1/other/").arg(web.port()), true},
        {QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(web.port() == 65535 ? 1 : web.port() + 1), false},
        {QStringLiteral("https://127.0.0.1:%1/sorvex/cgi/").arg(web.port()), false},
        {QStringLiteral("http://localhost:%1/sorvex/cgi/").arg(web.port()), false},
        {QStringLiteral("http://127.0.0.1/sorvex/cgi/"), false},
    };
    AccessType = 1;
    TimeOut = 10;
    WebUserName = "labweb";
    WebPassword = "web-secret";
    ServerSessionID = "S1_abcdef01";
    int printed = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server.toStdString());
        BaseUrl = c.server;
        EXPECT_EQ(isSorvexServerAddress(page, BaseUrl), c.own);
        const qsizetype before = web.targets().size();
        ResultAutoPrinter browser;
        QList<qint32> back;
        QObject::connect(&browser, &ResultAutoPrinter::printed, [&] { ++printed; });
        QObject::connect(&browser, &ResultAutoPrinter::notPrinted, [&](qint32 n) { back.append(n); });
        const int printedBefore = printed;
        browser.Navigate(page, 3);
        ASSERT_TRUE(settle(browser, printedBefore, printed, back));
        const QStringList targets = web.targets().mid(before);
        const QStringList auths = web.authorizations().mid(before);
        ASSERT_FALSE(targets.isEmpty());
        const bool sentSession = targets.join(" ").contains("sessionID=");
        const bool sentPassword = !auths.join("").isEmpty();
        EXPECT_EQ(sentSession, c.own) << targets.join(" ").toStdString();
        EXPECT_EQ(sentPassword, c.own);
        EXPECT_EQ(printed - printedBefore, c.own ? 1 : 0);
    }
    WebUserName.clear();
    WebPassword.clear();
    BaseUrl.clear();
}

// Without a printer the results stay queued and the lack is said once, not per result.
TEST_F(AutoPrint, NoPrinterIsSaidOnceAndTakesNoResult) {
    setPrintTarget({});
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this computer has a default printer";
    ResultAutoPrinter browser;
    EXPECT_TRUE(browser.ready());
    EXPECT_FALSE(browser.wants(1));
    EXPECT_FALSE(browser.wants(2));
    QCoreApplication::processEvents();
    EXPECT_FALSE(browser.wants(1));
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.texts.size(), 1) << boxes.texts.join("\n").toStdString();
    EXPECT_TRUE(boxes.texts[0].endsWith("MSIE web browser control Print command is disabled"));
}
