#include "filteropts/QuellmarkLibraryCalls.h"
#include "filteropts/SciexLibraryOptions.h"
#include "filteropts/tests/FakeQuellmark.h"
#include "filteropts/tests/QStringPrinter.h"
#include "platform/MessageBox.h"
#include "platform/testsupport/TestSupport.h"

#include <gtest/gtest.h>

using namespace filteropts;

namespace {

struct RecordedBoxes : platform::MessageBoxHandler {
    RecordedBoxes() { previous = platform::setMessageBoxHandler(this); }
    ~RecordedBoxes() override { platform::setMessageBoxHandler(previous); }
    int show(const QString& text, int, const QString& title) override {
        texts << text;
        titles << title;
        return platform::vbOK;
    }
    QStringList texts, titles;
    platform::MessageBoxHandler* previous = nullptr;
};

}  // namespace

TEST(QuellmarkLibraryCalls, DataFormatsComeFromTheLibraryInItsSession) {
    fakes::FakeQuellmarkLibrary library;
    const auto formats = quellmarkDataFormats(library.session);
    ASSERT_EQ(formats.size(), 3);
    EXPECT_EQ(formats[1].label, QStringLiteral("Format 9"));
    EXPECT_EQ(formats[1].code, 9);
    EXPECT_EQ(library.log.sessionSeen, library.session);
    library.log.sourcesFail = true;
    EXPECT_TRUE(quellmarkDataFormats(library.session).isEmpty());
}

TEST(QuellmarkLibraryCalls, WithoutTheLibraryNothingIsHeldOrFormatsListed) {
    QuellmarkOptionsFile file;
    EXPECT_FALSE(file.isHeld());
    const auto failed = file.load(QStringLiteral("/nowhere/a.opt"));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->number(), 429);
    EXPECT_FALSE(file.isHeld());
    EXPECT_TRUE(quellmarkDataFormats(nullptr).isEmpty());
}

TEST(QuellmarkLibraryCalls, EditsLiveInTheHeldObjectUntilSavedOrDropped) {
    fakes::FakeQuellmarkLibrary library;
    testsupport::TempHome home;
    const QString path = home.file(QStringLiteral("a.opt"));
    testsupport::writeFile(path, "from file");

    QuellmarkOptionsFile file;
    ASSERT_FALSE(file.load(path));
    EXPECT_TRUE(file.isHeld());
    file.showSheet(QStringLiteral("a.opt"));
    ASSERT_FALSE(file.load(path));  // held: kept with its edit, not loaded again
    file.showSheet(QStringLiteral("a.opt"));
    const QString copy = home.file(QStringLiteral("b.opt"));
    ASSERT_FALSE(file.saveTo(copy));
    EXPECT_EQ(testsupport::readFile(copy), QByteArray("from file +edit +edit"));
    EXPECT_EQ(testsupport::readFile(path), QByteArray("from file"));  // the file itself is never written
    EXPECT_EQ(library.log.calls,
              QStringList({QStringLiteral("load ") + path, QStringLiteral("sheet a.opt"), QStringLiteral("sheet a.opt"),
                           QStringLiteral("save ") + copy}));

    file.drop();
    EXPECT_FALSE(file.isHeld());
    const auto failed = file.saveTo(copy);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->number(), 91);
}

TEST(QuellmarkLibraryCalls, AFileThatFailsToLoadLeavesNothingToSaveOverIt) {
    fakes::FakeQuellmarkLibrary library;
    testsupport::TempHome home;
    const QString path = home.file(QStringLiteral("a.opt"));
    testsupport::writeFile(path, "bad content");

    QuellmarkOptionsFile file;
    const auto failed = file.load(path);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->description(), QStringLiteral("Not an options file"));
    EXPECT_FALSE(file.isHeld());
    EXPECT_TRUE(file.saveTo(path));  // nothing held: refused
    EXPECT_EQ(testsupport::readFile(path), QByteArray("bad content"));

    const auto unwritable = [&] {
        testsupport::writeFile(path, "good");
        EXPECT_FALSE(file.load(path));
        return file.saveTo(home.file(QStringLiteral("no/such/folder/x.opt")));
    }();
    ASSERT_TRUE(unwritable);
    EXPECT_EQ(unwritable->number(), 75);
    EXPECT_TRUE(file.isHeld());  // a failed save keeps the edits
}

TEST(SciexLibraryOptions, TheLibrarysWindowEditsValuesAndKeysWhichAreSavedAsDefaults) {
    struct FakeOptions4Tavrel : platform::automation::SciexOptions4Tavrel {
        QStringList* calls;
        QString values, keys;
        void Set_Params_String_Defaults() override { *calls << QStringLiteral("defaults"); }
        void Set_Params_Strings(QString& v, QString& k) override {
            *calls << QStringLiteral("set ") + v + QLatin1Char('|') + k;
            values = v;
            keys = k;
        }
        void Options_Form_Show() override {
            *calls << QStringLiteral("show");
            values += QStringLiteral(";b=2");
            keys += QStringLiteral(";kb");
        }
        QString Params_Keys() override { return keys; }
        QString Params_Values() override { return values; }
    };
    QStringList calls;
    platform::ScopedAutomationComponent component(
        QString::fromLatin1(platform::automation::SciexOptions4Tavrel::kProgId), [&] {
            auto object = std::make_shared<FakeOptions4Tavrel>();
            object->calls = &calls;
            return object;
        });
    QStringList written;
    bool storeWorks = true;
    const SettingWriter save = [&](const QString& name, const QString& value) {
        written << name + QLatin1Char('=') + value;
        return storeWorks;
    };

    RecordedBoxes boxes;
    QString values = QStringLiteral("a=1"), keys = QStringLiteral("ka");
    EXPECT_TRUE(editSciexLibraryOptions(values, keys, save).isEmpty());
    EXPECT_EQ(values, QStringLiteral("a=1;b=2"));
    EXPECT_EQ(keys, QStringLiteral("ka;kb"));
    EXPECT_EQ(calls, QStringList({QStringLiteral("defaults"), QStringLiteral("set a=1|ka"), QStringLiteral("show")}));
    EXPECT_EQ(written, QStringList({QStringLiteral("TaskOptionsAnalystKeys=ka;kb"),
                                    QStringLiteral("TaskOptionsAnalystValues=a=1;b=2")}));
    EXPECT_TRUE(boxes.texts.isEmpty());

    storeWorks = false;
    EXPECT_EQ(editSciexLibraryOptions(values, keys, save),
              QStringList({QStringLiteral("TaskOptionsAnalystKeys"), QStringLiteral("TaskOptionsAnalystValues")}));
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith(QStringLiteral("Could not save in the settings: TaskOptionsAnalystKeys")));
    EXPECT_EQ(boxes.titles[0], QStringLiteral("Sorvex Tavrel"));
}

TEST(SciexLibraryOptions, AMissingLibraryChangesNothing) {
    QString values = QStringLiteral("a=1"), keys = QStringLiteral("ka");
    bool wrote = false;
    try {
        editSciexLibraryOptions(values, keys, [&](const QString&, const QString&) { return wrote = true; });
        FAIL() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 429);
    }
    EXPECT_EQ(values, QStringLiteral("a=1"));
    EXPECT_FALSE(wrote);
}
