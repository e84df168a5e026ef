#pragma once
// Starts the simulated Sorvex Server (build/bin/sorvex-sim) on 127.0.0.1 for
// one test and stops it afterwards. Header-only so any folder's tests can use it.
#include "platform/testsupport/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

namespace testsupport {

class SorvexSim {
public:
    struct Options {
        bool https = false;
        QString cert = QStringLiteral("server");  // or "wronghost"
        bool proxy = false;
    };

    static bool available() { return QFileInfo::exists(binPath(QStringLiteral("sorvex-sim"))); }
    static QString certDir() {
        return QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(QStringLiteral("../../tools/sorvex-sim/testcerts"));
    }
    static QString caFile() { return QDir(certDir()).absoluteFilePath(QStringLiteral("ca.pem")); }

    SorvexSim() = default;
    SorvexSim(const SorvexSim&) = delete;
    SorvexSim& operator=(const SorvexSim&) = delete;
    ~SorvexSim() { stop(); }

    // Starts with the scenario (JSON text); false with the reason in error().
    bool start(const QByteArray& scenario = "{}") { return start(scenario, Options()); }
    bool start(const QByteArray& scenario, const Options& options) {
        stop();
        scenarioPath_ = dir_.filePath(QStringLiteral("scenario.json"));
        logPath_ = dir_.filePath(QStringLiteral("requests.log"));
        writeFile(scenarioPath_, scenario);
        writeFile(logPath_, {});
        QStringList args = {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--scenario"), scenarioPath_,
                            QStringLiteral("--log"), logPath_};
        if (options.https)
            args << QStringLiteral("--https-port") << QStringLiteral("0") << QStringLiteral("--cert")
                 << QDir(certDir()).absoluteFilePath(options.cert + QStringLiteral(".pem")) << QStringLiteral("--key")
                 << QDir(certDir()).absoluteFilePath(options.cert + QStringLiteral(".key"));
        if (options.proxy) args << QStringLiteral("--proxy-port") << QStringLiteral("0");
        process_ = std::make_unique<QProcess>();
        process_->start(binPath(QStringLiteral("sorvex-sim")), args);
        const int wanted = 1 + (options.https ? 1 : 0) + (options.proxy ? 1 : 0);
        QList<int> ports;
        while (ports.size() < wanted) {
            if (!process_->canReadLine() && !process_->waitForReadyRead(10000)) {
                error_ = QString::fromLocal8Bit(process_->readAllStandardError());
                stop();
                return false;
            }
            while (process_->canReadLine() && ports.size() < wanted)
                ports.append(process_->readLine().trimmed().toInt());
        }
        httpPort_ = ports.value(0);
        httpsPort_ = options.https ? ports.value(1) : 0;
        proxyPort_ = options.proxy ? ports.value(wanted - 1) : 0;
        return true;
    }

    void stop() {
        if (!process_) return;
        process_->terminate();
        if (!process_->waitForFinished(3000)) process_->kill(), process_->waitForFinished(3000);
        process_.reset();
    }

    // Re-reads a changed scenario (sessions and counters are kept).
    bool reload(const QByteArray& scenario) {
        writeFile(scenarioPath_, scenario);
        return control(QStringLiteral("reload"));
    }
    bool expireSessions() { return control(QStringLiteral("expire-sessions")); }
    // Lets the replies of "hold" faults go.
    bool releaseHeld() { return control(QStringLiteral("release")); }

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/sorvex/cgi/").arg(httpPort_); }
    QString httpsUrl(const QString& host = QStringLiteral("127.0.0.1")) const {
        return QStringLiteral("https://%1:%2/sorvex/cgi/").arg(host).arg(httpsPort_);
    }
    int httpPort() const { return httpPort_; }
    int proxyPort() const { return proxyPort_; }
    QString error() const { return error_; }

    // The request log, one list of tab-separated fields per request.
    QList<QStringList> requests() const {
        QList<QStringList> lines;
        for (const QByteArray& line : readFile(logPath_).split('\n'))
            if (!line.isEmpty()) lines.append(QString::fromUtf8(line).split(QLatin1Char('\t')));
        return lines;
    }
    // Targets of the logged requests, in order.
    QStringList targets() const {
        QStringList t;
        for (const QStringList& r : requests()) t.append(r.value(2));
        return t;
    }
    void clearLog() { writeFile(logPath_, {}); }

private:
    bool control(const QString& what) {
        // A plain GET that does not go through the code under test.
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(httpPort_));
        if (!socket.waitForConnected(5000)) return false;
        socket.write("GET /_sim/" + what.toLatin1() + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
        QByteArray reply;
        while (socket.waitForReadyRead(5000)) reply += socket.readAll();
        reply += socket.readAll();
        return reply.startsWith("HTTP/1.1 200") || reply.startsWith("HTTP/1.0 200");
    }

    QTemporaryDir dir_;
    QString scenarioPath_, logPath_, error_;
    std::unique_ptr<QProcess> process_;
    int httpPort_ = 0, httpsPort_ = 0, proxyPort_ = 0;
};

}  // namespace testsupport
