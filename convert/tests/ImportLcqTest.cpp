// The Thermo RAW filter with the stand-in extractor: its command line per
// option field, the .dta files in name order, its own working folder.
#include "ConvertTestHelpers.h"

#include "convert/ImportLcq.h"
#include "filteropts/OptionLayouts.h"
#include "service/Globals.h"
#include "tools/standins/StandinLog.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using namespace tavrelsvc;

QStringList fieldsWith(std::initializer_list<std::pair<int, const char*>> set) {
    QStringList fields(15);
    for (const auto& [i, text] : set) fields[i] = QString::fromUtf8(text);
    return fields;
}

TEST(ExtractMsnArguments, OneArgumentPerFlagThenTheRawFile) {
    using namespace filteropts::lcq;
    struct Case {
        QStringList fields;
        QStringList flags;  // before the RAW file's name
    } cases[] = {
        {fieldsWith({}), {}},
        {filteropts::builtInOptions(filteropts::kLcq).split(','), {"-B300", "-T4000", "-M1.4", "-S1", "-G1"}},
        {fieldsWith({{FirstScan, "5"}, {LastScan, "90"}}), {"-F5", "-L90"}},
        {fieldsWith({{Charge, "0"}}), {}},
        {fieldsWith({{Charge, "2"}}), {"-C2"}},
        {fieldsWith({{CalcCharge, "1"}}), {"-K"}},
        {fieldsWith({{CalcCharge, "1.0"}}), {"-K"}},
        {fieldsWith({{CalcCharge, "2"}}), {}},
        {fieldsWith({{MinPeaks, "0"}}), {}},
        {fieldsWith({{MinPeaks, "12"}}), {"-I12"}},
        {fieldsWith({{Template, "/data/charge templates/a b.tpl"}}), {"-U/data/charge templates/a b.tpl"}},
        {fieldsWith({{AASequence, "X"}}), {"-QX", "-YX"}},
        {fieldsWith({{OptString, "DS"}, {Threshold, "50"}, {ExtractMSn, "3"}}), {"-ADS", "-E50", "-P3"}},
        {fieldsWith({{MinMass, "300; rm -rf x"}}), {"-B300; rm -rf x"}},  // only ever an argument
    };
    for (const Case& c : cases) {
        EXPECT_EQ(extractMsnArguments(c.fields, QStringLiteral("run 1.raw")), c.flags + QStringList{"run 1.raw"})
            << qPrintable(c.fields.join(','));
    }
}

class ImportLcq : public ::testing::Test {
protected:
    void SetUp() override {
        extractor = testsupport::binPath(QStringLiteral("standins/standin-extractor"));
        if (!QFileInfo::exists(extractor)) GTEST_SKIP() << "the stand-in extractor is not built";
        request.extractor = extractor;
        request.workspace = lcqWorkspace(home.file("temp"), 7);
        request.dataFile = QStringLiteral("run 1.raw");
        request.outputPath = home.file("qpl/run 1.raw.qpl");
        QDir().mkpath(home.file("qpl"));
        job.uID = 7;
        job.task_label = QStringLiteral("Thermo");
        job.Data_file = request.dataFile;
    }
    void raw(const QByteArray& body) { request.dataPath = home.put("data/run 1.raw", "# Tavrel stand-in RAW file\n" + body); }
    QList<QStringList> extractorCalls() const { return standins::readLog(home.file("standin.log")); }

    converttest::LoggedHome home;
    testsupport::EnvGuard log{standins::kLogVariable, home.file("standin.log").toUtf8()};
    QString extractor;
    LcqImportRequest request;
    PeakListJobContext job;
};

TEST_F(ImportLcq, TheDtaFilesOfItsOwnWorkspaceBecomeOnePeakListInNameOrder) {
    raw("spectrum 20 2001.0 2\n500.5 10\nspectrum 3 1001.5 1\n400.25 20\nspectrum 11 1501.0 3\n300.5 30\n");
    request.options = QStringLiteral(",,300,4000,1.4,1,1,2,0,0,,,,,");
    const QString before = QDir::currentPath();

    ASSERT_EQ(importLcqFile(request, job), request.outputPath) << home.log().constData();
    EXPECT_EQ(QDir::currentPath(), before) << "the service's own folder never changes";

    const QList<QStringList> calls = extractorCalls();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0], (QStringList{"extractor", QFileInfo(home.file("temp")).canonicalFilePath() + "/Sorvex_Tavrel_workspace/7", "-B300", "-T4000",
                                     "-M1.4", "-S1", "-G1", "-C2", "run 1.raw"}))
        << "run in the task's workspace, on its copy of the RAW file";
    const QByteArray text = testsupport::readFile(request.outputPath);
    const qsizetype at11 = text.indexOf("TITLE=run 1.11.11.3.dta\r\n"), at20 = text.indexOf("TITLE=run 1.20.20.2.dta\r\n"),
                    at3 = text.indexOf("TITLE=run 1.3.3.1.dta\r\n");
    ASSERT_TRUE(at11 >= 0 && at20 >= 0 && at3 >= 0) << text.constData();
    EXPECT_TRUE(at11 < at20 && at20 < at3) << "taken in the order of their names";
    EXPECT_EQ(text.count("BEGIN IONS"), 3);
    EXPECT_FALSE(QFileInfo::exists(request.workspace)) << "the workspace goes once the list is made";
}

TEST_F(ImportLcq, AShortOptionStringIsReplacedByTheDefaultWithAWarning) {
    raw("spectrum 1 1001.5 1\n400.25 20\n");
    request.options = QStringLiteral("1,99,300,4000,1.4,1,1,2");
    ASSERT_FALSE(importLcqFile(request, job).isEmpty());
    EXPECT_TRUE(home.log().contains("extract_msn import filter options are out of date, using defaults"));
    ASSERT_EQ(extractorCalls().size(), 1);
    EXPECT_EQ(extractorCalls()[0].mid(2), (QStringList{"-B300", "-T4000", "-M1.4", "-S1", "-G1", "run 1.raw"}));
}

TEST_F(ImportLcq, NoSpectrumOrAFailureGivesNoPeakList) {
    raw("exit 3\n");
    EXPECT_EQ(importLcqFile(request, job), QString()) << "an extractor that wrote nothing";
    EXPECT_EQ(QFileInfo(request.outputPath).size(), 0);

    raw("spectrum 1 1001.5 1\n400.25 20\n");
    request.outputPath = home.file("missing-folder/x.qpl");
    EXPECT_EQ(importLcqFile(request, job), QString());
    EXPECT_TRUE(home.log().contains("(TVS1032) 75: Path/File access error")) << home.log().constData();

    request.dataPath = home.file("data/gone.raw");
    EXPECT_EQ(importLcqFile(request, job), QString());
    EXPECT_TRUE(home.log().contains("(TVS1032) 53: File not found"));

    raw("spectrum 1 1001.5 1\n400.25 20\n");
    request.extractor = home.file("no-such-extractor");
    EXPECT_EQ(importLcqFile(request, job), QString());
    EXPECT_TRUE(home.log().contains("(TVS1032) 53: Cannot start"));
}

}  // namespace
