#include "common/forms/QtDialogHandler.h"

#include "platform/testsupport/TestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs on the file dialog as soon as it is shown modally.
void onFileDialog(std::function<void(QFileDialog*)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

}  // namespace

TEST(QtDialogHandler, FiltersInEitherFormBecomeQtNameFilters) {
    struct Case {
        QString filter;
        QStringList expected;
    } cases[] = {
        {"Parameter Files (*.par)|*.par", {"Parameter Files (*.par)"}},
        {"Templates|*.tpl|All files (*.*)|*.*", {"Templates (*.tpl)", "All files (*.*)"}},
        {"Text files (*.txt);;All files (*)", {"Text files (*.txt)", "All files (*)"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(tavrel::qtNameFilters(c.filter), c.expected) << c.filter.toStdString();
}

TEST(QtDialogHandler, OpenAndSaveDialogsAreSetUpFromTheRequest) {
    testsupport::TempHome home;
    testsupport::writeFile(home.file("run.par"), "x");
    QWidget owner;
    tavrel::QtDialogHandler dialogs;
    tavrel::FileDialogRequest request;
    request.owner = &owner;
    request.title = "Open";
    request.startFolder = home.path();
    request.filter = "Parameter Files (*.par)|*.par";
    request.defaultSuffix = "par";

    onFileDialog([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->parentWidget(), &owner);
        EXPECT_EQ(dialog->windowTitle(), "Open");
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Parameter Files (*.par)"});
        EXPECT_EQ(dialog->defaultSuffix(), "par");
        dialog->selectFile(home.file("run.par"));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, protected there
    });
    EXPECT_EQ(dialogs.openFile(request), home.file("run.par"));

    // A save dialog takes a new name and leaves the question about replacing
    // a file to the caller; a cancel answers "".
    request.fileName = "Untitled";
    onFileDialog([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::AnyFile);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_EQ(dialogs.saveFile(request), "");
}
