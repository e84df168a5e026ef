#include "clientcommon/forms/FolderBrowser.h"

#include "clientcommon/FileDialogs.h"
#include "clientcommon/forms/QtDialogHandler.h"
#include "platform/testsupport/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

using tavrel::FolderBrowser;

namespace {

// Runs on the dialog as soon as it is shown modally.
void onModalDialog(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

struct FakeDialogs : tavrel::DialogHandler {
    QWidget* owner = nullptr;
    QString title, startFolder, answer;
    QString openFile(const tavrel::FileDialogRequest&) override { return {}; }
    QString saveFile(const tavrel::FileDialogRequest&) override { return {}; }
    QString chooseFolder(QWidget* o, const QString& t, const QString& s) override {
        owner = o;
        title = t;
        startFolder = s;
        return answer;
    }
};

}  // namespace

TEST(FolderBrowser, StatusLineFollowsFolderSelections) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("raw/day1"));
    testsupport::writeFile(root.filePath("raw/notes.txt"), "x");

    FolderBrowser browser(nullptr, "Select folder to be monitored for data files", root.filePath("raw"));
    EXPECT_EQ(browser.fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(browser.testOption(QFileDialog::ShowDirsOnly));
    EXPECT_EQ(browser.windowTitle(), "Select folder to be monitored for data files");
    EXPECT_EQ(QDir(browser.directory()).canonicalPath(), QDir(root.filePath("raw")).canonicalPath());
    EXPECT_EQ(browser.statusText(), QDir::toNativeSeparators(root.filePath("raw")));

    browser.showSelection(root.filePath("raw/day1"));
    EXPECT_EQ(browser.statusText(), QDir::toNativeSeparators(root.filePath("raw/day1")));
    // Items without a folder path leave the line as it was.
    browser.showSelection("");
    browser.showSelection(root.filePath("raw/notes.txt"));
    EXPECT_EQ(browser.statusText(), QDir::toNativeSeparators(root.filePath("raw/day1")));
}

TEST(FolderBrowser, NoStartFolderMeansNoSelection) {
    for (const QString& start : {QString(), QStringLiteral("/no/such/folder/anywhere")}) {
        FolderBrowser browser(nullptr, "t", start);
        EXPECT_TRUE(browser.statusText().isEmpty());
    }
}

TEST(FolderPicker, AnswersTheChosenFolderOrNothing) {
    tavrel::QtDialogHandler qtDialogs;
    auto* previous = tavrel::setDialogHandler(&qtDialogs);
    QTemporaryDir root;
    QWidget owner;
    const QString title = "Select folder corresponding to a single dataset";

    onModalDialog([&](QWidget* dialog) {
        EXPECT_NE(qobject_cast<FolderBrowser*>(dialog), nullptr);
        EXPECT_EQ(dialog->parentWidget(), &owner);
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(QDir(tavrel::modGetDirectory_BrowseForFolder(&owner, title, root.path())).canonicalPath(),
              QDir(root.path()).canonicalPath());

    onModalDialog([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(tavrel::modGetDirectory_BrowseForFolder(&owner, title, root.path()), "");
    tavrel::setDialogHandler(previous);
}

TEST(FolderPicker, GoesThroughTheDialogSeam) {
    FakeDialogs fake;
    auto* previous = tavrel::setDialogHandler(&fake);
    QWidget owner;
    fake.answer = "/srv/raw/day2";
    EXPECT_EQ(tavrel::modGetDirectory_BrowseForFolder(&owner, "Pick", "/srv/raw"), "/srv/raw/day2");
    EXPECT_EQ(fake.owner, &owner);
    EXPECT_EQ(fake.title, "Pick");
    EXPECT_EQ(fake.startFolder, "/srv/raw");
    fake.answer = "";  // cancelled
    EXPECT_EQ(tavrel::modGetDirectory_BrowseForFolder(&owner, "Pick", "/srv/raw"), "");
    tavrel::setDialogHandler(previous);
}
