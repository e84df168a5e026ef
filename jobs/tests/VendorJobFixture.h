#pragma once
// A job of a vendor filter on the job engine: the real import steps, the
// in-process stand-ins of the vendor libraries, and a stand-in Pondrel that
// records its arguments and does what FAKE_PONDREL says.
#include "JobTestFixture.h"

#include "jobs/ImportStepsImpl.h"
#include "platform/Process.h"
#include "service/Probes.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <QDir>

namespace jobtest {

class VendorJobTest : public JobEngineTest {
protected:
    void SetUp() override {
        JobEngineTest::SetUp();
        steps = std::make_shared<JobImportStepsImpl>(WatchOptions::withoutNotifications());
        fakePondrel = home.file(QStringLiteral("fake-pondrel.sh"));
        // ok: a peak list; tiny: 3 bytes; fail: exit 3; slow: runs until it is ended.
        testsupport::writeFile(fakePondrel,
                               "#!/bin/sh\n"
                               "printf '%s\\037' \"$@\" > \"$FAKE_PONDREL_ARGS\"\n"
                               "case \"$FAKE_PONDREL\" in\n"
                               "  ok) printf 'BEGIN IONS\\r\\nPEPMASS=600.5\\r\\n200 5\\r\\nEND IONS\\r\\n' > \"$3\" ;;\n"
                               "  tiny) printf 'ab\\n' > \"$3\" ;;\n"
                               "  fail) exit 3 ;;\n"
                               "  slow) printf 'partial' > \"$3\"; exec sleep 60 ;;\n"
                               "esac\n");
        QFile::setPermissions(fakePondrel, QFile::permissions(fakePondrel) | QFileDevice::ExeOwner);
        steps->setPondrelProgram(fakePondrel);
        installJobImportSteps(steps);
        standins::clearRecordedCalls();
        resetProbeValues();
        SciexLibraryVersion = QStringLiteral("1.6b20");
        cache = home.file(QStringLiteral("qpl/1 Task A"));
        QDir().mkpath(cache);
        addTask(1, QStringLiteral("now"));
    }
    void TearDown() override {
        resetProbeValues();
        JobEngineTest::TearDown();
    }

    // The same test on another engine: the task database there, task 1 in it.
    void useEngine(testsupport::TestDatabase& engine) {
        TasksRecordset.close();
        TaskDbConnection.close();
        TaskDbConnection.open(engine.connectionString());
        ASSERT_TRUE(tavrel::modGlobal_CreateTaskDatabase(TaskDbConnection));
        prepareNextKeyCommands();
        TasksRecordset.openTable(TaskDbConnection, QStringLiteral("Sorvex_Tavrel_Tasks"));
        addTask(1, QStringLiteral("now"));
    }

    clsJob* vendorJob(const QString& filter, const QString& options) {
        clsJob* job = startJob(1, QStringLiteral("now"));
        job->set_import_filter(filter);
        job->settings.filter_options = options;
        job->set_Peak_list_cache(cache);
        return job;
    }
    // Pondrel's arguments of its last start.
    QStringList pondrelArguments() const {
        QStringList args = QString::fromUtf8(testsupport::readFile(argsFile)).split(QChar(0x1f));
        if (!args.isEmpty() && args.last().isEmpty()) args.removeLast();
        return args;
    }
    QVariant fileColumn(int fileNumber, const QString& column) {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT %1 FROM Sorvex_Tavrel_Files WHERE file_number = ?").arg(column), {fileNumber});
        return q.next() ? q.value(0) : QVariant(QStringLiteral("<missing>"));
    }
    // sample_number of every row of the task, in key order ("" for Null).
    QStringList sampleNumbers() {
        QSqlQuery q = TaskDbConnection.query(
            QStringLiteral("SELECT sample_number FROM Sorvex_Tavrel_Files WHERE task_UID = 1 ORDER BY file_number"), {});
        QStringList out;
        while (q.next()) out << q.value(0).toString();
        return out;
    }

    std::shared_ptr<JobImportStepsImpl> steps;
    standins::ScopedStandins standins;
    QString fakePondrel, cache;
    QString argsFile = home.file(QStringLiteral("pondrel.args"));
    testsupport::EnvGuard argsVariable{"FAKE_PONDREL_ARGS", argsFile.toUtf8()};
};

}  // namespace jobtest
