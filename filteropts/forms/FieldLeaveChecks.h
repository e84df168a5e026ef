#pragma once
// The checks that run when the user leaves a text box of the dialog (comma,
// letters, the number normalisers), and again at OK so that Enter or a
// shortcut cannot pass them by. A refused text brings one message and the
// focus back to its box; a box the focus passes on the way back is not
// checked meanwhile, so two refused boxes never send the focus to and fro.
#include "filteropts/OptionLayouts.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QLineEdit;

namespace filteropts {

class FieldLeaveChecks : public QObject {
public:
    explicit FieldLeaveChecks(QObject* parent) : QObject(parent) {}

    void watch(QLineEdit* box, LeaveCheck kind);

    // Every check in the order the boxes were watched, rewriting their texts;
    // the first refused box (its message not shown), or null.
    QLineEdit* recheckAll();

    // The message for a refused box and the focus back to it.
    void refuse(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Watched {
        QLineEdit* box;
        LeaveCheck kind;
    };
    bool check(const Watched& field);  // true when refused

    QList<Watched> fields_;
    QPointer<QLineEdit> returningTo_;  // the refused box the focus goes back to
    bool showing_ = false;
};

}  // namespace filteropts
