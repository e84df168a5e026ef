// The five pages of the preferences dialog, built in code with the
// captions and control names of the stored values they edit.
#include "client/frmPreferences.h"

#include "client/PreferencesControls.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavrel {

QWidget* frmPreferences::buildIntranetPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    txtUrl = namedLineEdit(page, "txtUrl");
    auto* urlCaption = new QLabel(QStringLiteral("Sorvex server URL, up to and including cgi directory, \n"
                                                 "for example http://www.example.org/sorvex/cgi/"),
                                  page);
    form->addRow(urlCaption);
    form->addRow(txtUrl);
    txtTimeout = namedLineEdit(page, "txtTimeout");
    form->addRow(QStringLiteral("HTTP timeout (seconds)"), txtTimeout);
    cboAccessType = new QComboBox(page);
    cboAccessType->setObjectName(QStringLiteral("cboAccessType"));
    form->addRow(QStringLiteral("HTTP access type"), cboAccessType);
    txtProxy = namedLineEdit(page, "txtProxy");
    form->addRow(QStringLiteral("HTTP proxy server"), txtProxy);
    auto* protocol = new QGroupBox(QStringLiteral("HTTP protocol"), page);
    auto* protocolLayout = new QHBoxLayout(protocol);
    optProtocol[1] = new QRadioButton(QStringLiteral("HTTP/1.1"), protocol);
    optProtocol[0] = new QRadioButton(QStringLiteral("HTTP/1.0"), protocol);
    optProtocol[0]->setObjectName(QStringLiteral("optProtocol(0)"));
    optProtocol[1]->setObjectName(QStringLiteral("optProtocol(1)"));
    protocolLayout->addWidget(optProtocol[1]);
    protocolLayout->addWidget(optProtocol[0]);
    protocolLayout->addStretch(1);
    form->addRow(protocol);
    return page;
}

QWidget* frmPreferences::buildImportFiltersPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    txtLcq = namedLineEdit(page, "txtLcq");
    cmdLCQPath = namedButton(page, "cmdLCQPath", QStringLiteral("Browse ..."));
    form->addRow(QStringLiteral("Full path to extract_msn"), withButton(txtLcq, cmdLCQPath));
    txtPeakListRoot = namedLineEdit(page, "txtPeakListRoot");
    cmdPeakListRoot = namedButton(page, "cmdPeakListRoot", QStringLiteral("Browse ..."));
    form->addRow(QStringLiteral("Directory for storing peak list files created by data import filters"),
                 withButton(txtPeakListRoot, cmdPeakListRoot));
    return page;
}

QWidget* frmPreferences::buildConnectionPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("ADO Connection string:"), page));
    txtADOConnect = namedLineEdit(page, "txtADOConnect");
    layout->addWidget(txtADOConnect);
    auto* buttons = new QHBoxLayout;
    cmdADODialog = namedButton(page, "cmdADODialog", QStringLiteral("Change ..."));
    cmdRestore = namedButton(page, "cmdRestore", QStringLiteral("Restore default"));
    buttons->addWidget(cmdADODialog);
    buttons->addWidget(cmdRestore);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    return page;
}

QWidget* frmPreferences::buildTimerPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const auto add = [&](const char* name, const char* caption) {
        QLineEdit* edit = namedLineEdit(page, name);
        edit->setMaximumWidth(90);
        form->addRow(QString::fromLatin1(caption), edit);
        return edit;
    };
    txtTimerTick = add("txtTimerTick", "Timer tick interval (between 1 and 60 seconds)");
    txtNoDataDelay = add("txtNoDataDelay", "Delay after opening empty dataset (seconds)");
    txtLockedOutDelay = add("txtLockedOutDelay", "Delay after failing to open read locked file (seconds)");
    txtMonitorActionDelay = add("txtMonitorActionDelay", "Minimum delay between monitor searches (seconds)");
    txtFollowerActionDelay = add("txtFollowerActionDelay", "Minimum delay between follower searches (seconds)");
    txtTaskCheckInterval = add("txtTaskCheckInterval", "Task action polling interval (seconds)");
    return page;
}

QWidget* frmPreferences::buildAuthenticationPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    const auto frame = [&](const QString& title, const char* user, const char* password, QLineEdit*& userEdit,
                           QLineEdit*& passwordEdit) {
        auto* box = new QGroupBox(title, page);
        auto* form = new QFormLayout(box);
        userEdit = namedLineEdit(box, user);
        passwordEdit = namedLineEdit(box, password, true);
        form->addRow(QStringLiteral("User name"), userEdit);
        form->addRow(QStringLiteral("Password"), passwordEdit);
        layout->addWidget(box);
    };
    frame(QStringLiteral("Sorvex Security"), "txtSorvexUserName", "txtSorvexPassword", txtSorvexUserName,
          txtSorvexPassword);
    frame(QStringLiteral("Proxy Server Authentication"), "txtProxyUserName", "txtProxyPassword", txtProxyUserName,
          txtProxyPassword);
    frame(QStringLiteral("Web Server Authentication"), "txtWebUserName", "txtWebPassword", txtWebUserName,
          txtWebPassword);
    layout->addStretch(1);
    return page;
}

}  // namespace tavrel
