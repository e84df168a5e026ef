// The Data Explorer filter with the stand-in automation server: the byte-exact
// list of the default options, the PMF list, the precursor range, the peak
// selection and the processing calls the options ask for.
#include "ConvertTestHelpers.h"

#include "convert/ImportVoyager.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <gtest/gtest.h>

namespace {

using namespace tavrelsvc;
using platform::automation::DataExplorerPeakTable;

const QString kDefaults = QStringLiteral("False,0,0,1,1,1,0.7,1,0,False,10,100");

DataExplorerPeakTable table(std::initializer_list<std::pair<double, double>> peaks) {
    DataExplorerPeakTable rows;
    for (const auto& [mass, intensity] : peaks) rows.append({0, 0, mass, intensity, 0, 0, 0});
    return rows;
}

class ImportVoyager : public ::testing::Test {
protected:
    void SetUp() override {
        standins::clearRecordedCalls();
        request.options = kDefaults;
        request.searchType = QStringLiteral("MIS");
        request.outputPath = home.file("out.qpl");
    }
    void voyager(const QByteArray& body) {
        request.dataPath = home.put("run.dat", "# Tavrel stand-in Voyager file\n" + body);
    }

    converttest::LoggedHome home;
    standins::ScopedStandins standins;
    VoyagerImportRequest request;
    PeakListJobContext job;
};

TEST_F(ImportVoyager, DefaultOptionsWriteOnePsdBlockByteForByte) {
    voyager("spectrum-type 3\nprecursor 1234.5678\nname Sample 5\ncomments BSA digest\n"
            "peak 500.12345 1200.5\npeak 712.5 .25\n");
    const VoyagerImportResult result = importVoyagerFile(request, job);
    ASSERT_EQ(result.peakList, request.outputPath) << home.log().constData();
    EXPECT_EQ(testsupport::readFile(request.outputPath),
              QByteArray("BEGIN IONS\r\nCHARGE=1+\r\nPEPMASS=1234.5678\r\n712.5  .25\r\n500.1234  1200.5\r\n"
                         "END IONS\r\n\r\n\r\n"))
        << "last row first; four decimals, halves to even";
    EXPECT_EQ(result.comment, QStringLiteral("BSA digest"));
    EXPECT_EQ(standins::recordedCallTexts("DataExplorer."), (QStringList{"RestoreSettingsFromFile False", "EnableProcessingHistory False",
                                    "Open " + request.dataPath, "GetSetting 14 0", "Close", "Open " + request.dataPath,
                                    "CorrectBaseline", "NoiseFilterCoefficient 0.7", "FilterNoise 1",
                                    "PeakFilterType 2", "FilterPeaks", "GetPeakData 7 1 0 0", "Close"}));
}

TEST_F(ImportVoyager, PmfSearchWritesBareMassesWithinTheRange) {
    voyager("spectrum-type 1\nname Map\npeak 100 5\npeak 100.5 6\npeak 15999.99 7\npeak 16000 8\n");
    request.searchType = QStringLiteral("PMF");
    request.options = QStringLiteral("False,0,0,0,0,1,0.7,0,0,True,10,100");
    const VoyagerImportResult result = importVoyagerFile(request, job);
    ASSERT_FALSE(result.peakList.isEmpty());
    EXPECT_EQ(testsupport::readFile(request.outputPath), QByteArray("15999.99\r\n100.5\r\n\r\n"));
    EXPECT_EQ(result.comment, QStringLiteral("Map")) << "the name when there are no comments";
}

TEST_F(ImportVoyager, ThePrecursorMustBeKnownAndWithinItsRange) {
    struct Case {
        const char* body;
        const char* error;  // "" when accepted
    } cases[] = {
        {"precursor 99.9\n", "PSDParentIonMass outside allowed range 100 to 16000 Da"},
        {"precursor 16000.1\n", "PSDParentIonMass outside allowed range 100 to 16000 Da"},
        {"precursor 100\n", ""},
        {"precursor 16000\n", ""},
        {"", "Cannot find value for PSDParentIonMass in Voyager file"},
        {"PSDParentIonMass=800.5\nPSDParentIonMass=1500.25 more\n", ""},  // the later one counts
    };
    for (const Case& c : cases) {
        voyager(QByteArray("spectrum-type 4\npeak 300 1\n") + c.body);
        const QByteArray before = home.log();
        const bool listed = !importVoyagerFile(request, job).peakList.isEmpty();
        EXPECT_EQ(listed, !*c.error) << c.body;
        if (*c.error) {
            EXPECT_TRUE(home.log().mid(before.size()).contains(c.error)) << c.body;
        }
    }
    EXPECT_TRUE(testsupport::readFile(request.outputPath).contains("PEPMASS=1500.25\r\n"));
    EXPECT_EQ(psdParentIonMass("PSDParentIonMass=12345678901234"), 1234567890);  // ten bytes at most
}

TEST_F(ImportVoyager, SpectrumKindAndFileAreCheckedBeforeAnyProcessing) {
    struct Case {
        const char* body;
        const char* search;
        const char* message;
    } cases[] = {
        {"spectrum-type 3\nprecursor 900\n", "PMF", "Data file is MS/MS but search has been specified as PMF"},
        {"spectrum-type 2\n", "MIS", "Data file is MS but search has been specified as MS/MS"},
        {"documents 0\n", "MIS", "Cannot open Data Explorer file"},
    };
    for (const Case& c : cases) {
        voyager(c.body);
        request.searchType = QString::fromLatin1(c.search);
        EXPECT_TRUE(importVoyagerFile(request, job).peakList.isEmpty()) << c.body;
        EXPECT_TRUE(home.log().contains(c.message)) << c.body;
    }
    request.dataPath = home.put("not-voyager.dat", "plain text");
    EXPECT_TRUE(importVoyagerFile(request, job).peakList.isEmpty());
    request.options = QStringLiteral("False,0");
    voyager("spectrum-type 0\nprecursor 900\npeak 300 1\n");  // type 0 passes both checks
    EXPECT_FALSE(importVoyagerFile(request, job).peakList.isEmpty());
    EXPECT_TRUE(home.log().contains("Data Explorer import filter options are out of date, using defaults"));
}

TEST_F(ImportVoyager, NoiseAndPeakFiltersFollowTheirFields) {
    struct Case {
        const char* options;
        QStringList processing;  // the calls between the second Open and GetPeakData
    } cases[] = {
        {"True,1,4,0,1,0,5,0,0,False,10,100", {"RunAssignedMacro 5", "FilterNoise 2"}},
        {"False,0,0,0,1,2,5,0,1,False,10,100",
         {"SmoothFilterWidth 5", "FilterNoise 0", "PeakFilterType 16", "PeakFilterChargeState 1", "FilterPeaks"}},
        {"False,0,0,0,1,3,2,1,1,False,10,100",
         {"NoiseReductionStdev 2", "FilterNoise 3", "PeakFilterType 18", "PeakFilterChargeState 1", "FilterPeaks"}},
        {"False,0,0,0,1,7,2,0,0,False,10,100", {}},  // an unknown noise filter: none at all
    };
    for (const Case& c : cases) {
        voyager("spectrum-type 3\nprecursor 900\npeak 300 1\n");
        standins::clearRecordedCalls();
        request.options = QString::fromLatin1(c.options);
        ASSERT_FALSE(importVoyagerFile(request, job).peakList.isEmpty()) << c.options;
        const QStringList all = standins::recordedCallTexts("DataExplorer.");
        const qsizetype from = all.lastIndexOf("Open " + request.dataPath) + 1;
        EXPECT_EQ(all.mid(from, all.indexOf("GetPeakData 7 1 0 0") - from), c.processing) << c.options;
    }
}

TEST(VoyagerPeakList, SelectionKeepsTheMostPeaksPerIntervalMetFromTheEnd) {
    DataExplorerPeakTable peaks;
    for (int i = 0; i < 15; ++i) peaks.append({0, 0, 1200.0 + i * 6.5, 100.0 + i, 0, 0, 0});
    const QByteArray text = voyagerPeakListText(peaks, 15, false, 0, false, 10, 100);
    EXPECT_EQ(text.count("\r\n"), 10);
    EXPECT_TRUE(text.startsWith("1291\r\n")) << "the last row is met first";
    EXPECT_TRUE(text.contains("1232.5\r\n"));
    EXPECT_FALSE(text.contains("1226\r\n")) << "the first five rows are past the ten";
    EXPECT_EQ(voyagerPeakListText(peaks, 15, false, 0, true, 10, 100).count("\r\n"), 15);
}

TEST(VoyagerPeakList, AFragmentBeyondTheUsualRangeIsSelectedLikeAnyOther) {
    const auto peaks = table({{300.25, 5}, {16250.5, 9}, {16270.5, 8}});
    const QByteArray text = voyagerPeakListText(peaks, 3, true, 16000, false, 1, 100);
    EXPECT_EQ(text, QByteArray("BEGIN IONS\r\nCHARGE=1+\r\nPEPMASS=16000\r\n16270.5  8\r\n300.25  5\r\nEND IONS\r\n\r\n"))
        << "one per interval, the interval of 16200 Da included";
    EXPECT_THROW(voyagerPeakListText(peaks, 3, true, 900, false, 10, 0), platform::Error) << "an interval of 0 Da";
    EXPECT_EQ(voyagerPeakListText(table({{500, -2.5}}), 1, true, 900, true, 10, 100),
              QByteArray("BEGIN IONS\r\nCHARGE=1+\r\nPEPMASS=900\r\n500 -2.5\r\nEND IONS\r\n\r\n"));
}

}  // namespace
