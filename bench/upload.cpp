// Search upload: a generated peak list submitted to sorvex-sim on loopback
// through the service's search submission, next to the same file posted by
// `curl -F` in the same run. Prints throughput, this process's peak resident
// memory growth during the submission, and the time against curl's.
// Usage: upload [--size MiB] [--dir folder]   (default 1024 MiB)
#include "platform/Process.h"
#include "search/JobSession.h"
#include "search/SearchForm.h"
#include "search/SearchSubmit.h"
#include "service/EventLog.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

using namespace tavrelsvc;

namespace {

qint64 statusKiB(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Peak RSS starts again from the current RSS.
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

qint64 generate(const QString& path, qint64 bytes) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return 0;
    std::string chunk;
    char line[96];
    for (long n = 1; out.size() + qint64(chunk.size()) < bytes; ++n) {
        chunk += "BEGIN IONS\r\nTITLE=spectrum " + std::to_string(n) + "\r\n";
        std::snprintf(line, sizeof line, "PEPMASS=%.4f\r\nCHARGE=2+\r\n", 400.0 + double(n % 160000) / 100);
        chunk += line;
        for (int i = 0; i < 40; ++i) {
            std::snprintf(line, sizeof line, "%.4f %.1f\r\n", 100.0 + i * 23.7 + double(n % 97) / 10, 10.0 + (n * i) % 900);
            chunk += line;
        }
        chunk += "END IONS\r\n";
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), qint64(chunk.size()));
            chunk.clear();
        }
    }
    out.write(chunk.data(), qint64(chunk.size()));
    return out.size();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qint64 mib = 1024;
    QString dir;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (qstrcmp(argv[i], "--size") == 0) mib = QByteArray(argv[i + 1]).toLongLong();
        else if (qstrcmp(argv[i], "--dir") == 0) dir = QString::fromLocal8Bit(argv[i + 1]);
    }
    QTemporaryDir temp(dir.isEmpty() ? QDir::tempPath() + QStringLiteral("/upload-XXXXXX") : dir + QStringLiteral("/upload-XXXXXX"));
    const QString peakList = temp.filePath(QStringLiteral("big.qpl"));
    const qint64 size = generate(peakList, mib << 20);
    if (size <= 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(peakList));
        return 1;
    }
    EventLogStream::open(temp.filePath(kEventLogFileName));

    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/sorvex-sim"),
              {QStringLiteral("--port"), QStringLiteral("0")});
    if (!sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "sorvex-sim did not start\n");
        return 1;
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(sim.readLine().trimmed().toInt());
    AccessType = 1;
    TimeOut = 600;

    JobSession session(1, QStringLiteral("bench"), url, std::nullopt);
    session.sessionID.clear();  // the simulator runs without sessions here
    SubmissionInput in;
    in.SearchFormPrefix = searchFormPart(QStringLiteral("FORMVER"), QStringLiteral("1.01")) +
                          searchFormPart(QStringLiteral("COM"), QStringLiteral("bench")) + "--" + SearchFormBoundary +
                          "\r\nContent-Disposition: form-data; name=\"FILE\"; filename=\"big.qpl\"\r\n\r\n";
    in.PeakListFile = peakList;
    in.CurrentMethodCode = QStringLiteral("?1");
    in.task_sorvex_url = url;
    SearchJobContext job;

    // Warm up the session handle and the code paths with a small search.
    session.GetHttpDocWithLogin(url, QStringLiteral("client.pl?version"));

    const qint64 rssBefore = statusKiB("VmRSS:");
    resetPeak();
    QElapsedTimer t;
    t.start();
    const SubmitResult r = clsJob_SubmitSearch(session, in, nullptr, job);
    const double ours = double(t.nsecsElapsed()) / 1e9;
    const qint64 peakGrowth = statusKiB("VmHWM:") - rssBefore;
    if (r.outcome != SubmitOutcome::Submitted) {
        std::fprintf(stderr, "the submission failed\n");
        return 1;
    }

    const QByteArray created = session.GetHttpDocWithLogin(url, QStringLiteral("client.pl?create_task_id"));
    const QString taskId = QString::fromLatin1(created.split('\n').value(0)).section('=', 1);
    t.restart();
    platform::Process curl;
    curl.start(QStringLiteral("curl"),
               {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-F"),
                QStringLiteral("COM=bench"), QStringLiteral("-F"), QStringLiteral("FILE=@") + peakList,
                url + QStringLiteral("nph-sorvex.exe?1+--taskID+") + taskId},
               platform::ProcessOptions{});
    curl.waitForFinished();
    const double theirs = double(t.nsecsElapsed()) / 1e9;

    const double mb = double(size) / 1e6;
    std::printf("upload %8.0f MB  submission %7.2f s %8.1f MB/s  curl -F %7.2f s %8.1f MB/s  time %.2fx curl (goal <= 1.2x) %s\n",
                mb, ours, mb / ours, theirs, mb / theirs, ours / theirs, ours / theirs <= 1.2 ? "ok" : "ABOVE GOAL");
    std::printf("peak RSS growth during the submission: %.1f MiB (goal < 16 MiB) %s\n", double(peakGrowth) / 1024,
                peakGrowth < 16 * 1024 ? "ok" : "ABOVE GOAL");
    sim.kill();
    sim.waitForFinished();
    return 0;
}
