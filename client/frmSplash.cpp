#include "client/frmSplash.h"

#include "client/CentreOnScreen.h"
#include "client/HelpContext.h"
#include "common/ProgramVersion.h"
#include "clientcommon/forms/WindowIcons.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrel {

namespace {

QLabel* label(QWidget* parent, const char* name, int pointSize, bool bold = false) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    l->setFont(font);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    return l;
}

}  // namespace

frmSplash::frmSplash(QWidget* parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Sorvex Tavrel"));
    common::modGlobal_SetWindowIcons(this, QStringLiteral("AAA"), false);
    setStyleSheet(QStringLiteral("frmSplash, tavrel--frmSplash { background: white; border: 1px solid #5a6b7d; }"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    auto* icon = new QLabel(this);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(QIcon(QStringLiteral(":/AAA")).pixmap(64, 64));
    auto* title = label(this, "lblTitle", 20, true);
    title->setText(QStringLiteral("Sorvex Tavrel"));
    lblVersion = label(this, "lblVersion", 10);
    lblMaker = label(this, "lblMaker", 9);
    lblMessage = label(this, "lblMessage", 9);
    lblMessage->setMinimumHeight(40);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 24, 30, 18);
    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addWidget(lblVersion);
    layout->addSpacing(12);
    layout->addWidget(lblMaker);
    layout->addSpacing(12);
    layout->addWidget(lblMessage);
    setFixedSize(420, 300);
    for (QLabel* l : findChildren<QLabel*>()) l->installEventFilter(this);
    frmSplash_Form_Load();
}

QString frmSplash::versionText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

void frmSplash::frmSplash_Form_Load() {
    centreOnScreen(this);
    setHelpContextIds(this);
    lblMessage->setText(QStringLiteral(" "));
    lblVersion->setText(versionText(common::ProgramMajor, common::ProgramMinor, common::ProgramRevision));
    lblMaker->setText(QStringLiteral("Automated database searches of mass-spectrometry data\non the Sorvex Server"));
}

void frmSplash::showMessage(const QString& text) {
    lblMessage->setText(text);
    lblMessage->repaint();
}

void frmSplash::mousePressEvent(QMouseEvent*) { close(); }

void frmSplash::keyPressEvent(QKeyEvent* event) {
    // F1 is help, not a key that closes the window.
    if (event->key() == Qt::Key_F1) return QDialog::keyPressEvent(event);
    close();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavrel
