// The client's smaller pieces: Save's field checks, the window placement,
// the launchers, the About window and the connection information.
#include "ClientFixture.h"

#include "client/ConnectionInfo.h"
#include "client/Launchers.h"
#include "client/PreferencesChecks.h"
#include "client/WindowPlacement.h"
#include "client/frmSplash.h"
#include "clientcommon/forms/DesktopLauncher.h"
#include "platform/RegistryApi.h"
#include "platform/ShellAssoc.h"
#include "platform/testsupport/PrivateDesktop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tavrel;

TEST(PreferencesChecks, NumbersRoundHalfToEvenAndMustFitTheirType) {
    const struct {
        const char* text;
        std::optional<qint32> as16, as32;
    } cases[] = {
        {"86400.5", std::nullopt, 86400}, {"20.5", 20, 20},     {"21.5", 22, 22},  {" 15 ", 15, 15},
        {"-3", -3, -3},                   {"32767", 32767, 32767}, {"32768", std::nullopt, 32768},
        {"abc", std::nullopt, std::nullopt}, {"", std::nullopt, std::nullopt}, {"1e12", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wholeNumber16(c.text), c.as16) << c.text;
        EXPECT_EQ(wholeNumber32(c.text), c.as32) << c.text;
    }
}

TEST(PreferencesChecks, AddressesExtractorsAndRestart) {
    EXPECT_TRUE(isFullUrl("http://srv/cgi/x"));
    EXPECT_TRUE(isFullUrl("https://srv/cgi/"));
    EXPECT_FALSE(isFullUrl("HTTP://srv/cgi/x"));
    EXPECT_FALSE(isFullUrl("http://srv/cg"));  // 14 characters
    EXPECT_FALSE(isFullUrl("ftp://server/cgi/"));
    EXPECT_EQ(withTrailingSlash("http://srv/cgi"), "http://srv/cgi/");
    EXPECT_EQ(withTrailingSlash("http://srv/cgi/"), "http://srv/cgi/");
    for (const char* ok : {"", "lcq_dta", "1234567890", "/opt/x/extract_msn", "C:\\Xcalibur\\EXTRACT_MSN.EXE",
                           "/opt/lcq/LCQ_DTA.exe", "/opt/x/extract_msn_com"})
        EXPECT_TRUE(isExtractorPath(ok)) << ok;
    for (const char* bad : {"/opt/x/converter", "/opt/x/not_extract_msn.sh"}) EXPECT_FALSE(isExtractorPath(bad)) << bad;

    const common::RegValueTable a = {{"BaseUrl", "x"}, {"TimeOut", "20"}};
    EXPECT_FALSE(preferencesChanged({}, a));  // nothing stored before: no restart
    EXPECT_FALSE(preferencesChanged(a, a));
    EXPECT_TRUE(preferencesChanged(a, {{"BaseUrl", "x"}, {"TimeOut", "21"}}));
    EXPECT_TRUE(preferencesChanged(a, {{"BaseUrl", "x"}, {"TimeOut", "20"}, {"Proxy", ""}}));
}

TEST(WindowPlacement, APlacementOffEveryScreenIsCentred) {
    const QList<QRect> screens = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
    const QSize size(800, 600);
    const QRect centred(240, 212, 800, 600);
    const struct {
        std::optional<QRect> stored;
        QRect expected;
    } cases[] = {
        {QRect(10, 20, 700, 500), QRect(10, 20, 700, 500)},
        {QRect(1400, 100, 900, 700), QRect(1400, 100, 900, 700)},  // on the second screen
        {QRect(-5, 20, 700, 500), centred},
        {QRect(10, -1, 700, 500), centred},
        {QRect(700, 20, 700, 500), centred},  // across the edge of the first screen, on neither
        {QRect(10, 600, 700, 500), centred},
        {std::nullopt, centred},
    };
    for (const auto& c : cases) EXPECT_EQ(placementToApply(c.stored, size, screens), c.expected);
}

class Placement : public ClientFixture {};

TEST_F(Placement, IsKeptInTwipsOnlyInTheNormalState) {
    QWidget window;
    window.resize(700, 500);
    window.move(40, 30);
    window.show();
    savePlacement(&window);
    EXPECT_EQ(common::modGlobal_GetSetting("", common::PreferencesSection, "FormWidth").toString(), "10500");
    const std::optional<QRect> stored = storedPlacement();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), QSize(700, 500));
    EXPECT_EQ(stored->topLeft(), window.pos());

    window.showMaximized();
    window.setWindowState(Qt::WindowMaximized);
    saveSetting("FormWidth", "9000");
    savePlacement(&window);
    EXPECT_EQ(common::modGlobal_GetSetting("", common::PreferencesSection, "FormWidth").toString(), "9000");

    saveSetting("FormLeft", "far left");
    EXPECT_FALSE(storedPlacement());  // not a number: the window is centred
}

class Launchers : public ClientFixture {};

// The desktop refuses what it is asked to open; the fallbacks are what is left.
struct RefusingDesktop : DesktopLauncher {
    QList<QUrl> asked;
    bool openUrl(const QUrl& url) override { return asked.append(url), false; }
};

void associate(const QString& extension, const QString& program) {
    platform::RegKeyHandle key;
    ASSERT_EQ(platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, platform::kFileAssociationsKey, 0,
                                       platform::KEY_ALL_ACCESS, key.out()),
              platform::ERROR_SUCCESS);
    ASSERT_EQ(platform::RegSetValueEx(key.get(), extension, platform::REG_SZ, program.toUtf8().append('\0')),
              platform::ERROR_SUCCESS);
}

TEST_F(Launchers, WithoutAnyProgramTheWarningShowsTheAddressAndWhatToInstall) {
    RefusingDesktop desktop;
    DesktopLauncher* previous = setDesktopLauncher(&desktop);
    associate(".html", "");  // nothing opens web pages here
    associate(".rov", "");
    const QString url = "http://srv/cgi/master_results.pl?file=F1";
    const QString project = home.file("run.rov");
    testsupport::writeFile(project, "a project");
    EXPECT_EQ(InvokeBrowser(url), platform::SE_ERR_NOASSOC);
    EXPECT_EQ(InvokeQuellmark(project), platform::SE_ERR_NOASSOC);
    EXPECT_EQ(InvokeQuellmark(home.file("missing.rov")), platform::SE_ERR_FNF);
    setDesktopLauncher(previous);
    ASSERT_EQ(boxes.texts.size(), 3);
    EXPECT_TRUE(boxes.texts[0].startsWith("No association found between *.html and a web browser (error code 31)"));
    EXPECT_TRUE(boxes.texts[0].contains("\n" + url + "\n")) << qPrintable(boxes.texts[0]);
    EXPECT_TRUE(boxes.texts[0].contains("Install xdg-utils"));
    EXPECT_EQ(boxes.texts[1], "Cannot launch Sorvex Quellmark (error code 31)");
    EXPECT_EQ(boxes.texts[2], "Cannot launch Sorvex Quellmark (error code 2)");
    ASSERT_EQ(desktop.asked.size(), 3);
    EXPECT_EQ(desktop.asked[0].toString(), url);
    EXPECT_TRUE(desktop.asked[1].isLocalFile());
}

TEST_F(Launchers, TheAssociatedProgramsAreStartedWhenTheDesktopCannotOpen) {
    // One recording program stands for the browser and for Quellmark.
    const QString program = home.file("opener.sh");
    const QString record = home.file("opened.txt");
    testsupport::writeFile(program, ("#!/bin/sh\necho \"$1\" >> '" + record + "'\n").toUtf8());
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    associate(".html", program);
    associate(".rov", program);
    const QString project = home.file("run.rov");
    testsupport::writeFile(project, "a project");
    RefusingDesktop desktop;
    DesktopLauncher* previous = setDesktopLauncher(&desktop);
    const QString url = "http://srv/cgi/master_results.pl?file=F1";
    EXPECT_GT(InvokeBrowser(url), 32);
    ASSERT_TRUE(testsupport::waitUntil([&] { return testsupport::readFile(record).count('\n') == 1; }, 20000));
    EXPECT_GT(InvokeQuellmark(project), 32);
    ASSERT_TRUE(testsupport::waitUntil([&] { return testsupport::readFile(record).count('\n') == 2; }, 20000));
    setDesktopLauncher(previous);
    EXPECT_TRUE(boxes.texts.isEmpty()) << qPrintable(boxes.texts.join('\n'));
    EXPECT_EQ(QString::fromUtf8(testsupport::readFile(record)), url + "\n" + project + "\n");
}

// A lab's settings are written by every member: a program one of them named
// there never runs for another; the user's own desktop association does.
TEST_F(Launchers, AProgramInSettingsOthersMayWriteNeverRunsTheUsersDesktopDoes) {
    testsupport::PrivateDesktop desktop;
    const auto recorder = [&](const QString& name) {
        const QString program = home.file(name + ".sh");
        testsupport::writeFile(program, ("#!/bin/sh\necho \"$1\" >> '" + home.file(name + ".txt") + "'\n").toUtf8());
        QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return program;
    };
    associate(".html", recorder("planted"));
    associate(".rov", recorder("planted"));
    const QString project = home.file("run.rov");
    testsupport::writeFile(project, "a project");
    QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                           QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    RefusingDesktop refusing;
    DesktopLauncher* previous = setDesktopLauncher(&refusing);
    const QString url = "http://srv/cgi/master_results.pl?file=F1";
    EXPECT_EQ(InvokeBrowser(url), platform::SE_ERR_NOASSOC);
    EXPECT_EQ(InvokeQuellmark(project), platform::SE_ERR_NOASSOC);
    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_TRUE(boxes.texts[0].contains("\n" + url + "\n")) << qPrintable(boxes.texts[0]);

    desktop.entry("browser.desktop", recorder("browser").toUtf8() + " %u");
    desktop.browser("browser.desktop");
    EXPECT_GT(InvokeBrowser(url), 32);
    setDesktopLauncher(previous);
    ASSERT_TRUE(testsupport::waitUntil([&] { return testsupport::readFile(home.file("browser.txt")).endsWith('\n'); }, 20000));
    EXPECT_EQ(testsupport::readFile(home.file("browser.txt")), (url + "\n").toUtf8());
    EXPECT_FALSE(QFile::exists(home.file("planted.txt")));
    QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(Splash, ShowsTheVersionAndAnyKeyClosesIt) {
    EXPECT_EQ(frmSplash::versionText(2, 4, 0), "Version 2.4.0");
    frmSplash about;
    EXPECT_EQ(about.lblMessage->text(), " ");
    EXPECT_TRUE(about.lblVersion->text().startsWith("Version "));
    EXPECT_FALSE(about.lblMaker->text().isEmpty());
    for (int key : {Qt::Key_A, Qt::Key_Space, Qt::Key_Escape}) {
        about.show();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&about, &press);
        EXPECT_FALSE(about.isVisible()) << key;
    }
    about.show();
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(about.lblVersion, &click);
    EXPECT_FALSE(about.isVisible());
}

TEST(ConnectionInfo, NeverListsAUserOrAPassword) {
    platform::AdoConnection none;  // closed: the lines come from nothing but the version
    const auto closed = connectionInfoLines(none);
    ASSERT_FALSE(closed.isEmpty());
    EXPECT_TRUE(closed[0].text.startsWith("ADO Version: "));

    testsupport::TempHome home;
    const QString file = home.file("t.mdb");
    platform::AdoConnection::createDatabase("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file);
    platform::AdoConnection c;
    c.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file + ";User ID=admin;Password=hunter2;Mode=Read|Write");
    QStringList listed, counted;
    for (const ConnectionInfoLine& line : connectionInfoLines(c)) {
        counted.append(line.text);
        if (line.listed) listed.append(line.text);
    }
    EXPECT_TRUE(listed.contains("Data Source: " + file));
    EXPECT_TRUE(listed.contains("Mode: Read|Write"));
    EXPECT_FALSE(listed.join('\n').contains("hunter2"));
    EXPECT_FALSE(listed.join('\n').contains("admin"));
    EXPECT_GT(counted.size(), listed.size());  // the hidden lines still count for the width
}
