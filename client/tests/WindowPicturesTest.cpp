// Renders the client's dialogs to PNG files for a look by eye; runs only when
// TAVREL_SCREENSHOT_DIR names a folder.
#include "ClientFixture.h"

#include "client/frmODBC.h"
#include "client/frmPreferences.h"
#include "client/frmSplash.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>

using namespace tavrel;

class WindowPictures : public ClientFixture {};

TEST_F(WindowPictures, RendersTheDialogs) {
    const QString folder = qEnvironmentVariable("TAVREL_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "TAVREL_SCREENSHOT_DIR not set";
    QDir().mkpath(folder);
    saveSetting("BaseUrl", "http://sorvex.example.org/sorvex/cgi/");
    saveSetting("SorvexUserName", "alice");
    frmPreferences prefs;
    prefs.show();
    for (int i = 0; i < prefs.tabPreferences->count(); ++i) {
        prefs.tabPreferences->setCurrentIndex(i);
        QCoreApplication::processEvents();
        EXPECT_TRUE(prefs.grab().save(folder + QStringLiteral("/preferences-tab%1.png").arg(i)));
    }
    frmSplash splash;
    splash.show();
    splash.showMessage("Retrieving search parameters from Sorvex server");
    QCoreApplication::processEvents();
    EXPECT_TRUE(splash.grab().save(folder + "/splash.png"));
    frmODBC odbc;
    odbc.lstODBC->addItems({"ADO Version: Qt Sql 6.4.2", "Provider: Microsoft.Jet.OLEDB.4.0",
                            "Data Source: /home/lab/tavrel/TaskDB.mdb", "Mode: Read|Write|Share Deny None",
                            "DBMS Name: SQLite", "State: Open"});
    odbc.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(odbc.grab().save(folder + "/odbc.png"));
}
