#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/RegistryApi.h"
#include "platform/testsupport/AutomationFakes.h"
#include "platform/testsupport/TestSupport.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/Probes.h"

using namespace tavrelsvc;
namespace automation = platform::automation;
using platform::ScopedAutomationComponent;

namespace {

struct LogLine {
    QString type, message;
    bool operator==(const LogLine&) const = default;
};

void PrintTo(const LogLine& l, std::ostream* os) {
    *os << l.type.toStdString() << ": " << l.message.toStdString();
}

// A private program folder with the event log open and every probe value as at
// service start; all put back afterwards.
class ProbeHome {
public:
    ProbeHome() {
        resetProbeValues();
        savedFolder_ = ProgramFolder;
        ProgramFolder = home_.path();
        EventLogStream::open(home_.file(kEventLogFileName));
    }
    ~ProbeHome() {
        EventLogStream::close();
        ProgramFolder = savedFolder_;
        resetProbeValues();
    }
    ProbeHome(const ProbeHome&) = delete;
    ProbeHome& operator=(const ProbeHome&) = delete;

    QString file(const QString& name) const { return home_.file(name); }

    // Every line written so far; each must be a line without a task.
    QList<LogLine> log() const {
        QList<LogLine> lines;
        for (const QByteArray& raw : testsupport::readFile(home_.file(kEventLogFileName)).split('\n')) {
            if (raw.trimmed().isEmpty()) continue;
            const QStringList f = splitEventLine(QString::fromLatin1(raw).chopped(raw.endsWith('\r') ? 1 : 0));
            EXPECT_EQ(f.size(), 7);
            EXPECT_EQ(f.mid(3, 3), QStringList({" ", " ", " "}));
            lines.append({f.value(0), f.value(6)});
        }
        return lines;
    }

    void createKey(const QString& path) const {
        platform::RegKeyHandle key;
        ASSERT_EQ(platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, path, 0, platform::KEY_ALL_ACCESS, key.out()),
                  platform::ERROR_SUCCESS);
    }
    // ".rov" files open with this program ("" for none); "dummy.rov" is shipped.
    bool associateRov(const QString& program) const {
        return testsupport::associateWithProgram(home_.path(), ".rov", program);
    }

private:
    testsupport::TempHome home_;
    QString savedFolder_;
};

using testsupport::FakeAgentMgr;
using testsupport::FakeQuellmark;
using testsupport::FakeTS2;
using testsupport::FakeWiff;

using Registration = std::unique_ptr<ScopedAutomationComponent>;

Registration quellmark(std::optional<QVariantList> version) {
    return std::make_unique<ScopedAutomationComponent>(automation::QuellmarkLibrary::kProgId,
                                                       [version] { return std::make_shared<FakeQuellmark>(version); });
}

Registration agentMgr() {
    return std::make_unique<ScopedAutomationComponent>(automation::QuellmarkAgentMgr::kProgId,
                                                       [] { return std::make_shared<FakeAgentMgr>(); });
}

Registration refusing(const char* progId, long number, const QString& text) {
    return std::make_unique<ScopedAutomationComponent>(
        progId, [=]() -> platform::AutomationObjectPtr { throw platform::Error(number, text); });
}

const QString kFound = QStringLiteral("Event");
const QString kWarning = QStringLiteral("Warning");
const QString kError = QStringLiteral("Error");

}  // namespace

TEST(ComponentProbes, EverythingMissingAnswersFalseAndWritesNothing) {
    ProbeHome home;
    EXPECT_FALSE(modGlobal_ProbeSciexLibrary());
    EXPECT_FALSE(modGlobal_ProbeDataExplorer());
    EXPECT_FALSE(modGlobal_ProbeQuellmark());
    EXPECT_FALSE(modGlobal_ProbeTS2Sorvex());
    EXPECT_TRUE(home.log().isEmpty());
    EXPECT_TRUE(SciexLibraryVersion.isEmpty());
    EXPECT_FALSE(SciexOwnOptions || AnalystKeyFound);
    EXPECT_TRUE(QuellmarkLibraryVersion.isEmpty());
    EXPECT_TRUE(QuellmarkFolder.isEmpty());
    EXPECT_FALSE(QuellmarkSession);
    EXPECT_FALSE(QuellmarkCanQuantitate || QuellmarkResultImport || QuellmarkAcceptsLogin || QuellmarkMultiSiteMods);
}

TEST(ComponentProbes, SciexLibraryVersionsAndAnalystKeys) {
    struct Case {
        QString version;
        int analystKey;  // index into kAnalystKeys to create, -1 for none
        bool answer, ownOptions, keyFound;
    };
    const Case cases[] = {
        {"1.6b25", 0, true, true, false},  // own options: the registry is not looked at
        {"1.6b24", -1, true, false, false},  {"1.6b24", 1, true, false, true},  {"1.6", 2, true, false, true},
        {"2.0b25b1", 0, true, false, true},   // three parts: the registry is looked at
        {"1.6b 30 ", -1, true, true, false},  // the build number is trimmed
        {"1.5b30", 0, false, false, false},  {"beta", -1, false, false, false},  // no leading number reads 0
        {"1.10", 0, true, false, true},      // versions compare field by field: 1.10 is later than 1.6
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.toStdString());
        ProbeHome home;
        if (c.analystKey >= 0) home.createKey(kAnalystKeys[c.analystKey]);
        std::weak_ptr<platform::AutomationObject> made;
        ScopedAutomationComponent component(automation::WiffFileInfo::kProgId, [&] {
            auto object = std::make_shared<FakeWiff>(c.version);
            made = object;
            return object;
        });
        EXPECT_EQ(modGlobal_ProbeSciexLibrary(), c.answer);
        EXPECT_EQ(SciexLibraryVersion, c.version);
        EXPECT_EQ(SciexOwnOptions, c.ownOptions);
        EXPECT_EQ(AnalystKeyFound, c.keyFound);
        EXPECT_TRUE(made.expired());  // released after the probe
        QList<LogLine> expected = {{kFound, "Found sorvex.dll version " + c.version}};
        if (!c.answer)
            expected.append({kFound,
                             "Version of sorvex.dll for importing Sciex wiff files must be 1.6 or later. "
                             "Current version is " +
                                 c.version});
        EXPECT_EQ(home.log(), expected);
    }
}

TEST(ComponentProbes, SciexLibraryThatFailsIsReportedUnlessMerelyMissing) {
    ProbeHome home;
    {
        auto broken = refusing(automation::WiffFileInfo::kProgId, -2147418113, "Catastrophic failure");
        EXPECT_FALSE(modGlobal_ProbeSciexLibrary());
    }
    {
        auto missing = refusing(automation::WiffFileInfo::kProgId, 429, "ActiveX component can't create object");
        EXPECT_FALSE(modGlobal_ProbeSciexLibrary());
    }
    EXPECT_EQ(home.log(), QList<LogLine>({{kError, "Problem accessing sorvex.dll: Catastrophic failure"}}));
}

TEST(ComponentProbes, DataExplorerAndTS2SorvexAnswerWhetherTheyCanBeMade) {
    ProbeHome home;
    {
        ScopedAutomationComponent de(automation::DataExplorerApplication::kProgId,
                                     [] { return std::make_shared<FakeAgentMgr>(); });  // any object will do
        ScopedAutomationComponent ts(automation::TS2Sorvex::kProgId, [] { return std::make_shared<FakeTS2>(); });
        EXPECT_TRUE(modGlobal_ProbeDataExplorer());
        EXPECT_TRUE(modGlobal_ProbeTS2Sorvex());
    }
    {
        auto de = refusing(automation::DataExplorerApplication::kProgId, 70, "Permission denied");
        auto ts = refusing(automation::TS2Sorvex::kProgId, 70, "Permission denied");
        EXPECT_FALSE(modGlobal_ProbeDataExplorer());
        EXPECT_FALSE(modGlobal_ProbeTS2Sorvex());
    }
    EXPECT_EQ(home.log(), QList<LogLine>({{kFound, "Found DataExplorer"}, {kFound, "Found TS2Sorvex version 1.2.0"}}));
}

TEST(ComponentProbes, QuellmarkBefore23FindsTheFolderWithoutAskingTheProgram) {
    ProbeHome home;
    const QString program = QStringLiteral("/opt/Brellow/Sorvex Quellmark/SorvexQuellmark.exe");
    ASSERT_TRUE(home.associateRov(program));
    auto library = quellmark(QVariantList{2, 2, 0, 5});
    auto session = agentMgr();
    EXPECT_TRUE(modGlobal_ProbeQuellmark());
    EXPECT_EQ(QuellmarkLibraryVersion, QStringLiteral("2.2.0.5"));
    EXPECT_EQ(QuellmarkFolder, QStringLiteral("/opt/Brellow/Sorvex Quellmark"));
    EXPECT_TRUE(QuellmarkSession);
    EXPECT_TRUE(QuellmarkCanQuantitate && QuellmarkResultImport && QuellmarkAcceptsLogin && QuellmarkMultiSiteMods);
    EXPECT_EQ(home.log(), QList<LogLine>({{kFound, "Found Sorvex Quellmark library (QELD) version 2.2.0.5"}}));
}

TEST(ComponentProbes, QuellmarkProgramIsAskedForItsVersion) {
    ProbeHome home;
    // A folder with a blank in it: the program and its argument go apart, never through a shell.
    const QString folder = home.file("Sorvex Quellmark");
    const QString program = folder + "/SorvexQuellmark.exe";
    testsupport::writeFile(program, "#!/bin/sh\n[ \"$#\" = 1 ] && [ \"$1\" = /version ] && printf '3.1.0.7\\r\\n'\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(home.associateRov(program));
    auto library = quellmark(QVariantList{3, 1, 0, 0});
    auto session = agentMgr();

    EXPECT_TRUE(modGlobal_ProbeQuellmark());
    EXPECT_EQ(QuellmarkFolder, folder);
    const QList<LogLine> log = home.log();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0], (LogLine{kFound, "Found Sorvex Quellmark library (QELD) version 3.1.0.0"}));
    EXPECT_EQ(log[1], (LogLine{kFound, "Found Sorvex Quellmark Workstation version 3.1.0.7"}));
}

// The program the client believes is the service's too, whatever the length
// of its path; with none found the probe says once what to set, and no
// Windows folder is tried at every start.
TEST(ComponentProbes, QuellmarkProgramIsTheAssociatedOneWhateverItsLength) {
    const QString twenty = QStringLiteral("/opt/qm/SorvexQM.exe");
    ASSERT_EQ(twenty.size(), 20);
    testsupport::EnvGuard path("PATH", QByteArray("/usr/bin:/bin"));
    struct Case {
        QString associated, folder, warning;
    };
    const Case cases[] = {
        {"", "", "Sorvex Quellmark program not found: no program opens \".rov\" files and SorvexQuellmark.exe is not on "
                 "the PATH"},
        {twenty, "/opt/qm", "Cannot read the version of Sorvex Quellmark Workstation from /opt/qm"},
        {"/q/q.exe", "/q", "Cannot read the version of Sorvex Quellmark Workstation from /q"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.associated.toStdString());
        ProbeHome home;
        ASSERT_TRUE(home.associateRov(c.associated));
        auto library = quellmark(QVariantList{2, 3});
        auto session = agentMgr();
        EXPECT_TRUE(modGlobal_ProbeQuellmark());  // the program is not needed for the product to count
        EXPECT_EQ(QuellmarkFolder, c.folder);
        const QList<LogLine> log = home.log();
        ASSERT_EQ(log.size(), 2);
        EXPECT_EQ(log[1].type, kWarning);
        EXPECT_TRUE(log[1].message.startsWith(c.warning)) << qPrintable(log[1].message);
        EXPECT_FALSE(log[1].message.contains("C:\\Program Files"));
    }
}

// The service's account owns the program folder it shares with a lab's
// members, and it runs the commands they put in their tasks anyway: the
// hive's ".rov" program counts for it also where other accounts may write
// (for a user's client it does not, see FindAssociatedProgram).
TEST(ComponentProbes, TheServiceTakesTheHivesQuellmarkProgramAlsoInAFolderOthersMayWrite) {
    testsupport::EnvGuard path("PATH", QByteArray("/usr/bin:/bin"));
    ProbeHome home;
    home.associateRov(QStringLiteral("/opt/qm/SorvexQuellmark.exe"));
    ASSERT_TRUE(QFile::setPermissions(QFileInfo(home.file("x")).absolutePath(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                          QFileDevice::WriteOther | QFileDevice::ExeOther));
    QString userProgram;
    EXPECT_EQ(platform::FindAssociatedProgram(".rov", &userProgram), platform::SE_ERR_NOASSOC);
    auto library = quellmark(QVariantList{2, 3});
    auto session = agentMgr();
    EXPECT_TRUE(modGlobal_ProbeQuellmark());
    EXPECT_EQ(QuellmarkFolder, QStringLiteral("/opt/qm"));
}

TEST(ComponentProbes, QuellmarkFailuresAnswerFalseWithTheirMessages) {
    struct Case {
        const char* what;
        std::function<std::vector<Registration>()> setup;
        QList<LogLine> log;
        bool sessionKept;
    };
    auto holder = [](auto... components) {
        std::vector<Registration> v;
        (v.push_back(std::move(components)), ...);
        return v;
    };
    const Case cases[] = {
        {"empty version",
         [&] { return holder(quellmark(QVariantList{}), agentMgr()); },
         {{kWarning, "Found unsupported version of Sorvex Quellmark"}},
         false},
        {"unreadable version",
         [&] { return holder(quellmark(std::nullopt), agentMgr()); },
         {{kWarning, "Found unsupported version of Sorvex Quellmark"}},
         false},
        {"library refuses",
         [&] {
             return holder(
                 refusing(automation::QuellmarkLibrary::kProgId, -2147221230, "Class is not licensed for use"));
         },
         {{kError, "Cannot initialise Sorvex Quellmark: -2147221230 Class is not licensed for use"}},
         false},
        {"no agent manager",
         [&] {
             return holder(quellmark(QVariantList{2, 4, 0, 0}));
         },
         {{kFound, "Found Sorvex Quellmark library (QELD) version 2.4.0.0"},
          {kWarning, "Cannot initialise Sorvex Quellmark Agent Manager: 429 ActiveX component can't create object"}},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeHome home;
        const auto components = c.setup();
        EXPECT_FALSE(modGlobal_ProbeQuellmark());
        EXPECT_EQ(home.log(), c.log);
        EXPECT_FALSE(QuellmarkSession);
        EXPECT_FALSE(QuellmarkCanQuantitate || QuellmarkResultImport || QuellmarkAcceptsLogin ||
                     QuellmarkMultiSiteMods);
    }
}
