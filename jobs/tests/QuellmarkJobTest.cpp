// A Quellmark file on the job engine with the stand-in library and program:
// one row per sample, the processing polled tick by tick to each of its
// ends, a pause during it, the export per format and library, and the
// Quellmark program started after a search and polled until it ends.
#include "VendorJobFixture.h"

#include "common/UncName.h"
#include "filteropts/tests/QStringPrinter.h"
#include "convert/ImportQuellmarkQuant.h"
#include "jobs/JobQuellmark.h"
#include "tools/standins/QuellmarkFiles.h"

#include <QCryptographicHash>

#include <QScopeGuard>

namespace jobtest {

namespace {

const QString kQuellmark = QStringLiteral("Sorvex Quellmark");

QByteArray sample(const char* name, const QByteArray& status = "finished 1", int firstScan = 1) {
    QByteArray s = QByteArray("sample ") + name + "\nstatus " + status + "\n";
    for (int i = 0; i < 3; ++i) {
        const QByteArray id = QByteArray::number(firstScan + i);
        s += "scan " + id + " " + QByteArray::number(60 * (i + 1)) + " 50" + id + ".5 2 10" + id + ":5 20" + id + ":7\n";
    }
    return s;
}

class QuellmarkJob : public VendorJobTest {
protected:
    void SetUp() override {
        VendorJobTest::SetUp();
        QuellmarkLibraryVersion = QStringLiteral("2.4.0.0");
        QuellmarkSession = platform::automation::create<platform::automation::QuellmarkAgentMgr>();
        QuellmarkFolder = testsupport::binPath(QStringLiteral("standins/quellmark"));
        QuellmarkCanQuantitate = QuellmarkResultImport = QuellmarkAcceptsLogin = true;
        optionsFile = home.file(QStringLiteral("proc.opt"));
        testsupport::writeFile(optionsFile, "stand-in settings");
    }
    // Merge flag, project flag, format and the rest of the fields after field 10.
    QString options(const char* merge = "0", const char* project = "0", const char* format = "0",
                    const char* tail = "") const {
        return QStringLiteral("%1,0,%2,0,,,1,0,0,%3,%4%5")
            .arg(common::modUncName_GetUncPath(optionsFile), merge, format, project, tail);
    }
    QString data(const QByteArray& samples) {
        dataPath = home.file(QStringLiteral("data/run.qmd"));
        testsupport::writeFile(dataPath, "# Tavrel stand-in Quellmark data\n" + samples);
        return dataPath;
    }
    // The job after its first tick: rows made and processing started.
    clsJob* started(const QString& opts, const QByteArray& samples) {
        addFile(1, 1, data(samples), now.addSecs(-60));
        clsJob* job = vendorJob(kQuellmark, opts);
        job->Take_Action();
        return job;
    }
    // Ticks while the job processes (at most `limit` ticks); the number of ticks.
    int tickWhileProcessing(clsJob* job, int limit = 20) {
        int n = 0;
        while (job->Job_processing() && n < limit) {
            job->Take_Action();
            ++n;
        }
        return n;
    }
    QString cacheFile(const QString& sampleNumber, const QString& extension = QStringLiteral("qpl")) const {
        return cache + QLatin1Char('/') + QString(dataPath).replace('/', '~') + QLatin1Char('.') + sampleNumber +
               QLatin1Char('.') + extension;
    }
    // The arguments of every recorded call of the member, each joined by blanks.
    QStringList calls(const QString& member) const {
        QStringList out;
        for (const QStringList& call : standins::recordedCalls())
            if (call.first() == member) out << call.mid(1).join(QLatin1Char(' '));
        return out;
    }

    QString optionsFile, dataPath;
};

// The rows of the samples on both database engines.
class QuellmarkRows : public QuellmarkJob, public ::testing::WithParamInterface<testsupport::DbEngine> {
protected:
    void SetUp() override {
        if (!engine.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        QuellmarkJob::SetUp();
        useEngine(engine);
    }
    testsupport::TestDatabase engine{GetParam()};
};

TEST_P(QuellmarkRows, SamplesBecomeRowsUnlessMergedOrSingle) {
    struct Case {
        QByteArray samples;
        const char* merge;
        QStringList rows;
    } cases[] = {
        {sample("S1") + sample("S2") + sample("S3") + sample("S4"), "False", {"1", "2", "3", "4"}},
        {sample("S1") + sample("S2") + sample("S3") + sample("S4"), "True", {"-1"}},
        {sample("S1"), "0", {"-1"}},
        {"", "0", {"1"}},  // the library finds no sample: the row stands for sample 1
        {"samples-fail -2147467259 Unreadable raw file\n" + sample("S1"), "0", {"0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.merge + c.rows.join(',')));
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        JobCollection.clear();
        clsJob* job = started(options(c.merge), c.samples);
        EXPECT_EQ(sampleNumbers(), c.rows);
        EXPECT_EQ(job->FilesList().value("file_number").toInt(), 1) << "back on the current row";
        EXPECT_EQ(fileColumn(2, "next_action").toDateTime().isValid(), c.rows.size() > 1);
        job->tmrJob().stop();
    }
    EXPECT_TRUE(eventLog().contains("Unreadable raw file"));

    // A string too short for the filter: the service's default, with a warning.
    standins::clearRecordedCalls();
    TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
    JobCollection.clear();
    started(QStringLiteral(",9,1,0,"), sample("S1") + sample("S2"));
    EXPECT_TRUE(eventLog().contains("Sorvex Quellmark import filter options are out of date, using defaults"));
    EXPECT_EQ(sampleNumbers(), (QStringList{"1", "2"})) << "the default does not merge";
    EXPECT_TRUE(calls("QELD.DataSourceCollection.GetSampleCount").value(0).startsWith("0 ")) << "format code 0";
    clsJob* job = JobCollection.items().value(0);
    ASSERT_TRUE(job);
    EXPECT_EQ(steps->CreateNewQuellmarkEntries(*job), 1) << "a retry";
    EXPECT_EQ(sampleNumbers(), (QStringList{"1", "2"})) << "no sample twice";
}

INSTANTIATE_TEST_SUITE_P(Engines, QuellmarkRows,
                         ::testing::Values(testsupport::DbEngine::Sqlite, testsupport::DbEngine::Postgres),
                         [](const auto& info) { return testsupport::engineName(info.param); });

TEST_F(QuellmarkJob, ProcessingIsPolledUntilItFinishesAndThenSearched) {
    clsJob* job = started(options("True"), sample("A", "finished 3"));
    ASSERT_TRUE(job->Job_processing());
    EXPECT_TRUE(job->tmrJob().isActive());
    EXPECT_TRUE(eventLog().contains("Begin Sorvex Quellmark processing"));
    EXPECT_EQ(fileColumn(1, "file_comment").toString(), "A") << "one sample: its name";

    job->Take_Action();
    job->Take_Action();
    EXPECT_TRUE(job->Job_processing()) << "running for two polls";
    EXPECT_TRUE(search->submitted.isEmpty());
    job->Take_Action();
    EXPECT_FALSE(job->Job_processing());
    EXPECT_FALSE(job->Quellmark) << "the objects go with the end of the processing";
    EXPECT_EQ(search->submitted, QStringList{dataPath});
    EXPECT_EQ(search->headers, QStringList{"FORMAT=Sorvex generic\r\n"});
    EXPECT_EQ(common::modUncName_GetLocalPathFromUnc(fileColumn(1, "peak_list").toString()), cacheFile("-1"));
    EXPECT_EQ(testsupport::readFile(cacheFile("-1")).count("BEGIN IONS"), 3);
    EXPECT_TRUE(eventLog().contains("End Sorvex Quellmark processing"));
}

TEST_F(QuellmarkJob, ASampleThatDoesNotFinishIsLoggedAndTheFileGoesOnWithTheOthers) {
    struct Case {
        QByteArray status;
        const char* message;
        bool cancelled;  // the service cancels what the library left in an unknown state
    } cases[] = {
        {"cancelled", "qeldProcessingStatusCancelled", false},
        {"failed 77 Out of memory", "qeldProcessingStatusError 77: Out of memory", false},
        {"unknown", "qeldProcessingStatusUnknown", true},
        {"7", "", false},  // a state the library does not name: nothing to say
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status.toStdString());
        standins::clearRecordedCalls();
        search->submitted.clear();
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        TaskDbConnection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'running'"), {});
        JobCollection.clear();
        // Three samples merged: the second does not finish, the others are searched.
        clsJob* job = started(options("True"), sample("A") + sample("B", c.status, 11) + sample("C", "finished 1", 21));
        tickWhileProcessing(job);
        if (*c.message) {
            EXPECT_EQ(eventLog().count(c.message), 1);
        }
        EXPECT_EQ(taskColumn(1, "task_status"), "running");
        EXPECT_FALSE(job->Quellmark);
        EXPECT_EQ(calls("QELD.Quellmark.CreatePeakLists"), (QStringList{"A 1,2,3", "B 11,12,13", "C 21,22,23"}));
        EXPECT_EQ(search->submitted, QStringList{dataPath}) << "one search of the samples that finished";
        const QByteArray peaks = testsupport::readFile(cacheFile("-1"));
        EXPECT_TRUE(peaks.contains("TITLE=1: A scan 1 rt 1\r\n") && peaks.contains("TITLE=1: C scan 21 rt 1\r\n"));
        EXPECT_FALSE(peaks.contains(": B scan"));
        EXPECT_EQ(calls("QELD.Processing.CancelProcessing").contains("B"), c.cancelled);
        job->tmrJob().stop();
    }
}

TEST_F(QuellmarkJob, ASingleSampleThatFailsIsAFileWithoutData) {
    clsJob* job = started(options("True"), sample("A", "failed 77 Out of memory"));
    tickWhileProcessing(job);
    EXPECT_TRUE(eventLog().contains("qeldProcessingStatusError 77: Out of memory"));
    EXPECT_TRUE(eventLog().contains("No data from Sorvex Quellmark (check parameters)"));
    EXPECT_EQ(fileColumn(1, "next_action").toDateTime(), jetZeroDate()) << "retired, not tried again forever";
    EXPECT_EQ(taskColumn(1, "task_status"), "running");
    EXPECT_TRUE(search->submitted.isEmpty());
}

TEST_F(QuellmarkJob, AnExportWithoutDataRetiresTheFile) {
    struct Case {
        QByteArray samples;
        const char* message;
    } cases[] = {
        {"sample A\nscan 1 60 500 2\nscan 2 120 500 2\n", "No data from Sorvex Quellmark (check parameters)"},
        {sample("A") + "export-fail -2147219416 No peak lists\n", "(TVS1067) -2147219416: No peak lists"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        JobCollection.clear();
        clsJob* job = started(options("True"), c.samples);
        tickWhileProcessing(job);
        EXPECT_TRUE(eventLog().contains(c.message));
        EXPECT_EQ(fileColumn(1, "next_action").toDateTime(), jetZeroDate());
        EXPECT_EQ(job->nextActionTime(), now.addSecs(NoDataDelay));
        EXPECT_EQ(taskColumn(1, "task_status"), "running");
        EXPECT_TRUE(search->submitted.isEmpty());
        job->tmrJob().stop();
    }
}

TEST_F(QuellmarkJob, AllSamplesGoIntoOneFreshCacheFileAndOneSearch) {
    data("");
    testsupport::writeFile(cacheFile("-1"), "BEGIN IONS\r\nTITLE=stale\r\n1 1\r\nEND IONS\r\n");
    clsJob* job = started(options("True"), sample("A") + sample("B", "finished 2", 11) + sample("C", "finished 1", 21));
    tickWhileProcessing(job);
    EXPECT_EQ(search->submitted.size(), 1) << "one search, after the third sample";
    const QByteArray peaks = testsupport::readFile(cacheFile("-1"));
    EXPECT_FALSE(peaks.contains("stale")) << "a run starts its cache file empty";
    EXPECT_EQ(peaks.count("BEGIN IONS"), 9);
    for (const char* title : {"TITLE=1: A scan 1 rt 1\r\n", "TITLE=3: B scan 13 rt 3\r\n", "TITLE=1: C scan 21 rt 1\r\n"})
        EXPECT_TRUE(peaks.contains(title)) << title;
    EXPECT_EQ(fileColumn(1, "file_comment").toString(), "All samples in file");
    EXPECT_EQ(calls("QELD.DataSourceCollection.CloseAll").size(), 2);
    EXPECT_EQ(calls("QELD.Quellmark.CreatePeakLists"), (QStringList{"A 1,2,3", "B 11,12,13", "C 21,22,23"}));
    // Only the first sample's export carries the user parameters.
    const QStringList format = calls("QELD.PeakListFormatOptions.QPLUserParams");
    EXPECT_EQ(format.value(0), "True");
    EXPECT_EQ(format.mid(1), (QStringList{"False", "False", "False"}));
}

TEST_F(QuellmarkJob, APauseCancelsTheProcessingAndTheResumeGivesEachSpectrumOnce) {
    clsJob* job = started(options("True"), sample("A") + sample("B", "finished 4", 11));
    job->Take_Action();  // A done, B running
    ASSERT_TRUE(job->Job_processing());
    job->PleasePause = clsJob::True;
    job->Take_Action();
    EXPECT_TRUE(eventLog().contains("Sorvex Quellmark processing cancelled"));
    EXPECT_EQ(taskColumn(1, "task_status"), "paused");
    EXPECT_FALSE(job->Job_processing());
    EXPECT_FALSE(job->PleasePause);
    EXPECT_FALSE(job->Quellmark) << "a paused job holds no library objects";
    EXPECT_EQ(calls("QELD.Processing.CancelProcessing"), QStringList{"B"});

    job->ResumeTask();
    job->Take_Action();
    ASSERT_TRUE(job->Job_processing()) << "processed again from its first sample";
    tickWhileProcessing(job);
    ASSERT_EQ(search->submitted.size(), 1);
    EXPECT_EQ(testsupport::readFile(cacheFile("-1")).count("BEGIN IONS"), 6) << "each spectrum once";
}

TEST_F(QuellmarkJob, EveryPauseReleasesTheLibrarysObjects) {
    clsJob* job = started(options("True"), sample("A", "finished 5"));
    ASSERT_TRUE(job->Quellmark);
    job->PauseTask();  // as a step that cannot go on pauses
    EXPECT_FALSE(job->Quellmark);
    EXPECT_FALSE(job->Job_processing()) << "a resume starts the file again rather than poll nothing";
    EXPECT_EQ(calls("QELD.Processing.CancelProcessing"), QStringList{"A"});
}

TEST_F(QuellmarkJob, TheExportFollowsTheFormatAndTheLibrary) {
    struct Case {
        const char* version;
        const char* format;
        const char* extension;
        const char* range;  // fields 4 to 6
        const char* content;
        const char* scans;  // processed by CreatePeakLists
    } cases[] = {
        {"2.4", "0", "qpl", ",,1", "BEGIN IONS\r\nTITLE=1: A scan 1 rt 1\r\nPEPMASS=501.5\r\nCHARGE=2+\r\n101 5\r\n201 7\r\nEND IONS\r\n",
         "A 1,2,3"},
        {"2.4", "1", "txt", "2,3,2", "scan 2\t502.5\t2\r\n102\t5\r\n202\t7\r\n\r\n", "A 2,3"},
        {"2.4", "2", "mzData", "90,150,0", "<spectrum id=\"1\" precursor=\"501.5\"/>\r\n", "A 1,2"},
        // An older library gives lines, which the service appends with an empty line after them.
        {"1.9", "0", "qpl", ",,1", "BEGIN IONS\r\nTITLE=A scan 1 rt 1\r\n", "A 1,2,3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + c.extension);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        JobCollection.clear();
        standins::clearRecordedCalls();
        search->submitted.clear();
        QuellmarkLibraryVersion = QString::fromLatin1(c.version);
        const QString opts = QStringLiteral("%1,0,True,0,%2,0,0,%3,0")
                                 .arg(common::modUncName_GetUncPath(optionsFile), c.range, c.format);
        clsJob* job = started(opts, sample("A"));
        tickWhileProcessing(job);
        const QString file = cacheFile("-1", QString::fromLatin1(c.extension));
        const QByteArray peaks = testsupport::readFile(file);
        EXPECT_TRUE(peaks.startsWith(c.content)) << peaks.constData();
        EXPECT_EQ(calls("QELD.Quellmark.CreatePeakLists"), QStringList{c.scans});
        EXPECT_EQ(search->submitted.size(), 1);
        EXPECT_EQ(common::modUncName_GetLocalPathFromUnc(fileColumn(1, "peak_list").toString()), file);
        if (QByteArray(c.version) == "1.9") {
            EXPECT_TRUE(peaks.endsWith("END IONS\r\n\r\n"));
            EXPECT_TRUE(calls("QELD.FileIOStream.Open").isEmpty());
        } else {
            // Into a new file of the service's own, then appended to the cache file.
            const QStringList opened = calls("QELD.FileIOStream.Open");
            ASSERT_EQ(opened.size(), 1);
            EXPECT_TRUE(opened[0].endsWith(" 22")) << qPrintable(opened[0]);
            EXPECT_NE(opened[0], file + " 22");
        }
        job->tmrJob().stop();
    }
}

TEST_F(QuellmarkJob, ASavedProjectHoldsTheProcessingAndItsOptions) {
    clsJob* job = started(options("True", "1"), sample("A"));
    tickWhileProcessing(job);
    const QString project = cacheFile("-1", QStringLiteral("rov"));
    EXPECT_EQ(job->QuellmarkProjectPath, project);
    const auto file = standins::readQuellmarkProject(project);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->controller, 1);
    EXPECT_EQ(file->sources, dataPath);
    EXPECT_EQ(file->streams.value(1), "processing A: 3 peak lists");
    EXPECT_TRUE(eventLog().contains("Created Sorvex Quellmark project file " + project));
}

TEST_F(QuellmarkJob, TheProjectOfACachedPeakListIsFoundAgainAfterARestart) {
    const QString root = std::exchange(PeakListRoot, QFileInfo(cache).path());  // the cache lies under the root
    const auto restore = qScopeGuard([&] { PeakListRoot = root; });
    for (const char* format : {"0", "2"}) {  // a ".qpl" and an ".mzData" peak list
        SCOPED_TRACE(format);
        TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files"), {});
        JobCollection.clear();
        clsJob* first = started(options("True", "1", format), sample("A"));
        tickWhileProcessing(first);
        const QString project = cacheFile("-1", QStringLiteral("rov"));
        ASSERT_TRUE(QFileInfo(project).isFile());
        ASSERT_FALSE(fileColumn(1, "peak_list").isNull());
        // The service ends while the search runs; the next job takes the file up again.
        TaskDbConnection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Files SET sorvex_task_id = 'T7'"), {});
        JobCollection.clear();
        clsJob* again = vendorJob(kQuellmark, options("True", "1", format));
        again->Take_Action();
        EXPECT_TRUE(eventLog().contains("Search has already been submitted"));
        EXPECT_EQ(again->QuellmarkProjectPath, project);
        again->tmrJob().stop();
    }
}

class QuellmarkProgram : public QuellmarkJob {
protected:
    void SetUp() override {
        QuellmarkJob::SetUp();
        if (!QFileInfo::exists(common::quellmarkProgramPath(QuellmarkFolder))) GTEST_SKIP() << "no stand-in program";
        project = home.file(QStringLiteral("qpl/run.rov"));
    }
    // A job on the current file's project, as the completion of its search leaves it.
    clsJob* jobOnProject(const QByteArray& dataLines, const QString& opts) {
        testsupport::writeFile(home.file("data/run.qmd"), "# Tavrel stand-in Quellmark data\n" + dataLines);
        standins::QuellmarkProjectFile file;
        file.controller = 1;
        file.sources = home.file("data/run.qmd");
        EXPECT_TRUE(standins::writeQuellmarkProject(project, file));
        clsJob* job = vendorJob(kQuellmark, opts);
        job->QuellmarkProjectPath = project;
        job->sorvex_task_id = QStringLiteral("T7");
        return job;
    }
    void pollUntilEnd(clsJob* job) {
        ASSERT_TRUE(testsupport::waitUntil([&] {
            job->Take_Action();
            return !job->Job_quanting();
        }, 20000));
    }
    QList<QStringList> programCalls() const {
        QList<QStringList> out;
        for (const QStringList& call : standins::readLog(logFile))
            if (call.first().startsWith("SorvexQuellmark")) out << call;
        return out;
    }
    QString project;
    QString logFile = home.file(QStringLiteral("standin.log"));
    testsupport::EnvGuard logVariable{standins::kLogVariable, logFile.toUtf8()};
};

TEST_F(QuellmarkProgram, ImportAndQuantitationEndWithTheProgramsAnswer) {
    struct Case {
        const char* dataLines;
        const char* method;
        const char* quantitation;  // field 11
        bool quantitates;
        const char* logged;        // "" when the run is quiet
        bool imported;
    } cases[] = {
        {"", "", "3-8", false, "", true},        // no method: import only
        {"", "iTRAQ", "0", false, "", true},
        {"", "iTRAQ", "3-8", true, "End Sorvex Quellmark quantitation", true},
        {"program-exit 1 Project is locked\n", "iTRAQ", "3-8", true,
         "Sorvex Quellmark quantitation error: Project is locked", false},
        {"program-exit 2 No such search\n", "", "0", false, "Sorvex Quellmark search import error: No such search", false},
        {"program-exit 1 \n", "", "0", false, "Sorvex Quellmark search import error: ", false},
        // No error file of its own: the earlier run's must not speak for it.
        {"program-exit 3\n", "iTRAQ", "3-8", true, "Sorvex Quellmark exit without error message, presume crashed", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dataLines) + c.method + " " + c.quantitation);
        JobCollection.clear();
        EventLogStream::close();
        QFile::remove(home.file(kEventLogFileName));
        ASSERT_TRUE(EventLogStream::open(home.file(kEventLogFileName)));
        testsupport::writeFile(project + ".err", "stale");
        clsJob* job = jobOnProject(c.dataLines, options("0", "1", "0", QStringLiteral(",%1").arg(c.quantitation).toLatin1()));
        job->QuantitationMethod = QString::fromLatin1(c.method);
        ASSERT_TRUE(clsJob_QuellmarkQuantitateInit(*job));
        ASSERT_TRUE(job->Job_quanting());
        pollUntilEnd(job);
        EXPECT_FALSE(job->QuantProcess);
        EXPECT_TRUE(job->tmrJob().isActive());
        const QString log = eventLog();
        EXPECT_EQ(log.contains("Begin Sorvex Quellmark quantitation"), c.quantitates);
        if (*c.logged) {
            EXPECT_TRUE(log.contains(QString::fromLatin1(c.logged))) << qPrintable(log);
        } else {
            EXPECT_FALSE(log.contains("Sorvex Quellmark")) << "an import alone is quiet: " << qPrintable(log);
        }
        EXPECT_FALSE(log.contains("stale"));
        const auto file = standins::readQuellmarkProject(project);
        ASSERT_TRUE(file);
        ASSERT_EQ(file->imports.size(), c.imported ? 1 : 0);
        if (c.imported) {
            EXPECT_EQ(file->imports[0].value("task_id"), "T7");
            EXPECT_EQ(file->imports[0].value("quantitate").toString(), c.quantitates ? QString::fromLatin1(c.quantitation) : QString());
            EXPECT_EQ(file->imports[0].contains("quantitate"), c.quantitates);
        }
        job->tmrJob().stop();
    }
}

TEST_F(QuellmarkProgram, ThePasswordNeverStandsOnTheCommandLine) {
    SorvexUserName = QStringLiteral("ann");
    SorvexPassword = QStringLiteral("s3cret word");
    clsJob* job = jobOnProject("", options());
    ASSERT_TRUE(clsJob_QuellmarkQuantitateInit(*job));
    pollUntilEnd(job);
    const QList<QStringList> recorded = programCalls();
    ASSERT_EQ(recorded.size(), 2);
    EXPECT_EQ(recorded[0].mid(1), (QStringList{project, "-batch", "-task_id", "T7", "-e", project + ".err", "-loglevel",
                                               "7", "-username", "ann"}));
    EXPECT_EQ(recorded[1].value(1),
              QString::fromLatin1(QCryptographicHash::hash("s3cret word", QCryptographicHash::Sha256).toHex()))
        << "it reached the program another way";
    EXPECT_FALSE(qEnvironmentVariableIsSet(kQuellmarkPasswordVariable)) << "the service's own environment keeps none";
    SorvexUserName.clear();
    SorvexPassword.clear();
}

TEST_F(QuellmarkProgram, APauseLetsTheProgramFinishOnItsOwn) {
    clsJob* job = jobOnProject("program-delay 1500\n", options("0", "1", "0", ",3-8"));
    job->QuantitationMethod = QStringLiteral("iTRAQ");
    ASSERT_TRUE(clsJob_QuellmarkQuantitateInit(*job));
    job->PleasePause = clsJob::True;
    job->Take_Action();
    EXPECT_FALSE(job->Job_quanting());
    EXPECT_FALSE(job->QuantProcess);
    EXPECT_EQ(taskColumn(1, "task_status"), "paused");
    EXPECT_TRUE(eventLog().contains("Sorvex Quellmark quantitation still in progress"));
    EXPECT_TRUE(testsupport::waitUntil([&] { return !standins::readQuellmarkProject(project)->imports.isEmpty(); }, 10000))
        << "the program was not ended by the pause";
}

TEST_F(QuellmarkProgram, NothingStartsWithoutTheProjectOrTheProgram) {
    clsJob* job = vendorJob(kQuellmark, options());
    job->QuellmarkProjectPath = project;
    EXPECT_FALSE(clsJob_QuellmarkQuantitateInit(*job));
    EXPECT_TRUE(eventLog().contains("Sorvex Quellmark project file not found: " + project));

    JobCollection.clear();
    clsJob* onProject = jobOnProject("", options());
    QuellmarkFolder = home.file(QStringLiteral("nowhere"));
    EXPECT_FALSE(clsJob_QuellmarkQuantitateInit(*onProject));
    EXPECT_FALSE(onProject->Job_quanting());
    // The event log doubles the quotes of the command line.
    EXPECT_TRUE(eventLog().contains("Failed to execute Quellmark using command line: \"\"" +
                                    home.file("nowhere/SorvexQuellmark.exe") + "\"\" " + project + " -batch -task_id T7 -e"))
        << qPrintable(eventLog());
}

}  // namespace

}  // namespace jobtest
