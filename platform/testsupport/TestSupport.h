#pragma once
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>

namespace testsupport {

// A private program folder: TAVREL_HOME points at a new temporary folder for
// the fixture's life and is put back afterwards.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    std::optional<QByteArray> previous_;
};

// Sets (or, with no value, clears) an environment variable for one scope.
class EnvGuard {
public:
    EnvGuard(const char* name, std::optional<QByteArray> value);
    ~EnvGuard();
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> previous_;
};

// Path of a program built into build/bin (TAVREL_BIN is set by CTest).
QString binPath(const QString& program);

// Runs the event loop until the condition holds or the time-out passes.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

// Files with the extension open with the program ("" for none): the hive's
// association override, as an install sets it. False when the hive could not
// be written.
bool associateExtension(const QString& extension, const QString& program);
// The same, and the program folder's "dummy<extension>" written, as an install
// ships it.
bool associateWithProgram(const QString& programFolder, const QString& extension, const QString& program);

// Writes bytes to a file, creating its folder.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// A port of 127.0.0.1 that nobody listened on a moment ago: a server that
// does not answer.
quint16 closedLocalPort();

}  // namespace testsupport

namespace testsupport {

// A stand-in for systemctl, first on PATH for its life: every call is
// recorded ("start sorvex-tavrel-service.service"); "start" runs the service
// command in the background as the unit would, "stop" ends it with SIGTERM and
// waits for it, "restart" does both, "show" answers its process id. After
// refuse(), every call but "show" fails with that text and exit status.
class FakeServiceManager {
public:
    FakeServiceManager();
    FakeServiceManager(const FakeServiceManager&) = delete;
    FakeServiceManager& operator=(const FakeServiceManager&) = delete;
    ~FakeServiceManager();

    void setService(const QString& program, const QStringList& arguments);
    void refuse(const QString& text, int exitStatus);
    QStringList calls() const;
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    std::optional<EnvGuard> path_;
};

}  // namespace testsupport
