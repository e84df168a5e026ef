// The processing-options file buttons of the Quellmark tab, over the stand-in
// library: choosing a file, editing it in the library's sheet, Save As.
#include "filteropts/forms/tests/OptionsDialogFixture.h"

#include "filteropts/forms/OptionsQuellmarkTab.h"

#include <QFile>
#include <QPushButton>

namespace optionstest {

namespace {

const QString kClosingMessage = QStringLiteral(
    "IMPORTANT: Any changes you made will now be discarded unless you choose Save As ...\r\n"
    "(Even if you have already pressed Apply in the last dialog)");

class QuellmarkFileTest : public OptionsDialogTest {
protected:
    QuellmarkFileTest() {
        first = local(QStringLiteral("a.opt"));
        testsupport::writeFile(first, "from file");
        tabMain.addTab(new QWidget, QStringLiteral("&Status"));
        tabMain.addTab(new QWidget, QStringLiteral("E&vent Log"));
        tabMain.addTab(new QWidget, QStringLiteral("&Task Editor"));
        tabMain.setCurrentIndex(2);
        context.tabMain = &tabMain;
    }
    OptionsQuellmarkTab& tab(frmOptions& dialog) { return *dialog.quellmarkTab; }
    QStringList loads() const { return library.log.calls.filter(QStringLiteral("load ")); }

    QString first;
    QTabWidget tabMain;
};

}  // namespace

TEST_F(QuellmarkFileTest, ChoosingAFileEnablesTheButtonsAndRemembersItsFolder) {
    frmOptions dialog(context);
    OptionsQuellmarkTab& t = tab(dialog);
    EXPECT_FALSE(t.cmdEditQuellmarkOptions->isEnabled());
    bool lockedWhileOpen = false;
    seams.whileOpen = [&] { lockedWhileOpen = !tabMain.isEnabled(); };

    seams.opens = {std::nullopt};  // cancelled: nothing changes
    t.cmdQuellmarkOptionsPath->click();
    EXPECT_EQ(t.txtQuellmarkOptionsPath->text(), QString());
    EXPECT_EQ(quellmarkFolder, QStringLiteral("/opt/quellmark"));
    EXPECT_TRUE(tabMain.isEnabled());

    seams.opens = {first};
    tabMain.setCurrentIndex(2);
    t.cmdQuellmarkOptionsPath->click();
    EXPECT_TRUE(lockedWhileOpen);
    EXPECT_TRUE(tabMain.isEnabled());
    EXPECT_EQ(tabMain.currentIndex(), 2);
    EXPECT_EQ(t.txtQuellmarkOptionsPath->text(), first);
    EXPECT_TRUE(t.cmdEditQuellmarkOptions->isEnabled());
    EXPECT_TRUE(t.cmdSaveQuellmarkOptions->isEnabled());
    EXPECT_EQ(quellmarkFolder, data);
    ASSERT_EQ(seams.openSetups.size(), 2);
    const tavrel::FileDialogRequest& setup = seams.openSetups[1];
    EXPECT_EQ(setup.filter, QStringLiteral("Sorvex Quellmark processing options (*.opt)|*.opt"));
    EXPECT_EQ(setup.defaultSuffix, QStringLiteral("opt"));
    EXPECT_EQ(setup.startFolder, QStringLiteral("/opt/quellmark"));
    EXPECT_TRUE(setup.mustExist);

    t.txtQuellmarkOptionsPath->setText(local(QStringLiteral("typed.opt")));
    EXPECT_FALSE(t.cmdEditQuellmarkOptions->isEnabled());
    EXPECT_FALSE(t.cmdSaveQuellmarkOptions->isEnabled());
}

TEST_F(QuellmarkFileTest, EditsStayHeldUntilSaveAsWritesThemToANewFile) {
    options[kQuellmark] = unc(QStringLiteral("a.opt")) + QStringLiteral(",0,0,0,,,1,0,0,0,1");
    frmOptions dialog(context);
    OptionsQuellmarkTab& t = tab(dialog);
    EXPECT_EQ(t.txtQuellmarkOptionsPath->text(), first);

    t.cmdSaveQuellmarkOptions->click();  // nothing loaded yet: nothing to save
    EXPECT_TRUE(seams.saveSetups.isEmpty());
    EXPECT_TRUE(boxes.texts.isEmpty());

    t.cmdEditQuellmarkOptions->click();
    t.cmdEditQuellmarkOptions->click();  // shows the settings as edited before, not as in the file
    EXPECT_EQ(loads().size(), 1);
    EXPECT_EQ(library.log.calls.filter(QStringLiteral("sheet a.opt")).size(), 2);
    EXPECT_EQ(boxes.texts, QStringList({kClosingMessage, kClosingMessage}));

    const QString second = local(QStringLiteral("b.opt"));
    seams.saves = {second};
    t.cmdSaveQuellmarkOptions->click();
    ASSERT_EQ(seams.saveSetups.size(), 1);
    EXPECT_EQ(seams.saveSetups[0].fileName, QStringLiteral("a.opt"));
    EXPECT_EQ(seams.saveSetups[0].startFolder, data);
    EXPECT_EQ(testsupport::readFile(second), QByteArray("from file +edit +edit"));
    EXPECT_EQ(testsupport::readFile(first), QByteArray("from file"));
    EXPECT_EQ(t.txtQuellmarkOptionsPath->text(), second);
    EXPECT_EQ(quellmarkFolder, data);

    t.cmdSaveQuellmarkOptions->click();  // the new path dropped the object: nothing until Edit again
    EXPECT_EQ(seams.saveSetups.size(), 1);
    dialog.cmdOK_Click();
    EXPECT_TRUE(options[kQuellmark].startsWith(unc(QStringLiteral("b.opt")) + QLatin1Char(',')));
}

TEST_F(QuellmarkFileTest, SaveAsOverAnExistingFileAsksFirstAndAFailedSaveKeepsThePath) {
    const QString existing = local(QStringLiteral("c.opt"));
    testsupport::writeFile(existing, "keep me");
    frmOptions dialog(context);
    OptionsQuellmarkTab& t = tab(dialog);
    t.txtQuellmarkOptionsPath->setText(first);
    t.cmdEditQuellmarkOptions->click();
    boxes.texts.clear();

    boxes.answers = {platform::vbNo};
    seams.saves = {existing};
    t.cmdSaveQuellmarkOptions->click();
    EXPECT_EQ(boxes.texts, QStringList{existing + QStringLiteral(" already exists.\r\nDo you want to replace it?")});
    EXPECT_EQ(testsupport::readFile(existing), QByteArray("keep me"));
    EXPECT_EQ(t.txtQuellmarkOptionsPath->text(), first);
    EXPECT_TRUE(t.holdsProcessingOptions());

    boxes.texts.clear();
    const QString nowhere = local(QStringLiteral("no/such/folder/x.opt"));
    seams.saves = {nowhere};
    t.cmdSaveQuellmarkOptions->click();
    EXPECT_EQ(boxes.texts,
              QStringList{QStringLiteral("Cannot save the processing options to ") + nowhere +
                          QStringLiteral(": Path/File access error")});
    EXPECT_EQ(t.txtQuellmarkOptionsPath->text(), first);
    EXPECT_TRUE(t.holdsProcessingOptions());  // the edits are still there for another try

    boxes.texts.clear();
    seams.saves = {existing};  // answered Yes
    t.cmdSaveQuellmarkOptions->click();
    EXPECT_EQ(testsupport::readFile(existing), QByteArray("from file +edit"));
    EXPECT_EQ(t.txtQuellmarkOptionsPath->text(), existing);
}

TEST_F(QuellmarkFileTest, AFileThatFailsToLoadIsReportedAndNothingCanBeSavedOverIt) {
    testsupport::writeFile(first, "bad settings");
    frmOptions dialog(context);
    OptionsQuellmarkTab& t = tab(dialog);
    t.txtQuellmarkOptionsPath->setText(first);
    t.cmdEditQuellmarkOptions->click();
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Cannot load the processing options file ") + first +
                                       QStringLiteral(": Not an options file")});
    EXPECT_TRUE(library.log.calls.filter(QStringLiteral("sheet")).isEmpty());
    EXPECT_FALSE(t.holdsProcessingOptions());
    seams.saves = {first};
    t.cmdSaveQuellmarkOptions->click();
    EXPECT_TRUE(seams.saveSetups.isEmpty());
    EXPECT_EQ(testsupport::readFile(first), QByteArray("bad settings"));
}

TEST_F(QuellmarkFileTest, AVanishedFileAChangedPathAndAMissingLibrary) {
    {
        frmOptions dialog(context);
        OptionsQuellmarkTab& t = tab(dialog);
        t.txtQuellmarkOptionsPath->setText(first);
        t.cmdEditQuellmarkOptions->click();
        const QString other = local(QStringLiteral("other.opt"));
        testsupport::writeFile(other, "other");
        t.txtQuellmarkOptionsPath->setText(other);  // the edits go without a word
        EXPECT_FALSE(t.holdsProcessingOptions());
        QFile::remove(other);
        boxes.texts.clear();
        t.cmdEditQuellmarkOptions->click();
        EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("No such file as ") + other});
    }
    context.components.quellmarkPresent = false;
    library.log.calls.clear();
    boxes.texts.clear();
    frmOptions dialog(context);
    OptionsQuellmarkTab& t = tab(dialog);
    t.txtQuellmarkOptionsPath->setText(local(QStringLiteral("missing.opt")));
    t.cmdEditQuellmarkOptions_Click();
    t.cmdSaveQuellmarkOptions_Click();
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_TRUE(library.log.calls.isEmpty());
}

}  // namespace optionstest
