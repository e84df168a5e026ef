// The readers and the merge are tuned for speed; these tests pin what they
// write, byte for byte, for every fixture in every format, so that no tuning
// can change an output unnoticed. The digests were taken from the readers as
// they stood before the tuning; the paths in TITLE lines are replaced by
// "<dir>" first, since each run has its own folder.
#include "convert/PeakListFormats.h"
#include "convert/PeakListIo.h"
#include "convert/PeakListMerge.h"

#include "ConvertTestHelpers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

using namespace tavrelsvc;
using converttest::LoggedHome;

namespace {

// A small generator of its own, so the fixtures are the same on every machine.
class Noise {
public:
    explicit Noise(quint32 seed) : state_(seed) {}
    quint32 next(quint32 bound) {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) % bound;
    }

private:
    quint32 state_;
};

QByteArray number(Noise& n) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%04u", 100 + n.next(1900), n.next(10000));
    return text;
}

// Lines of every shape the readers tell apart, with every kind of line end,
// until the text holds `bytes`: most are peak lines, as in real files.
QByteArray noisyText(quint32 seed, qsizetype bytes) {
    static const char* const odd[] = {
        "", "0", "0 0", "-3 4", "+7 8", ".5 1", "00012 7", "1e-400 5", "1E5 2", "5 1e-999 6 7", "12abc 3", "2+",
        "List: scan 9", "LIST:", "list:x", "Mode: 0 523.7 ms2", "mode:", "MODE: 0 -1", "BEGIN IONS", "begin ions",
        "END IONS", "TITLE=x", "header text", "445.3 1200 2", "445.3 1200 2+", "445.3\t1200\t3", "1  2  3",
        "1 0 0 2 0 3", "\t12\t13", " 12 13", "7 x 8 9", "1.2.3 4 5", "3 4 1e3", "\x1a", "9"};
    static const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\r\n", "\n", "\r", "\r\n\r\n", "\n\n"};
    Noise n(seed);
    QByteArray text;
    while (text.size() < bytes) {
        const quint32 kind = n.next(100);
        if (kind < 55) {
            text += number(n) + ' ' + number(n);
        } else if (kind < 65) {
            text += "1 " + number(n) + ' ' + number(n);
        } else if (kind < 72) {
            text += number(n) + " 0 " + number(n) + " 1";
        } else if (kind < 76) {
            text += number(n) + '\t' + number(n);
        } else if (kind < 78) {
            const int length = int(40 + n.next(200));  // past the short-line paths
            for (int i = 0; i < length / 10; ++i) text += number(n) + ' ';
        } else {
            text += odd[n.next(std::size(odd))];
        }
        text += ends[n.next(std::size(ends))];
    }
    return text;
}

QByteArray repeatedLines(const char* line, const char* end, qsizetype bytes) {
    QByteArray text;
    while (text.size() < bytes) text += QByteArray(line) + end;
    return text;
}

// The compiler may name this file relative to the build folder, so the path
// is made absolute before the fixtures are named relative to it.
QString corpusFolder() {
    return QDir::cleanPath(QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(QStringLiteral("../fuzz/corpus")));
}

// Name -> bytes, in a fixed order.
std::map<std::string, QByteArray> fixtures() {
    std::map<std::string, QByteArray> all;
    QDirIterator it(corpusFolder(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        all["corpus/" + QDir(corpusFolder()).relativeFilePath(path).toStdString()] = testsupport::readFile(path);
    }
    const qsizetype block = PeakListLineReader::kBlockSize;
    all["empty"] = "";
    all["one byte"] = "7";
    all["noise small"] = noisyText(1, 4000);
    all["noise 2.5 blocks"] = noisyText(2, block * 5 / 2);
    all["noise 2.5 blocks, end marks"] = noisyText(3, block * 5 / 2) + "\x1a\x1a\x1a";
    QByteArray lf = noisyText(4, block * 3 / 2);
    lf.replace("\r", "");
    all["noise LF only"] = lf;
    QByteArray cr = noisyText(5, block * 3 / 2);
    cr.replace("\r\n", "\r").replace('\n', '\r');
    all["noise CR only"] = cr;
    // A line longer than the block is cut; what follows it still counts.
    all["long line"] = "1001.5 2\r\n100.5 20\r\n" + QByteArray(block + 300, '7') + "\r\n200.5 30\r\n" + noisyText(6, 2000);
    all["long line, no end"] = "445.3 1200 2\r\n" + QByteArray(block * 2 + 5, '1');
    // The bench's shapes.
    all["peaks"] = "1001.5 2\r\n" + repeatedLines("123.4567 1234.0", "\r\n", block + 7);
    all["asc shape"] = "List: scan 1\r\nMode: 0 523.7 ms2\r\n" + repeatedLines("1 123.4567 1234.0", "\r\n", block + 11);
    all["pks shape"] = repeatedLines("123.4567 0 1234.0 1", "\r\n", block + 13);
    return all;
}

const QString kFormats[] = {kFormatGeneric, kFormatDta, kFormatPkl, kFormatAsc, kFormatPks, kFormatApiIII};

PeakListJobContext job() {
    PeakListJobContext context;
    context.GetFormValue = [](const QString&, const QString&) { return QStringLiteral("812.4"); };
    return context;
}

QByteArray withoutFolder(QByteArray bytes, const QString& folder) { return bytes.replace(folder.toUtf8(), "<dir>"); }

QByteArray digest(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(24);
}

struct Pinned {
    long spectra;
    qsizetype size;
    const char* digest;
};

// (fixture, format) -> what the readers wrote before they were tuned.
const std::map<std::pair<std::string, std::string>, Pinned> kPinned = {
    {{"asc shape", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"asc shape", "Sequest (.DTA)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"asc shape", "Micromass (.PKL)"}, {1, 1048652, "e9aaea435ee028c79f9c1a44"}},
    {{"asc shape", "Finnigan (.ASC)"}, {1, 938268, "a8c00dadeebc764b75218c12"}},
    {{"asc shape", "PerSeptive (.PKS)"}, {1, 662328, "a53feadf643c1df073b650e6"}},
    {{"asc shape", "Sciex API III"}, {1, 1048651, "e8a72cc58f829e7aabf7549b"}},
    {{"corpus/apiiii/peaks", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/apiiii/peaks", "Sequest (.DTA)"}, {1, 110, "5ca0fd20aaa850c3f4764c20"}},
    {{"corpus/apiiii/peaks", "Micromass (.PKL)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/apiiii/peaks", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/apiiii/peaks", "PerSeptive (.PKS)"}, {1, 82, "1718808fdc11e7b77f066292"}},
    {{"corpus/apiiii/peaks", "Sciex API III"}, {1, 91, "9dec5ad2bdfb1a574a8ceed3"}},
    {{"corpus/asc/two-lists", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/asc/two-lists", "Sequest (.DTA)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/asc/two-lists", "Micromass (.PKL)"}, {2, 172, "060745ee1dcf2e821b4c45bb"}},
    {{"corpus/asc/two-lists", "Finnigan (.ASC)"}, {2, 138, "6c64a908c50ea36b74e0c168"}},
    {{"corpus/asc/two-lists", "PerSeptive (.PKS)"}, {1, 85, "14bc4db350f610774d6034f2"}},
    {{"corpus/asc/two-lists", "Sciex API III"}, {1, 98, "d836d32e803dc473bf7ee732"}},
    {{"corpus/dta/crlf", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/dta/crlf", "Sequest (.DTA)"}, {1, 98, "8332d4c2b912246a6bd8eb3b"}},
    {{"corpus/dta/crlf", "Micromass (.PKL)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/dta/crlf", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/dta/crlf", "PerSeptive (.PKS)"}, {1, 92, "fa7d96c35d5dc669120dce88"}},
    {{"corpus/dta/crlf", "Sciex API III"}, {1, 92, "fa7d96c35d5dc669120dce88"}},
    {{"corpus/dta/lf-tab", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/dta/lf-tab", "Sequest (.DTA)"}, {1, 86, "5fb71b6ae47267a10624b5de"}},
    {{"corpus/dta/lf-tab", "Micromass (.PKL)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/dta/lf-tab", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/dta/lf-tab", "PerSeptive (.PKS)"}, {1, 80, "391c3d60f9485fe210001b09"}},
    {{"corpus/dta/lf-tab", "Sciex API III"}, {1, 80, "251954b245f6b0b8224d665d"}},
    {{"corpus/generic/block", "Sorvex generic"}, {1, 53, "500796d82bf5006ea2ec426c"}},
    {{"corpus/generic/block", "Sequest (.DTA)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/generic/block", "Micromass (.PKL)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/generic/block", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/generic/block", "PerSeptive (.PKS)"}, {1, 67, "d4c836203a1210c4d45903b7"}},
    {{"corpus/generic/block", "Sciex API III"}, {1, 67, "d4c836203a1210c4d45903b7"}},
    {{"corpus/pkl/tab-exp", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pkl/tab-exp", "Sequest (.DTA)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pkl/tab-exp", "Micromass (.PKL)"}, {1, 81, "a163f9edf1662e8020628f93"}},
    {{"corpus/pkl/tab-exp", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pkl/tab-exp", "PerSeptive (.PKS)"}, {1, 72, "dc6c2b34103185bd9838ae2c"}},
    {{"corpus/pkl/tab-exp", "Sciex API III"}, {1, 76, "ae45d91914c66427847b5668"}},
    {{"corpus/pkl/two-spectra", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pkl/two-spectra", "Sequest (.DTA)"}, {1, 103, "d907c4f81a2b0ea9e6bd8baa"}},
    {{"corpus/pkl/two-spectra", "Micromass (.PKL)"}, {2, 178, "658af9c77c855462b1e69c8c"}},
    {{"corpus/pkl/two-spectra", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pkl/two-spectra", "PerSeptive (.PKS)"}, {1, 110, "6a89af3ce38202f5f6b9ad4c"}},
    {{"corpus/pkl/two-spectra", "Sciex API III"}, {1, 115, "6e5d3060790a7c63d981f083"}},
    {{"corpus/pks/peaks", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pks/peaks", "Sequest (.DTA)"}, {1, 95, "189070af8116a8965cdf79af"}},
    {{"corpus/pks/peaks", "Micromass (.PKL)"}, {2, 140, "f769b876b602a662b063caab"}},
    {{"corpus/pks/peaks", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pks/peaks", "PerSeptive (.PKS)"}, {1, 81, "ef84bd79ea0a5a214b589606"}},
    {{"corpus/pks/peaks", "Sciex API III"}, {1, 90, "fa1b9f92153461b2555acc8e"}},
    {{"corpus/pks/tab", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pks/tab", "Sequest (.DTA)"}, {1, 68, "4df8b53de6e104301c299caa"}},
    {{"corpus/pks/tab", "Micromass (.PKL)"}, {1, 92, "9ec5702d4552968a7480240b"}},
    {{"corpus/pks/tab", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"corpus/pks/tab", "PerSeptive (.PKS)"}, {1, 78, "2c9c7d186c9ef64694ad6b78"}},
    {{"corpus/pks/tab", "Sciex API III"}, {1, 82, "5ee465bf7062178a72819b04"}},
    {{"empty", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"empty", "Sequest (.DTA)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"empty", "Micromass (.PKL)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"empty", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"empty", "PerSeptive (.PKS)"}, {1, 60, "fab3f66a191581d66047fdb2"}},
    {{"empty", "Sciex API III"}, {1, 60, "fab3f66a191581d66047fdb2"}},
    {{"long line", "Sorvex generic"}, {1, 901, "4e17bf524a0ba3b8b548746f"}},
    {{"long line", "Sequest (.DTA)"}, {1, 1050723, "75629ba32a67f1eaec851989"}},
    {{"long line", "Micromass (.PKL)"}, {16, 1472, "ed1c4ff669d490e58a5e0163"}},
    {{"long line", "Finnigan (.ASC)"}, {1, 34, "520cfa77dfef9e091071d08f"}},
    {{"long line", "PerSeptive (.PKS)"}, {1, 1348, "457c2bdbf0731f4eea530244"}},
    {{"long line", "Sciex API III"}, {1, 1978, "9528177ebf2676c878fba66f"}},
    {{"long line, no end", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"long line, no end", "Sequest (.DTA)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"long line, no end", "Micromass (.PKL)"}, {1, 81, "a163f9edf1662e8020628f93"}},
    {{"long line, no end", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"long line, no end", "PerSeptive (.PKS)"}, {1, 72, "dc6c2b34103185bd9838ae2c"}},
    {{"long line, no end", "Sciex API III"}, {1, 74, "b0f0518ffc1a1ce49ccbc930"}},
    {{"noise 2.5 blocks", "Sorvex generic"}, {1, 2620714, "1b79be5da16d64432951f144"}},
    {{"noise 2.5 blocks", "Sequest (.DTA)"}, {1, 2685601, "bf8c3ff1b4bd579757f53dd7"}},
    {{"noise 2.5 blocks", "Micromass (.PKL)"}, {19860, 2459564, "6c572c499511401cf114a099"}},
    {{"noise 2.5 blocks", "Finnigan (.ASC)"}, {1197, 290274, "a9e8174f999b54e0adfc85cc"}},
    {{"noise 2.5 blocks", "PerSeptive (.PKS)"}, {1, 2011674, "e337e4a6dcf931271a5e6a4b"}},
    {{"noise 2.5 blocks", "Sciex API III"}, {1, 2499069, "a67b47e402ecbdcdfe7344ee"}},
    {{"noise 2.5 blocks, end marks", "Sorvex generic"}, {1, 2620171, "e530bb47784c164e249a369f"}},
    {{"noise 2.5 blocks, end marks", "Sequest (.DTA)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"noise 2.5 blocks, end marks", "Micromass (.PKL)"}, {19951, 2466302, "edf17e6bf84281b3e4d15bba"}},
    {{"noise 2.5 blocks, end marks", "Finnigan (.ASC)"}, {1224, 272662, "9f2afce2139a4c14e25deb3f"}},
    {{"noise 2.5 blocks, end marks", "PerSeptive (.PKS)"}, {1, 2026949, "e49903384f2276519bf0e99c"}},
    {{"noise 2.5 blocks, end marks", "Sciex API III"}, {1, 2498070, "f88ffd1e6e4808d2a97360e9"}},
    {{"noise CR only", "Sorvex generic"}, {1, 1514143, "20e44fcc1183a4a9df26ff0a"}},
    {{"noise CR only", "Sequest (.DTA)"}, {1, 1611588, "89f900903e9469e91433e5ff"}},
    {{"noise CR only", "Micromass (.PKL)"}, {11882, 1471457, "f4ae40a9f781fad1a7508da9"}},
    {{"noise CR only", "Finnigan (.ASC)"}, {732, 167048, "5ad8f519c0a2531b6c4b528d"}},
    {{"noise CR only", "PerSeptive (.PKS)"}, {1, 1210151, "df7284596859efc874711df0"}},
    {{"noise CR only", "Sciex API III"}, {1, 1498622, "38e3b16f6cd9b16d2bb53b59"}},
    {{"noise LF only", "Sorvex generic"}, {1, 1502569, "1369e2d167469e725bd46e67"}},
    {{"noise LF only", "Sequest (.DTA)"}, {1, 1592314, "8e7df3c4ccd9099282538fc3"}},
    {{"noise LF only", "Micromass (.PKL)"}, {12533, 1543515, "7e6be4687023fe3b5fb9ffb8"}},
    {{"noise LF only", "Finnigan (.ASC)"}, {658, 223076, "aa2d40c469454ab93e473070"}},
    {{"noise LF only", "PerSeptive (.PKS)"}, {1, 1109567, "a30b1cafd52881d24dea5ffe"}},
    {{"noise LF only", "Sciex API III"}, {1, 1473045, "e24b0e15bdce72af9c66568c"}},
    {{"noise small", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"noise small", "Sequest (.DTA)"}, {1, 4141, "4cf1b6dbbdb410d8dbc89730"}},
    {{"noise small", "Micromass (.PKL)"}, {34, 4239, "cbf59e0bfa97e2e009b29cba"}},
    {{"noise small", "Finnigan (.ASC)"}, {1, 65, "d4be1c48f1062951edba4f8d"}},
    {{"noise small", "PerSeptive (.PKS)"}, {1, 3263, "33144b6b1be287bf05099892"}},
    {{"noise small", "Sciex API III"}, {1, 3892, "b3902f3090352e497a3e506a"}},
    {{"one byte", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"one byte", "Sequest (.DTA)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"one byte", "Micromass (.PKL)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"one byte", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"one byte", "PerSeptive (.PKS)"}, {1, 60, "fab3f66a191581d66047fdb2"}},
    {{"one byte", "Sciex API III"}, {1, 60, "fab3f66a191581d66047fdb2"}},
    {{"peaks", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"peaks", "Sequest (.DTA)"}, {1, 1048670, "d2a6ceb3647ddff4e618c452"}},
    {{"peaks", "Micromass (.PKL)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"peaks", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"peaks", "PerSeptive (.PKS)"}, {1, 1048664, "d9e46ded075477106e0c6798"}},
    {{"peaks", "Sciex API III"}, {1, 1048664, "d9e46ded075477106e0c6798"}},
    {{"pks shape", "Sorvex generic"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"pks shape", "Sequest (.DTA)"}, {1, 1048635, "73747cfdb43de04c233c945e"}},
    {{"pks shape", "Micromass (.PKL)"}, {1, 1048645, "e9e616ece16008c8ea656de8"}},
    {{"pks shape", "Finnigan (.ASC)"}, {0, 0, "e3b0c44298fc1c149afbf4c8"}},
    {{"pks shape", "PerSeptive (.PKS)"}, {1, 848921, "7d3c5b16de6f6043469a8c24"}},
    {{"pks shape", "Sciex API III"}, {1, 1048653, "4d63bc801b14334dfb631859"}},
};

}  // namespace

TEST(PeakListPinnedOutput, EveryFixtureInEveryFormat) {
    LoggedHome home;
    const PeakListJobContext context = job();
    for (const auto& [name, bytes] : fixtures()) {
        const QString path = home.put(QStringLiteral("input"), bytes);
        for (const QString& format : kFormats) {
            SCOPED_TRACE(name + " as " + format.toStdString());
            PeakListWriter file;
            ASSERT_TRUE(file.create(home.file(QStringLiteral("output"))));
            const PeakListReadResult result = convertPeakList(format, path, file, context);
            ASSERT_TRUE(file.close());
            const QByteArray written = testsupport::readFile(home.file(QStringLiteral("output")));
            // The writer in memory gives the same bytes as the one to a file.
            PeakListWriter memory;
            convertPeakList(format, path, memory, context);
            EXPECT_TRUE(memory.text() == written);

            const QByteArray output = withoutFolder(written, home.home.path());
            const auto pinned = kPinned.find({name, format.toStdString()});
            const std::string actual = "{{\"" + name + "\", \"" + format.toStdString() + "\"}, {" +
                                       std::to_string(result.spectra) + ", " + std::to_string(output.size()) +
                                       ", \"" + digest(output).toStdString() + "\"}},";
            if (pinned == kPinned.end()) {
                ADD_FAILURE() << "not pinned: " << actual;
                continue;
            }
            EXPECT_EQ(result.spectra, pinned->second.spectra) << actual;
            EXPECT_EQ(output.size(), pinned->second.size) << actual;
            EXPECT_EQ(digest(output).toStdString(), pinned->second.digest) << actual;
        }
    }
}

TEST(PeakListPinnedOutput, MergeOfEveryFixtureInEveryFormat) {
    // One merge reads every file with the same reader one after another, so a
    // state one file leaves behind would show in the files after it.
    LoggedHome home;
    QList<MergeInput> inputs;
    int n = 0;
    for (const auto& [name, bytes] : fixtures()) {
        const QString path = home.put(QStringLiteral("in%1").arg(n++), bytes);
        for (const QString& format : kFormats) inputs.append({path, format});
    }
    const QString merged = mergeFilePath(home.home.path());
    ASSERT_EQ(mergePeakLists(merged, inputs, job()), MergeOutcome::Completed);
    const QByteArray output = withoutFolder(testsupport::readFile(merged), home.home.path());
    EXPECT_EQ(output.size(), 49217899);
    EXPECT_EQ(digest(output).toStdString(), "bddd51bbcb6baa0618217dde");
}
