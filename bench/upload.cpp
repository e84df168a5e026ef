// Search upload: a generated peak list submitted to sorvex-sim on loopback
// through the service's search submission, next to the same file posted by
// `curl -F` in the same run. Prints throughput, this process's peak resident
// memory growth during the submission, and the time against curl's, over
// several rounds of the pair.
// Usage: upload [--size MiB] [--rounds N] [--dir folder]   (default 1024 MiB, 3 rounds)
#include "BenchReport.h"

#include "platform/InetWait.h"
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
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace tavrelsvc;

namespace {

qint64 statusKiB(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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
    qint64 written = 0;
    for (long n = 1; written + qint64(chunk.size()) < bytes; ++n) {
        chunk += "BEGIN IONS\r\nTITLE=spectrum " + std::to_string(n) + "\r\n";
        std::snprintf(line, sizeof line, "PEPMASS=%.4f\r\nCHARGE=2+\r\n", 400.0 + double(n % 160000) / 100);
        chunk += line;
        for (int i = 0; i < 40; ++i) {
            std::snprintf(line, sizeof line, "%.4f %.1f\r\n", 100.0 + i * 23.7 + double(n % 97) / 10, 10.0 + (n * i) % 900);
            chunk += line;
        }
        chunk += "END IONS\r\n";
        if (chunk.size() > (1u << 20)) {
            written += out.write(chunk.data(), qint64(chunk.size()));
            chunk.clear();
        }
    }
    out.write(chunk.data(), qint64(chunk.size()));
    out.close();
    // On the disk before anything is timed: the kernel's write-back of the
    // file must not run during one side's transfer only.
    ::sync();
    return QFileInfo(path).size();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qint64 mib = 1024;
    int rounds = bench::kMinRounds;
    QString dir;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (qstrcmp(argv[i], "--size") == 0) mib = QByteArray(argv[i + 1]).toLongLong();
        else if (qstrcmp(argv[i], "--rounds") == 0) rounds = std::max(bench::kMinRounds, QByteArray(argv[i + 1]).toInt());
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
    // As in the service: the request serves the event loop while it waits.
    platform::setRequestWaitPolicy({true, [] { return false; }});

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

    struct Side {
        double seconds = 0, cpu = 0, serverCpu = 0;
    };
    // The submission as the service makes it; false when it failed.
    qint64 peakGrowth = 0;
    const auto submission = [&](Side& side) {
        const qint64 rssBefore = statusKiB("VmRSS:");
        resetPeak();
        const double serverBefore = bench::cpuSecondsOf(sim.processId());
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer t;
        t.start();
        const SubmitResult r = clsJob_SubmitSearch(session, in, nullptr, job);
        side.seconds = double(t.nsecsElapsed()) / 1e9;
        side.cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
        side.serverCpu = bench::cpuSecondsOf(sim.processId()) - serverBefore;
        peakGrowth = statusKiB("VmHWM:") - rssBefore;
        return r.outcome == SubmitOutcome::Submitted;
    };
    // The same file posted by curl to a task of its own.
    const auto curlPost = [&](Side& side) {
        const QByteArray created = session.GetHttpDocWithLogin(url, QStringLiteral("client.pl?create_task_id"));
        const QString taskId = QString::fromLatin1(created.split('\n').value(0)).section('=', 1);
        const double serverBefore = bench::cpuSecondsOf(sim.processId());
        const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
        QElapsedTimer t;
        t.start();
        platform::Process curl;
        curl.start(QStringLiteral("curl"),
                   {QStringLiteral("-s"), QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-F"),
                    QStringLiteral("COM=bench"), QStringLiteral("-F"), QStringLiteral("FILE=@") + peakList,
                    url + QStringLiteral("nph-sorvex.exe?1+--taskID+") + taskId},
                   platform::ProcessOptions{});
        curl.waitForFinished();
        side.seconds = double(t.nsecsElapsed()) / 1e9;
        side.cpu = cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
        side.serverCpu = bench::cpuSecondsOf(sim.processId()) - serverBefore;
    };

    std::vector<double> ratio, ourSeconds, curlSeconds, peakMiB;
    QString failure;
    for (int round = 0; round < rounds; ++round) {
        // Each goes first in every other round: neither gets the server
        // fresh every time.
        Side ours, theirs;
        bool submitted = true;
        if (round % 2 == 0) {
            submitted = submission(ours);
            curlPost(theirs);
        } else {
            curlPost(theirs);
            submitted = submission(ours);
        }
        if (!submitted) {
            failure = QStringLiteral("the submission of round %1 failed").arg(round + 1);
            break;
        }
        bench::note(QStringLiteral("round %1: submission %2 s (its CPU %3 s, the server's %4 s), curl -F %5 s (its CPU "
                                   "%6 s, the server's %7 s)")
                        .arg(round + 1)
                        .arg(ours.seconds, 0, 'f', 2)
                        .arg(ours.cpu, 0, 'f', 2)
                        .arg(ours.serverCpu, 0, 'f', 2)
                        .arg(theirs.seconds, 0, 'f', 2)
                        .arg(theirs.cpu, 0, 'f', 2)
                        .arg(theirs.serverCpu, 0, 'f', 2));
        ourSeconds.push_back(ours.seconds);
        curlSeconds.push_back(theirs.seconds);
        ratio.push_back(ours.seconds / theirs.seconds);
        peakMiB.push_back(double(peakGrowth) / 1024);
    }

    const double mb = double(size) / 1e6;
    bench::figure(QStringLiteral("upload: %1 MB submission, time against curl -F").arg(mb, 0, 'f', 0), ratio,
                  bench::fixed(2, QStringLiteral("x")), QStringLiteral("<= 1.2x curl -F"), bench::atMost(1.2),
                  QStringLiteral("submission %1 MB/s, curl -F %2 MB/s")
                      .arg(mb / bench::median(ourSeconds), 0, 'f', 0)
                      .arg(mb / bench::median(curlSeconds), 0, 'f', 0),
                  failure);
    bench::figure(QStringLiteral("upload: peak RSS growth during the submission"), peakMiB,
                  bench::fixed(1, QStringLiteral(" MiB")), QStringLiteral("< 16 MiB"), bench::below(16), QString(), failure);
    sim.kill();
    sim.waitForFinished();
    return failure.isEmpty() ? 0 : 1;
}
