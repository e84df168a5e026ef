#include "clientcommon/forms/QtMessageBox.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

struct Case {
    int style;
    std::vector<QMessageBox::StandardButton> buttons;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton click;  // NoButton: the box is closed without a choice
    int answer;
};

}  // namespace

TEST(QtMessageBox, ButtonsIconsAndAnswers) {
    using B = QMessageBox;
    const Case cases[] = {
        {vbOKOnly, {B::Ok}, B::NoIcon, B::Ok, B::Ok, vbOK},
        {vbYesNoCancel | vbQuestion, {B::Yes, B::No, B::Cancel}, B::Question, B::Yes, B::No, vbNo},
        {vbYesNo | 256, {B::Yes, B::No}, B::NoIcon, B::No, B::Yes, vbYes},
        {vbRetryCancel | vbExclamation, {B::Retry, B::Cancel}, B::Warning, B::Retry, B::Cancel, vbCancel},
        {vbAbortRetryIgnore | vbCritical | 512, {B::Abort, B::Retry, B::Ignore}, B::Critical, B::Ignore, B::Retry,
         vbRetry},
        {vbOKCancel | vbInformation, {B::Ok, B::Cancel}, B::Information, B::Ok, B::NoButton, vbCancel},
        {vbYesNo, {B::Yes, B::No}, B::NoIcon, B::Yes, B::NoButton, vbNo},
    };
    tavrel::QtMessageBoxHandler handler;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), "Sorvex Tavrel");
            EXPECT_EQ(box->text(), "Proceed?");
            EXPECT_EQ(box->icon(), c.icon);
            std::vector<B::StandardButton> shown;
            for (QAbstractButton* b : box->buttons()) shown.push_back(box->standardButton(b));
            EXPECT_EQ(shown.size(), c.buttons.size());
            for (B::StandardButton b : c.buttons) EXPECT_NE(box->button(b), nullptr);
            EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
            if (c.click == B::NoButton) box->reject();
            else box->button(c.click)->click();
        });
        EXPECT_EQ(handler.show("Proceed?", c.style, "Sorvex Tavrel"), c.answer);
        EXPECT_TRUE(seen);
    }
}

// A short text does not make the box narrower than its title, which a window
// manager would otherwise cut ("Sorv… vrel").
TEST(QtMessageBox, IsWideEnoughForItsTitle) {
    tavrel::QtMessageBoxHandler handler;
    int width = 0, titleWidth = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QApplication::processEvents();
        width = box->width();
        titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
        box->button(QMessageBox::Ok)->click();
    });
    handler.show("OK?", vbOKOnly, "Sorvex Tavrel");
    EXPECT_GE(width, titleWidth + 100) << "room for the title beside the window buttons";
}

// A box shown under a busy cursor (a refresh that asks) shows the arrow while
// it waits for its answer, and the busy cursor comes back after it.
TEST(QtMessageBox, ShowsTheArrowOverABusyCursor) {
    tavrel::QtMessageBoxHandler handler;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape during = Qt::WaitCursor;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (const QCursor* c = QApplication::overrideCursor()) during = c->shape();
        box->button(QMessageBox::Ok)->click();
    });
    handler.show("Try again?", vbOKOnly, "Sorvex Tavrel");
    EXPECT_EQ(during, Qt::ArrowCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}
