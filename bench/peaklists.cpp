// Peak-list conversion and merge next to the plain tools on the same bytes,
// in the same run: converting a file against `cp` of that file, merging
// 10,000 files into one list against `cat` of those files into one file.
// Each pair runs several times, in turn, and the ratio is taken pair by pair,
// so a machine that speeds up or slows down between runs does not flatter
// either side; every run starts from the same state of memory (FreshMemory.h),
// which on a virtual machine costs a few seconds of waiting before each.
//
//   peaklists [--size MiB] [--repeat N] [--dir folder] [--only TEXT]
//
// --size: bytes per format and of each merge (default 1024 MiB);
// --repeat: pairs per figure after one to warm up (default 5, at least 3);
// --dir: where the files go;
// --only: just the figures whose name holds TEXT (for profiling one).
#include "BenchReport.h"
#include "FreshMemory.h"

#include "convert/PeakListFormats.h"
#include "convert/PeakListIo.h"
#include "convert/PeakListMerge.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <string>

#include <unistd.h>

using namespace tavrelsvc;

namespace {

constexpr int kMergeFiles = 10000;
constexpr double kConvertGoal = 0.50;  // of cp, in every round
constexpr double kMergeGoal = 0.70;    // of cat

void peaks(std::string& s, long n, int count, const char* format) {
    char line[96];
    for (int i = 0; i < count; ++i) {
        const int len = std::snprintf(line, sizeof line, format, 100.0 + i * 7.31 + n % 97 * 0.001,
                                      1000.0 + (i * 37 + n) % 5000);
        s.append(line, size_t(len));
    }
}

// About `bytes` of whole spectra, made by `spectrum` for n = 1, 2, ...; a
// few MiB of varied text are made once and repeated, which keeps the set-up
// short without giving the readers one line over and over.
std::string spectra(size_t bytes, const std::function<void(std::string&, long)>& spectrum) {
    std::string text;
    for (long n = 1; text.size() < bytes; ++n) spectrum(text, n);
    return text;
}

// Waits until what was written is on the disk, so the kernel's write-back of
// the inputs does not run during a timed run.
void settle() { ::sync(); }

qint64 writeRepeated(const QString& path, const std::string& head, const std::string& body, qint64 bytes) {
    PeakListWriter out;
    if (!out.create(path)) return 0;
    out.write(head);
    for (qint64 put = qint64(head.size()); put + qint64(body.size()) <= bytes || put == qint64(head.size());
         put += qint64(body.size()))
        out.write(body);
    out.close();
    settle();
    return QFileInfo(path).size();
}

double runTool(const QString& program, const QStringList& args, const QString& stdoutFile = QString()) {
    QProcess p;
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    return bench::seconds([&] {
        p.start(program, args);
        p.waitForFinished(-1);
    });
}

struct Pair {
    std::vector<double> ours, tool, ratio;
};

// Runs ours and the tool in turn, once to warm up and then `repeat` times;
// `clean` removes the outputs after each run, so no run finds a file left by
// another. Each timed run starts from fresh memory (see FreshMemory.h) of
// `bytes`, as much as either side writes; each round's times are noted, with
// the reports of free memory that fell inside a run where the machine makes
// them.
Pair measure(int repeat, qint64 bytes, const std::function<void()>& ours, const std::function<double()>& tool,
             const std::function<void()>& clean, const char* toolName) {
    Pair pair;
    ours();
    clean();
    tool();
    clean();
    const auto timed = [&](const std::function<double()>& run, long& reports) {
        bench::FreshMemory memory(bytes);
        memory.release();
        const long before = bench::freePageReports();
        const double seconds = run();
        reports = bench::freePageReports() - before;
        clean();
        return seconds;
    };
    for (int i = 0; i < repeat; ++i) {
        long oursReports = 0, toolReports = 0;
        const double a = timed([&] { return bench::seconds(ours); }, oursReports);
        const double b = timed(tool, toolReports);
        pair.ours.push_back(a);
        pair.tool.push_back(b);
        pair.ratio.push_back(b / a);  // throughput of ours over the tool's
        QString round = QStringLiteral("round %1: ours %2 s, %3 %4 s: %5%")
                            .arg(i + 1)
                            .arg(a, 0, 'f', 3)
                            .arg(QLatin1String(toolName))
                            .arg(b, 0, 'f', 3)
                            .arg(b / a * 100, 0, 'f', 0);
        if (bench::freePageReports() >= 0)
            round += QStringLiteral("; reports of free memory during ours %1, during %2 %3")
                         .arg(oursReports)
                         .arg(QLatin1String(toolName))
                         .arg(toolReports);
        bench::note(round);
    }
    return pair;
}

void report(const QString& what, const char* toolName, qint64 bytes, const Pair& pair, double goal, bool everyRound) {
    const double mb = double(bytes) / 1e6;
    std::vector<double> percent;
    for (double r : pair.ratio) percent.push_back(r * 100);
    bench::figure(what, percent, bench::fixed(0, QStringLiteral("%")),
                  QStringLiteral("%1>= %2% of %3")
                      .arg(everyRound ? QStringLiteral("every round ") : QString())
                      .arg(goal * 100, 0, 'f', 0)
                      .arg(QLatin1String(toolName)),
                  everyRound ? bench::everyRound(bench::atLeast(goal * 100)) : bench::atLeast(goal * 100),
                  QStringLiteral("%1 MB/s, %2 %3 MB/s")
                      .arg(mb / bench::median(pair.ours), 0, 'f', 0)
                      .arg(QLatin1String(toolName))
                      .arg(mb / bench::median(pair.tool), 0, 'f', 0));
}

struct Format {
    const char* name;
    QString format;
    std::string head;  // once, before the repeated spectra
    std::function<void(std::string&, long)> spectrum;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qint64 mib = 1024;
    int repeat = 5;
    QString base = QDir::tempPath();
    QString only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString opt = QString::fromLocal8Bit(argv[i]);
        if (opt == "--size") mib = QString::fromLocal8Bit(argv[i + 1]).toLongLong();
        else if (opt == "--repeat") repeat = QString::fromLocal8Bit(argv[i + 1]).toInt();
        else if (opt == "--dir") base = QString::fromLocal8Bit(argv[i + 1]);
        else if (opt == "--only") only = QString::fromLocal8Bit(argv[i + 1]);
    }
    const auto wanted = [&](const QString& name) { return name.contains(only, Qt::CaseInsensitive); };
    if (mib <= 0 || repeat < bench::kMinRounds) {
        std::fprintf(stderr, "usage: peaklists [--size MiB] [--repeat N>=3] [--dir folder] [--only TEXT]\n");
        return 2;
    }
    QTemporaryDir dir(base + QStringLiteral("/peaklists-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(base));
        return 1;
    }
    const qint64 size = mib << 20;
    bench::note(QStringLiteral("peak lists of %1 MiB, %2 pairs per figure, in %3").arg(mib).arg(repeat).arg(dir.path()));

    PeakListJobContext job;
    job.GetFormValue = [](const QString&, const QString&) { return QStringLiteral("812.4"); };

    const Format formats[] = {
        {"Sequest (.DTA)", kFormatDta, "1001.5 2\r\n", [](std::string& s, long n) { peaks(s, n, 64, "%.4f %.1f\r\n"); }},
        {"Micromass (.PKL)", kFormatPkl, "", [](std::string& s, long n) {
             s += "445.3 1200 2\r\n";
             peaks(s, n, 64, "%.4f %.1f\r\n");
             s += "\r\n";
         }},
        {"Finnigan (.ASC)", kFormatAsc, "", [](std::string& s, long n) {
             s += "List: scan " + std::to_string(n) + "\r\nMode: 0 523.7 ms2\r\n";
             peaks(s, n, 64, "1 %.4f %.1f\r\n");
         }},
        {"PerSeptive (.PKS)", kFormatPks, "", [](std::string& s, long n) { peaks(s, n, 64, "%.4f 0 %.1f 1\r\n"); }},
        {"Sciex API III", kFormatApiIII, "", [](std::string& s, long n) { peaks(s, n, 64, "%.4f %.1f\r\n"); }},
    };
    const QString input = dir.filePath("input");
    const QString output = dir.filePath("output.qpl");
    const QString copy = dir.filePath("copy");
    const auto clean = [&] {
        QFile::remove(output);
        QFile::remove(copy);
    };
    for (const Format& f : formats) {
        const QString name = QStringLiteral("convert %1").arg(QLatin1String(f.name));
        if (!wanted(name)) continue;
        const qint64 bytes = writeRepeated(input, f.head, spectra(4 << 20, f.spectrum), size);
        const Pair pair = measure(
            repeat, bytes + bytes / 4,
            [&] {
                PeakListWriter out;
                out.create(output);
                convertPeakList(f.format, input, out, job);
                out.close();
            },
            [&] { return runTool(QStringLiteral("cp"), {input, copy}); }, clean, "cp");
        QFile::remove(input);
        report(QStringLiteral("%1 (%2 MB)").arg(name).arg(bytes / 1000000), "cp", bytes, pair, kConvertGoal, true);
    }

    // 10,000 files of each mergeable shape the task's files come in most:
    // Sequest files (one spectrum each) and generic lists from the cache.
    const struct {
        const char* name;
        QString format;
        std::function<std::string(int)> file;
    } merges[] = {
        {"DTA", kFormatDta, [&](int) { return std::string("1001.5 2\r\n"); }},
        {"generic", kFormatGeneric, [&](int i) {
             return "BEGIN IONS\r\nTITLE=spectrum " + std::to_string(i) + "\r\nPEPMASS=812.4\r\n";
         }},
    };
    const std::string body = spectra(size_t(size / kMergeFiles), [](std::string& s, long n) {
        peaks(s, n, 64, "%.4f %.1f\r\n");
    }).substr(0, size_t(size / kMergeFiles));
    const std::string bodyEnd = body.substr(0, body.rfind("\r\n") + 2);
    for (const auto& m : merges) {
        const QString name = QStringLiteral("merge %1 %2 files").arg(kMergeFiles).arg(QLatin1String(m.name));
        if (!wanted(name)) continue;
        const QString src = dir.filePath(QStringLiteral("merge-%1").arg(QLatin1String(m.name)));
        QDir().mkpath(src);
        QList<MergeInput> inputs;
        QStringList paths;
        qint64 total = 0;
        for (int i = 0; i < kMergeFiles; ++i) {
            const QString path = src + QStringLiteral("/f%1").arg(i);
            std::string text = m.file(i) + bodyEnd;
            if (m.format == kFormatGeneric) text += "END IONS\r\n";
            PeakListWriter out;
            out.create(path);
            out.write(text);
            out.close();
            total += qint64(text.size());
            inputs.append({path, m.format});
            paths << path;
        }
        settle();
        const QString merged = mergeFilePath(dir.path());
        const Pair pair = measure(
            repeat, total + total / 4, [&] { mergePeakLists(merged, inputs, job); },
            [&] { return runTool(QStringLiteral("cat"), paths, merged); }, [&] { QFile::remove(merged); }, "cat");
        QDir(src).removeRecursively();
        report(QStringLiteral("%1 (%2 MB)").arg(name).arg(total / 1000000), "cat", total, pair, kMergeGoal, false);
    }
    return 0;
}
