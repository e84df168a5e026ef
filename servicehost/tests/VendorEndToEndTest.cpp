// The vendor filters for real: TavrelService -debug against sorvex-sim with
// the stand-ins enabled (the component plug-in, the extractor as LcqPath, the
// Jet programs on PATH). Each task ends with its result rows; a pause during
// a Pondrel conversion and the resume give one peak list.
#include "EndToEndFixture.h"

#include "common/PeakListFolders.h"
#include "convert/PeakListCache.h"
#include "convert/PeakListMerge.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <QDir>
#include <QSqlQuery>

#include <optional>

#include <sys/stat.h>

namespace {

const QString kWiff = QStringLiteral("AB | MDS Sciex Analyst .WIFF file");
const QString kSeparate = QStringLiteral("1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,False,0,0");
const QString kMerged = QStringLiteral("1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,True,0,0");

QByteArray wiffSample(int i, int delayMs = 0) {
    const QByteArray n = QByteArray::number(i);
    QByteArray s = "sample Sample " + n + "\nmsms 1\nresult BEGIN IONS\nresult TITLE=wiff sample " + n +
                   "\nresult PEPMASS=" + QByteArray::number(700 + i) + ".5\nresult 150.5 20\nresult END IONS\n";
    if (delayMs) s += "delay " + QByteArray::number(delayMs) + "\n";
    return s;
}

class VendorEndToEnd : public hosttest::EndToEndTest {
protected:
    void SetUp() override {
        const QString plugin = testsupport::binPath("standins/libtavrel-standins.so");
        extractor = testsupport::binPath("standins/standin-extractor");
        mdbtools = testsupport::binPath("standins/mdbtools");
        if (!QFileInfo::exists(testsupport::binPath("Pondrel")) || !QFileInfo::exists(plugin))
            GTEST_SKIP() << "Pondrel or the stand-ins are not built";
        hosttest::EndToEndTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(common::modGlobal_SaveSetting(hosttest::kApp, common::PreferencesSection, "LcqPath",
                                                  common::modUncName_GetUncPath(extractor)));
        env = QProcessEnvironment::systemEnvironment();
        env.insert(platform::kAutomationPluginsVariable, plugin);
        env.insert(standins::kLogVariable, home.file("standin.log"));
        env.insert(standins::kDatasetStoreVariable, home.file("store"));
        env.insert("PATH", mdbtools + ":" + env.value("PATH"));
    }

    void runTask(int uid, const QString& label, const QString& filter, const QString& options, const QStringList& files,
                 const QVariantMap& more = {}) {
        QVariantMap row = {{"task_label", label},
                           {"schedule_type", "now"},
                           {"import_filter", filter},
                           {"filter_options", options},
                           {"parameter_set", common::modUncName_GetUncPath(rows->parameterFile)},
                           {"start_time", QDateTime::currentDateTime().addSecs(-5)},
                           {"follow_up", 0},
                           {"search_priority", 0}};
        row.insert(more);
        rows->addTask(uid, row);
        const QDateTime due = QDateTime::currentDateTime().addSecs(-5);
        for (const QString& file : files) {
            const bool descriptor = filter.startsWith("AB 4000");
            rows->connection().execute(
                "INSERT INTO Sorvex_Tavrel_Files (file_number, task_UID, file_name, next_action) VALUES (?, ?, ?, ?)",
                {++fileNumber, uid, descriptor ? file : common::modUncName_GetUncPath(file), rows->connection().toDatabase(due)});
        }
        rows->request(uid, "Run");
        ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    }
    QString put(const QString& name, const QByteArray& bytes) {
        testsupport::writeFile(home.file(name), bytes);
        return home.file(name);
    }
    QStringList results(int uid) {
        QSqlQuery q = rows->connection().query(
            "SELECT input_data_file FROM Sorvex_Tavrel_Results WHERE task_UID = ? ORDER BY result_number", {uid});
        QStringList out;
        while (q.next()) out << QFileInfo(q.value(0).toString()).fileName();
        return out;
    }
    bool waitForStatus(int uid, const QString& status, int ms = 120000) {
        return testsupport::waitUntil([&] { return rows->status(uid) == status; }, ms);
    }
    int uploadsHolding(const QByteArray& text) const {
        int n = 0;
        for (const QByteArray& body : uploads()) n += body.contains(text) ? 1 : 0;
        return n;
    }
    // The peak-list cache file of a task's data file, as the service names it.
    QString cacheFile(int uid, const QString& label, const QString& dataFile, std::optional<qint64> sample = {}) const {
        const QString folder = common::PeakListCacheFolder(home.file("qpl"), uid, label);
        return tavrelsvc::clsJob_PeakListCacheFileName(dataFile, "qpl", folder, sample);
    }
    // Files rows of the task that count as done (next_action the Jet zero date).
    int filesDone(int uid) {
        QSqlQuery q = rows->connection().query(
            "SELECT next_action FROM Sorvex_Tavrel_Files WHERE task_UID = ?", {uid});
        int n = 0;
        while (q.next()) n += rows->connection().fromDatabase(q.value(0)).toDateTime().date().year() == 1899 ? 1 : 0;
        return n;
    }
    int calls(const QString& name) const {
        int n = 0;
        for (const QStringList& call : standins::readLog(home.file("standin.log"))) n += call.first() == name ? 1 : 0;
        return n;
    }
    QProcessEnvironment env;
    QString extractor, mdbtools;
    int fileNumber = 0;
};

TEST_F(VendorEndToEnd, EachVendorFilterEndsWithItsResultRows) {
    const QByteArray rawHeader = "# Tavrel stand-in RAW file\n";
    const QString raw1 = put("data/run1.raw", rawHeader + "spectrum 7 1001.5 2\n400.25 20\nspectrum 9 1201.5 2\n500.5 30\n");
    const QString raw2 = put("data/run2.raw", rawHeader + "spectrum 4 901.5 1\n300.25 10\n");
    const QString wiff = put("data/three.wiff", "# Tavrel stand-in WIFF file\n" + wiffSample(1) + wiffSample(2) + wiffSample(3));
    const QString merged = put("data/merged.wiff", "# Tavrel stand-in WIFF file\n" + wiffSample(4) + wiffSample(5) + wiffSample(6));
    put("store/Run7.txt", "# Tavrel stand-in 4000 Series dataset\nBEGIN IONS\nTITLE=dataset Run7\nPEPMASS=880.5\n"
                          "210.5 40\nEND IONS\n");
    const QString voyager = put("data/psd.dat", "# Tavrel stand-in Voyager file\nspectrum-type 3\nprecursor 1234.5678\n"
                                                "name PSD one\npeak 612.5 70\npeak 300.25 15\n");
    put("pkl/liver_01.pkl", "445.5 1000 2\r\n200.1 5\r\n");
    put("pkl/liver_02.pkl", "545.5 1000 2\r\n300.1 5\r\n");
    const QString list = put("data/batch.spl", "# Tavrel stand-in sample list\ntable ANALYSIS\n\"file_name\",\"Text\"\n"
                                               "\"liver_01\",\"first\"\n\"liver_02\",\"second\"\n\"liver_09\",\"absent\"\n");

    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());
    EXPECT_TRUE(log().contains("Found sorvex.dll version 1.6b20")) << "the probes find the stand-ins";
    runTask(1, "Thermo", "ThermoFinnigan LCQ / DECA RAW file", ",,300,4000,1.4,1,1,0,0,0,,,,,", {raw1, raw2});
    runTask(2, "Wiff", kWiff, kSeparate, {wiff});
    runTask(3, "WiffMerged", kWiff, kMerged, {merged});
    runTask(4, "Dataset", "AB 4000 Series TS2Sorvex", "60,20,10,1", {"Run7:44:12:False:MSMS"});
    runTask(5, "Voyager", "Data Explorer (Voyager) MS data", "False,0,0,1,1,1,0.7,1,0,False,10,100", {voyager});
    runTask(6, "Samples", "Masslynx sample list", common::modUncName_GetUncPath(home.file("pkl")), {list});

    for (int uid = 1; uid <= 6; ++uid) ASSERT_TRUE(waitForStatus(uid, "completed")) << uid << "\n" << qPrintable(log());
    EXPECT_EQ(results(1), (QStringList{"run1.raw", "run2.raw"}));
    EXPECT_EQ(results(2), (QStringList{"three.wiff", "three.wiff", "three.wiff"})) << "each sample searched";
    EXPECT_EQ(results(3), QStringList{"merged.wiff"});
    EXPECT_EQ(results(4), QStringList{"Run7:44:12:False:MSMS"});
    EXPECT_EQ(results(5), QStringList{"psd.dat"});
    EXPECT_EQ(results(6), (QStringList{"liver_01.pkl", "liver_02.pkl"}));

    EXPECT_EQ(uploadsHolding("TITLE=run1.7.7.2.dta\r\n"), 1);
    EXPECT_EQ(uploadsHolding("TITLE=run2.4.4.1.dta\r\n"), 1);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(uploadsHolding("TITLE=wiff sample " + QByteArray::number(i) + "\r\n"), 1) << i;
    int mergedUploads = 0;
    for (const QByteArray& body : uploads())
        if (body.contains("TITLE=wiff sample 4\r\n")) {
            ++mergedUploads;
            EXPECT_TRUE(body.contains("TITLE=wiff sample 5\r\n") && body.contains("TITLE=wiff sample 6\r\n"));
        }
    EXPECT_EQ(mergedUploads, 1) << "the merged file is one search of all its samples";
    EXPECT_EQ(uploadsHolding("TITLE=dataset Run7\r\n"), 1);
    EXPECT_EQ(uploadsHolding("PEPMASS=1234.5678\r\n612.5  70\r\n"), 0) << "last row first";
    EXPECT_EQ(uploadsHolding("PEPMASS=1234.5678\r\n300.25  15\r\n612.5  70\r\n"), 1);
    EXPECT_EQ(uploadsHolding("445.5 1000 2"), 1);
    EXPECT_EQ(uploads().size(), 10);
}

TEST_F(VendorEndToEnd, APauseDuringAPondrelConversionAndTheResumeGiveOnePeakList) {
    const QString wiff = put("data/slow.wiff", "# Tavrel stand-in WIFF file\n" + wiffSample(1, 5000));
    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());
    runTask(1, "Slow", kWiff, kSeparate, {wiff});
    ASSERT_TRUE(testsupport::waitUntil([&] { return log().contains("Begin processing with sorvex.dll"); }, 30000))
        << qPrintable(log());
    // The service says so when it starts Pondrel; the pause must come while
    // the conversion runs, which on a busy machine may be a while later.
    ASSERT_TRUE(testsupport::waitUntil([&] { return calls("MExportMSMSToSorvex.DoExport") == 1; }, 30000))
        << qPrintable(log());

    rows->request(1, "Pause");
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    ASSERT_TRUE(waitForStatus(1, "paused", 30000)) << qPrintable(log());
    EXPECT_TRUE(log().contains("Import of Wiff file by sorvex.dll abandoned"));
    rows->request(1, "Resume");
    ASSERT_TRUE(tavrel::modGlobal_NotifyService(true));
    ASSERT_TRUE(waitForStatus(1, "completed")) << qPrintable(log());
    // Long enough for an abandoned Pondrel to have written, had it lived on.
    testsupport::waitUntil([] { return false; }, 5500);

    EXPECT_EQ(calls("MExportMSMSToSorvex.DoExport"), 2) << "converted again after the resume";
    EXPECT_EQ(results(1), QStringList{"slow.wiff"});
    ASSERT_EQ(uploads().size(), 1);
    EXPECT_EQ(uploads()[0].count("BEGIN IONS"), 1) << "one peak list, not two interleaved";
    const QString cache = home.file("qpl/1 Slow/") + common::modUncName_GetLocalPathFromUnc(wiff).replace('/', '~') + ".-1.qpl";
    EXPECT_EQ(testsupport::readFile(cache).count("BEGIN IONS"), 1) << qPrintable(cache);
}

}  // namespace

// The extractor's workspace is emptied before each file. In the shared
// temporary folder another account could plant a link there and have the
// service delete the files of any folder it may write; the workspace lies in
// the service's own folder instead, and a link found there is replaced.
TEST_F(VendorEndToEnd, TheRawWorkspaceIsTheServicesOwnAndNeverEmptiedThroughALink) {
    const auto victim = [&](const QString& name) {
        put(name + "/keep.txt", "another folder's file");
        return home.file(name);
    };
    const QString sharedTmp = home.file("shared-tmp");
    ASSERT_TRUE(QDir().mkpath(sharedTmp + "/Sorvex_Tavrel_workspace"));
    ASSERT_TRUE(QFile::link(victim("victim-tmp"), sharedTmp + "/Sorvex_Tavrel_workspace/1"));
    ASSERT_TRUE(QDir().mkpath(home.file("run/tmp")));
    ASSERT_TRUE(QFile::link(victim("victim-run"), home.file("run/tmp/Sorvex_Tavrel_workspace")));
    env.insert("TMPDIR", sharedTmp);
    const QString raw = put("data/run1.raw", "# Tavrel stand-in RAW file\nspectrum 7 1001.5 2\n400.25 20\n");

    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());
    runTask(1, "Thermo", "ThermoFinnigan LCQ / DECA RAW file", ",,300,4000,1.4,1,1,0,0,0,,,,,", {raw});
    ASSERT_TRUE(waitForStatus(1, "completed")) << qPrintable(log());
    EXPECT_EQ(results(1), QStringList{"run1.raw"});
    for (const char* name : {"victim-tmp", "victim-run"}) {
        EXPECT_EQ(QDir(home.file(name)).entryList(QDir::Files), QStringList{"keep.txt"}) << name;
    }
    // The extractor's one call; the objects the service made are recorded too.
    QList<QStringList> calls = standins::readLog(home.file("standin.log"));
    calls.removeIf([](const QStringList& call) { return call.value(0) == QLatin1String("create"); });
    ASSERT_EQ(calls.size(), 1);
    const QString workspace = calls[0].value(1);
    EXPECT_FALSE(workspace.startsWith(QFileInfo(sharedTmp).canonicalFilePath())) << qPrintable(workspace);
    // <service's temporary folder>/Sorvex_Tavrel_workspace/1: the account's alone.
    const QString own = QFileInfo(QFileInfo(workspace).path()).path();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(own).constData(), &st), 0) << qPrintable(own);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0077, 0u) << qPrintable(own);
}

// Every vendor filter whose peak list cannot be written into the task's cache
// folder (here a folder stands at its name, which stops root too) pauses the
// task with the reason, and the file stays to be done: nothing is shown as
// completed that has no result.
TEST_F(VendorEndToEnd, APeakListThatCannotBeWrittenPausesTheTaskAndLeavesItsFileToDo) {
    const QString raw = put("data/run1.raw", "# Tavrel stand-in RAW file\nspectrum 7 1001.5 2\n400.25 20\n");
    const QString wiff = put("data/one.wiff", "# Tavrel stand-in WIFF file\n" + wiffSample(1));
    const QString voyager = put("data/psd.dat", "# Tavrel stand-in Voyager file\nspectrum-type 3\nprecursor 1234.5678\n"
                                                "name PSD one\npeak 612.5 70\n");
    put("store/Run7.txt", "# Tavrel stand-in 4000 Series dataset\nBEGIN IONS\nTITLE=dataset Run7\nPEPMASS=880.5\n"
                          "210.5 40\nEND IONS\n");
    const QString descriptor = "Run7:44:12:False:MSMS";
    struct Case {
        int uid;
        QString label, filter, options, file;
        std::optional<qint64> sample;
    } cases[] = {
        {1, "Thermo", "ThermoFinnigan LCQ / DECA RAW file", ",,300,4000,1.4,1,1,0,0,0,,,,,", raw, {}},
        {2, "Wiff", kWiff, kSeparate, wiff, -1},
        {3, "Voyager", "Data Explorer (Voyager) MS data", "False,0,0,1,1,1,0.7,1,0,False,10,100", voyager, {}},
        {4, "Dataset", "AB 4000 Series TS2Sorvex", "60,20,10,1", descriptor, {}},
    };
    for (const Case& c : cases) ASSERT_TRUE(QDir().mkpath(cacheFile(c.uid, c.label, c.file, c.sample))) << c.uid;

    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());
    for (const Case& c : cases) runTask(c.uid, c.label, c.filter, c.options, {c.file});
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.label));
        ASSERT_TRUE(testsupport::waitUntil([&] { return rows->status(c.uid) != "running" && rows->status(c.uid) != "new"; },
                                           120000))
            << qPrintable(log());
        EXPECT_EQ(rows->status(c.uid).toStdString(), "paused") << qPrintable(log());
        EXPECT_EQ(filesDone(c.uid), 0) << "the file is still to be converted";
        EXPECT_TRUE(results(c.uid).isEmpty());
    }
    const QStringList lines = hosttest::eventLog(home.path());
    for (const Case& c : cases)
        EXPECT_EQ(hosttest::countContaining(lines, QStringLiteral("|%1|The peak list cannot be written").arg(c.uid)), 1)
            << c.uid << "\n" << qPrintable(log());
    EXPECT_EQ(hosttest::countContaining(lines, "No output from"), 0);
    EXPECT_TRUE(uploads().isEmpty());
}

// A link another account planted at the name of a cache file (the
// extractor's list, Pondrel's, Data Explorer's, the 4000 Series export, a
// merged list) is replaced by the peak list; what it names stays as it was.
TEST_F(VendorEndToEnd, ALinkPlantedInTheCacheFolderIsReplacedNeverWrittenThrough) {
    const QByteArray rawHeader = "# Tavrel stand-in RAW file\n";
    const QString raw = put("data/run1.raw", rawHeader + "spectrum 7 1001.5 2\n400.25 20\n");
    const QString raw2 = put("data/run2.raw", rawHeader + "spectrum 4 901.5 1\n300.25 10\n");
    const QString wiff = put("data/one.wiff", "# Tavrel stand-in WIFF file\n" + wiffSample(1));
    const QString voyager = put("data/psd.dat", "# Tavrel stand-in Voyager file\nspectrum-type 3\nprecursor 1234.5678\n"
                                                "name PSD one\npeak 612.5 70\n");
    put("store/Run7.txt", "# Tavrel stand-in 4000 Series dataset\nBEGIN IONS\nTITLE=dataset Run7\nPEPMASS=880.5\n"
                          "210.5 40\nEND IONS\n");
    const QString descriptor = "Run7:44:12:False:MSMS";
    const QStringList planted = {
        cacheFile(1, "Thermo", raw),
        cacheFile(2, "Wiff", wiff, -1),
        cacheFile(3, "Voyager", voyager),
        cacheFile(4, "Dataset", descriptor),
        tavrelsvc::mergeFilePath(common::PeakListCacheFolder(home.file("qpl"), 5, "Merged")),
    };
    QStringList victims;
    for (int i = 0; i < planted.size(); ++i) {
        victims << put(QStringLiteral("victims/%1.txt").arg(i), "another account's file");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(planted[i]).path()));
        ASSERT_TRUE(QFile::link(victims[i], planted[i])) << qPrintable(planted[i]);
    }

    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());
    runTask(1, "Thermo", "ThermoFinnigan LCQ / DECA RAW file", ",,300,4000,1.4,1,1,0,0,0,,,,,", {raw});
    runTask(2, "Wiff", kWiff, kSeparate, {wiff});
    runTask(3, "Voyager", "Data Explorer (Voyager) MS data", "False,0,0,1,1,1,0.7,1,0,False,10,100", {voyager});
    runTask(4, "Dataset", "AB 4000 Series TS2Sorvex", "60,20,10,1", {descriptor});
    runTask(5, "Merged", "ThermoFinnigan LCQ / DECA RAW file", ",,300,4000,1.4,1,1,0,0,0,,,,,", {raw, raw2},
            {{"merge_data_files", 1}});
    for (int uid = 1; uid <= 5; ++uid) ASSERT_TRUE(waitForStatus(uid, "completed")) << uid << "\n" << qPrintable(log());
    for (int uid = 1; uid <= 5; ++uid) EXPECT_EQ(results(uid).size(), 1) << uid << "\n" << qPrintable(log());
    for (int i = 0; i < planted.size(); ++i) {
        EXPECT_EQ(testsupport::readFile(victims[i]), "another account's file") << qPrintable(planted[i]);
        EXPECT_FALSE(QFileInfo(planted[i]).isSymLink()) << qPrintable(planted[i]);
    }
    EXPECT_EQ(uploadsHolding("TITLE=run1.7.7.2.dta\r\n"), 2) << "alone and merged";
    EXPECT_EQ(uploadsHolding("TITLE=wiff sample 1\r\n"), 1);
    EXPECT_EQ(uploadsHolding("TITLE=dataset Run7\r\n"), 1);
}
