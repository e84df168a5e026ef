#include "clientcommon/forms/RequestWaitDialog.h"

#include "clientcommon/HandlerGuard.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel {

RequestWaitDialog::RequestWaitDialog(int showAfterMs) : showAfterMs_(showAfterMs) {}

RequestWaitDialog::~RequestWaitDialog() { hide(); }

void RequestWaitDialog::begin(const QString& what) {
    if (texts_.isEmpty()) {
        cancelled_ = false;
        clock_.start();
    }
    texts_.append(what);
    if (label_) label_->setText(text());
}

void RequestWaitDialog::end() {
    if (!texts_.isEmpty()) texts_.removeLast();
    if (texts_.isEmpty()) {
        hide();
        cancelled_ = false;
    } else if (label_) {
        label_->setText(text());
    }
}

void RequestWaitDialog::serve() {
    if (!dialog_ && !cancelled_ && !texts_.isEmpty() && clock_.isValid() && clock_.elapsed() >= showAfterMs_)
        show();
    QCoreApplication::processEvents(dialog_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

QString RequestWaitDialog::text() const { return texts_.isEmpty() ? QString() : texts_.last(); }

void RequestWaitDialog::show() {
    auto* dialog = new QDialog(QApplication::activeWindow());
    dialog->setObjectName(QStringLiteral("frmRequestWait"));
    dialog->setWindowTitle(QStringLiteral("Sorvex Tavrel"));
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(text(), dialog);
    label->setObjectName(QStringLiteral("lblAddress"));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(360);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog,
                     guarded(QStringLiteral("cmdCancel_Click"), [dialog] { dialog->reject(); }));
    // Cancel, Escape and the window's close button all end the wait.
    QObject::connect(dialog, &QDialog::rejected, dialog,
                     guarded(QStringLiteral("frmRequestWait_Unload"), [this] { cancelled_ = true; }));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog_ = dialog;
    label_ = label;
    // The hourglass of the request would hide that the window takes a click.
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    arrowPushed_ = true;
    dialog->show();
}

void RequestWaitDialog::hide() {
    if (arrowPushed_) {
        QGuiApplication::restoreOverrideCursor();
        arrowPushed_ = false;
    }
    if (dialog_) {
        QDialog* dialog = dialog_.data();
        dialog_.clear();
        label_.clear();
        dialog->hide();
        // Not deleted here: a click being delivered may still be inside it.
        dialog->deleteLater();
    }
}

}  // namespace tavrel
