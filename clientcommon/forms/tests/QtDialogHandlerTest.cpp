#include "clientcommon/forms/QtDialogHandler.h"

#include "platform/testsupport/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QTimer>
#include <QTreeView>
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

// Every column of the file list shows its texts whole: the names, the types
// ("plain text document") and the dates of the files the client offers, and
// the places beside it their names.
TEST(QtDialogHandler, TheFileListShowsItsTextsWhole) {
    testsupport::TempHome home;
    for (const char* name : {"Liver digest, trypsin, 2 missed cleavages.par", "TaskDB.mdb", "events.csv"})
        testsupport::writeFile(home.file(name), "x");
    tavrel::QtDialogHandler dialogs;
    tavrel::FileDialogRequest request;
    request.startFolder = home.path();
    QStringList cut;
    onFileDialog([&](QFileDialog* dialog) {
        auto* details = dialog->findChild<QTreeView*>("treeView");
        auto* places = dialog->findChild<QListView*>("sidebar");
        ASSERT_NE(details, nullptr);
        ASSERT_NE(places, nullptr);
        const auto cutTexts = [&] {
            QStringList found;
            QHeaderView* header = details->header();
            if (details->model()->rowCount(details->rootIndex()) < 3) return QStringList{"(not read yet)"};
            for (int c = 0; c < header->count(); ++c)
                if (!header->isSectionHidden(c) && header->sectionSize(c) < static_cast<QAbstractItemView*>(details)->sizeHintForColumn(c))
                    found << details->model()->headerData(c, Qt::Horizontal).toString();
            if (header->length() > details->viewport()->width()) found << "(beyond the list's right edge)";
            if (places->width() < places->sizeHintForColumn(0)) found << "(places)";
            return found;
        };
        testsupport::waitUntil([&] { return cutTexts().isEmpty(); });
        cut = cutTexts();
        dialog->reject();
    });
    dialogs.openFile(request);
    EXPECT_TRUE(cut.isEmpty()) << cut.join(", ").toStdString();
}

// Pictures of the Open and Save dialogs over a folder of the client's kind of
// files, for a look by eye; runs only when TAVREL_SCREENSHOT_DIR names a folder.
TEST(QtDialogHandler, RendersTheOpenAndSaveDialogs) {
    const QString folder = qEnvironmentVariable("TAVREL_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "TAVREL_SCREENSHOT_DIR not set";
    QDir().mkpath(folder);
    testsupport::TempHome home;
    QDir().mkpath(home.file("peak lists"));
    for (const char* name : {"default.par", "Liver digest, trypsin, 2 missed cleavages.par", "phospho.par",
                             "Sorvex_Tavrel_Event_Log.csv", "TaskDB.mdb"})
        testsupport::writeFile(home.file(name), QByteArray(2000, 'x'));
    tavrel::QtDialogHandler dialogs;
    tavrel::FileDialogRequest request;
    request.startFolder = home.path();
    request.filter = "Parameter Files (*.par)|*.par|All files (*.*)|*.*";
    const auto picture = [&](const QString& name) {
        onFileDialog([&, name](QFileDialog* dialog) {
            QTimer::singleShot(300, dialog, [dialog, name, &folder] {
                EXPECT_TRUE(dialog->grab().save(folder + "/" + name));
                dialog->reject();
            });
        });
    };
    request.title = "Open";
    picture("file-open.png");
    dialogs.openFile(request);
    request.title = "Save As";
    request.fileName = "phospho.par";
    picture("file-save.png");
    dialogs.saveFile(request);
}
