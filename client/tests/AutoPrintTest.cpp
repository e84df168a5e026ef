// Result pages printed without a dialog: one PDF per page handed over, only
// result pages, fetched from the server with the session.
#include "client/ResultAutoPrint.h"
#include "common/Globals.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/SorvexSim.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
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

TEST_F(AutoPrint, ThePageIsFetchedWithTheSession) {
    if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built";
    testsupport::SorvexSim sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    AccessType = 1;
    TimeOut = 10;
    ServerSessionID = "S1_abcdef01";
    ResultAutoPrinter browser;
    // Any page of the server will do for the fetch; its address marks it as a result page.
    browser.Navigate(sim.baseUrl() + "get_params.pl?note=master_results");
    ASSERT_EQ(pdfs().size(), 1u) << boxes.texts.join("\n").toStdString();
    EXPECT_TRUE(sim.targets().last().contains("sessionID=S1_abcdef01"));
    // A page that cannot be loaded prints nothing and says so.
    sim.stop();
    browser.Navigate("http://127.0.0.1:1/sorvex/cgi/master_results.pl?file=F");
    EXPECT_EQ(pdfs().size(), 1u);
    EXPECT_EQ(boxes.texts.size(), 1);
}
