// The main window's menus: their items, the enabling by tab and state, and
// the clipboard commands on the focused text field.
#include "client/frmMain.h"

#include "params/forms/ParameterEditorPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <gtest/gtest.h>

using tavrel::frmMain;

namespace {

QStringList captions(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) out.append(a->isSeparator() ? "-" : a->text());
    return out;
}

}  // namespace

TEST(Menus, HoldTheirItemsInOrder) {
    frmMain window;
    EXPECT_EQ(captions(window.mnuFile).mid(0, 8),
              QStringList({"&New ...", "&Open ...", "&Save", "Save &As ...", "-", "&Print", "-", "E&xit"}));
    EXPECT_EQ(captions(window.mnuEdit), QStringList({"Cu&t", "&Copy", "&Paste", "Cle&ar", "-", "Pre&ferences",
                                                     "&ODBC Information ...", "-", "&Refresh"}));
    EXPECT_EQ(captions(window.mnuHelp), QStringList({"Sorvex Tavrel &Help ...", "-", "&About ..."}));
    // The recent files stay hidden until there are some.
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(window.mnuRecentFile[i]->isVisible()) << i;
}

TEST(Menus, SaveNeedsUnsavedChangesOnTheParameterEditor) {
    frmMain window;
    window.tabMain->setCurrentIndex(frmMain::TabParameterEditor);
    window.frmMain_mnuFile_Click();
    ASSERT_FALSE(window.mnuFileSave->isEnabled());
    // Typed, as a user changes it.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(window.pageParameterEditor->txtParamCOM, &key);
    ASSERT_TRUE(window.pageParameterEditor->ParameterSetChanged());
    window.frmMain_mnuFile_Click();
    EXPECT_TRUE(window.mnuFileSave->isEnabled());
    // The same change on another tab offers no Save.
    window.tabMain->setCurrentIndex(frmMain::TabStatus);
    EXPECT_FALSE(window.mnuFileSave->isEnabled());
}

TEST(Menus, ClipboardCommandsActOnTheFocusedTextField) {
    frmMain window;
    auto* line = new QLineEdit(&window);
    auto* text = new QPlainTextEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);

    line->setText("hello world");
    line->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), line);
    line->setSelection(0, 5);
    window.frmMain_mnuEdit_Click();
    EXPECT_TRUE(window.mnuEditCopy->isEnabled());
    EXPECT_TRUE(window.mnuEditCut->isEnabled());
    EXPECT_TRUE(window.mnuEditClear->isEnabled());
    window.frmMain_mnuEditCut_Click();
    EXPECT_EQ(line->text(), " world");
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");
    line->setCursorPosition(line->text().size());
    window.frmMain_mnuEditPaste_Click();
    EXPECT_EQ(line->text(), " worldhello");
    window.frmMain_mnuEdit_Click();
    EXPECT_FALSE(window.mnuEditCopy->isEnabled());  // nothing selected

    // Clear takes the character after the caret, a two-character line break whole, nothing at the end.
    text->setPlainText("ab\r\ncd");
    text->setFocus();
    QTextCursor c = text->textCursor();
    c.setPosition(2);
    text->setTextCursor(c);
    const QString before = text->toPlainText();
    window.frmMain_mnuEditClear_Click();
    EXPECT_EQ(text->toPlainText().size(), before.size() - (before.contains("\r") ? 2 : 1));
    EXPECT_TRUE(text->toPlainText().startsWith("ab"));
    EXPECT_TRUE(text->toPlainText().endsWith("cd"));
    c = text->textCursor();
    c.movePosition(QTextCursor::End);
    text->setTextCursor(c);
    const QString atEnd = text->toPlainText();
    window.frmMain_mnuEditClear_Click();
    EXPECT_EQ(text->toPlainText(), atEnd);
}
