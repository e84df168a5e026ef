#include "platform/ServiceManager.h"

#include "platform/Error.h"
#include "platform/ServiceControl.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace platform {

QString serviceUnitName(const QString& serviceName) {
    QString unit;
    for (qsizetype i = 0; i < serviceName.size(); ++i) {
        const QChar c = serviceName.at(i);
        if (i > 0 && c.isUpper() && !serviceName.at(i - 1).isUpper()) unit += QLatin1Char('-');
        unit += c.toLower();
    }
    return unit + QStringLiteral(".service");
}

bool serviceManagerRuns() { return QFileInfo(QStringLiteral("/run/systemd/system")).isDir(); }

namespace {

long refusalCode(const QString& said) {
    const QString text = said.toLower();
    if (text.contains(QLatin1String("not been booted with systemd")) ||
        text.contains(QLatin1String("failed to connect to bus")) ||
        text.contains(QLatin1String("host is down")))
        return ERROR_NOT_SUPPORTED;
    if (text.contains(QLatin1String("access denied")) || text.contains(QLatin1String("authentication required")) ||
        text.contains(QLatin1String("permission denied")))
        return ERROR_ACCESS_DENIED;
    if (text.contains(QLatin1String("not found")) || text.contains(QLatin1String("not loaded")) ||
        text.contains(QLatin1String("does not exist")))
        return ERROR_SERVICE_DOES_NOT_EXIST;
    return ERROR_SERVICE_DISABLED;
}

}  // namespace

ServiceManagerOutcome runServiceManager(const QStringList& arguments, int timeoutMs) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("systemctl"));
    if (program.isEmpty()) return {ERROR_NOT_SUPPORTED, QString()};
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::max(1, timeoutMs), &loop, &QEventLoop::quit);
    process.start(program, QStringList{QStringLiteral("--no-ask-password")} + arguments, QIODevice::ReadOnly);
    if (process.state() != QProcess::NotRunning) loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(2000);
        return {ERROR_SERVICE_REQUEST_TIMEOUT, QString()};
    }
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.error() == QProcess::FailedToStart) return {ERROR_NOT_SUPPORTED, QString()};
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return {ERROR_SUCCESS, out};
    long code = refusalCode(said);
    if (code == ERROR_SERVICE_DISABLED && process.exitCode() == 4) code = ERROR_ACCESS_DENIED;  // LSB: no privilege
    if (code == ERROR_SERVICE_DISABLED && process.exitCode() == 5) code = ERROR_SERVICE_DOES_NOT_EXIST;  // LSB: not installed
    return {code, out};
}

}  // namespace platform
