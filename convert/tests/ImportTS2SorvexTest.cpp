// The 4000 Series filter with the stand-in export object: the descriptor and
// search checks, the order of the object's properties, its failures.
#include "ConvertTestHelpers.h"

#include "convert/ImportTS2Sorvex.h"
#include "platform/AutomationComponents.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using namespace tavrelsvc;

TEST(TS2SorvexChecks, TheFirstCheckThatAppliesRefuses) {
    struct Case {
        const char* search;
        const char* item;
        const char* all;
        const char* type;
        const char* refusal;
    } cases[] = {
        {"PMF", "12", "False", "MSMS", "Search parameters are for PMF but data are MS-MS"},
        {"PMF", "12", "False", "ms", "Search parameters are for PMF but data are MS-MS"},  // case matters
        {"MIS", "12", "False", "MS", "Search parameters are for MS/MS but data are MS"},
        {"PMF", "12", "True", "MS", "Only a single spectrum allowed for PMF"},
        {"MIS", "0", "False", "MSMS", "Missing JobRunItemID"},
        {"MIS", "12", "False", "MSMS", ""},
        {"MIS", "0", "True", "MSMS", ""},
        {"PMF", "3", "False", "MS", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ts2SorvexRefusal(c.search, c.item, c.all, c.type), QString::fromLatin1(c.refusal))
            << c.search << " " << c.item << " " << c.all << " " << c.type;
}

class ImportTS2Sorvex : public ::testing::Test {
protected:
    void SetUp() override {
        standins::clearRecordedCalls();
        request.options = QStringLiteral("60,20,10,1");
        request.searchType = QStringLiteral("MIS");
        request.outputPath = home.file("out.qpl");
    }
    void dataset(const char* name, const QByteArray& body) {
        home.put(QStringLiteral("store/%1.txt").arg(name), "# Tavrel stand-in 4000 Series dataset\n" + body);
    }

    converttest::LoggedHome home;
    testsupport::EnvGuard store{standins::kDatasetStoreVariable, home.file("store").toUtf8()};
    standins::ScopedStandins standins;
    TS2SorvexImportRequest request;
    PeakListJobContext job;
};

TEST_F(ImportTS2Sorvex, PropertiesAreSetInOrderAndTheExportBecomesThePeakList) {
    dataset("Run7", "BEGIN IONS\nPEPMASS=900.5\n200.1 30\nEND IONS\n");
    request.descriptor = QStringLiteral("Run7:44:12:False:MSMS:extra");
    ASSERT_EQ(importTS2SorvexDataset(request, job), request.outputPath) << home.log().constData();
    QStringList calls = standins::recordedCallTexts("TS2Sorvex.");
    // The object exports into a new file of its own, then moved into the cache.
    ASSERT_FALSE(calls.isEmpty());
    const QString exported = calls.takeLast();
    EXPECT_TRUE(exported.startsWith("DoExport ") && exported != "DoExport " + request.outputPath) << qPrintable(exported);
    EXPECT_FALSE(QFileInfo::exists(exported.mid(9)));
    EXPECT_EQ(calls, (QStringList{"minMass 60", "maxMass 20", "S2N 10", "Monoisotopic 1", "Descriptor Run7",
                                  "JobRunID 44", "JobRunItemID 12", "AllSpectra False", "MSType MSMS", "Connect"}));
    EXPECT_TRUE(testsupport::readFile(request.outputPath).contains("PEPMASS=900.5"));
}

TEST_F(ImportTS2Sorvex, RefusalsAndFailuresAreLoggedAndGiveNoPeakList) {
    dataset("Short", "BEGIN IONS\n");  // 12 bytes: a list
    dataset("Tiny", "x");              // 3 bytes with its line end: no list
    dataset("Refuses", "connect-error 1234 Store is offline\n");
    dataset("Declines", "export false\n");
    struct Case {
        const char* descriptor;
        const char* options;
        const char* message;  // "" when the export gives a peak list
        bool listed;
    } cases[] = {
        {"Short:1:2:False", "60,20,10,1", "TS2Sorvex dataset descriptors incomplete", false},
        {"Short:1:2:False:MSMS", "60,20,10", "TS2Sorvex import filter options are out of date, using defaults", true},
        {"Unknown:1:2:False:MSMS", "60,20,10,1", "Connect method failed with error: ", false},
        {"Refuses:1:2:False:MSMS", "60,20,10,1", "Connect method failed with error: Store is offline", false},
        {"Declines:1:2:False:MSMS", "60,20,10,1", "DoExport method failed with error: ", false},
        {"Tiny:1:2:False:MSMS", "60,20,10,1", "", false},
        {"Short:1:0:False:MSMS", "60,20,10,1", "Missing JobRunItemID", false},
    };
    for (const Case& c : cases) {
        QFile::remove(request.outputPath);
        request.descriptor = QString::fromLatin1(c.descriptor);
        request.options = QString::fromLatin1(c.options);
        const QByteArray before = home.log();
        EXPECT_EQ(importTS2SorvexDataset(request, job).isEmpty(), !c.listed) << c.descriptor;
        const QByteArray added = home.log().mid(before.size());
        if (*c.message) {
            EXPECT_TRUE(added.contains(c.message)) << c.descriptor << ": " << added.constData();
        } else {
            EXPECT_TRUE(added.isEmpty()) << c.descriptor << ": " << added.constData();
        }
    }
}

TEST_F(ImportTS2Sorvex, WithoutTheExportObjectTheFilterSaysSo) {
    platform::ScopedAutomationComponent missing(QString::fromLatin1(platform::automation::TS2Sorvex::kProgId), {});
    request.descriptor = QStringLiteral("Run7:44:12:False:MSMS");
    EXPECT_EQ(importTS2SorvexDataset(request, job), QString());
    EXPECT_TRUE(home.log().contains("Failed to create TS2Sorvex object"));
}

}  // namespace
