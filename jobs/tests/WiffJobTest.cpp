// A WIFF file through Pondrel on the job engine: the checks before the start,
// Pondrel's arguments, the poll of its exit code, a pause while it runs, and
// the expansion into one row per sample.
#include "VendorJobFixture.h"

#include "common/UncName.h"
#include "filteropts/tests/QStringPrinter.h"
#include "filteropts/OptionLayouts.h"

#include <signal.h>

namespace jobtest {

namespace {

const QString kWiff = QStringLiteral("AB | MDS Sciex Analyst .WIFF file");
const QString kOptions = QStringLiteral("1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,0,0,0");  // separate samples

class WiffJob : public VendorJobTest {
protected:
    QString wiff(const QByteArray& samples) {
        const QString path = home.file(QStringLiteral("data/run.wiff"));
        testsupport::writeFile(path, "# Tavrel stand-in WIFF file\n" + samples);
        return path;
    }
    // The job's first ticks: the row gets its sample number and Pondrel starts.
    clsJob* started(const QString& options, const QByteArray& samples = "sample Liver A\nmsms 1\n") {
        addFile(1, 1, wiff(samples), now.addSecs(-60));
        clsJob* job = vendorJob(kWiff, options);
        job->Take_Action();
        return job;
    }
    void waitForPondrel(clsJob* job) {
        ASSERT_TRUE(job->WiffProcess);
        ASSERT_TRUE(job->WiffProcess->waitForFinished(10000));
    }
};

TEST_F(WiffJob, TheStartChecksDataSearchAndLibrary) {
    struct Case {
        const char* version;
        bool ownOptions;
        const char* options;
        const char* search;
        const char* sample;
        const char* warning;  // "" when Pondrel starts
    } cases[] = {
        {"1.6b20", false, "", "MIS", "msms 1", "Analyst WIFF import filter options are out of date, using defaults"},
        {"1.6b20", false, "", "PMF", "msms 1", "This Analyst file contains MS/MS data, but specified search type is PMF"},
        {"1.6b20", false, "", "MIS", "msms 0", "This Analyst file contains MS data, but specified search type is MS/MS"},
        {"1.6b9", false, "", "PMF", "msms 0",
         "This Analyst file contains MS data. Can only process MS/MS data using this version of sorvex.dll"},
        {"1.6b10", false, "", "PMF", "msms 0", "Analyst WIFF import filter options are out of date, using defaults"},
        {"1.6b31", true, "1.6b30:a=1", "MIS", "msms 1", "Data import filter options are for a different version of sorvex.dll"},
        {"1.6b30", true, "1.6b30", "MIS", "msms 1", "Data import filter options are for a different version of sorvex.dll"},
        {"1.6b30", true, "1.6b30:a=1", "MIS", "msms 1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + c.options + " " + c.search + " " + c.sample);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        JobCollection.clear();
        QFile::remove(argsFile);
        SciexLibraryVersion = QString::fromLatin1(c.version);
        SciexOwnOptions = c.ownOptions;
        search->searchType = QString::fromLatin1(c.search);
        const QByteArray before = testsupport::readFile(home.file(kEventLogFileName));
        clsJob* job = started(QString::fromLatin1(c.options), QByteArray("sample Liver A\n") + c.sample + "\n");
        const QString added = QString::fromUtf8(testsupport::readFile(home.file(kEventLogFileName)).mid(before.size()));
        const bool shouldStart = !*c.warning || QByteArray(c.warning).contains("out of date");
        EXPECT_EQ(job->Job_import_wiff() != 0, shouldStart) << qPrintable(added);
        if (*c.warning) {
            EXPECT_TRUE(added.contains(QString::fromLatin1(c.warning))) << qPrintable(added);
        }
        if (shouldStart) {
            waitForPondrel(job);
            EXPECT_EQ(pondrelArguments().value(3), c.ownOptions ? QString::fromLatin1(c.options)
                                                                : filteropts::builtInOptions(filteropts::kAnalyst));
        } else {
            EXPECT_FALSE(QFileInfo::exists(argsFile)) << "no Pondrel for a refused file";
        }
        job->tmrJob().stop();
    }
}

TEST_F(WiffJob, PondrelGetsEightArgumentsAndItsPeakListIsSearched) {
    AnalystKeyFound = true;
    testsupport::EnvGuard mode("FAKE_PONDREL", QByteArray("ok"));
    clsJob* job = started(kOptions);
    ASSERT_TRUE(job->Job_import_wiff());
    waitForPondrel(job);
    const QString data = home.file(QStringLiteral("data/run.wiff"));
    const QString output = cache + QLatin1Char('/') + QString(data).replace('/', '~') + QStringLiteral(".-1.qpl");
    EXPECT_EQ(pondrelArguments(), (QStringList{"-1", data, output, kOptions, "True", "False", "", "MIS"}));
    EXPECT_EQ(fileColumn(1, "file_comment").toString(), "Liver A") << "one sample: its name";

    job->Take_Action();
    EXPECT_FALSE(job->Job_import_wiff());
    EXPECT_EQ(search->submitted, QStringList{data});
    EXPECT_EQ(search->headers, QStringList{"FORMAT=Sorvex generic\r\n"});
    EXPECT_EQ(common::modUncName_GetLocalPathFromUnc(fileColumn(1, "peak_list").toString()), output);
    EXPECT_TRUE(eventLog().contains("End processing with sorvex.dll"));
}

TEST_F(WiffJob, AnEndWithoutAPeakListRetiresTheFileUntilNoDataDelay) {
    struct Case {
        const char* mode;
        const char* error;
    } cases[] = {{"tiny", "No output from sorvex.dll"}, {"fail", "sorvex.dll exited without error message, presume crashed"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        JobCollection.clear();
        testsupport::EnvGuard mode("FAKE_PONDREL", QByteArray(c.mode));
        clsJob* job = started(kOptions);
        waitForPondrel(job);
        job->Take_Action();
        EXPECT_FALSE(job->Job_import_wiff());
        EXPECT_TRUE(eventLog().contains(c.error));
        EXPECT_EQ(fileColumn(1, "next_action").toDateTime(), jetZeroDate());
        EXPECT_EQ(job->nextActionTime(), now.addSecs(NoDataDelay));
        EXPECT_TRUE(search->submitted.isEmpty());
        job->tmrJob().stop();
    }
}

TEST_F(WiffJob, APauseEndsTheRunningPondrelSoTheRetryIsTheOnlyWriter) {
    testsupport::EnvGuard mode("FAKE_PONDREL", QByteArray("slow"));
    clsJob* job = started(kOptions);
    ASSERT_TRUE(job->Job_import_wiff());
    const qint64 pid = job->WiffProcess->processId();
    for (int i = 0; i < 10; ++i) job->Take_Action();  // still running: polled, nothing logged
    EXPECT_TRUE(job->Job_import_wiff());
    EXPECT_FALSE(eventLog().contains("presume crashed"));

    job->PleasePause = clsJob::True;
    job->Take_Action();
    EXPECT_FALSE(job->Job_import_wiff());
    EXPECT_EQ(taskColumn(1, "task_status"), "paused");
    EXPECT_TRUE(eventLog().contains("Import of Wiff file by sorvex.dll abandoned"));
    EXPECT_FALSE(job->WiffProcess);
    EXPECT_NE(::kill(static_cast<pid_t>(pid), 0), 0) << "the abandoned Pondrel is no longer running";
    EXPECT_TRUE(fileColumn(1, "peak_list").isNull());
}

TEST_F(WiffJob, SamplesBecomeRowsOnceAndTheMergeFlagKeepsOneRow) {
    const QByteArray four = "sample S1\nsample S2\nsample S3\nsample S4\n";
    clsJob* job = started(kOptions, four);
    EXPECT_EQ(sampleNumbers(), (QStringList{"1", "2", "3", "4"})) << "the first row is sample 1";
    waitForPondrel(job);
    EXPECT_EQ(pondrelArguments().value(0), "1");
    EXPECT_EQ(job->FilesList().value("file_number").toInt(), 1) << "back on the expanded row";
    ASSERT_EQ(steps->ExpandWiffSamples(*job), 1) << "a retry";
    EXPECT_EQ(sampleNumbers(), (QStringList{"1", "2", "3", "4"})) << "no sample twice";

    job->settings.filter_options = QStringLiteral("1,1");
    EXPECT_EQ(steps->ExpandWiffSamples(*job), -1) << "the default merges all samples";
    EXPECT_EQ(job->settings.filter_options, filteropts::builtInOptions(filteropts::kAnalyst));
    EXPECT_TRUE(eventLog().contains("Analyst WIFF import filter options are out of date, using defaults"));

    SciexOwnOptions = true;
    TaskOptionsAnalystMerge = 0;
    EXPECT_EQ(steps->ExpandWiffSamples(*job), 1);
    TaskOptionsAnalystMerge = 1;
    EXPECT_EQ(steps->ExpandWiffSamples(*job), -1);
    TaskOptionsAnalystMerge = 0;
}

TEST_F(WiffJob, AMergeFieldThatCannotBeReadPausesTheTaskAndWritesNoSampleNumber) {
    for (const char* merge : {"", "maybe"}) {
        SCOPED_TRACE(merge);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        TaskDbConnection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'running'"), {});
        JobCollection.clear();
        QStringList fields = kOptions.split(',');
        fields[17] = QString::fromLatin1(merge);
        started(fields.join(','), "sample S1\nsample S2\nsample S3\n");
        EXPECT_TRUE(eventLog().contains(QStringLiteral("the merge field [%1] is not True or False").arg(merge)))
            << qPrintable(eventLog());
        EXPECT_EQ(taskColumn(1, "task_status"), "paused");
        EXPECT_EQ(sampleNumbers(), QStringList{""}) << "no count stored as a sample number, no rows added";
        EXPECT_FALSE(QFileInfo::exists(argsFile)) << "nothing converted";
    }
}

}  // namespace

}  // namespace jobtest
