// Peak-list conversion and merge throughput next to a plain copy of the same
// bytes on the same disk. Usage: peaklists [--size MiB] [--dir folder]
#include "convert/PeakListFormats.h"
#include "convert/PeakListIo.h"
#include "convert/PeakListMerge.h"
#include "platform/Process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <string>

using namespace tavrelsvc;

namespace {

// Writes generated lines until the file holds about `bytes`.
qint64 generate(const QString& path, qint64 bytes, const std::function<void(std::string&, long)>& spectrum) {
    PeakListWriter out;
    if (!out.create(path)) return 0;
    std::string chunk;
    for (long n = 1; out.bytesWritten() + qint64(chunk.size()) < bytes; ++n) {
        spectrum(chunk, n);
        if (chunk.size() > (1u << 20)) {
            out.write(chunk);
            chunk.clear();
        }
    }
    out.write(chunk);
    out.close();
    return QFileInfo(path).size();
}

void peaks(std::string& s, long n, int count, const char* format) {
    char line[96];
    for (int i = 0; i < count; ++i) {
        const int len = std::snprintf(line, sizeof line, format, 100.0 + i * 7.31 + n % 97 * 0.001,
                                      1000.0 + (i * 37 + n) % 5000);
        s.append(line, size_t(len));
    }
}

double seconds(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e9;
}

double copySeconds(const QStringList& args) {
    return seconds([&] {
        platform::Process p;
        p.start(QStringLiteral("cp"), args);
        p.waitForFinished();
    });
}

void report(const char* what, qint64 bytes, double convert, double copy, double goal) {
    const double mb = double(bytes) / 1e6;
    const double ratio = (mb / convert) / (mb / copy);
    std::printf("%-22s %8.0f MB  %9.1f MB/s  copy %9.1f MB/s  %5.0f%% of copy (goal %.0f%%) %s\n", what, mb,
                mb / convert, mb / copy, ratio * 100, goal * 100, ratio >= goal ? "ok" : "BELOW GOAL");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qint64 mib = 1024;
    QString base = QDir::tempPath();
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString opt = QString::fromLocal8Bit(argv[i]);
        if (opt == "--size") mib = QString::fromLocal8Bit(argv[i + 1]).toLongLong();
        else if (opt == "--dir") base = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (mib <= 0) {
        std::fprintf(stderr, "usage: peaklists [--size MiB] [--dir folder]\n");
        return 2;
    }
    QTemporaryDir dir(base + QStringLiteral("/peaklists-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(base));
        return 1;
    }
    const qint64 size = mib << 20;
    std::printf("peak-list throughput, %lld MiB per format, in %s\n", mib, qPrintable(dir.path()));

    PeakListJobContext job;
    job.GetFormValue = [](const QString&, const QString&) { return QStringLiteral("812.4"); };

    struct Format {
        const char* name;
        QString format;
        std::function<void(std::string&, long)> spectrum;
    };
    const Format formats[] = {
        {"Sequest (.DTA)", kFormatDta, [](std::string& s, long n) {
             if (n == 1) s += "1001.5 2\r\n";
             peaks(s, n, 64, "%.4f %.1f\r\n");
         }},
        {"Micromass (.PKL)", kFormatPkl, [](std::string& s, long n) {
             s += "445.3 1200 2\r\n";
             peaks(s, n, 64, "%.4f %.1f\r\n");
             s += "\r\n";
         }},
        {"Finnigan (.ASC)", kFormatAsc, [](std::string& s, long n) {
             s += "List: scan " + std::to_string(n) + "\r\nMode: 0 523.7 ms2\r\n";
             peaks(s, n, 64, "1 %.4f %.1f\r\n");
         }},
        {"PerSeptive (.PKS)", kFormatPks, [](std::string& s, long n) { peaks(s, n, 64, "%.4f 0 %.1f 1\r\n"); }},
        {"Sciex API III", kFormatApiIII, [](std::string& s, long n) { peaks(s, n, 64, "%.4f %.1f\r\n"); }},
    };
    const QString input = dir.filePath("input");
    const QString output = dir.filePath("output.qpl");
    const QString copy = dir.filePath("copy");
    for (const Format& f : formats) {
        const qint64 bytes = generate(input, size, f.spectrum);
        const double convert = seconds([&] {
            PeakListWriter out;
            out.create(output);
            convertPeakList(f.format, input, out, job);
            out.close();
        });
        QFile::remove(output);
        const double cp = copySeconds({input, copy});
        QFile::remove(copy);
        QFile::remove(input);
        report(f.name, bytes, convert, cp, 0.30);
    }

    // Merge of 10,000 generic files into one.
    const int files = 10000;
    const QString src = dir.filePath("generic");
    QDir().mkpath(src);
    QList<MergeInput> inputs;
    qint64 total = 0;
    for (int i = 0; i < files; ++i) {
        const QString path = src + QStringLiteral("/f%1.qpl").arg(i);
        total += generate(path, size / files, [](std::string& s, long n) {
            s += "BEGIN IONS\r\nTITLE=spectrum " + std::to_string(n) + "\r\nPEPMASS=812.4\r\n";
            peaks(s, n, 64, "%.4f %.1f\r\n");
            s += "END IONS\r\n\r\n";
        });
        inputs.append({path, kFormatGeneric});
    }
    const double merge = seconds([&] { mergePeakLists(mergeFilePath(dir.path()), inputs, job); });
    QFile::remove(mergeFilePath(dir.path()));
    const double cp = copySeconds({QStringLiteral("-r"), src, dir.filePath("generic-copy")});
    report("merge 10000 generic", total, merge, cp, 0.70);
    return 0;
}
