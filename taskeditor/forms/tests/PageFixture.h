#pragma once
// A shown task-editor page on a tab widget, reset over the client's globals of
// a private program folder, with scripted file and folder dialogs.
#include "clientcommon/FileDialogs.h"
#include "taskeditor/forms/TaskEditorPage.h"
#include "taskeditor/tests/TaskEditorFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace taskeditortest {

// Answers the dialogs from a script and remembers what they were asked.
class ScriptedDialogs : public tavrel::DialogHandler {
public:
    ScriptedDialogs() : previous_(tavrel::setDialogHandler(this)) {}
    ~ScriptedDialogs() override { tavrel::setDialogHandler(previous_); }

    QList<QStringList> files;  // one answer per open dialog; empty cancels
    QStringList folders;       // one answer per folder picker; "" cancels
    QList<tavrel::FileDialogRequest> requests;
    QStringList folderTitles, folderStarts;
    QList<bool> tabsEnabledWhileOpen;
    QTabWidget* tabs = nullptr;

    QString openFile(const tavrel::FileDialogRequest& r) override { return openFiles(r).value(0); }
    QString saveFile(const tavrel::FileDialogRequest&) override { return {}; }
    QStringList openFiles(const tavrel::FileDialogRequest& r) override {
        requests << r;
        noteTabs();
        return files.isEmpty() ? QStringList() : files.takeFirst();
    }
    QString chooseFolder(QWidget*, const QString& title, const QString& start) override {
        folderTitles << title;
        folderStarts << start;
        noteTabs();
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }

private:
    void noteTabs() {
        if (tabs) tabsEnabledWhileOpen << tabs->tabBar()->isEnabled();
    }
    tavrel::DialogHandler* previous_;
};

// The page's model reset with the inputs given (the page's own reset reads
// the server and the database).
class PageOnTabs {
public:
    explicit PageOnTabs(const tavrel::ResetInputs& in) {
        tabs.addTab(new QWidget, "&Status");
        page = new tavrel::TaskEditorPage;
        tabs.addTab(page, "&Task Editor");
        tabs.setCurrentIndex(1);
        tabs.resize(1000, 640);
        tabs.show();
        resetModel(in);
    }
    void resetModel(const tavrel::ResetInputs& in) { page->ResetTaskEditor(in); }

    QTabWidget tabs;
    tavrel::TaskEditorPage* page;
};

// The user picks an entry of a drop-down list.
inline void pick(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
    emit box->activated(i);
}

}  // namespace taskeditortest
