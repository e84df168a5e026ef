// The Quellmark filter's parts that need no job, with the stand-in library:
// the option fields as the service reads them, the output settings per
// library and server version, the scan range, the project's search statuses
// and the Quellmark program's command line and error file.
#include "ConvertTestHelpers.h"

#include "convert/ImportQuellmarkOptions.h"
#include "convert/ImportQuellmarkProject.h"
#include "convert/ImportQuellmarkQuant.h"
#include "convert/ImportQuellmarkScans.h"
#include "filteropts/tests/QStringPrinter.h"
#include "tools/standins/QuellmarkFiles.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

using namespace tavrelsvc;
using namespace platform::automation;

TEST(QuellmarkOptions, FieldsAndTheirDefaults) {
    struct Case {
        const char* text;
        bool replaced;
        const char* format;  // as the library is given it
        bool folders;
        bool project;
        const char* quantitation;
        bool snRatio;
        const char* extension;
    } cases[] = {
        {"", true, "0", false, false, "-1", false, "qpl"},
        {",9,1,0", true, "0", false, false, "-1", false, "qpl"},  // too short: the service's default, no project
        {",9,0,0,,,1,0,0,0,1", false, "9", true, true, "-1", false, "qpl"},
        {",13,0,0,,,1,0,0,1,0,0", false, "13", true, false, "0", false, "txt"},
        {",7,0,0,,,1,0,0,2,1,3-8,False", false, "7", false, true, "3-8", true, "mzData"},
        {",2,0,0,,,1,0,0,0,1,,False", false, "2", true, true, "", true, "qpl"},
        {",0,0,0,,,1,0,0,0,0,-1,True", false, "0", false, false, "-1", false, "qpl"},
        {",x,0,0,,,1,0,0,9,x", false, "0", false, false, "-1", false, "qpl"},  // bad values read as their defaults
    };
    for (const Case& c : cases) {
        const QuellmarkOptions o = readQuellmarkOptions(QString::fromLatin1(c.text));
        EXPECT_EQ(o.replaced, c.replaced) << c.text;
        EXPECT_EQ(o.dataFormat(), QString::fromLatin1(c.format)) << c.text;
        EXPECT_EQ(quellmarkFormatIsFolder(o.dataFormatCode()), c.folders) << c.text;
        EXPECT_EQ(o.saveProject(), c.project) << c.text;
        EXPECT_EQ(o.quantitation(), QString::fromLatin1(c.quantitation)) << c.text;
        EXPECT_EQ(o.snRatioAsIntensity(), c.snRatio) << c.text;
        EXPECT_EQ(quellmarkPeakListExtension(o), QString::fromLatin1(c.extension)) << c.text;
    }
    EXPECT_THROW(readQuellmarkOptions(",0,maybe,0,,,1,0,0,0,0").mergeSamples(), platform::Error);
    EXPECT_TRUE(readQuellmarkOptions(",0,True,0,,,1,0,0,0,0").mergeSamples());
}

TEST(QuellmarkOptions, TheServerVersionFollowsVersionAndItsSeparator) {
    struct Case {
        const char* reply;
        const char* version;
    } cases[] = {
        {"Version 2.3.1\r\n", "2.3.1"},
        {"Sorvex Server Version:2.1.2 (Linux)\nmore\n", "2.1.2 (Linux)"},
        {"2.3.1\n", ""},  // no "Version": no version, rather than a cut-off text
        {"Vers", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(quellmarkServerVersion(c.reply), QString::fromLatin1(c.version)) << c.reply;
}

class QuellmarkLibrary : public ::testing::Test {
protected:
    void SetUp() override { standins::clearRecordedCalls(); }
    QStringList formatSettings(const QString& options, const QString& lib, const QString& server) {
        standins::clearRecordedCalls();
        auto format = create<QuellmarkPeakListFormatOptions>();
        applyQuellmarkFormatOptions(*format, readQuellmarkOptions(options), lib, server);
        return standins::recordedCallTexts(QStringLiteral("QELD.PeakListFormatOptions."));
    }
    // The stand-in's first sample of a data fixture, open.
    QuellmarkScansPtr scansOf(const QByteArray& scanLines) {
        const QString path = home.put("data/run.qmd", "# Tavrel stand-in Quellmark data\nsample A\n" + scanLines);
        sources = create<QuellmarkDataSourceCollection>();
        sources->setSession(create<QuellmarkAgentMgr>());
        sources->Open(QStringLiteral("0"), path, 1, nullptr);
        return sources->Scans();
    }

    converttest::LoggedHome home;
    standins::ScopedStandins standins;
    QuellmarkSourcesPtr sources;
};

TEST_F(QuellmarkLibrary, OutputSettingsInTheLibrarysOrder) {
    const QStringList common = {"Format 0", "ProcessingOptionsHeader True", "TitleTimeUnits 4",
                                "TitleIncludeScanLabel True", "TitleIncludeDataSourceName True"};
    // An old library: no mass types, charges taken apart by DechargeFragmentIons.
    EXPECT_EQ(formatSettings(",0,0,0,,,0,0,1,1,0", "1.9", ""),
              common + QStringList({"DechargeFragmentIons False", "TitleTimeUnits 3", "Format 1",
                                    "DechargeFragmentIons True"}));
    // Library 2.0 with a server after 2.1.1.
    EXPECT_EQ(formatSettings(",0,0,0,,,1,2,1,2,0", "2.0.1", "2.1.2"),
              common + QStringList({"TitlePrefixPeakListNumber True", "PeptideIonsMassType 0",
                                    "FragmentIonsMassType 0", "SeparateMultiPrecursorCharges False",
                                    "AddQPLScansParameter True", "Format 3", "PeptideIonsMassType \"2\"",
                                    "FragmentIonsMassType \"1\""}));
    // Library 2.2: the raw-scan and user parameters, and S/N as intensity.
    const QStringList lib22 = formatSettings(",0,0,0,,,1,0,0,0,0,0,False", "2.2", "2.3.5");
    EXPECT_EQ(lib22.mid(5, 3), (QStringList{"TitlePrefixPeakListNumber True", "PeptideIonsMassType 0",
                                            "FragmentIonsMassType 0"}));
    EXPECT_EQ(lib22.mid(12), (QStringList{"AddQPLRawScansParameter False", "AddQPLRawScansParameter True",
                                          "QPLUserParams True", "QPLSeparateRawFileParams True",
                                          "UseSNRatioAsIntensity False", "UseSNRatioAsIntensity True"}));

    struct ServerCase {
        const char* server;
        bool after211;
        bool rawScans;             // AddQPLRawScansParameter ends True
        const char* separateRaw;   // QPLSeparateRawFileParams, "" when not set
    } servers[] = {
        {"", false, false, ""},        {"2.1.1", false, false, "False"}, {"2.1.2", true, false, "False"},
        {"2.2", true, false, ""},      {"2.3", true, true, ""},          {"2.3.1", true, true, "False"},
        {"2.3.2", true, true, "True"}, {"2.10.0", true, true, "True"},   // field by field, not as a decimal
    };
    for (const ServerCase& c : servers) {
        const QStringList s = formatSettings(",0,0,0,,,1,0,0,0,0", "2.3.0.1", QString::fromLatin1(c.server));
        EXPECT_TRUE(s.contains(QStringLiteral("AddQPLScansParameter ") + (c.after211 ? "True" : "False"))) << c.server;
        EXPECT_EQ(s.contains("AddQPLRawScansParameter True"), c.rawScans) << c.server;
        const QStringList separate = s.filter(QRegularExpression("^QPLSeparateRawFileParams "));
        EXPECT_EQ(separate.value(0).section(' ', 1), QString::fromLatin1(c.separateRaw)) << c.server;
    }
}

TEST_F(QuellmarkLibrary, ScanRangeByTimeOrScanNumber) {
    // Scans 11 to 15 at 60, 120, ... 300 seconds.
    const QByteArray scans = "scan 11 60 500 2\nscan 12 120 500 2\nscan 13 180 500 2\nscan 14 240 500 2\nscan 15 300 500 2\n";
    struct Case {
        const char* options;  // fields 4, 5 and 6 decide
        qint32 first, last;
        bool valid;
    } cases[] = {
        {",0,0,0,,,1,0,0,0,0", 11, 15, true},
        {",0,0,0,2,4,1,0,0,0,0", 11, 14, true},     // minutes: from the scan before 2 min
        {",0,0,0,150,250,0,0,0,0,0", 12, 14, true}, // seconds
        {",0,0,0,3,,1,0,0,0,0", 12, 15, true},      // open end
        {",0,0,0,,3,1,0,0,0,0", 11, 13, true},      // open start
        {",0,0,0,9,12,1,0,0,0,0", 15, 15, true},    // starts after the last scan: a one-scan subset
        {",0,0,0,12,14,2,0,0,0,0", 12, 14, true},   // scan numbers
        {",0,0,0,12.5,13.5,2,0,0,0,0", 12, 14, true},  // rounded half to even
        {",0,0,0,5,2,2,0,0,0,0", 5, 2, false},
        {",0,0,0,12,16,2,0,0,0,0", 12, 16, false},
        {",0,0,0,,13,2,0,0,0,0", 11, 13, true},
    };
    for (const Case& c : cases) {
        const QuellmarkScansPtr all = scansOf(scans);
        auto format = create<QuellmarkPeakListFormatOptions>();
        const QuellmarkOptions options = readQuellmarkOptions(QString::fromLatin1(c.options));
        applyQuellmarkFormatOptions(*format, options, QStringLiteral("2.3"), QString());
        const QuellmarkScanRange range = quellmarkScanRange(*all, options, *format);
        EXPECT_EQ(range.first, c.first) << c.options;
        EXPECT_EQ(range.last, c.last) << c.options;
        EXPECT_EQ(range.valid, c.valid) << c.options;
    }
}

class QuellmarkProjectStatus : public QuellmarkLibrary {
protected:
    // A project made as the conversion makes it, from a processed sample.
    QString project() {
        const QString path = home.file("cache/run.1.rov");
        QDir().mkpath(home.file("cache"));
        const QuellmarkScansPtr scans = scansOf("scan 1 60 500 2 100:5\n");
        auto engine = create<platform::automation::QuellmarkLibrary>();
        auto options = create<QuellmarkProcessingOptions>();
        options->LoadFromFile(home.put("run.opt", "settings"));
        engine->setProcessingOptions(options);
        const QuellmarkProcessingPtr processing = engine->CreatePeakLists(scans);
        EXPECT_TRUE(createQuellmarkProject(path, session, sources, *processing, job));
        return path;
    }
    bool update(const QString& path, const QuellmarkSearchStatusRecord& record) {
        return updateQuellmarkProjectStatus(path, record, session, job);
    }
    QList<QVariantMap> statuses(const QString& path) { return standins::readQuellmarkProject(path).value().statuses(); }

    QuellmarkSessionPtr session = create<QuellmarkAgentMgr>();
    PeakListJobContext job;
};

TEST_F(QuellmarkProjectStatus, AStatusReplacesItsTasksEntryAndKeepsWhatIsNotSet) {
    const QString path = project();
    const auto file = standins::readQuellmarkProject(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->controller, 1) << "the project is the service's";
    EXPECT_EQ(file->kind, 4);
    EXPECT_EQ(file->streams.value(1), "processing A: 1 peak lists");
    EXPECT_EQ(file->streams.value(0), "options run.opt");
    EXPECT_TRUE(home.log().contains("Created Sorvex Quellmark project file " + path.toUtf8()));

    QuellmarkSearchStatusRecord submitted;
    submitted.taskId = "T1";
    submitted.title = "Run A";
    submitted.server = "http://127.0.0.1/sorvex/";
    submitted.statusMessage = "Search submitted";
    submitted.submittedAt = "2024-03-01T09:00:00+01:00";
    ASSERT_TRUE(update(path, submitted));
    QuellmarkSearchStatusRecord other;
    other.taskId = "T2";
    other.statusMessage = "Search submitted";
    ASSERT_TRUE(update(path, other));
    QuellmarkSearchStatusRecord done;
    done.taskId = "T1";
    done.statusMessage = "Search complete";
    done.errorCode = 0;
    done.resultsFile = "../data/F1.dat";
    ASSERT_TRUE(update(path, done));

    const QList<QVariantMap> entries = statuses(path);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].value("TaskId"), "T2");
    const QVariantMap t1 = entries[1];
    EXPECT_EQ(t1.value("StatusMsg"), "Search complete");
    EXPECT_EQ(t1.value("Title"), "Run A") << "a field the record leaves out keeps its value";
    EXPECT_EQ(t1.value("SubmittedAt"), "2024-03-01T09:00:00+01:00");
    EXPECT_EQ(t1.value("ResultsFile"), "../data/F1.dat");
    EXPECT_EQ(t1.value("ErrorCode").toInt(), 0);
    EXPECT_FALSE(entries[0].contains("Title")) << "only the fields set are written";
}

TEST_F(QuellmarkProjectStatus, RefusalsLeaveTheProjectAlone) {
    QuellmarkSearchStatusRecord record;
    record.taskId = "T1";
    record.statusMessage = "Search submitted";
    EXPECT_FALSE(update(home.file("none.rov"), record));
    EXPECT_TRUE(home.log().contains("Sorvex Quellmark project file not found: " + home.file("none.rov").toUtf8()));

    const QString foreign = home.put("foreign.rov", "not a project");
    EXPECT_FALSE(update(foreign, record));
    EXPECT_TRUE(home.log().contains("when trying to open Sorvex Quellmark project file " + foreign.toUtf8()));

    const QString path = project();
    auto file = standins::readQuellmarkProject(path).value();
    file.controller = 2;
    ASSERT_TRUE(standins::writeQuellmarkProject(path, file));
    const QByteArray before = testsupport::readFile(path);
    EXPECT_FALSE(update(path, record));
    EXPECT_TRUE(home.log().contains("Sorvex Tavrel is not the owner of Sorvex Quellmark project file " + path.toUtf8()));
    EXPECT_EQ(testsupport::readFile(path), before);

    // A project whose status stream cannot be read starts a new list.
    file.controller = 1;
    file.streams.insert(2, "garbage");
    ASSERT_TRUE(standins::writeQuellmarkProject(path, file));
    EXPECT_TRUE(update(path, record));
    EXPECT_EQ(statuses(path).size(), 1);

    // An existing project is never made again.
    const QByteArray kept = testsupport::readFile(path);
    project();
    EXPECT_EQ(testsupport::readFile(path), kept);
}

TEST(QuellmarkQuantitation, TheProgramsArgumentsCarryNoPassword) {
    struct Case {
        const char* quantitation;
        const char* method;
        const char* user;
        const char* password;
        bool acceptsLogin;
        const char* arguments;  // after the project path, joined by "|"
        const char* passwordOut;
    } cases[] = {
        {"0", "iTRAQ", "", "", true, "-batch|-task_id|T9|-e|/p/r.rov.err|-loglevel|7", ""},
        {"3-8", "", "", "", true, "-batch|-task_id|T9|-e|/p/r.rov.err|-loglevel|7", ""},
        {"3-8", "None", "", "", true, "-batch|-task_id|T9|-e|/p/r.rov.err|-loglevel|7", ""},
        {"-1", "iTRAQ", "", "", true, "-batch|-quantitate||-task_id|T9|-e|/p/r.rov.err|-loglevel|7", ""},
        {"3-8", "iTRAQ", "ann", "s3cret", true,
         "-batch|-quantitate|3-8|-task_id|T9|-e|/p/r.rov.err|-loglevel|7|-username|ann", "s3cret"},
        {"0", "", "ann", "", true, "-batch|-task_id|T9|-e|/p/r.rov.err|-loglevel|7|-username|ann", ""},
        {"0", "", "", "s3cret", true, "-batch|-task_id|T9|-e|/p/r.rov.err|-loglevel|7", ""},
        {"0", "", "ann", "s3cret", false, "-batch|-task_id|T9|-e|/p/r.rov.err|-loglevel|7", ""},
    };
    for (const Case& c : cases) {
        QuellmarkQuantRequest r;
        r.program = "/q/SorvexQuellmark.exe";
        r.projectPath = "/p/r.rov";
        r.taskId = "T9";
        r.quantitation = c.quantitation;
        r.quantitationMethod = c.method;
        r.userName = c.user;
        r.password = c.password;
        r.acceptsLogin = c.acceptsLogin;
        const QuellmarkQuantCommand command = quellmarkQuantCommand(r);
        EXPECT_EQ(command.arguments.value(0), "/p/r.rov");
        EXPECT_EQ(command.arguments.mid(1).join('|'), QString::fromLatin1(c.arguments)) << c.quantitation << c.method;
        EXPECT_EQ(command.password, QString::fromLatin1(c.passwordOut));
        EXPECT_EQ(command.importOnly, !QString::fromLatin1(c.arguments).contains("-quantitate"));
        EXPECT_FALSE(command.text().contains("s3cret"));
    }
}

TEST(QuellmarkQuantitation, TheErrorFileIsReadAsUtf16) {
    converttest::LoggedHome home;
    const auto utf16 = [](const QString& text, QStringConverter::Encoding encoding, bool bom) {
        QStringEncoder encode(encoding, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return QByteArray(encode(text));
    };
    struct Case {
        QByteArray bytes;
        const char* line;
    } cases[] = {
        {utf16("Project locked\r\nnext", QStringConverter::Utf16LE, true), "Project locked"},
        {utf16("Fehler: \u00fcberlastet\n", QStringConverter::Utf16BE, true), "Fehler: \xfc" "berlastet"},
        {utf16("No BOM", QStringConverter::Utf16LE, false), "No BOM"},
        {QByteArray(), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(firstUtf16Line(home.put("r.err", c.bytes)), QString::fromLatin1(c.line));
    EXPECT_EQ(firstUtf16Line(home.file("missing.err")), "");
}

}  // namespace
