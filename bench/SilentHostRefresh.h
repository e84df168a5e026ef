#pragma once
// The status refresh while the task database's host does not answer (it
// accepts and says nothing, as a hung or cut-off server does): once the loss
// is said, what one refresh costs the window. Each round is the slowest of a
// run of refreshes on a database of its own (PostgreSQL only: a file has no
// host).
#include "BenchReport.h"

#include "clientcommon/Globals.h"
#include "clientcommon/TaskDatabase.h"
#include "clientcommon/TaskDbSchema.h"
#include "platform/MessageBox.h"
#include "platform/OleDbConnectionString.h"
#include "platform/testsupport/ServerFaults.h"
#include "platform/testsupport/TestDatabase.h"
#include "status/forms/StatusPage.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <algorithm>
#include <vector>

namespace bench {

constexpr double kSilentHostRefreshGoalMs = 50;
constexpr int kSilentHostTasks = 1000;
constexpr int kSilentHostRefreshes = 20;

// False when the figure is missed.
inline bool silentHostRefresh() {
    testsupport::TestDatabase probe(testsupport::DbEngine::Postgres);
    if (!probe.available()) {
        note(QStringLiteral("refresh while the database host does not answer: skipped (TAVREL_TEST_PG is not set)"));
        return true;
    }
    struct Answered : platform::MessageBoxHandler {
        int show(const QString&, int, const QString&) override { return platform::vbOK; }
    } boxes;
    platform::MessageBoxHandler* before = platform::setMessageBoxHandler(&boxes);
    std::vector<double> rounds;
    QString failure;
    for (int round = 0; round < kMinRounds && failure.isEmpty(); ++round) {
        testsupport::TestDatabase db(testsupport::DbEngine::Postgres);
        const QString server = platform::OleDbConnectionString::parse(db.connectionString()).dataSource();
        testsupport::SilentRelay relay(server.section(':', 0, 0), quint16(server.section(':', 1).toUInt()));
        try {
            platform::AdoConnection& c = tavrel::TaskDbConnection;
            c.open(relay.through(db.connectionString()));
            if (!tavrel::modGlobal_CreateTaskDatabase(c)) throw platform::Error(0, QStringLiteral("no tables"));
            for (int uid = 1; uid <= kSilentHostTasks; ++uid)
                testsupport::insertRow(c, QStringLiteral("Sorvex_Tavrel_Tasks"),
                                       {{QStringLiteral("task_UID"), uid},
                                        {QStringLiteral("task_label"), QStringLiteral("Task %1").arg(uid)},
                                        {QStringLiteral("parameter_set"), QStringLiteral("a.par")},
                                        {QStringLiteral("schedule_type"), QStringLiteral("monitor")},
                                        {QStringLiteral("start_time"), QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                                        {QStringLiteral("task_status"), QStringLiteral("running")},
                                        {QStringLiteral("computer_name"), QStringLiteral("BENCHPC")}});
            tavrel::StatusPage page;
            page.modGlobal_InitStatusColumns();
            page.frmMain_BuildStatusTree();
            page.RefreshStatus();
            relay.fallSilent();
            page.RefreshStatus();  // finds the connection gone and says so
            double slowest = 0;
            for (int i = 0; i < kSilentHostRefreshes; ++i) {
                QElapsedTimer t;
                t.start();
                page.RefreshStatus();
                slowest = std::max(slowest, t.nsecsElapsed() / 1e6);
            }
            rounds.push_back(slowest);
        } catch (const platform::Error& e) {
            failure = QStringLiteral("round %1 failed: %2").arg(round + 1).arg(e.report(QString()));
        }
        common::ProgramTaskDatabase.close();
    }
    platform::setMessageBoxHandler(before);
    return figure(QStringLiteral("Postgres   refresh while the database host does not answer"), rounds,
                  fixed(1, QStringLiteral(" ms")), QStringLiteral("< %1 ms").arg(kSilentHostRefreshGoalMs),
                  below(kSilentHostRefreshGoalMs),
                  QStringLiteral("slowest of %1 refreshes over %2 tasks").arg(kSilentHostRefreshes).arg(kSilentHostTasks),
                  failure);
}

}  // namespace bench
