// A MassLynx sample list on the job engine, on both database engines: one row
// per sample whose peak list is there (all of them for a watched folder), the
// comment template, names kept inside the folder, a retry that adds no sample
// twice, and the two ways the list cannot be read.
#include "VendorJobFixture.h"

#include "clientcommon/TaskDbSchema.h"
#include "common/UncName.h"
#include "filteropts/tests/QStringPrinter.h"

namespace jobtest {

namespace {

class FakeSampleLists : public SampleListReader {
public:
    Result readAnalysis(const QString& path) override {
        paths << path;
        return next;
    }
    Result next;
    QStringList paths;
};

class SampleListJob : public VendorJobTest, public ::testing::WithParamInterface<testsupport::DbEngine> {
protected:
    void SetUp() override {
        if (!engine.available()) GTEST_SKIP() << "TAVREL_TEST_PG is not set";
        VendorJobTest::SetUp();
        useEngine(engine);
        if (HasFatalFailure()) return;
        steps->setSampleListReader(reader);
        pkl = home.file(QStringLiteral("pkl"));
        testsupport::writeFile(pkl + "/liver_01.pkl", "445.5 1000 2\r\n200.1 5\r\n");
        testsupport::writeFile(pkl + "/liver_03.pkl", "545.5 1000 2\r\n300.1 5\r\n");
        reader->next.status = SampleListReader::Status::Read;
        reader->next.table.columns = QStringList{"file_name", "SampleID", "Text"};
        reader->next.table.rows = {{"liver_01", "S1", "first"}, {"liver_02", "S2", "second"},
                                   {"liver_03", "S3", ""}, {"../outside", "S4", "escape"}};
        list = home.file(QStringLiteral("data/batch.spl"));
        testsupport::writeFile(list, "a Jet file");
        addFile(1, 1, common::modUncName_GetUncPath(list), now.addSecs(-60));
    }
    clsJob* listJob(const QString& schedule = QStringLiteral("now")) {
        clsJob* job = vendorJob(QStringLiteral("Masslynx sample list"), common::modUncName_GetUncPath(pkl));
        job->set_schedule_type(schedule);
        return job;
    }
    // file_name (file name only), file_comment and file_size of the sample rows, in key order.
    QStringList sampleRows() {
        QSqlQuery q = TaskDbConnection.query(QStringLiteral("SELECT file_name, file_comment, file_size FROM "
                                                            "Sorvex_Tavrel_Files WHERE file_number > 1 ORDER BY file_number"),
                                             {});
        QStringList out;
        while (q.next())
            out << QFileInfo(q.value(0).toString()).fileName() + "|" + q.value(1).toString() + "|" +
                   (q.value(2).isNull() ? QString() : q.value(2).toString());
        return out;
    }

    testsupport::TestDatabase engine{GetParam()};
    std::shared_ptr<FakeSampleLists> reader = std::make_shared<FakeSampleLists>();
    QString pkl, list;
};

TEST_P(SampleListJob, PresentPeakListsBecomeRowsAndTheListIsRetired) {
    clsJob* job = listJob();
    job->TitleTemplate = QStringLiteral("<sampleid>: <Text>");
    job->Take_Action();
    ASSERT_EQ(reader->paths, QStringList{list});
    EXPECT_EQ(sampleRows(), (QStringList{"liver_01.pkl|S1: first|", "liver_03.pkl|S3: <Text>|"}));
    EXPECT_EQ(fileColumn(1, "next_action").toDateTime(), jetZeroDate()) << "the list itself is done with";
    EXPECT_TRUE(job->TitleTemplate.isEmpty()) << "later titles come from each row's comment";
    EXPECT_TRUE(eventLog().contains("Sample list names a peak list outside its folder: ../outside"));

    job->Take_Action();  // the first sample's peak list is searched as it is
    EXPECT_EQ(search->submitted, QStringList{pkl + "/liver_01.pkl"});
}

TEST_P(SampleListJob, AWatchedTaskGetsEverySampleAtOnceWaitingForItsFile) {
    // The first tick makes the list the current file; the table is busy then.
    const SampleListReader::Result read = reader->next;
    reader->next = {SampleListReader::Status::TableUnavailable, QStringLiteral("busy"), {}};
    clsJob* job = listJob();
    job->Take_Action();
    ASSERT_TRUE(sampleRows().isEmpty());
    reader->next = read;
    job->set_schedule_type(QStringLiteral("monitor"));
    steps->ExpandMassLynxSampleList(*job);
    EXPECT_EQ(sampleRows(), (QStringList{"liver_01.pkl||-1", "liver_02.pkl||-1", "liver_03.pkl||-1"}))
        << "every sample inside the folder, its size to be watched";
}

TEST_P(SampleListJob, ARetryAfterAFailureHalfWayAddsNoSampleTwice) {
    clsJob* job = listJob();
    job->Take_Action();
    ASSERT_EQ(sampleRows().size(), 2);
    // The list is due again (as after a failed store) and read again.
    TaskDbConnection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Files SET next_action = ? WHERE file_number = 1"),
                             {now.addSecs(-600)});
    testsupport::writeFile(pkl + "/liver_02.pkl", "645.5 1000 2\r\n400.1 5\r\n");
    job->FilesList().requery();
    job->FilesList().find(QStringLiteral("file_number=1"));
    steps->ExpandMassLynxSampleList(*job);
    EXPECT_EQ(sampleRows(), (QStringList{"liver_01.pkl||", "liver_03.pkl||", "liver_02.pkl||"}))
        << "only the sample whose peak list has come since";
}

TEST_P(SampleListJob, ALaterListThatNamesASampleAgainGetsItsSearch) {
    const QString second = home.file(QStringLiteral("data/batch2.spl"));
    testsupport::writeFile(second, "another Jet file");
    addFile(2, 1, common::modUncName_GetUncPath(second), now.addSecs(-60));
    clsJob* job = listJob();
    job->Take_Action();
    ASSERT_EQ(sampleRows().size(), 3);  // the second list's own row and two samples
    job->FilesList().requery();
    job->FilesList().find(QStringLiteral("file_number=2"));
    reader->next.table.rows = {{"liver_01", "S1", "again"}};
    steps->ExpandMassLynxSampleList(*job);
    EXPECT_EQ(sampleRows().filter("liver_01.pkl").size(), 2) << "the later batch's sample is searched too";
    EXPECT_EQ(fileColumn(2, "next_action").toDateTime(), jetZeroDate());
}

TEST_P(SampleListJob, TheNameColumnAndThePeakListsAreFoundInAnyLetterCase) {
    reader->next.table.columns = QStringList{"FILE_NAME", "SampleID", "Text"};
    testsupport::writeFile(pkl + "/LIVER_02.PKL", "645.5 1000 2\r\n400.1 5\r\n");
    clsJob* job = listJob();
    job->Take_Action();
    EXPECT_EQ(sampleRows(), (QStringList{"liver_01.pkl||", "LIVER_02.PKL||", "liver_03.pkl||"}));

    // A table without the column at all: said so, and the list is done with.
    TaskDbConnection.execute(QStringLiteral("DELETE FROM Sorvex_Tavrel_Files WHERE file_number > 1"), {});
    TaskDbConnection.execute(QStringLiteral("UPDATE Sorvex_Tavrel_Files SET next_action = ? WHERE file_number = 1"),
                             {now.addSecs(-600)});
    job->SampleListRowsMade.clear();
    job->FilesList().requery();
    job->FilesList().find(QStringLiteral("file_number=1"));
    reader->next.table.columns = QStringList{"name", "SampleID", "Text"};
    steps->ExpandMassLynxSampleList(*job);
    EXPECT_TRUE(eventLog().contains("Cannot open MassLynx sample list: the table ANALYSIS has no column file_name"));
    EXPECT_TRUE(sampleRows().isEmpty());
    EXPECT_EQ(fileColumn(1, "next_action").toDateTime(), jetZeroDate());
}

TEST_P(SampleListJob, WithoutTheJetReaderTheListWaitsWithOneMessage) {
    const SampleListReader::Result read = reader->next;
    reader->next = {SampleListReader::Status::ReaderMissing, QStringLiteral("mdb-tables (mdbtools) is not installed"), {}};
    clsJob* job = listJob();
    for (int tick = 0; tick < 3; ++tick) {
        job->Take_Action();
        EXPECT_EQ(job->nextActionTime(), now.addSecs(LockedOutDelay));
        now = now.addSecs(LockedOutDelay + 1);
    }
    EXPECT_EQ(eventLog().count("Cannot read MassLynx sample list: mdb-tables (mdbtools) is not installed"), 1);
    EXPECT_NE(fileColumn(1, "next_action").toDateTime(), jetZeroDate()) << "the list stays due";
    EXPECT_TRUE(sampleRows().isEmpty());

    reader->next = read;  // mdbtools installed meanwhile
    job->Take_Action();
    EXPECT_EQ(sampleRows().size(), 2);
    EXPECT_EQ(fileColumn(1, "next_action").toDateTime(), jetZeroDate());
}

TEST_P(SampleListJob, AListThatCannotBeReadIsRetiredOrTriedAgainLater) {
    reader->next.status = SampleListReader::Status::TableUnavailable;
    reader->next.error = QStringLiteral("The table is in use");
    clsJob* job = listJob();
    job->Take_Action();
    EXPECT_TRUE(eventLog().contains("Warning") && eventLog().contains("The table is in use"));
    EXPECT_EQ(job->nextActionTime(), now.addSecs(LockedOutDelay));
    EXPECT_NE(fileColumn(1, "next_action").toDateTime(), jetZeroDate()) << "the list stays due";

    reader->next.status = SampleListReader::Status::NotADatabase;
    reader->next.error = QStringLiteral("Couldn't open database.");
    now = now.addSecs(LockedOutDelay + 1);
    job->Take_Action();
    EXPECT_TRUE(eventLog().contains("Cannot open MassLynx sample list: Couldn't open database."));
    EXPECT_EQ(fileColumn(1, "next_action").toDateTime(), jetZeroDate());
    EXPECT_TRUE(sampleRows().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, SampleListJob,
                         ::testing::Values(testsupport::DbEngine::Sqlite, testsupport::DbEngine::Postgres),
                         [](const auto& info) { return testsupport::engineName(info.param); });

}  // namespace

}  // namespace jobtest
