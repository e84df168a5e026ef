#include "common/ProcessHelpers.h"

#include "platform/CommandLine.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/Process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace common {

namespace {

constexpr short kShowHidden = 0;
constexpr int kWaitSliceMs = 50;

}  // namespace

long modGlobal_RunCommandLine(const QString& commandLine, bool wait, short showState) {
    const platform::SplitCommand split = platform::splitCommandLine(commandLine);
    if (!split.ok() || split.arguments.isEmpty()) return 0;
    platform::ProcessOptions options;
    options.hidden = showState == kShowHidden;
    const QString program = split.arguments.first();
    const QStringList arguments = split.arguments.mid(1);
    try {
        if (!wait) {
            platform::Process::startDetached(program, arguments, options);
            return 1;
        }
        platform::Process child;
        child.start(program, arguments, options);
        child.waitForFinishedServingEvents(-1);
        return 1;
    } catch (const platform::Error&) {
        return 0;
    }
}

QString modGlobal_RunAndCaptureOutput(const QString& program, const QStringList& arguments,
                                      bool captureOutput, bool captureError, bool convertFromOem,
                                      int timeoutMs) {
    if (!captureOutput && !captureError)
        throw platform::Error(platform::errnum::InvalidProcedureCall,
                              QStringLiteral("Invalid procedure call or argument"));
    platform::ProcessOptions options;
    options.captureOutput = captureOutput;
    options.captureError = captureError;
    options.mergeErrorIntoOutput = captureOutput && captureError;  // interleaved as written
    options.hidden = true;
    platform::Process child;
    try {
        child.start(program, arguments, options);
    } catch (const platform::Error&) {
        return QString();
    }
    if (!child.waitForFinished(timeoutMs)) {
        child.kill();
        return QString();
    }
    const QByteArray bytes = captureOutput ? child.readOutput() : child.readError();
    // OEM and ANSI text are both the 8-bit code page here, so convertFromOem
    // decodes the same way.
    return platform::fromCp1252(bytes);
}

QString modGlobal_RunAndCaptureOutput(const QString& commandLine, bool captureOutput, bool captureError,
                                      bool convertFromOem) {
    if (!captureOutput && !captureError)
        throw platform::Error(platform::errnum::InvalidProcedureCall,
                              QStringLiteral("Invalid procedure call or argument"));
    const platform::SplitCommand split = platform::splitCommandLine(commandLine);
    if (!split.ok() || split.arguments.isEmpty()) return QString();
    return modGlobal_RunAndCaptureOutput(split.arguments.first(), split.arguments.mid(1), captureOutput,
                                         captureError, convertFromOem);
}

void modGlobal_WaitSeconds(int seconds, const std::function<bool()>& stop) {
    if (seconds <= 0) return;
    const QDeadlineTimer deadline(qint64(seconds) * 1000, Qt::PreciseTimer);
    while (!deadline.hasExpired()) {
        if (stop && stop()) return;
        const int slice = static_cast<int>(std::min<qint64>(kWaitSliceMs, deadline.remainingTime()));
        if (!QCoreApplication::instance()) {
            QThread::msleep(static_cast<unsigned long>(slice));
            continue;
        }
        // Sleeps in the event dispatcher until an event or the slice's end;
        // timers and sockets of the whole program are served meanwhile.
        QEventLoop loop;
        QTimer::singleShot(slice, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

}  // namespace common
