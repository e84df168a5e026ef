// The task and result reports, written to PDF and read back with pdftotext,
// on both database engines.
#include "client/Reports.h"
#include "clientcommon/TaskDbSchema.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"
#include "platform/testsupport/TestDatabase.h"
#include "platform/testsupport/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

using namespace tavrel;

namespace {

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(30000);
    // The PDF keeps ligatures ("fi" as one glyph); the words are compared without them.
    return QString::fromUtf8(p.readAllStandardOutput()).replace(QChar(0xFB01), "fi").replace(QChar(0xFB02), "fl");
}

class Reports : public ::testing::TestWithParam<testsupport::DbEngine> {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
        if (!db.available()) GTEST_SKIP() << "TAVREL_TEST_PG not set";
        c.open(db.connectionString());
        ASSERT_TRUE(modGlobal_CreateTaskDatabase(c));
        const QDateTime when(QDate(2026, 3, 4), QTime(10, 20, 30));
        for (int uid : {1, 2}) {
            c.execute("INSERT INTO Sorvex_Tavrel_Tasks (task_UID, task_label, parameter_set, schedule_type, start_time, "
                      "task_status, computer_name, import_filter, follow_up, fu_score, pre_task_command, pre_task_wait, "
                      "post_task_command) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {uid, QString("Liver run %1").arg(uid), "\\\\LAB\\sets\\default.par", "now", when, "completed",
                       "LAB-PC", "--- None ---", 1, 25,
                       "fetch http://lab/get?user=me&password=hunter2", 1, "notify.sh"});
        }
        int n = 0;
        for (const char* accession : {"ALBU_HUMAN", "TRFE_HUMAN"})
            c.execute("INSERT INTO Sorvex_Tavrel_Results (result_number, task_UID, accession, hit_mass, hit_score, "
                      "title_text, seq_database, input_data_file, result_url, submitted, returned, result_comment) "
                      "VALUES (?, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {++n, accession, 66000 + n, 80 + n, "Serum protein", "SwissProt_2024_01", QString("sample%1.qpl").arg(n),
                       "http://srv/cgi/master_results.pl?file=F" + QString::number(n), when, when.addSecs(60), "Liver run 1"});
    }
    QString written(const QTextDocument& doc) {
        const QString pdf = dir.filePath("report.pdf");
        EXPECT_TRUE(writeReportPdf(doc, pdf));
        // Kept for a look when asked (the README's pictures).
        if (qEnvironmentVariableIsSet("TAVREL_SCREENSHOT_DIR"))
            QFile::copy(pdf, QDir(qEnvironmentVariable("TAVREL_SCREENSHOT_DIR")).filePath(doc.metaInformation(QTextDocument::DocumentTitle) + ".pdf"));
        return pdfText(pdf);
    }

    testsupport::TestDatabase db{GetParam()};
    platform::AdoConnection c;
    QTemporaryDir dir;
};

}  // namespace

TEST_P(Reports, TheTasksReportShowsEveryTaskWithItsColumnsAndNoPassword) {
    platform::AdoRecordset tasks;
    tasks.openQuery(c, "SELECT * FROM Sorvex_Tavrel_Tasks ORDER BY task_UID");
    const QString text = written(*buildTasksReport(tasks));
    EXPECT_TRUE(text.contains("Sorvex Tavrel Tasks"));
    EXPECT_TRUE(text.contains("Liver run 1"));
    EXPECT_TRUE(text.contains("Liver run 2"));
    EXPECT_LT(text.indexOf("Liver run 1"), text.indexOf("Liver run 2"));
    for (const char* label : {"Parameter set:", "Import filter:", "Schedule Type:", "Follow up:", "Threshold:",
                              "Actions:", "Command:", "Pre-task:", "Post-task:", "Page 1"})
        EXPECT_TRUE(text.contains(label)) << label;
    EXPECT_TRUE(text.contains("notify.sh"));
    EXPECT_TRUE(text.contains("LAB-PC"));
    EXPECT_FALSE(text.contains("hunter2")) << text.toStdString();
    EXPECT_TRUE(tasks.isOpen());
}

TEST_P(Reports, TheResultsReportListsOneTasksResultsInOrder) {
    QString text = written(*buildResultsReport(c, 1));
    EXPECT_TRUE(text.contains("Sorvex Tavrel Results"));
    const qsizetype first = text.indexOf("sample1.qpl"), second = text.indexOf("sample2.qpl");
    ASSERT_GE(first, 0);
    EXPECT_GT(second, first);
    for (const char* row : {"ALBU_HUMAN", "TRFE_HUMAN", "Accession:", "Score:", "Database:", "SwissProt_2024_01", "URL:",
                            "master_results.pl?file=F2", "2026-03-04 10:20:30"})
        EXPECT_TRUE(text.contains(row)) << row;
    // A task without results: the headers and no band.
    text = written(*buildResultsReport(c, 2));
    EXPECT_TRUE(text.contains("Sorvex Tavrel Results"));
    EXPECT_FALSE(text.contains("Accession:"));
}

TAVREL_ON_BOTH_ENGINES(Reports);

// A PDF the disk cannot take whole (here: a file-size limit that cuts the
// write short, as a full disk does) is reported, and the target keeps what it
// held: no truncated report, no temporary file left beside it.
TEST(ReportPdf, AWriteCutShortIsAFailureAndLeavesNoPartialFile) {
    QTemporaryDir dir;
    QTextDocument doc;
    doc.setMetaInformation(QTextDocument::DocumentTitle, "Sorvex Tavrel Tasks");
    QString body;
    for (int i = 0; i < 400; ++i) body += QString("<p>Task %1: Liver digest, running</p>").arg(i);
    doc.setHtml(body);
    const QString pdf = dir.filePath("report.pdf");
    testsupport::writeFile(pdf, "the report of yesterday");

    struct SizeLimit {
        rlimit saved{};
        void (*savedSignal)(int) = nullptr;
        explicit SizeLimit(rlim_t bytes) {
            getrlimit(RLIMIT_FSIZE, &saved);
            savedSignal = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
            rlimit cut = saved;
            cut.rlim_cur = bytes;
            setrlimit(RLIMIT_FSIZE, &cut);
        }
        ~SizeLimit() {
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, savedSignal);
        }
    };
    QString why;
    {
        const SizeLimit limit(4096);
        EXPECT_FALSE(writeReportPdf(doc, pdf, &why));
    }
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(testsupport::readFile(pdf), QByteArray("the report of yesterday"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"report.pdf"}));

    // With room for it the same report is written whole.
    EXPECT_TRUE(writeReportPdf(doc, pdf));
    EXPECT_TRUE(pdfText(pdf).contains("Task 399"));
}
