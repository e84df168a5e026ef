#include "platform/Process.h"

#include "platform/Error.h"
#include "platform/ExitCodes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace platform {

namespace {

constexpr long kNoPermission = 70;  // "Permission denied"
constexpr int kEventSliceMs = 50;

void configure(QProcess& p, const ProcessOptions& o) {
    // A child never waits on our standard input: it reads end-of-file at once.
    p.setStandardInputFile(QProcess::nullDevice());
    const bool out = o.captureOutput;
    const bool err = o.captureError;
    if (out && err) {
        p.setProcessChannelMode(o.mergeErrorIntoOutput ? QProcess::MergedChannels
                                                       : QProcess::SeparateChannels);
    } else if (out) {
        // A channel redirected to a file must not be a forwarded one as well.
        if (o.hidden) p.setStandardErrorFile(QProcess::nullDevice());
        else p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    } else if (err) {
        if (o.hidden) p.setStandardOutputFile(QProcess::nullDevice());
        else p.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    } else if (o.hidden) {
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
    } else {
        p.setProcessChannelMode(QProcess::ForwardedChannels);
    }
}

// The reason a program could not be started, as an error to throw.
Error startFailure(const QString& program, const QString& detail) {
    const bool hasFolder = program.contains(QLatin1Char('/'));
    const bool found = hasFolder ? QFileInfo::exists(program)
                                 : !QStandardPaths::findExecutable(program).isEmpty();
    QString text = QStringLiteral("Cannot start \"%1\": ").arg(program);
    if (program.isEmpty()) return Error(errnum::FileNotFound, text + QStringLiteral("no program given"));
    if (!found) return Error(errnum::FileNotFound, text + QStringLiteral("program not found"));
    return Error(kNoPermission, text + (detail.isEmpty() ? QStringLiteral("permission denied") : detail));
}

}  // namespace

Process::Process() = default;

Process::~Process() { kill(); }

void Process::start(const QString& program, const QStringList& arguments, const ProcessOptions& options) {
    kill();
    auto p = std::make_unique<QProcess>();
    configure(*p, options);
    p->setProgram(program);
    p->setArguments(arguments);
    if (!options.workingFolder.isEmpty()) p->setWorkingDirectory(options.workingFolder);
    if (!options.extraEnvironment.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : options.extraEnvironment)
            environment.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        p->setProcessEnvironment(environment);
    }
    if (program.isEmpty()) throw startFailure(program, QString());
    p->start(QIODevice::ReadOnly);
    if (!p->waitForStarted(-1)) throw startFailure(program, p->errorString());
    process_ = std::move(p);
    options_ = options;
}

qint64 Process::startDetached(const QString& program, const QStringList& arguments,
                              const ProcessOptions& options) {
    if (program.isEmpty()) throw startFailure(program, QString());
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    p.setStandardInputFile(QProcess::nullDevice());
    if (!options.workingFolder.isEmpty()) p.setWorkingDirectory(options.workingFolder);
    if (options.hidden) {
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
    }
    qint64 pid = 0;
    if (!p.startDetached(&pid)) throw startFailure(program, p.errorString());
    return pid;
}

bool Process::isRunning() const { return process_ && process_->state() != QProcess::NotRunning; }

qint64 Process::processId() const { return process_ ? process_->processId() : 0; }

bool Process::waitForFinished(int timeoutMs) {
    if (!isRunning()) return true;
    process_->waitForFinished(timeoutMs < 0 ? -1 : timeoutMs);
    return !isRunning();
}

bool Process::waitForFinishedServingEvents(int timeoutMs, const std::function<bool()>& stop) {
    const QDeadlineTimer deadline =
        timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs);
    while (isRunning()) {
        if (stop && stop()) return false;
        if (deadline.hasExpired()) return false;
        const qint64 remaining = deadline.isForever() ? kEventSliceMs : deadline.remainingTime();
        // Blocks on the child (and reads its pipes) for one slice, then lets the
        // program's timers and other events run.
        process_->waitForFinished(static_cast<int>(std::min<qint64>(kEventSliceMs, remaining)));
        if (QCoreApplication::instance()) QCoreApplication::processEvents();
        // The events just served may have killed the child or restarted this
        // handle; the loop condition looks again.
    }
    return true;
}

int Process::exitCode() const {
    if (!process_) return -1;
    if (isRunning()) return exitcodes::StillActive;
    if (process_->exitStatus() == QProcess::CrashExit) return 128 + process_->exitCode();
    return exitcodes::fromStatus(process_->exitCode());
}

bool Process::crashed() const {
    return process_ && !isRunning() && process_->exitStatus() == QProcess::CrashExit;
}

QByteArray Process::readOutput() {
    if (!process_ || !options_.captureOutput) return {};
    return process_->readAllStandardOutput();
}

QByteArray Process::readError() {
    // Merged: standard error arrived in readOutput().
    if (!process_ || !options_.captureError) return {};
    if (options_.captureOutput && options_.mergeErrorIntoOutput) return {};
    return process_->readAllStandardError();
}

void Process::release() {
    if (!process_) return;
    if (!isRunning() || !QCoreApplication::instance()) {
        kill();
        process_.reset();
        return;
    }
    QProcess* child = process_.release();
    child->setParent(QCoreApplication::instance());
    QObject::connect(child, &QProcess::finished, child, &QObject::deleteLater);
}

void Process::kill() {
    if (!isRunning()) return;
    process_->kill();
    process_->waitForFinished(-1);
}

}  // namespace platform
