// The Quellmark filter for real: TavrelService -debug against sorvex-sim with
// the stand-in library (the component plug-in) and the stand-in Quellmark
// program (found through the ".rov" association). A file of three samples is
// three searches, or one when its samples are merged; each search's status
// reaches its project and the program imports the finished search; a pause
// during processing and the resume send each spectrum once.
#include "EndToEndFixture.h"

#include "platform/AutomationPlugins.h"
#include "tools/standins/QuellmarkFiles.h"
#include "tools/standins/StandinLog.h"

#include <QDir>
#include <QSqlQuery>

namespace {

const QString kQuellmark = QStringLiteral("Sorvex Quellmark");

QByteArray sample(const char* name, int firstScan, const QByteArray& extra = {}) {
    QByteArray s = QByteArray("sample ") + name + "\n" + extra;
    for (int i = 0; i < 2; ++i) {
        const QByteArray id = QByteArray::number(firstScan + i);
        s += "scan " + id + " " + QByteArray::number(30 * (i + 1)) + " 6" + id + ".5 2 1" + id + ":5 2" + id + ":7\n";
    }
    return s;
}

class QuellmarkEndToEnd : public hosttest::EndToEndTest {
protected:
    void SetUp() override {
        const QString plugin = testsupport::binPath("standins/libtavrel-standins.so");
        program = testsupport::binPath("standins/quellmark/SorvexQuellmark.exe");
        if (!QFileInfo::exists(plugin) || !QFileInfo::exists(program)) GTEST_SKIP() << "the stand-ins are not built";
        hosttest::EndToEndTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        env = QProcessEnvironment::systemEnvironment();
        env.insert(platform::kAutomationPluginsVariable, plugin);
        env.insert(standins::kLogVariable, home.file("standin.log"));
        // The shell opens ".rov" files with the stand-in program.
        ASSERT_TRUE(testsupport::associateWithProgram(home.path(), ".rov", program));
        optionsFile = home.file("proc.opt");
        testsupport::writeFile(optionsFile, "stand-in settings");
    }

    // Quellmark options: merge flag, saved project.
    QString options(const char* merge) const {
        return common::modUncName_GetUncPath(optionsFile) + QStringLiteral(",0,%1,0,,,1,0,0,0,1").arg(merge);
    }
    QString put(const QString& name, const QByteArray& bytes) {
        testsupport::writeFile(home.file(name), "# Tavrel stand-in Quellmark data\n" + bytes);
        return home.file(name);
    }
    void runTask(int uid, const QString& label, const QString& options, const QString& file) {
        rows->addTask(uid, {{"task_label", label},
                            {"schedule_type", "now"},
                            {"import_filter", kQuellmark},
                            {"filter_options", options},
                            {"parameter_set", common::modUncName_GetUncPath(rows->parameterFile)},
                            {"start_time", QDateTime::currentDateTime().addSecs(-5)},
                            {"follow_up", 0},
                            {"search_priority", 0}});
        rows->connection().execute(
            "INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) VALUES (?, ?, ?, ?)",
            {uid * 100, uid, common::modUncName_GetUncPath(file),
             rows->connection().toDatabase(QDateTime::currentDateTime().addSecs(-5))});
        request(uid, "Run");
    }
    void request(int uid, const QString& word) {
        rows->request(uid, word);
        ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    }
    bool waitForStatus(int uid, const QString& status, int ms = 120000) {
        return testsupport::waitUntil([&] { return rows->status(uid) == status; }, ms);
    }
    // The project of each result row of the task, in order.
    QStringList resultProjects(int uid) {
        QSqlQuery q = rows->connection().query(
            "SELECT quellmark_project FROM Sorvex_Tavrel_Results WHERE task_UID = ? ORDER BY result_number", {uid});
        QStringList out;
        while (q.next()) out << common::modUncName_GetLocalPathFromUnc(q.value(0).toString());
        return out;
    }
    int uploadsHolding(const QByteArray& text) const {
        int n = 0;
        for (const QByteArray& body : uploads()) n += body.count(text);
        return n;
    }
    bool called(const QString& name, const QString& firstArgument) const {
        for (const QStringList& call : standins::readLog(home.file("standin.log")))
            if (call.value(0) == name && call.value(1) == firstArgument) return true;
        return false;
    }
    QString cacheOf(int uid, const QString& label, const QString& file, const QString& suffix) const {
        return home.file(QStringLiteral("qpl/%1 %2/").arg(uid).arg(label)) + QString(file).replace('/', '~') + suffix;
    }

    QProcessEnvironment env;
    QString program, optionsFile;
};

TEST_F(QuellmarkEndToEnd, EachSampleIsSearchedAndItsProjectHoldsTheSearch) {
    const QString three = put("data/three.qmd", sample("A", 1) + sample("B", 11) + sample("C", 21));
    const QString merged = put("data/merged.qmd", sample("D", 31) + sample("E", 41) + sample("F", 51));
    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());
    EXPECT_TRUE(log().contains("Found Sorvex Quellmark library (QELD) version 2.4.0.0"));
    EXPECT_TRUE(log().contains("Found Sorvex Quellmark Workstation version 2.4.1 (stand-in)"));
    runTask(1, "Samples", options("False"), three);
    runTask(2, "Merged", options("True"), merged);
    for (int uid = 1; uid <= 2; ++uid) ASSERT_TRUE(waitForStatus(uid, "completed")) << uid << "\n" << qPrintable(log());
    for (const QString& line : hosttest::eventLog(home.path())) EXPECT_FALSE(line.startsWith("Error|")) << qPrintable(line);

    const QStringList projects = resultProjects(1);
    ASSERT_EQ(projects.size(), 3) << "each sample searched";
    EXPECT_EQ(resultProjects(2), QStringList{cacheOf(2, "Merged", merged, ".-1.rov")}) << "one search of all samples";
    for (const char* title : {"TITLE=1: A scan 1 rt 0.5\r\n", "TITLE=2: C scan 22 rt 1\r\n"})
        EXPECT_EQ(uploadsHolding(title), 1) << title;
    int mergedUploads = 0;
    for (const QByteArray& body : uploads())
        if (body.contains("D scan 31")) {
            ++mergedUploads;
            EXPECT_TRUE(body.contains("E scan 42") && body.contains("F scan 51"));
        }
    EXPECT_EQ(mergedUploads, 1);

    QStringList expected;
    for (const char* n : {".1.rov", ".2.rov", ".3.rov"}) expected << cacheOf(1, "Samples", three, n);
    EXPECT_EQ(QSet<QString>(projects.begin(), projects.end()), QSet<QString>(expected.begin(), expected.end()));
    for (const QString& path : projects + resultProjects(2)) {
        const auto project = standins::readQuellmarkProject(path);
        ASSERT_TRUE(project) << qPrintable(path);
        const QList<QVariantMap> statuses = project->statuses();
        ASSERT_EQ(statuses.size(), 1) << qPrintable(path);
        const QVariantMap entry = statuses.first();
        EXPECT_EQ(entry.value("StatusMsg"), "Search complete") << qPrintable(path);
        EXPECT_EQ(entry.value("Server"), sim.baseUrl());
        EXPECT_FALSE(entry.value("SubmittedAt").toString().isEmpty());
        EXPECT_FALSE(entry.value("ResultsFile").toString().trimmed().isEmpty());
        EXPECT_EQ(entry.value("ErrorCode").toInt(), 0);
        // The program imported that search, without a quantitation method.
        ASSERT_EQ(project->imports.size(), 1) << qPrintable(path);
        EXPECT_EQ(project->imports[0].value("task_id"), entry.value("TaskId"));
        EXPECT_FALSE(project->imports[0].contains("quantitate"));
    }
}

TEST_F(QuellmarkEndToEnd, APauseDuringProcessingAndTheResumeSendEachSpectrumOnce) {
    // The second sample keeps processing while the hold file exists.
    const QString file = put("data/slow.qmd", sample("A", 1) + sample("B", 11, "hold slow.hold\n"));
    testsupport::writeFile(home.file("data/slow.hold"), "");
    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());
    runTask(1, "Slow", options("True"), file);
    // The first sample is in the cache file and the second is processing.
    ASSERT_TRUE(testsupport::waitUntil([&] { return called("QELD.Quellmark.CreatePeakLists", "B"); }, 60000))
        << qPrintable(log());
    request(1, "Pause");
    ASSERT_TRUE(waitForStatus(1, "paused", 30000)) << qPrintable(log());
    EXPECT_TRUE(log().contains("Sorvex Quellmark processing cancelled"));
    EXPECT_TRUE(called("QELD.Processing.CancelProcessing", "B"));

    QFile::remove(home.file("data/slow.hold"));
    request(1, "Resume");
    ASSERT_TRUE(waitForStatus(1, "completed")) << qPrintable(log());
    ASSERT_EQ(uploads().size(), 1);
    for (const char* title : {"A scan 1 ", "A scan 2 ", "B scan 11 ", "B scan 12 "})
        EXPECT_EQ(uploadsHolding(title), 1) << title << " once, though sample A was exported twice";
    EXPECT_EQ(testsupport::readFile(cacheOf(1, "Slow", file, ".-1.qpl")).count("BEGIN IONS"), 4);
}

// Links another account planted at the names of the file's cache file and
// project: both are replaced, never written through.
TEST_F(QuellmarkEndToEnd, LinksPlantedAtTheCacheFileAndTheProjectAreReplacedNeverWrittenThrough) {
    const QString file = put("data/two.qmd", sample("A", 1) + sample("B", 11));
    QStringList victims;
    for (const char* suffix : {".-1.qpl", ".-1.rov"}) {
        const QString planted = cacheOf(1, "Merged", file, suffix);
        victims << home.file(QStringLiteral("victim%1").arg(suffix));
        testsupport::writeFile(victims.last(), "another account's file");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(planted).path()));
        ASSERT_TRUE(QFile::link(victims.last(), planted));
    }
    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());
    runTask(1, "Merged", options("True"), file);
    ASSERT_TRUE(waitForStatus(1, "completed")) << qPrintable(log());
    for (const QString& victim : victims) EXPECT_EQ(testsupport::readFile(victim), "another account's file");
    for (const char* suffix : {".-1.qpl", ".-1.rov"}) EXPECT_FALSE(QFileInfo(cacheOf(1, "Merged", file, suffix)).isSymLink());
    EXPECT_EQ(resultProjects(1), QStringList{cacheOf(1, "Merged", file, ".-1.rov")});
    EXPECT_EQ(uploadsHolding("B scan 12 "), 1);
}

}  // namespace
