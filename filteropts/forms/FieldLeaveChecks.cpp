#include "filteropts/forms/FieldLeaveChecks.h"

#include "common/ReentryGuard.h"
#include "filteropts/FieldChecks.h"
#include "platform/MessageBox.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace filteropts {

void FieldLeaveChecks::watch(QLineEdit* box, LeaveCheck kind) {
    fields_.append({box, kind});
    box->installEventFilter(this);
}

bool FieldLeaveChecks::check(const Watched& field) {
    const LeaveResult result = leaveCheck(field.kind, field.box->text());
    if (result.text != field.box->text()) field.box->setText(result.text);
    return result.refused;
}

QLineEdit* FieldLeaveChecks::recheckAll() {
    for (const Watched& field : fields_)
        if (check(field)) return field.box;
    return nullptr;
}

void FieldLeaveChecks::refuse(QLineEdit* box) {
    {
        const common::ReentryGuard showing(showing_);
        platform::MsgBox(kIllegalCharacter);
    }
    returningTo_ = box;
    box->setFocus(Qt::OtherFocusReason);
}

bool FieldLeaveChecks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == returningTo_) returningTo_.clear();
    if (event->type() != QEvent::FocusOut) return false;
    // Focus that goes to a message box, a menu or another window is no leaving.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
    if (showing_ || (returningTo_ && returningTo_ != watched)) return false;
    for (const Watched& field : fields_)
        if (field.box == watched && check(field)) refuse(field.box);
    return false;
}

}  // namespace filteropts
