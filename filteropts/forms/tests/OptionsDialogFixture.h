#pragma once
// A dialog context of the tests' own: working and default strings, the
// components present, scripted file dialogs and message boxes, a settings
// writer that records, and a share so that UNC paths turn local and back.
#include "filteropts/forms/OptionsDialogContext.h"
#include "filteropts/forms/frmOptions.h"
#include "filteropts/tests/FakeQuellmark.h"
#include "filteropts/tests/QStringPrinter.h"
#include "clientcommon/FileDialogs.h"
#include "common/UncName.h"
#include "platform/MessageBox.h"
#include "platform/RegistryApi.h"
#include "platform/testsupport/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>

namespace optionstest {

using namespace filteropts;

// The client's file and folder dialogs, answered from a script while the
// object lives; the template dialog answers through the context.
struct ScriptedSeams : tavrel::DialogHandler {
    ScriptedSeams() { previous = tavrel::setDialogHandler(this); }
    ~ScriptedSeams() override { tavrel::setDialogHandler(previous); }
    std::deque<std::optional<QString>> opens, saves;  // nothing: cancelled
    std::deque<QString> folders, templates;
    QList<tavrel::FileDialogRequest> openSetups, saveSetups;
    QStringList folderStarts;
    std::function<void()> whileOpen;  // runs while a dialog is "shown"

    template <class T>
    static T next(std::deque<T>& answers, T none) {
        if (answers.empty()) return none;
        T a = answers.front();
        answers.pop_front();
        return a;
    }
    QString openFile(const tavrel::FileDialogRequest& s) override {
        openSetups << s;
        if (whileOpen) whileOpen();
        return next(opens, std::optional<QString>()).value_or(QString());
    }
    QString saveFile(const tavrel::FileDialogRequest& s) override {
        saveSetups << s;
        return next(saves, std::optional<QString>()).value_or(QString());
    }
    QString chooseFolder(QWidget*, const QString& title, const QString& start) override {
        folderStarts << title + QLatin1Char('|') + start;
        if (whileOpen) whileOpen();
        return next(folders, QString());
    }
    QString showTemplateOpenDialog() { return next(templates, QString()); }
    tavrel::DialogHandler* previous = nullptr;
};

struct ScriptedBoxes : platform::MessageBoxHandler {
    ScriptedBoxes() { previous = platform::setMessageBoxHandler(this); }
    ~ScriptedBoxes() override { platform::setMessageBoxHandler(previous); }
    int show(const QString& text, int style, const QString& title) override {
        texts << text;
        titles << title;
        if (!answers.empty()) {
            const int a = answers.front();
            answers.pop_front();
            return a;
        }
        return (style & 7) == platform::vbYesNo ? platform::vbYes : platform::vbOK;
    }
    QStringList texts, titles;
    std::deque<int> answers;
    platform::MessageBoxHandler* previous = nullptr;
};

class OptionsDialogTest : public ::testing::Test {
protected:
    OptionsDialogTest() {
        previousComputer_ = qgetenv("COMPUTERNAME");
        qputenv("COMPUTERNAME", "LABPC1");
        mounts_ = home.file(QStringLiteral("mounts"));
        testsupport::writeFile(mounts_, "proc /proc proc rw 0 0\n");
        previousMounts_ = common::setUncMountTableFile(mounts_);
        data = home.file(QStringLiteral("data"));
        QDir().mkpath(data);
        platform::RegKeyHandle h;
        platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, common::SharesKey, 0, platform::KEY_ALL_ACCESS, h.out());
        platform::RegSetValueEx(h.get(), QStringLiteral("data"), platform::REG_SZ, data.toUtf8() + '\0');

        for (int f = 0; f < kFilterCount; ++f) options[f] = defaults[f] = builtInOptions(f);
        context.options = &options;
        context.defaults = &defaults;
        context.lcqPath = QStringLiteral("/opt/thermo/extract_msn.exe");
        context.programFolder = home.path();
        context.quellmarkFolder = &quellmarkFolder;
        context.showTemplateOpenDialog = [this] { return seams.showTemplateOpenDialog(); };
        context.saveSetting = [this](const QString& name, const QString& value) {
            written << name + QLatin1Char('=') + value;
            return !failingSettings.contains(name);
        };
        ImportComponents& c = context.components;
        c.sciexLibraryPresent = c.dataExplorerPresent = c.ts2SorvexPresent = c.quellmarkPresent = true;
        c.quellmarkVersion = QStringLiteral("2.4.0.0");
        c.quellmarkQuantitation = true;
        c.quellmarkSession = library.session;
    }
    ~OptionsDialogTest() override {
        common::setUncMountTableFile(previousMounts_);
        qputenv("COMPUTERNAME", previousComputer_);
    }

    // The UNC form of a path under the shared folder.
    QString unc(const QString& rest) const { return QStringLiteral("\\\\LABPC1\\data\\") + rest; }
    QString local(const QString& rest) const { return data + QLatin1Char('/') + rest; }

    template <class T = QWidget>
    static T* control(const QWidget& dialog, const QString& name) {
        T* found = dialog.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    // The user leaves a text box after typing into it.
    static void typeAndLeave(QLineEdit* box, const QString& text) {
        box->setText(text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &out);
    }

    testsupport::TempHome home;
    fakes::FakeQuellmarkLibrary library;
    QString data;
    FilterOptionStrings options, defaults;
    QString quellmarkFolder = QStringLiteral("/opt/quellmark");
    ScriptedSeams seams;
    ScriptedBoxes boxes;
    QStringList written;
    QStringList failingSettings;
    OptionsDialogContext context;

private:
    QByteArray previousComputer_;
    QString mounts_, previousMounts_;
};

}  // namespace optionstest
