#pragma once
// Child processes: a program and its argument list, never a shell. The child
// gets the caller's environment and, unless told otherwise, its current folder. Waits are measured on a
// monotonic clock and block in the operating system, never in a busy loop.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace platform {

struct ProcessOptions {
    bool captureOutput = false;  // standard output is kept for readOutput()
    bool captureError = false;   // standard error is kept for readError()
    // With both captured: standard error goes into the same stream as standard
    // output, in the order written, and readOutput() holds both.
    bool mergeErrorIntoOutput = false;
    // A hidden child writes nothing on the caller's terminal: streams that are
    // not captured go to the null device. Otherwise they are the caller's own.
    bool hidden = false;
    // The child's current folder; empty: the caller's. The caller's own
    // current folder never changes, so other work that runs meanwhile keeps it.
    QString workingFolder;
    // "NAME=value" entries the child gets on top of the caller's environment
    // (a secret for the child alone: the caller's own environment is unchanged).
    QStringList extraEnvironment;
};

class Process {
public:
    Process();
    // A child still running when its Process goes is killed and reaped, so no
    // process outlives the handle that owns it (use startDetached for that).
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Throws platform::Error when the program cannot be started, with the
    // reason (53 when the program is not found, 70 when it may not be run).
    void start(const QString& program, const QStringList& arguments, const ProcessOptions& options = {});

    // Starts a child that this program neither waits for nor owns; it is reaped
    // by the system. Only `hidden` of the options applies. Throws as start().
    static qint64 startDetached(const QString& program, const QStringList& arguments,
                                const ProcessOptions& options = {});

    // Blocks until the child has ended or timeoutMs has passed (-1: no limit),
    // reading its captured streams meanwhile. True when it has ended.
    bool waitForFinished(int timeoutMs = -1);

    // The same wait, but the program's event loop keeps running: pending
    // events and timers are served every 50 ms at most. `stop` is asked on
    // every pass (e.g. the shut-down flag) and ends the wait early. True when
    // the child has ended.
    bool waitForFinishedServingEvents(int timeoutMs = -1, const std::function<bool()>& stop = {});

    bool isRunning() const;
    qint64 processId() const;

    // exitcodes::StillActive (259) while the child runs; the whole code after
    // it ended (exitcodes::fromStatus); 128 + the signal number when a signal
    // ended it, so a crash never reads as success; -1 when nothing was started.
    int exitCode() const;
    bool crashed() const;

    // What the child wrote so far and was not read yet.
    QByteArray readOutput();
    QByteArray readError();

    // Ends the child at once and reaps it.
    void kill();

    // Lets a running child go on by itself: this handle holds nothing
    // afterwards, and the child is reaped when it ends (or ended with the
    // program). Without a running event loop to reap it, it is killed.
    void release();

private:
    std::unique_ptr<QProcess> process_;
    ProcessOptions options_;
};

}  // namespace platform
