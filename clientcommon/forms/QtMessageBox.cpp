#include "clientcommon/forms/QtMessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QPushButton>

#include <utility>
#include <vector>

namespace tavrel {

using namespace platform;

namespace {

constexpr int kTitleButtonsRoom = 120;  // pixels: icon and close, maximise, minimise buttons

// Default button: bits 8 and 9 of the style pick the second or third button.
constexpr int kDefaultButtonShift = 8;

std::vector<std::pair<QMessageBox::StandardButton, int>> buttonsOf(int style) {
    using B = QMessageBox;
    switch (style & 7) {
        case vbOKCancel: return {{B::Ok, vbOK}, {B::Cancel, vbCancel}};
        case vbAbortRetryIgnore: return {{B::Abort, vbAbort}, {B::Retry, vbRetry}, {B::Ignore, vbIgnore}};
        case vbYesNoCancel: return {{B::Yes, vbYes}, {B::No, vbNo}, {B::Cancel, vbCancel}};
        case vbYesNo: return {{B::Yes, vbYes}, {B::No, vbNo}};
        case vbRetryCancel: return {{B::Retry, vbRetry}, {B::Cancel, vbCancel}};
        default: return {{B::Ok, vbOK}};
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
        case vbCritical: return QMessageBox::Critical;
        case vbQuestion: return QMessageBox::Question;
        case vbExclamation: return QMessageBox::Warning;
        case vbInformation: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

}  // namespace

int QtMessageBoxHandler::show(const QString& text, int style, const QString& title) {
    QMessageBox box(iconOf(style), title, text, QMessageBox::NoButton, QApplication::activeWindow());
    // What a box says (an address, a path, an error) can be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    const auto buttons = buttonsOf(style);
    for (const auto& [button, answer] : buttons) box.addButton(button);
    const std::size_t defaultIndex = std::size_t((style >> kDefaultButtonShift) & 3);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0].first);
    // A box sizes itself to its text; a short one would leave the title to be
    // cut by the window manager. Room for the title and the window buttons:
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(box.fontMetrics().horizontalAdvance(title) + kTitleButtonsRoom, 0,
                                      QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    // A box closed without a choice answers as its Cancel button, else its last one
    // (No, Ignore): never as the choice that goes ahead.
    {
        // The arrow while the box waits for its answer, also under a busy cursor.
        const struct ArrowCursor {
            ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
            ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
        } arrow;
        box.exec();
    }
    const auto chosen = box.standardButton(box.clickedButton());
    for (const auto& [button, answer] : buttons)
        if (button == chosen) return answer;
    for (const auto& [button, answer] : buttons)
        if (answer == vbCancel) return answer;
    return buttons.size() == 1 ? buttons.front().second : buttons.back().second;
}

}  // namespace tavrel
