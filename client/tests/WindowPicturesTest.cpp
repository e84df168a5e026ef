// Renders the client's dialogs to PNG files for a look by eye; runs only when
// TAVREL_SCREENSHOT_DIR names a folder.
#include "ClientFixture.h"

#include "client/DataLinkDialog.h"
#include "client/Reports.h"
#include "client/frmODBC.h"
#include "client/frmPreferences.h"
#include "client/frmSplash.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include "platform/AdoRecordset.h"
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

    // The connection dialog of "Change ...", pictured while it is open, then cancelled.
    QTimer::singleShot(200, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            EXPECT_TRUE(w->grab().save(folder + "/data-link.png"));
            w->close();
        }
    });
    EXPECT_EQ(promptForConnection(nullptr, "Provider=PostgreSQL;Data Source=db.lab:5432;Initial Catalog=tavrel;"
                                           "User ID=lab;Password=pw"),
              QString());

    // The print preview of a tasks report.
    makeTaskDatabase();
    platform::AdoConnection c;
    c.open(connectionString());
    c.execute("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, start_time, "
              "task_status, computer_name) VALUES (1, 'Demo inbox', 'default.par', 'monitor', ?, 'running', 'LAB')",
              {QDateTime::currentDateTime()});
    platform::AdoRecordset tasks;
    tasks.openQuery(c, "SELECT * FROM Sorvex_Tavrel_Tasks");
    QWidget owner;
    showReportPreview(buildTasksReport(tasks), &owner);
    QCoreApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmReportPreview") {
            w->resize(900, 700);
            QCoreApplication::processEvents();
            EXPECT_TRUE(w->grab().save(folder + "/report-preview.png"));
            w->close();
        }
}
