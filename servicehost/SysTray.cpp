// Tray mode: the window clients wake with the registered message, the tray
// icon with its one-item menu.
#include "platform/Error.h"
#include "platform/WindowMessages.h"
#include "servicehost/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace tavrelsvc {

namespace {

QIcon trayIconImage() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x1f, 0x5f, 0x9f));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 28, 28);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("Sans"), 16, QFont::Bold));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("T"));
    return QIcon(pixmap);
}

}  // namespace

void frmMain::hookTray() {
    if (window_) return;  // hooked once per process
    privateMessageId_ = platform::RegisterWindowMessage(PrivateMessageName);
    window_ = std::make_unique<platform::WindowMessageListener>(ServiceWindowClass, ServiceWindowTitle);
    window_->setWindowProc([this](quint32 m, quintptr w, qintptr l) { return modSysTray_WindowProc(m, w, l); });
    QString reason;
    if (!window_->listen(&reason)) throw platform::Error(5, QStringLiteral("Tray window: ") + reason);

    // Menus and icons need the widget application; without one only the wake-up window exists.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    mnuPopUp_ = std::make_unique<QMenu>(QStringLiteral("File"));
    mnuPopUp_->setObjectName(QStringLiteral("mnuPopUp"));
    mnuFileExit_ = mnuPopUp_->addAction(QStringLiteral("Exit"));
    mnuFileExit_->setObjectName(QStringLiteral("mnuFileExit"));
    connect(mnuFileExit_, &QAction::triggered, this, [this] { frmMain_mnuFileExit_Click(); });
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    trayIcon_ = std::make_unique<QSystemTrayIcon>(trayIconImage());
    trayIcon_->setToolTip(QStringLiteral("Sorvex Tavrel"));
    connect(trayIcon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Only the right button opens the menu; a left click does nothing.
        if (reason == QSystemTrayIcon::Context) modSysTray_WindowProc(TrayCallbackMessage, 0, TrayRightButtonDown);
    });
    trayIcon_->show();
}

qintptr frmMain::modSysTray_WindowProc(quint32 message, quintptr wParam, qintptr lParam) {
    if (message == TrayCallbackMessage && lParam == TrayRightButtonDown) {
        SysTrayMouseEventHandler();
        return -1;
    }
    if (privateMessageId_ != 0 && message == privateMessageId_) {
        tmrRefresh_Timer();
        return -1;
    }
    return 0;  // everything else has its default handling, which is none here
}

void frmMain::SysTrayMouseEventHandler() {
    if (mnuPopUp_) mnuPopUp_->popup(QCursor::pos());
}

void frmMain::frmMain_mnuFileExit_Click() {
    QTimer::singleShot(0, this, [this] { Form_Unload(); });
}

}  // namespace tavrelsvc
