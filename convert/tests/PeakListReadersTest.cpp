#include "convert/PeakListFormats.h"

#include "ConvertTestHelpers.h"

#include <gtest/gtest.h>

using namespace tavrelsvc;
using converttest::LoggedHome;

namespace {

// Files written with CR LF, LF only and trailing end-of-file marks must all
// give the same block.
QList<QByteArray> variants(const QByteArray& crlf) {
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    return {crlf, lf, crlf + "\x1a\x1a"};
}

PeakListJobContext jobWithPrecursor(const QString& precursor) {
    PeakListJobContext job;
    job.uID = 9;
    job.task_label = "t";
    job.Data_file = "d";
    job.GetFormValue = [precursor](const QString& name, const QString& def) {
        return name == "PRECURSOR" && !precursor.isNull() ? precursor : def;
    };
    return job;
}

}  // namespace

TEST(SequestReader, Blocks) {
    LoggedHome home;
    const QString path = home.file("a.dta");
    const QByteArray head = "BEGIN IONS\r\nTITLE=" + path.toUtf8() + "\r\n";
    const struct { QByteArray input; QByteArray expected; } cases[] = {
        {"1001.5 2\r\n100.1 20\r\n200.2 30\r\n",
         head + "CHARGE=2+\r\nPEPMASS=501.253638\r\n100.1 20\r\n200.2 30\r\n\r\nEND IONS\r\n"},
        {"1001.5\r\n100.1 20", head + "PEPMASS=1001.5\r\n100.1 20\r\nEND IONS\r\n"},
        {"1001.5 0\r\n100.1 20", head + "PEPMASS=1001.5\r\n100.1 20\r\nEND IONS\r\n"},
        {"1001.5\t3\r\n100.1\t20", head + "CHARGE=3+\r\nPEPMASS=334.504850666667\r\n100.1\t20\r\nEND IONS\r\n"},
        {"1001.5 2 x\r\n100.1 20", head + "PEPMASS=1001.5\r\n100.1 20\r\nEND IONS\r\n"},
        {"1001.5 2\r\npeaks follow\r\n100 1\r\n", ""},
        {"1001.5 2\r\n", ""},
        {"1001.5 2", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        for (const QByteArray& input : variants(c.input)) {
            testsupport::writeFile(path, input);
            EXPECT_EQ(clsJob_ConvertDtaToQpl(path), c.expected) << input.toStdString();
        }
    }
    EXPECT_EQ(clsJob_ConvertDtaToQpl(home.file("missing.dta")), QByteArray());
}

TEST(MicromassReader, Blocks) {
    LoggedHome home;
    const QString path = home.file("a.pkl");
    const QByteArray t = "TITLE=" + path.toUtf8();
    const struct { QByteArray input; QByteArray expected; long spectra; } cases[] = {
        // A blank line separates two spectra.
        {"445.3 1200 2.9\r\n100 5\r\n200 6\r\n\r\n500.1 10 3\r\n300 7\r\n",
         "BEGIN IONS\r\n" + t + " (query 1)\r\nCHARGE=2+\r\nPEPMASS=445.3\r\n100 5\r\n200 6\r\n\r\nEND IONS\r\n\r\n"
         "BEGIN IONS\r\n" + t + " (query 2)\r\nCHARGE=3+\r\nPEPMASS=500.1\r\n300 7\r\n\r\nEND IONS\r\n\r\n", 2},
        // Without a separating line the second precursor is just another peak.
        {"445.3 1200 2\r\n100 5\r\n500.1 10 3\r\n",
         "BEGIN IONS\r\n" + t + " (query 1)\r\nCHARGE=2+\r\nPEPMASS=445.3\r\n100 5\r\n500.1 10 3\r\n\r\nEND IONS\r\n\r\n", 1},
        // A charge with its sign opens the spectrum without a CHARGE line;
        // text before it and lines with fewer fields are skipped.
        {"header\r\n445.3 1200\r\n445.3 1200 2+\r\n100 5",
         "BEGIN IONS\r\n" + t + " (query 1)\r\nPEPMASS=445.3\r\n100 5\r\n\r\nEND IONS\r\n\r\n", 1},
        {"445.3\t0\t2\r\n100\t5", "BEGIN IONS\r\n" + t + " (query 1)\r\nCHARGE=2+\r\nPEPMASS=445.3\r\n100\t5\r\n\r\nEND IONS\r\n\r\n", 1},
        {"445.3 1200 0\r\n100 5\r\n", "", 0},
        {"no numbers\r\n", "", 0},
    };
    for (const auto& c : cases) {
        for (const QByteArray& input : variants(c.input)) {
            testsupport::writeFile(path, input);
            PeakListWriter out;
            const PeakListReadResult r = clsJob_ConvertPklToQpl(path, out);
            EXPECT_EQ(out.text(), c.expected) << input.toStdString();
            EXPECT_EQ(r.spectra, c.spectra);
        }
    }
}

TEST(FinniganReader, Blocks) {
    LoggedHome home;
    const QString path = home.file("a.asc");
    const struct { QByteArray input; QByteArray expected; } cases[] = {
        {"junk\r\nLIST: scan 1\r\nx\r\nMode: 0 523.7 ms2\r\n1 445.2 3000\r\n2 0 446.2 10 extra\r\n3 447\r\n"
         "text\r\nlist: scan 2\r\nmode: none\r\n1\t100\t5\r\n",
         "BEGIN IONS\r\nTITLE=scan 1\r\nPEPMASS=523.7\r\n445.2 3000\r\n446.2 10\r\n\r\nEND IONS\r\n\r\n"
         "BEGIN IONS\r\nTITLE=scan 2\r\n100 5\r\n\r\nEND IONS\r\n\r\n"},
        // A "list:" line that is the last line opens nothing.
        {"list: a\r\nmode: 500\r\n1 2 3\r\nlist: b", "BEGIN IONS\r\nTITLE=a\r\nPEPMASS=500\r\n2 3\r\n\r\nEND IONS\r\n\r\n"},
        {"list:\r\n\r\n", "BEGIN IONS\r\nTITLE=\r\n\r\nEND IONS\r\n\r\n"},
        {"1 2 3\r\n", ""},
    };
    for (const auto& c : cases) {
        for (const QByteArray& input : variants(c.input)) {
            testsupport::writeFile(path, input);
            EXPECT_EQ(converttest::convertToText([&](PeakListWriter& o) { clsJob_ConvertAscToQpl(path, o); }),
                      c.expected)
                << input.toStdString();
        }
    }
}

TEST(SingleSpectrumReaders, PksAndApiIII) {
    LoggedHome home;
    const QString path = home.file("a.pks");
    const QByteArray head = "BEGIN IONS\r\nTITLE=" + path.toUtf8() + "\r\nPEPMASS=812.4\r\n";
    const QByteArray input = "PKS export\r\n100.5 0 2000 9\r\n0 101.5\r\n102.5 -1 7 x\r\n";
    for (const QByteArray& bytes : variants(input)) {
        testsupport::writeFile(path, bytes);
        const auto job = jobWithPrecursor("812.4");
        EXPECT_EQ(converttest::convertToText([&](PeakListWriter& o) { clsJob_ConvertPksToQpl(path, o, job); }),
                  head + "100.5 2000\r\n102.5 7\r\n\r\nEND IONS\r\n\r\n");
        EXPECT_EQ(converttest::convertToText([&](PeakListWriter& o) { clsJob_ConvertApiIIIToQpl(path, o, job); }),
                  head + "100.5 0 2000 9\r\n102.5 -1 7 x\r\n\r\nEND IONS\r\n\r\n");
    }
    // No usable precursor: the error event and nothing else.
    for (const QString& precursor : {QString(), QString("0"), QString("-5"), QString("abc")}) {
        const auto job = jobWithPrecursor(precursor);
        PeakListWriter out;
        EXPECT_EQ(clsJob_ConvertPksToQpl(path, out, job).spectra, 0);
        EXPECT_EQ(clsJob_ConvertApiIIIToQpl(path, out, job).spectra, 0);
        EXPECT_TRUE(out.text().isEmpty());
    }
    EXPECT_TRUE(home.log().contains("Error,"));
    EXPECT_TRUE(home.log().contains(",9,t,d,No precursor mass specified for PKS format data file"));
    EXPECT_TRUE(home.log().contains(",9,t,d,No precursor mass specified for API III format data file"));

    PeakListWriter out;
    const auto missing = clsJob_ConvertPksToQpl(home.file("missing.pks"), out, jobWithPrecursor("500"));
    EXPECT_FALSE(missing.readable);
    EXPECT_TRUE(out.text().isEmpty());
}
