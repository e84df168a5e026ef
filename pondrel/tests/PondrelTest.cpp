// Pondrel: its arguments and exit codes, the version and search checks, the
// setters each option field reaches, and the real program's exit code as the
// service reads it (a failure never reads as success).
#include "filteropts/OptionLayouts.h"
#include "platform/AutomationPlugins.h"
#include "platform/Process.h"
#include "platform/testsupport/TestSupport.h"
#include "pondrel/PondrelStartUp.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using pondrel::Form_Load;

const QString kOptions = filteropts::builtInOptions(filteropts::kAnalyst);

class PondrelTest : public ::testing::Test {
protected:
    void SetUp() override { standins::clearRecordedCalls(); }
    QString wiff(const QByteArray& body) {
        testsupport::writeFile(home.file("run.wiff"), "# Tavrel stand-in WIFF file\n" + body);
        return home.file("run.wiff");
    }
    QStringList args(const QString& sample, const QString& options, const QString& libraryOptions = "False",
                     const QString& search = "MIS", const QString& newer = "False") {
        return {sample, home.file("run.wiff"), output(), options, newer, libraryOptions, "key1,key2", search};
    }
    QString output() const { return home.file("out.qpl"); }

    testsupport::TempHome home;
    standins::ScopedStandins standins;
};

const QByteArray kTwoMsms = "sample A\nmsms 1\nresult BEGIN IONS\nresult TITLE=a\nresult END IONS\n"
                            "sample B\nmsms 1\nresult BEGIN IONS\nresult TITLE=b\nresult END IONS\n";
const QByteArray kTwoMs = "sample A\nmsms 0\nresult 1001.5 20\nsample B\nmsms 0\nresult 1202.5 30\n";

TEST_F(PondrelTest, ExitCodesOfItsChecks) {
    struct Case {
        const char* version;
        const QByteArray* file;
        QStringList arguments;
        int exitCode;
    };
    const QString own = QStringLiteral("1.6b30:a=1;b=2");
    const Case cases[] = {
        {"1.6b20", &kTwoMsms, args("-1", kOptions), 0},
        {"1.6b20", &kTwoMsms, args("-1", kOptions).mid(0, 7), 9},            // seven arguments
        {"1.6b20", &kTwoMsms, args("one", kOptions), 13},
        {"1.6b20", &kTwoMsms, args("1", kOptions, "perhaps"), 13},
        {"1.6b20", &kTwoMsms, args("1", kOptions, "False", "PMF"), 9002},    // MS/MS data, PMF search
        {"1.6b20", &kTwoMsms, args("1", kOptions, "False", "pmf"), 0},       // the same letters in lower case
        {"1.6b10", &kTwoMs, args("1", kOptions, "False", "PMF"), 0},
        {"1.6b9", &kTwoMs, args("1", kOptions, "False", "PMF"), 9002},
        {"1.6", &kTwoMs, args("1", kOptions, "False", "PMF"), 9002},
        {"1.7", &kTwoMs, args("1", kOptions, "False", "PMF"), 0},
        {"1.6b30", &kTwoMsms, args("1", own, "True"), 0},
        {"1.6b31", &kTwoMsms, args("1", own, "True"), 9002},                 // options of another version
        {"1.6b30", &kTwoMsms, args("1", "1.6b30", "True"), 9002},            // no values
        {"1.6b30", &kTwoMsms, args("1", "", "True"), 9},
        {"1.6b20", &kTwoMsms, args("1", "1,1,0,0,x,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,1,0,0"), 0},  // a number reads as 0
        {"1.6b20", &kTwoMsms, args("1", "1,1,0,0,50,0.1,x,50,10000,1,10,1,1,50,2,0.1,1,1,0,0"), 13},
        {"1.6b20", &kTwoMsms, args("1", "1,1,0,0,50,0.1,40000,50,10000,1,10,1,1,50,2,0.1,1,1,0,0"), 6},
    };
    for (const Case& c : cases) {
        testsupport::EnvGuard version(standins::kWiffVersionVariable, QByteArray(c.version));
        wiff(*c.file);
        QFile::remove(output());
        EXPECT_EQ(Form_Load(c.arguments, 0), c.exitCode) << c.version << " " << qPrintable(c.arguments.join(' '));
        if (c.exitCode != 0) {
            EXPECT_FALSE(QFileInfo::exists(output())) << "a refusal leaves no output file";
        }
    }
}

TEST_F(PondrelTest, SecurityAndTheDebugSwitch) {
    EXPECT_EQ(Form_Load(args("1", kOptions), -2147417831), pondrel::kExitSecurityFailed);
    // "-debug" in any letter case goes on without security and converts its test file.
    const QStringList debug = pondrel::debugArguments(QStringLiteral("/opt/tavrel"));
    EXPECT_EQ(debug, (QStringList{"-1", "/opt/tavrel/Pondrel_test.wiff", "/opt/tavrel/~opt~tavrel~Pondrel_test.wiff.-1.qpl",
                                  kOptions, "False", "False", "", "MIS"}));
    EXPECT_NE(Form_Load({"-DeBuG"}, -2147417831), pondrel::kExitSecurityFailed);
    EXPECT_EQ(pondrel::modGlobal_SplitCommandLine({"a", "b", "c"}, 2), (QStringList{"", "a", "b"}));
}

TEST_F(PondrelTest, ANineteenFieldStringStopsAtItsMissingFieldBeforeAnyOutput) {
    wiff(kTwoMsms);
    const QString nineteen = kOptions.section(',', 0, 18);
    EXPECT_EQ(Form_Load(args("1", nineteen), 0), 9);
    EXPECT_FALSE(QFileInfo::exists(output()));
    const QStringList setters = standins::recordedCallTexts("ProcessingParameters.");
    ASSERT_EQ(setters.size(), 19) << qPrintable(setters.join("\n"));  // SetInfoFromRegistry and fields 0-16, 18
    EXPECT_EQ(setters.last(), "setDiscardHighCharges 0") << "field 18 is set, field 19 is missing";
}

TEST_F(PondrelTest, TheNewerAnalystFlagSkipsFourFieldsAndChoosesTheLastSetter) {
    wiff(kTwoMsms);
    ASSERT_EQ(Form_Load(args("1", kOptions, "False", "MIS", "True"), 0), 0);
    const QStringList setters = standins::recordedCallTexts("ProcessingParameters.");
    for (const char* skipped : {"setDDESurveyHtPerc", "setDDESurveyMergeDist", "setMSMSCentroidHtPerc",
                                "setMSMSCentroidMergeDist", "setMSMSSmoothCentroid"})
        EXPECT_TRUE(setters.filter(skipped).isEmpty()) << skipped;
    EXPECT_TRUE(setters.contains("setMSMSDeisotope False"));
    EXPECT_EQ(setters.size(), 16);  // SetInfoFromRegistry and 15 setters
}

TEST_F(PondrelTest, EverySampleOfMsDataIsExportedInTurnMsmsDataAtOnce) {
    testsupport::EnvGuard version(standins::kWiffVersionVariable, QByteArray("1.7"));
    wiff(kTwoMs);
    ASSERT_EQ(Form_Load(args("-1", kOptions, "False", "PMF"), 0), 0);
    EXPECT_EQ(testsupport::readFile(output()), QByteArray("1001.5 20\r\n1202.5 30\r\n"));
    EXPECT_EQ(standins::recordedCallTexts("MExportMSToSorvex.").size(), 2);

    wiff(kTwoMsms);
    ASSERT_EQ(Form_Load(args("-1", kOptions), 0), 0);
    EXPECT_EQ(standins::recordedCallTexts("MExportMSMSToSorvex."), QStringList{"DoExport " + home.file("run.wiff") + " -1 Nothing -1"});
    EXPECT_EQ(testsupport::readFile(output()).count("BEGIN IONS"), 2);

    ASSERT_EQ(Form_Load(args("1.6b30", "1.6b30:a=1:b=2", "True"), 0), 13) << "a sample number must be a number";
    testsupport::EnvGuard own(standins::kWiffVersionVariable, QByteArray("1.6b30"));
    ASSERT_EQ(Form_Load(args("2", "1.6b30:a=1:b=2", "True"), 0), 0);
    EXPECT_EQ(standins::recordedCallTexts("Options4Tavrel."), QStringList{"Set_Params_Strings a=1:b=2 key1,key2"})
        << "the values whole, colons and all";
}

// The real program, started as the service starts it.
class PondrelProgram : public PondrelTest {
protected:
    int run(const QStringList& arguments, bool withPlugin = true) {
        const QString program = testsupport::binPath("Pondrel");
        const QString plugin = testsupport::binPath("standins/libtavrel-standins.so");
        if (!QFileInfo::exists(program) || !QFileInfo::exists(plugin)) return -100;
        testsupport::EnvGuard plugins(platform::kAutomationPluginsVariable,
                                      withPlugin ? std::optional<QByteArray>(plugin.toUtf8()) : std::nullopt);
        platform::Process process;
        process.start(program, arguments);
        process.waitForFinished(30000);
        return process.exitCode();
    }
};

TEST_F(PondrelProgram, ItsExitCodeReachesTheServiceWhole) {
    if (run({}) == -100) GTEST_SKIP() << "Pondrel or the stand-in plug-in is not built";
    wiff(kTwoMsms);
    EXPECT_EQ(run(args("1", kOptions)), 0);
    EXPECT_TRUE(testsupport::readFile(output()).startsWith("BEGIN IONS\r\nTITLE=a\r\n"));
    EXPECT_EQ(run(args("1", kOptions, "False", "PMF")), 9002);
    EXPECT_EQ(run(args("1", kOptions).mid(0, 5)), 9);
    wiff("sample A\nmsms 1\nfail 512 The scan table is damaged\n");
    const int libraryError = run(args("1", kOptions));
    EXPECT_NE(libraryError, 0) << "error 512 must not become exit status 0";
    wiff(kTwoMsms);
    EXPECT_NE(run(args("1", kOptions), false), 0) << "no library: it cannot be created";
}

}  // namespace
