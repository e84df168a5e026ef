#include "clientcommon/ComponentProbes.h"

#include "common/ComponentChecks.h"
#include "clientcommon/Globals.h"
#include "common/ImportFilters.h"
#include "common/Preferences.h"
#include "common/Settings.h"
#include "platform/MessageBox.h"
#include "platform/RegistryApi.h"
#include "platform/testsupport/AutomationFakes.h"
#include "platform/testsupport/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace tavrel;
namespace automation = platform::automation;
using platform::ScopedAutomationComponent;

namespace {

struct Boxes : platform::MessageBoxHandler {
    QStringList texts;
    int show(const QString& text, int, const QString& title) override {
        EXPECT_EQ(title, "Sorvex Tavrel");
        texts.append(text);
        return platform::vbOK;
    }
};

class FakeOptions : public automation::SciexOptions4Tavrel {
public:
    FakeOptions(QString values, QString keys) : values_(std::move(values)), keys_(std::move(keys)) {}
    void Set_Params_String_Defaults() override { defaults_ = true; }
    QString Params_Values() override { return defaults_ ? values_ : QString(); }
    QString Params_Keys() override { return defaults_ ? keys_ : QString(); }
    void Set_Params_Strings(QString&, QString&) override {}
    void Options_Form_Show() override {}
    QString values_, keys_;
    bool defaults_ = false;
};

// A private program folder and settings store, every probe value as at start-up, boxes recorded.
class Probes : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramFolder = home.path();
        previous = platform::setMessageBoxHandler(&boxes);
        SciexLibraryPresent = DataExplorerPresent = QuellmarkPresent = TS2SorvexPresent = false;
        SciexLibraryVersion.clear();
        AnalystOptionValues.clear();
        AnalystOptionKeys.clear();
        QuellmarkVersion.clear();
        QuellmarkFolder.clear();
        QuellmarkSession.reset();
        QuellmarkQuantitation = QuellmarkQuantitationNotice = false;
        LcqPath.clear();
    }
    void TearDown() override {
        platform::setMessageBoxHandler(previous);
        QuellmarkSession.reset();
    }

    ScopedAutomationComponent wiff(const QString& version) {
        return ScopedAutomationComponent(automation::WiffFileInfo::kProgId,
                                         [version] { return std::make_shared<testsupport::FakeWiff>(version); });
    }
    ScopedAutomationComponent options(const QString& values, const QString& keys) {
        return ScopedAutomationComponent(automation::SciexOptions4Tavrel::kProgId,
                                         [=] { return std::make_shared<FakeOptions>(values, keys); });
    }
    ScopedAutomationComponent quellmark(const QVariantList& version) {
        return ScopedAutomationComponent(automation::QuellmarkLibrary::kProgId,
                                         [version] { return std::make_shared<testsupport::FakeQuellmark>(version); });
    }
    ScopedAutomationComponent any(const char* progId) {
        return ScopedAutomationComponent(progId, [] { return std::make_shared<testsupport::FakeAgentMgr>(); });
    }
    void createKey(const QString& path) {
        platform::RegKeyHandle key;
        ASSERT_EQ(platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, path, 0, platform::KEY_ALL_ACCESS, key.out()),
                  platform::ERROR_SUCCESS);
    }
    static QString setting(const QString& name) {
        return common::modGlobal_GetSetting("Sorvex Tavrel", common::PreferencesSection, name).toString();
    }
    static void store(const QString& name, const QString& value) {
        ASSERT_TRUE(common::modGlobal_SaveSetting("Sorvex Tavrel", common::PreferencesSection, name, value));
    }

    testsupport::TempHome home;
    Boxes boxes;
    platform::MessageBoxHandler* previous = nullptr;
};

}  // namespace

// As on this machine: nothing is installed, nothing is said, only the filters
// without a component are offered.
TEST_F(Probes, AbsentComponentsAreSilentAndTheirFiltersNotOffered) {
    modGlobal_ProbeImportComponents();
    EXPECT_FALSE(SciexLibraryPresent || DataExplorerPresent || TS2SorvexPresent || QuellmarkPresent);
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_TRUE(common::modGlobal_GetAllSettings("Sorvex Tavrel", common::PreferencesSection).isEmpty());
    EXPECT_FALSE(QuellmarkSession);
    EXPECT_EQ(offeredImportFilters(), QList<int>({common::FilterNone, common::FilterMassLynx}));
    LcqPath = "/opt/thermo/extract_msn.exe";
    EXPECT_EQ(offeredImportFilters(), QList<int>({common::FilterNone, common::FilterLcq, common::FilterMassLynx}));
}

TEST_F(Probes, SciexLibraryVersions) {
    struct Case {
        QString version;
        int analystKey;  // index into the Analyst keys to create, -1 for none
        bool answer, ownOptions, analyst;
        QString box;
    };
    const Case cases[] = {
        {"1.5", 0, false, false, false,
         "Version of sorvex.dll for importing Sciex wiff files must be 1.6 or later. Current version is 1.5"},
        {"1.10", 0, true, false, true, ""},    // fields compare: 1.10 is later than 1.6
        {"2.0b25", 0, true, true, false, ""},  // own options: Analyst is not looked for
        {"2.0b24", 1, true, false, true, ""},
        {"2.0", 2, true, false, true, ""},
        {"2.0", -1, true, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.toStdString());
        testsupport::TempHome fresh;
        boxes.texts.clear();
        if (c.analystKey >= 0) createKey(common::AnalystRegistryKeys[c.analystKey]);
        const auto library = wiff(c.version);
        const auto own = options("1,2", "a,b");
        EXPECT_EQ(modGlobal_ProbeSciexLibrary(), c.answer);
        EXPECT_EQ(SciexLibraryVersion, c.version);
        EXPECT_EQ(SciexLibraryOwnOptions, c.ownOptions);
        EXPECT_EQ(AnalystInstalled, c.analyst);
        EXPECT_EQ(boxes.texts, c.box.isEmpty() ? QStringList() : QStringList{c.box});
    }
}

TEST_F(Probes, ASciexLibraryThatFailsIsReportedUnlessMerelyMissing) {
    ScopedAutomationComponent broken(automation::WiffFileInfo::kProgId, []() -> platform::AutomationObjectPtr {
        throw platform::Error(-2147418113, "Catastrophic failure");
    });
    EXPECT_FALSE(modGlobal_ProbeSciexLibrary());
    EXPECT_EQ(boxes.texts, QStringList{"Problem accessing sorvex.dll: Catastrophic failure"});
}

TEST_F(Probes, TheLibrarysOwnOptionsFollowItsVersion) {
    const auto library = wiff("2.0b25");
    {
        const auto own = options("10,20", "tol,itol");
        ASSERT_TRUE(modGlobal_ProbeSciexLibrary());  // first run: the library's defaults
        EXPECT_EQ(AnalystOptionValues, "10,20");
        EXPECT_EQ(setting("TaskOptionsAnalystVersion"), "2.0b25");
        EXPECT_EQ(setting("TaskOptionsAnalystValues"), "10,20");
        EXPECT_EQ(setting("TaskOptionsAnalystMerge"), "0");

        store("TaskOptionsAnalystValues", "11,22");  // the user's choice
        store("TaskOptionsAnalystMerge", "1");
        ASSERT_TRUE(modGlobal_ProbeSciexLibrary());
        EXPECT_EQ(AnalystOptionValues, "11,22");
    }
    {
        // An upgrade with the same options keeps the user's values.
        const auto upgraded = wiff("2.1b30");
        const auto own = options("10,20", "tol,itol");
        ASSERT_TRUE(modGlobal_ProbeSciexLibrary());
        EXPECT_EQ(AnalystOptionValues, "11,22");
        EXPECT_EQ(setting("TaskOptionsAnalystValues"), "11,22");
        EXPECT_EQ(setting("TaskOptionsAnalystVersion"), "2.1b30");
    }
    {
        // One whose options changed brings its defaults, once; a stored merge choice stays.
        const auto upgraded = wiff("3.0b40");
        const auto own = options("10,20,30", "tol,itol,charge");
        ASSERT_TRUE(modGlobal_ProbeSciexLibrary());
        EXPECT_EQ(AnalystOptionValues, "10,20,30");
        EXPECT_EQ(AnalystOptionKeys, "tol,itol,charge");
        EXPECT_EQ(setting("TaskOptionsAnalystKeys"), "tol,itol,charge");
        EXPECT_EQ(setting("TaskOptionsAnalystMerge"), "1");
        store("TaskOptionsAnalystValues", "12,24,36");
        ASSERT_TRUE(modGlobal_ProbeSciexLibrary());
        EXPECT_EQ(AnalystOptionValues, "12,24,36");
    }
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(Probes, DataExplorerAndTS2SorvexAnswerWhetherTheyCanBeMade) {
    {
        const auto de = any(automation::DataExplorerApplication::kProgId);
        const auto ts = any(automation::TS2Sorvex::kProgId);
        modGlobal_ProbeImportComponents();
    }
    EXPECT_TRUE(DataExplorerPresent);
    EXPECT_TRUE(TS2SorvexPresent);
    EXPECT_EQ(offeredImportFilters(),
              QList<int>({common::FilterNone, common::FilterMassLynx, common::FilterVoyager, common::FilterTS2Sorvex}));
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TEST_F(Probes, QuellmarkVersionsGateQuantitation) {
    ASSERT_TRUE(testsupport::associateExtension(".rov", "/opt/Brellow/Sorvex Quellmark/SorvexQuellmark"));
    struct Case {
        QVariantList numbers;
        QString version;
        bool quantitation, notice;
    };
    const Case cases[] = {
        {{2, 4, 0, 0}, "2.4.0.0", true, true},
        {{2, 2, 0, 0}, "2.2.0.0", false, false},
        {{2, 3}, "2.3", true, false},
        {{2, 10, 0, 0}, "2.10.0.0", true, true},  // fields compare: 2.10 is later than 2.4
    };
    const auto session = any(automation::QuellmarkAgentMgr::kProgId);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.toStdString());
        const auto library = quellmark(c.numbers);
        QuellmarkQuantitationNotice = false;
        EXPECT_TRUE(modGlobal_ProbeQuellmark());
        EXPECT_EQ(QuellmarkVersion, c.version);
        EXPECT_EQ(QuellmarkQuantitation, c.quantitation);
        EXPECT_EQ(QuellmarkQuantitationNotice, c.notice);
        EXPECT_TRUE(QuellmarkSession);
        EXPECT_EQ(QuellmarkFolder, "/opt/Brellow/Sorvex Quellmark");
    }
    EXPECT_TRUE(boxes.texts.isEmpty());
}

// The client and the service take the same program (common::findQuellmarkProgram):
// the associated one whatever the length of its path, else the one on PATH;
// without either the warning says what to set, and no Windows folder stands in.
TEST_F(Probes, QuellmarkProgramIsTheAssociatedOneElseTheOneOnPath) {
    const auto library = quellmark({2, 4, 0, 0});
    const auto session = any(automation::QuellmarkAgentMgr::kProgId);
    const QString noAssociation = "Warning: No association found between *.rov and Sorvex Quellmark";
    QTemporaryDir tools;
    testsupport::EnvGuard path("PATH", QFile::encodeName(tools.path()) + ":/usr/bin:/bin");

    ASSERT_TRUE(testsupport::associateExtension(".rov", ""));  // no program opens ".rov" files, none on PATH
    EXPECT_TRUE(modGlobal_ProbeQuellmark());
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith(noAssociation + "\r\n\r\nSorvex Quellmark program not found: "));
    EXPECT_TRUE(boxes.texts[0].contains("SOFTWARE\\Tavrel\\FileAssociations")) << qPrintable(boxes.texts[0]);
    EXPECT_EQ(QuellmarkFolder, "");
    EXPECT_EQ(common::quellmarkProgramPath(QuellmarkFolder), "SorvexQuellmark.exe");

    boxes.texts.clear();
    ASSERT_TRUE(testsupport::associateExtension(".rov", "/opt/q/q.exe"));  // short, and believed
    EXPECT_TRUE(modGlobal_ProbeQuellmark());
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_EQ(QuellmarkFolder, "/opt/q");

    ASSERT_TRUE(testsupport::associateExtension(".rov", ""));
    const QString onPath = tools.filePath("SorvexQuellmark.exe");
    testsupport::writeFile(onPath, "#!/bin/sh\n");
    QFile::setPermissions(onPath, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_TRUE(modGlobal_ProbeQuellmark());
    EXPECT_EQ(boxes.texts, QStringList{noAssociation});
    EXPECT_EQ(QuellmarkFolder, tools.path());
}

TEST_F(Probes, QuellmarkWithoutItsSessionOrVersionIsNotPresent) {
    {
        const auto library = quellmark({2, 4});
        EXPECT_FALSE(modGlobal_ProbeQuellmark());  // no agent manager
        EXPECT_FALSE(QuellmarkSession);
    }
    {
        const auto library = quellmark({});
        const auto session = any(automation::QuellmarkAgentMgr::kProgId);
        EXPECT_FALSE(modGlobal_ProbeQuellmark());  // an empty version
    }
    EXPECT_TRUE(boxes.texts.isEmpty());
}
