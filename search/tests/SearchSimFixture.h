#pragma once
// A job's server session against sorvex-sim, with the event log of a private
// program folder and the search body folder of the simulator.
#include "search/JobSession.h"
#include "search/SearchContext.h"
#include "search/SearchForm.h"

#include "platform/testsupport/SorvexSim.h"
#include "platform/testsupport/TestSupport.h"
#include "service/EventLog.h"
#include "service/HttpGet.h"
#include "service/Preferences.h"
#include "tools/sorvex-sim/SearchOracle.h"

#include <QDir>
#include <gtest/gtest.h>

namespace searchtest {

inline QByteArray ionBlock(int i, double mass) {
    return "BEGIN IONS\r\nTITLE=spectrum " + QByteArray::number(i) + "\r\nPEPMASS=" + QByteArray::number(mass) +
           "\r\n100.5 20\r\n200.25 30\r\nEND IONS\r\n";
}

// The content hash sorvex-sim computes for the ion blocks of a body.
inline quint32 oracleHash(const QByteArray& peakList) {
    quint32 h = sorvexsim::kEmptyContentHash;
    bool in = false;
    for (QByteArray line : peakList.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line == "BEGIN IONS") in = true;
        if (in) h = sorvexsim::addContentLine(h, line);
        if (line == "END IONS") in = false;
    }
    return h;
}

class SearchSim : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::SorvexSim::available()) GTEST_SKIP() << "sorvex-sim is not built; server tests skipped";
        logPath = home.file(tavrelsvc::kEventLogFileName);
        ASSERT_TRUE(tavrelsvc::EventLogStream::open(logPath));
        tavrelsvc::InternetHandle.reset();
        tavrelsvc::AccessType = 1;
        tavrelsvc::TimeOut = 10;
        tavrelsvc::SorvexUserName.clear();
        job.uID = 5;
        job.task_label = "Label";
        job.Data_file = "a.qpl";
    }
    void TearDown() override {
        tavrelsvc::EventLogStream::close();
        tavrelsvc::InternetHandle.reset();
    }
    // Starts the simulator with extra scenario keys (JSON members, no braces).
    void start(const QByteArray& members = {}) {
        bodies = home.file("bodies");
        QByteArray scenario = "{\"bodies\": \"" + bodies.toUtf8() + "\"";
        if (!members.isEmpty()) scenario += ", " + members;
        scenario += "}";
        ASSERT_TRUE(sim.start(scenario)) << qPrintable(sim.error());
        url = sim.baseUrl();
        session = std::make_unique<tavrelsvc::JobSession>(job.uID, job.task_label, url, std::nullopt);
        bool security = false;
        ASSERT_TRUE(session->SorvexLogin(url, "", "", security));
    }
    QByteArray body(int n) const { return testsupport::readFile(QDir(bodies).filePath(QStringLiteral("upload-%1.body").arg(n))); }
    QStringList messages() const {
        QStringList out;
        for (const QByteArray& line : testsupport::readFile(logPath).split('\n')) {
            const QStringList f = tavrelsvc::splitEventLine(QString::fromUtf8(line).trimmed());
            if (f.size() == 7) out.append(f[6]);
        }
        return out;
    }

    testsupport::TempHome home;
    testsupport::SorvexSim sim;
    std::unique_ptr<tavrelsvc::JobSession> session;
    tavrelsvc::SearchJobContext job;
    QString logPath, url, bodies;
};

}  // namespace searchtest
