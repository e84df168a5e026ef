#pragma once
// The real TavrelService program in a child process, and its program folder:
// a task database (SQLite or PostgreSQL), settings and a simulated server.
#include "HostFixture.h"

#include "clientcommon/Globals.h"
#include "clientcommon/ServiceWakeUp.h"
#include "platform/LocalChannel.h"
#include "platform/ServiceControl.h"
#include "servicehost/frmMain.h"

#include <QProcess>

#include <csignal>
#include <memory>

namespace hosttest {

class ServiceProgram {
public:
    ServiceProgram(const QString& home, const QString& computer, const QProcessEnvironment& base = QProcessEnvironment::systemEnvironment())
        : home_(home) {
        QProcessEnvironment env = base;
        env.insert("TAVREL_HOME", home);
        env.insert("COMPUTERNAME", computer);
        process_.setProcessEnvironment(env);
        process_.setStandardOutputFile(QProcess::nullDevice());
    }
    ~ServiceProgram() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    // Starts the program ("-debug" unless told otherwise) and waits until its
    // start-up is through: the connection notice is logged and the control
    // socket, served only after the recovery, answers.
    bool start(const QStringList& args = {"-debug"}) {
        const int before = countContaining(eventLog(home_), "|Connected to ");
        process_.start(testsupport::binPath("TavrelService"), args);
        if (!process_.waitForStarted(5000)) return false;
        if (!testsupport::waitUntil([&] { return countContaining(eventLog(home_), "|Connected to ") > before; }, 15000))
            return false;
        QByteArray answer;
        return platform::localChannelRequest(platform::serviceChannelName(tavrelsvc::ServiceName, home_), "query",
                                             10000, &answer) == platform::ChannelResult::Answered;
    }
    void signal(int number) { ::kill(static_cast<pid_t>(process_.processId()), number); }
    qint64 pid() const { return process_.processId(); }
    // Starts the program without waiting for its start-up.
    bool launch(const QStringList& args) {
        process_.start(testsupport::binPath("TavrelService"), args);
        return process_.waitForStarted(5000);
    }
    bool waitForExit(int ms = 10000) { return process_.waitForFinished(ms); }
    bool running() const { return process_.state() != QProcess::NotRunning; }
    int exitCode() const { return process_.exitCode(); }
    // What the program wrote on standard error so far.
    QString standardError() {
        err_ += QString::fromLocal8Bit(process_.readAllStandardError());
        return err_;
    }

private:
    QString home_;
    QProcess process_;
    QString err_;
};

// Exit status of a switch run ("-install -silent", ...); -1 when it did not
// end normally. The program may be started through a wrapper (another user).
inline int runSwitch(const QStringList& args, QString* standardError = nullptr, QString* standardOutput = nullptr,
                     const QStringList& wrapper = {}) {
    QProcess p;
    const QStringList command = wrapper + QStringList{testsupport::binPath("TavrelService")} + args;
    p.start(command.first(), command.mid(1));
    if (!p.waitForFinished(15000)) return -1;
    if (standardError) *standardError = QString::fromLocal8Bit(p.readAllStandardError());
    if (standardOutput) *standardOutput = QString::fromLocal8Bit(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// A program folder (the test's TempHome) with the service registered, a task
// database of the engine, settings and a simulated server. Job ticks are
// pushed far out (TimerTick 600) so the requests alone decide each answer.
class ServiceHome {
public:
    explicit ServiceHome(testsupport::DbEngine engine) : db(engine) {}

    // Empty when ready, else why the test must skip.
    QString prepare() {
        if (!testsupport::SorvexSim::available() || !QFileInfo::exists(testsupport::binPath("TavrelService")))
            return "sorvex-sim or TavrelService is not built";
        if (!db.available()) return "TAVREL_TEST_PG is not set";
        if (!sim.start()) return "sorvex-sim did not start: " + sim.error();
        rows = std::make_unique<TaskRows>(db.connectionString());
        rows->createTables();
        rows->parameterFile = home.file("search.par");
        testsupport::writeFile(rows->parameterFile, "DB=SwissProt\r\n");
        QDir().mkpath(home.file("qpl"));
        saveSettings(sim.baseUrl(), db.connectionString(), home.file("qpl"), 60);
        common::modGlobal_SaveSetting(kApp, common::PreferencesSection, "TimerTick", "600");
        tavrel::CommandLineArgs.clear();
        tavrel::TrayMessageId = 0;
        return QString();
    }

    // Writes the request and wakes the service, which answers before the wake-up returns.
    void ask(int uid, const QString& word) {
        rows->request(uid, word);
        ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    }

    testsupport::TempHome home;
    testsupport::TestDatabase db;
    testsupport::SorvexSim sim;
    std::unique_ptr<TaskRows> rows;
};

}  // namespace hosttest
