#include "platform/testsupport/TestSupport.h"

#include "platform/RegistryApi.h"
#include "platform/ShellAssoc.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QThread>

namespace testsupport {

TempHome::TempHome() {
    if (qEnvironmentVariableIsSet("TAVREL_HOME")) previous_ = qgetenv("TAVREL_HOME");
    qputenv("TAVREL_HOME", dir_.path().toLocal8Bit());
}

TempHome::~TempHome() {
    if (previous_) qputenv("TAVREL_HOME", *previous_);
    else qunsetenv("TAVREL_HOME");
}

EnvGuard::EnvGuard(const char* name, std::optional<QByteArray> value) : name_(name) {
    if (qEnvironmentVariableIsSet(name)) previous_ = qgetenv(name);
    if (value) qputenv(name, *value);
    else qunsetenv(name);
}

EnvGuard::~EnvGuard() {
    if (previous_) qputenv(name_, *previous_);
    else qunsetenv(name_);
}

QString binPath(const QString& program) {
    QString bin = qEnvironmentVariable("TAVREL_BIN");
    if (bin.isEmpty()) bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    return QDir(bin).absoluteFilePath(program);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

bool associateWithProgram(const QString& programFolder, const QString& extension, const QString& program) {
    writeFile(QDir(programFolder).filePath(QStringLiteral("dummy") + extension), QByteArray());
    return associateExtension(extension, program);
}

bool associateExtension(const QString& extension, const QString& program) {
    platform::RegKeyHandle key;
    if (platform::RegCreateKeyEx(platform::HKEY_LOCAL_MACHINE, platform::kFileAssociationsKey, 0,
                                 platform::KEY_ALL_ACCESS, key.out()) != platform::ERROR_SUCCESS)
        return false;
    return platform::RegSetValueEx(key.get(), extension, platform::REG_SZ, program.toUtf8().append('\0')) ==
           platform::ERROR_SUCCESS;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

quint16 closedLocalPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost)) return 1;
    return probe.serverPort();  // and closed again on return
}

}  // namespace testsupport

namespace testsupport {

namespace {

QByteArray shellQuoted(const QString& word) {
    QByteArray w = QFile::encodeName(word);
    w.replace('\'', "'\\''");
    return '\'' + w + '\'';
}

const char kFakeSystemctl[] = R"SH(#!/bin/sh
d=$(dirname "$0")
verb= unit=
for a in "$@"; do
    case "$a" in -*) ;; *) if [ -z "$verb" ]; then verb=$a; elif [ -z "$unit" ]; then unit=$a; fi ;; esac
done
echo "$verb $unit" >>"$d/calls"
alive() { [ -r "/proc/$1/stat" ] && [ "$(cut -d' ' -f3 "/proc/$1/stat")" != Z ]; }
running() { [ -s "$d/pid" ] && alive "$(cat "$d/pid")"; }
stop() {
    if running; then
        p=$(cat "$d/pid"); kill -TERM "$p"; i=0
        while alive "$p" && [ $i -lt 400 ]; do sleep 0.05; i=$((i + 1)); done
    fi
    rm -f "$d/pid"
}
start() {
    running && return 0
    [ -x "$d/service" ] || { echo "Failed to start $unit: Unit $unit not found." >&2; exit 5; }
    "$d/service" </dev/null >/dev/null 2>&1 &
    echo $! >"$d/pid"
}
if [ "$verb" = show ]; then if running; then cat "$d/pid"; else echo 0; fi; exit 0; fi
if [ -f "$d/refuse" ]; then cat "$d/refuse" >&2; exit "$(cat "$d/refuse.status")"; fi
case "$verb" in
    start) start ;;
    stop) stop ;;
    restart) stop; start ;;
esac
exit 0
)SH";

}  // namespace

FakeServiceManager::FakeServiceManager() {
    const QString script = dir_.filePath(QStringLiteral("systemctl"));
    writeFile(script, kFakeSystemctl);
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    path_.emplace("PATH", QFile::encodeName(dir_.path()) + ':' + qgetenv("PATH"));
}

FakeServiceManager::~FakeServiceManager() {
    // Nothing it started outlives the test.
    path_.reset();
    QFile::remove(dir_.filePath(QStringLiteral("refuse")));
    QProcess stop;
    stop.start(QStringLiteral("/bin/sh"), {dir_.filePath(QStringLiteral("systemctl")), QStringLiteral("stop"), QStringLiteral("x")});
    stop.waitForFinished(30000);
}

void FakeServiceManager::setService(const QString& program, const QStringList& arguments) {
    QByteArray text = "#!/bin/sh\nexec " + shellQuoted(program);
    for (const QString& a : arguments) text += ' ' + shellQuoted(a);
    const QString script = dir_.filePath(QStringLiteral("service"));
    writeFile(script, text + '\n');
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void FakeServiceManager::refuse(const QString& text, int exitStatus) {
    writeFile(dir_.filePath(QStringLiteral("refuse.status")), QByteArray::number(exitStatus));
    writeFile(dir_.filePath(QStringLiteral("refuse")), text.toUtf8() + '\n');
}

QStringList FakeServiceManager::calls() const {
    const QString text = QString::fromUtf8(readFile(dir_.filePath(QStringLiteral("calls"))));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace testsupport
