// Help context numbers and F1.
#include "client/HelpContext.h"
#include "client/frmMain.h"
#include "client/frmODBC.h"
#include "client/frmPreferences.h"
#include "clientcommon/forms/DesktopLauncher.h"
#include "params/forms/ParameterEditorPage.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/PrivateDesktop.h"
#include "platform/testsupport/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

struct RecordingLauncher : DesktopLauncher {
    QList<QUrl> opened;
    bool answer = true;
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return answer;
    }
};

// Every number the windows give themselves and their named children.
QList<QPair<QString, int>> assigned(QWidget* window) {
    QList<QPair<QString, int>> ids;
    setHelpContextIds(window);
    ids.append({window->objectName(), window->property(kHelpContextProperty).toInt()});
    for (QObject* o : window->findChildren<QObject*>())
        if (o->property(kHelpContextProperty).isValid()) ids.append({o->objectName(), o->property(kHelpContextProperty).toInt()});
    return ids;
}

}  // namespace

TEST(HelpContext, NumbersAreThoseOfTheHelpPages) {
    const struct {
        const char* window;
        const char* control;
        int id;
    } table[] = {
        {"frmMain", "cboParamCHARGE", 4097},     {"frmMain", "cboParamPFA", 4104},
        {"frmMain", "cmdStatusCancel", 4144},    {"frmMain", "mnuRecentFile(3)", 4216},
        {"frmMain", "optTaskSched(2)", 4227},    {"frmMain", "optParamMASS(1)", 4217},
        {"frmMain", "chkParamERRORTOLERANT", 4358}, {"frmPreferences", "optProtocol(0)", 24584},
        {"frmPreferences", "txtSorvexPassword", 24611}, {"frmPreferences", "txtWebPassword", 24612},
        {"frmODBC", "lstODBC", 16386},           {"frmMain", "lblNothing", 0},
        {"frmSplash", "lblMessage", 0},
    };
    for (const auto& row : table) EXPECT_EQ(helpContextId(row.window, row.control), row.id) << row.control;
}

TEST(HelpContext, EveryNumberStaysInItsBlockWithoutTheDigitsAToF) {
    frmMain main;
    frmPreferences prefs;
    frmODBC odbc;
    for (QWidget* w : std::initializer_list<QWidget*>{&main, &prefs, &odbc}) {
        int base = 0;
        for (const HelpWindow& hw : helpWindows())
            if (w->objectName() == QLatin1String(hw.window)) base = hw.base;
        ASSERT_NE(base, 0);
        const auto ids = assigned(w);
        EXPECT_GT(ids.size(), w == &odbc ? 2 : 20) << w->objectName().toStdString();
        for (const auto& [name, id] : ids) {
            EXPECT_GE(id, base) << name.toStdString();
            EXPECT_LT(id, base + 4096) << name.toStdString();
            EXPECT_FALSE(QString::number(id - base, 16).contains(QRegularExpression("[a-f]"))) << name.toStdString();
        }
    }
    // F1 on either mass button opens the mass topic, not the window's.
    for (QRadioButton* mass : main.pageParameterEditor->optParamMASS)
        EXPECT_EQ(mass->property(kHelpContextProperty).toInt(), 4217) << mass->objectName().toStdString();
    // Both search-server password and user-name fields open one topic.
    EXPECT_EQ(prefs.txtSorvexPassword->property(kHelpContextProperty), prefs.txtSorvexUserName->property(kHelpContextProperty));
}

TEST(HelpContext, EachNumberHasItsAnchorInThePages) {
    const QString folder = QStringLiteral(TAVREL_SOURCE_DIR) + "/client/help/";
    frmMain main;
    frmPreferences prefs;
    frmODBC odbc;
    for (QWidget* w : std::initializer_list<QWidget*>{&main, &prefs, &odbc}) {
        const QString page = QString::fromUtf8(testsupport::readFile(folder + w->objectName() + ".html"));
        ASSERT_FALSE(page.isEmpty()) << w->objectName().toStdString();
        for (const auto& [name, id] : assigned(w))
            EXPECT_TRUE(page.contains(QStringLiteral("id=\"%1\"").arg(id))) << name.toStdString() << " " << id;
    }
    EXPECT_TRUE(QFileInfo::exists(folder + "index.html"));
}

TEST(HelpContext, F1OpensThePageOfTheFocusedControl) {
    RecordingLauncher launcher;
    DesktopLauncher* previous = setDesktopLauncher(&launcher);
    HelpKeyFilter filter;
    qApp->installEventFilter(&filter);
    {
        frmPreferences dialog;
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        dialog.tabPreferences->setCurrentIndex(4);
        dialog.txtSorvexPassword->setFocus();
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(dialog.txtSorvexPassword, &f1);
    }
    qApp->removeEventFilter(&filter);
    setDesktopLauncher(previous);
    ASSERT_EQ(launcher.opened.size(), 1);
    EXPECT_EQ(launcher.opened[0].fileName(), "frmPreferences.html");
    EXPECT_EQ(launcher.opened[0].fragment(), "24611");
    EXPECT_TRUE(launcher.opened[0].isLocalFile());
}

// Help goes the way results go: the desktop's opener, else the user's own
// browser association, else the message that shows the address and what to install.
TEST(HelpContext, HelpOpensAsResultsDoAndWithoutABrowserSaysTheSame) {
    testsupport::TempHome home;
    testsupport::PrivateDesktop desktop;
    RecordingLauncher launcher;
    launcher.answer = false;
    DesktopLauncher* previous = setDesktopLauncher(&launcher);
    struct Boxes : platform::MessageBoxHandler {
        QStringList texts;
        int show(const QString& text, int, const QString&) override { return texts.append(text), platform::vbOK; }
    } boxes;
    auto* before = platform::setMessageBoxHandler(&boxes);
    const QUrl topic = helpTopicUrl(4164);
    EXPECT_FALSE(showHelpTopic(topic));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("No association found between *.html and a web browser"))
        << boxes.texts[0].toStdString();
    EXPECT_TRUE(boxes.texts[0].contains("\n" + topic.toString() + "\n")) << boxes.texts[0].toStdString();
    EXPECT_TRUE(boxes.texts[0].contains("frmMain.html#4164"));
    EXPECT_TRUE(boxes.texts[0].contains("Install xdg-utils and a web browser"));

    const QString opened = home.file("opened.txt");
    const QString browser = home.file("browser.sh");
    testsupport::writeFile(browser, ("#!/bin/sh\necho \"$1\" > '" + opened + "'\n").toUtf8());
    QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    desktop.entry("browser.desktop", browser.toUtf8() + " %u");
    desktop.browser("browser.desktop");
    EXPECT_TRUE(showHelpTopic(topic));
    platform::setMessageBoxHandler(before);
    setDesktopLauncher(previous);
    ASSERT_TRUE(testsupport::waitUntil([&] { return testsupport::readFile(opened).endsWith('\n'); }, 20000));
    EXPECT_EQ(QString::fromUtf8(testsupport::readFile(opened)).trimmed(), topic.toString());
    EXPECT_EQ(boxes.texts.size(), 1);
}
