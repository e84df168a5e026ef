#include "platform/testsupport/TestSupport.h"

#include "platform/RegistryApi.h"
#include "platform/ShellAssoc.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
