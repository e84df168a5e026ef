#include "convert/PeakListMerge.h"

#include "ConvertTestHelpers.h"
#include "service/Globals.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tavrelsvc;
using converttest::LoggedHome;

TEST(PeakListMerge, InputForRow) {
    const struct { QString peakList, fileName, filter; std::optional<QString> path, format; } cases[] = {
        {"/c/a.qpl", "/d/a.raw", "ThermoFinnigan LCQ / DECA RAW file", "/c/a.qpl", "Sorvex generic"},
        {"", "/d/a.pkl", "--- None ---", "/d/a.pkl", "Micromass (.PKL)"},
        {"", "/d/s1.pkl", "Masslynx sample list", "/d/s1.pkl", "Micromass (.PKL)"},
        {"", "/d/list.SPL", "Masslynx sample list", std::nullopt, std::nullopt},
        {"/c/SORVEX_TAVREL_MERGE.QPL", "x", "--- None ---", std::nullopt, std::nullopt},
        {"", "/d/a.raw", "ThermoFinnigan LCQ / DECA RAW file", "", "Sorvex generic"},
    };
    for (const auto& c : cases) {
        const auto input = mergeInputForRow(c.peakList, c.fileName, c.filter, "Micromass (.PKL)");
        ASSERT_EQ(input.has_value(), c.path.has_value()) << c.fileName.toStdString();
        if (!input) continue;
        EXPECT_EQ(input->path, *c.path);
        EXPECT_EQ(input->format, *c.format);
    }
    // No FORMAT in the search form: the server's default, the generic format.
    EXPECT_EQ(mergeInputForRow("", "/d/a.qpl", "--- None ---", "")->format, kFormatGeneric);
    EXPECT_EQ(mergeFilePath("/c/12"), "/c/12/sorvex_tavrel_merge.qpl");
}

TEST(PeakListMerge, MixedInputsWarningsAndHeader) {
    LoggedHome home;
    const QString g1 = home.put("g1.qpl", "MASS=Monoisotopic\r\nbegin ions\r\nTITLE=a\r\n1 2\r\nEND IONS\r\n\x1a\x1a");
    const QString g2 = home.put("g2.qpl", "BEGIN IONS\nTITLE=b\n3 4\nEND IONS\n");
    const QString none = home.put("g3.qpl", "TITLE=no block\r\n");
    const QString empty = home.put("empty.qpl", "");
    const QString dta = home.put("a.dta", "1001.5 2\n100 5\n");
    const QString badDta = home.put("b.dta", "1001.5 2\nnot a peak\n");
    const QString pkl = home.put("a.pkl", "445.3 1200 2\n100 5\n");
    const QString pks = home.put("a.pks", "100 0 50\n");
    const QString odd = home.put("a.mzdata", "<xml/>");
    const QList<MergeInput> inputs = {
        {g1, kFormatGeneric}, {none, kFormatGeneric}, {empty, kFormatGeneric}, {home.file("gone.qpl"), kFormatGeneric},
        {dta, kFormatDta}, {badDta, kFormatDta}, {pkl, kFormatPkl}, {pks, kFormatPks}, {odd, "mzData"}, {g2, kFormatGeneric},
    };
    PeakListJobContext job;
    job.uID = 3;
    job.GetFormValue = [](const QString&, const QString&) { return QString("700.5"); };
    const QString merged = mergeFilePath(home.home.path());
    testsupport::writeFile(merged, "old contents that must go");
    int progressCalls = 0;
    EXPECT_EQ(mergePeakLists(merged, inputs, job, {}, [&](const MergeProgress& p) {
                  ++progressCalls;
                  EXPECT_EQ(p.total, inputs.size());
              }),
              MergeOutcome::Completed);
    EXPECT_EQ(progressCalls, inputs.size());

    const QByteArray expected =
        "FORMAT=Sorvex generic\r\n"
        "begin ions\r\nTITLE=a\r\n1 2\r\nEND IONS\r\n\r\n"
        "BEGIN IONS\r\nTITLE=" + dta.toUtf8() + "\r\nCHARGE=2+\r\nPEPMASS=501.253638\r\n100 5\r\n\r\nEND IONS\r\n\r\n"
        "BEGIN IONS\r\nTITLE=" + pkl.toUtf8() + " (query 1)\r\nCHARGE=2+\r\nPEPMASS=445.3\r\n100 5\r\n\r\nEND IONS\r\n\r\n"
        "BEGIN IONS\r\nTITLE=" + pks.toUtf8() + "\r\nPEPMASS=700.5\r\n100 50\r\n\r\nEND IONS\r\n\r\n"
        "BEGIN IONS\r\nTITLE=b\n3 4\nEND IONS\n\r\n";
    EXPECT_EQ(testsupport::readFile(merged), expected);

    const QByteArray log = home.log();
    for (const QString& path : {none, empty, home.file("gone.qpl"), badDta, odd})
        EXPECT_TRUE(log.contains("Warning,") && log.contains(path.toUtf8())) << path.toStdString();
    EXPECT_EQ(log.count("Warning,"), 5);
    EXPECT_FALSE(log.contains(g1.toUtf8()));
}

TEST(PeakListMerge, StopsOnRequestOrShutdownAndFailsOnUnwritableFile) {
    LoggedHome home;
    const QString g = home.put("g.qpl", "BEGIN IONS\r\n1 2\r\nEND IONS\r\n");
    const QList<MergeInput> inputs = {{g, kFormatGeneric}, {g, kFormatGeneric}, {g, kFormatGeneric}};
    const QString merged = mergeFilePath(home.home.path());

    int asked = 0;
    EXPECT_EQ(mergePeakLists(merged, inputs, {}, [&] { return ++asked == 2; }), MergeOutcome::Stopped);
    EXPECT_EQ(asked, 2);

    ShuttingDown = true;
    EXPECT_EQ(mergePeakLists(merged, inputs, {}), MergeOutcome::Stopped);
    ShuttingDown = false;

    EXPECT_EQ(mergePeakLists(home.file("no/such/folder/m.qpl"), inputs, {}), MergeOutcome::Failed);
    EXPECT_TRUE(home.log().contains("Cannot create merged peak list"));
    // A full disk must not pass for a complete merge.
    if (QFile::exists("/dev/full")) {
        EXPECT_EQ(mergePeakLists("/dev/full", inputs, {}), MergeOutcome::Failed);
        EXPECT_TRUE(home.log().contains("Cannot write merged peak list"));
    }
}

TEST(PeakListMerge, ServesEventsAfterTheFirstInputThenEveryFewMilliseconds) {
    LoggedHome home;
    const QString g = home.put("g.qpl", "BEGIN IONS\r\n1 2\r\nEND IONS\r\n");
    const QList<MergeInput> inputs(3000, MergeInput{g, kFormatGeneric});
    // A timer that is due whenever events are served counts the servings.
    int served = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++served; });
    tick.start(0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(mergePeakLists(mergeFilePath(home.home.path()), inputs, {}), MergeOutcome::Completed);
    const qint64 elapsedMs = clock.elapsed();
    EXPECT_GE(served, 1);
    EXPECT_LE(served, elapsedMs / 5 + 2) << "served once per input, not every few milliseconds";
}
