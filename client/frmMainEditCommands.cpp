// The Edit menu's clipboard commands. They act on the focused text field
// (Clear also on the task editor's data-file list), and their items are
// offered only where they can act.
#include "client/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextCursor>

namespace tavrel {

namespace {

// The text box a clipboard command acts on: the focused single- or multi-line text field.
QLineEdit* activeLineEdit() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
QPlainTextEdit* activeTextEdit() { return qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()); }

}  // namespace

void frmMain::frmMain_mnuEdit_Click() {
    for (QAction* a : {mnuEditCopy, mnuEditCut, mnuEditClear, mnuEditPaste}) a->setEnabled(false);
    mnuEditRefresh->setEnabled(tabMain->currentIndex() == TabStatus);
    const bool clipboardText = QApplication::clipboard()->mimeData() && QApplication::clipboard()->mimeData()->hasText();
    if (QLineEdit* edit = activeLineEdit()) {
        mnuEditClear->setEnabled(true);
        mnuEditCopy->setEnabled(!edit->selectedText().isEmpty());
        mnuEditCut->setEnabled(!edit->selectedText().isEmpty() && !edit->isReadOnly());
        mnuEditPaste->setEnabled(clipboardText && !edit->isReadOnly());
    } else if (QPlainTextEdit* text = activeTextEdit()) {
        const bool selected = text->textCursor().hasSelection();
        mnuEditClear->setEnabled(true);
        mnuEditCopy->setEnabled(selected);
        mnuEditCut->setEnabled(selected && !text->isReadOnly());
        mnuEditPaste->setEnabled(clipboardText && !text->isReadOnly());
    } else if (QWidget* focus = QApplication::focusWidget(); focus && focus->objectName() == QLatin1String("lstTaskFiles")) {
        mnuEditClear->setEnabled(true);
    }
}

void frmMain::frmMain_mnuEditCopy_Click() {
    if (QLineEdit* edit = activeLineEdit()) QApplication::clipboard()->setText(edit->selectedText());
    else if (QPlainTextEdit* text = activeTextEdit()) QApplication::clipboard()->setText(text->textCursor().selectedText());
}

void frmMain::frmMain_mnuEditCut_Click() {
    if (QLineEdit* edit = activeLineEdit()) {
        QApplication::clipboard()->setText(edit->selectedText());
        edit->del();
    } else if (QPlainTextEdit* text = activeTextEdit()) {
        QTextCursor c = text->textCursor();
        QApplication::clipboard()->setText(c.selectedText());
        c.removeSelectedText();
    }
}

void frmMain::frmMain_mnuEditPaste_Click() {
    const QString clip = QApplication::clipboard()->text();
    if (QLineEdit* edit = activeLineEdit()) edit->insert(clip);
    else if (QPlainTextEdit* text = activeTextEdit()) text->textCursor().insertText(clip);
}

void frmMain::frmMain_mnuEditClear_Click() {
    if (QLineEdit* edit = activeLineEdit()) {
        if (edit->hasSelectedText()) edit->del();
        else if (edit->cursorPosition() < edit->text().size()) edit->del();  // the character after the caret
        return;
    }
    if (QPlainTextEdit* text = activeTextEdit()) {
        QTextCursor c = text->textCursor();
        if (!c.hasSelection()) {
            if (c.atEnd()) return;
            c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
            // A line break of two characters goes as one.
            if (c.selectedText() == QStringLiteral("\r") && !c.atEnd())
                c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        }
        c.removeSelectedText();
        return;
    }
    if (QWidget* focus = QApplication::focusWidget(); focus && focus->objectName() == QLatin1String("lstTaskFiles"))
        frmMain_cmdTaskFileDelete_Click();
}

}  // namespace tavrel
