#pragma once
// The new user's road with the real programs: the simulated server on
// 127.0.0.1, a program folder prepared by demo-setup, and TavrelService
// -debug running the demo task; all stopped again at the end. Every program
// of the road runs as the README's commands run it: from the program
// folder's parent, with a relative TAVREL_HOME.
#include "platform/testsupport/SorvexSim.h"
#include "platform/testsupport/TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <memory>

class DemoRoad {
public:
    static bool available() {
        for (const char* p : {"sorvex-sim", "demo-setup", "TavrelService", "Tavrel"})
            if (!QFileInfo::exists(testsupport::binPath(QLatin1String(p)))) return false;
        return true;
    }

    // Starts in the program folder's parent, TAVREL_HOME naming the folder from there.
    void prepare(QProcess& program, QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) const {
        env.insert(QStringLiteral("TAVREL_HOME"), QFileInfo(home.path()).fileName());
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(QFileInfo(home.path()).absolutePath());
    }

    // The server and the prepared folder; the service only when asked.
    bool start(bool withService, QString* error) {
        if (!sim.start()) {
            *error = sim.error();
            return false;
        }
        QProcess setup;
        prepare(setup);
        setup.setProcessChannelMode(QProcess::MergedChannels);
        setup.start(testsupport::binPath(QStringLiteral("demo-setup")), {sim.baseUrl()});
        if (!setup.waitForFinished(30000) || setup.exitCode() != 0) {
            *error = QString::fromLocal8Bit(setup.readAll());
            return false;
        }
        if (!withService) return true;
        service = std::make_unique<QProcess>();
        prepare(*service);
        service->setProcessChannelMode(QProcess::MergedChannels);
        service->start(testsupport::binPath(QStringLiteral("TavrelService")), {QStringLiteral("-debug")});
        if (!service->waitForStarted()) {
            *error = QStringLiteral("TavrelService did not start");
            return false;
        }
        return true;
    }

    ~DemoRoad() {
        if (service && service->state() != QProcess::NotRunning) {
            service->terminate();
            if (!service->waitForFinished(10000)) service->kill(), service->waitForFinished();
        }
    }

    testsupport::TempHome home;  // TAVREL_HOME of the test itself (absolute)
    testsupport::SorvexSim sim;
    std::unique_ptr<QProcess> service;
};
