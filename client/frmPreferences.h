#pragma once
// The preferences dialog: every value of the settings section "Preferences"
// on five pages. Save tests what can be tested (the server, the folders, the
// extractor program, the task database), writes every value or none, and
// when the stored section changed asks for both programs to restart. The
// outcome is left in PreferencesCancelled and ExitRequested (ClientGlobals.h).
#include "common/RegOp.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QString>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;


namespace tavrel {

class frmPreferences : public QDialog {
    Q_OBJECT
public:
    // refreshTimer: the main window's tmrRefresh, stopped when a restart is due.
    explicit frmPreferences(QWidget* owner = nullptr, QTimer* refreshTimer = nullptr);

    // The page shown first (common::PreferencesPage).
    void showPage(int page);

    void frmPreferences_Form_Load();
    // True when every value was written (the dialog then closes).
    bool frmPreferences_cmdSave_Click();
    void frmPreferences_cmdCancel_Click();
    void frmPreferences_cmdRestore_Click();
    void frmPreferences_cmdADODialog_Click();
    void frmPreferences_cmdLCQPath_Click();
    void frmPreferences_cmdPeakListRoot_Click();

    QString DialogConnectionString;
    common::RegValueTable SavedPreferences;

    QTabWidget* tabPreferences;
    // Intranet
    QLineEdit* txtUrl;
    QLineEdit* txtTimeout;
    QComboBox* cboAccessType;
    QLineEdit* txtProxy;
    std::array<QRadioButton*, 2> optProtocol;  // 0 HTTP/1.0, 1 HTTP/1.1
    // Data import filters
    QLineEdit* txtLcq;
    QPushButton* cmdLCQPath;
    QLineEdit* txtPeakListRoot;
    QPushButton* cmdPeakListRoot;
    // ADO connection
    QLineEdit* txtADOConnect;
    QPushButton* cmdADODialog;
    QPushButton* cmdRestore;
    // Timer settings
    QLineEdit* txtTimerTick;
    QLineEdit* txtNoDataDelay;
    QLineEdit* txtLockedOutDelay;
    QLineEdit* txtMonitorActionDelay;
    QLineEdit* txtFollowerActionDelay;
    QLineEdit* txtTaskCheckInterval;
    // Authentication
    QLineEdit* txtSorvexUserName;
    QLineEdit* txtSorvexPassword;
    QLineEdit* txtProxyUserName;
    QLineEdit* txtProxyPassword;
    QLineEdit* txtWebUserName;
    QLineEdit* txtWebPassword;

    QPushButton* cmdSave;
    QPushButton* cmdCancel;

protected:
    void reject() override;

private:
    QWidget* buildIntranetPage();
    QWidget* buildImportFiltersPage();
    QWidget* buildConnectionPage();
    QWidget* buildTimerPage();
    QWidget* buildAuthenticationPage();
    void putDefaults();
    void putStoredValue(const QString& name, const QVariant& value);
    // The text box of a stored value ("BaseUrl" gives txtUrl); null for the
    // values of a list or options, and for names the dialog does not edit.
    QLineEdit* textFieldOf(const QString& name) const;

    // The steps of Save; each false stops it with the dialog open.
    bool checkConnectionFields();
    bool testServer();
    bool checkPeakListRoot();
    bool checkExtractor();
    bool checkTaskDatabase();
    bool checkTimerFields();
    bool writeValues();
    void askForRestart();

    QPointer<QTimer> refreshTimer_;
};

}  // namespace tavrel
