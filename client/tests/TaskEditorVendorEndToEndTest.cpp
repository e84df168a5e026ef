// The vendor filters from the Task Editor with the real service program: the
// client's probes reach the stand-in plug-in, so the editor offers every
// filter; a task made there runs through TavrelService -debug (the same
// plug-in, the Jet program stand-ins, the stand-in Quellmark program) against
// sorvex-sim and ends with one result per sample searched.
#include "EditorAndServiceFixture.h"

#include "clientcommon/ComponentProbes.h"
#include "common/ImportFilters.h"
#include "common/UncName.h"
#include "platform/AutomationPlugins.h"
#include "tools/standins/StandinLog.h"
#include "tools/standins/Standins.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

const QString kWiff = QStringLiteral("AB | MDS Sciex Analyst .WIFF file");

QByteArray wiffSample(int i) {
    const QByteArray n = QByteArray::number(i);
    return "sample Sample " + n + "\nmsms 1\nresult BEGIN IONS\nresult TITLE=wiff sample " + n + "\nresult PEPMASS=" +
           QByteArray::number(700 + i) + ".5\nresult 150.5 20\nresult END IONS\n";
}

QByteArray quellmarkSample(const char* name, int firstScan, const QByteArray& status = "finished 1") {
    QByteArray s = QByteArray("sample ") + name + "\nstatus " + status + "\n";
    for (int i = 0; i < 2; ++i) {
        const QByteArray id = QByteArray::number(firstScan + i);
        s += "scan " + id + " " + QByteArray::number(30 * (i + 1)) + " 6" + id + ".5 2 1" + id + ":5 2" + id + ":7\n";
    }
    return s;
}

class TaskEditorVendorEndToEnd : public editortest::EditorAndService {
protected:
    void SetUp() override {
        plugin = testsupport::binPath("standins/libtavrel-standins.so");
        const QString quellmark = testsupport::binPath("standins/quellmark/SorvexQuellmark.exe");
        if (!QFileInfo::exists(plugin) || !QFileInfo::exists(quellmark) ||
            !QFileInfo::exists(testsupport::binPath("Pondrel")))
            GTEST_SKIP() << "Pondrel or the stand-ins are not built";
        editortest::EditorAndService::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(testsupport::associateWithProgram(home.path(), ".rov", quellmark));
        env = QProcessEnvironment::systemEnvironment();
        env.insert(platform::kAutomationPluginsVariable, plugin);
        env.insert(standins::kLogVariable, home.file("standin.log"));
        env.insert("PATH", testsupport::binPath("standins/mdbtools") + ":" + env.value("PATH"));
        env.insert(standins::kDatasetStoreVariable, home.file("store"));

        // The client's start-up: its plug-ins, then its probes.
        ASSERT_TRUE(platform::loadAutomationPluginsFrom(plugin).problems.isEmpty());
        tavrel::modGlobal_ProbeImportComponents();
        page.show();
        page.ResetTaskEditor();
        QObject::connect(&page, &tavrel::TaskEditorPage::taskCreated, [this](long uid) { created = uid; });
    }
    static void type(QLineEdit* box, const QString& text) {
        box->setText(text);
        emit box->textEdited(text);
    }
    void choose(const QString& filter) {
        const int item = page.cboTaskFilter->findText(filter);
        ASSERT_GE(item, 0) << qPrintable(filter);
        page.cboTaskFilter->setCurrentIndex(item);
        emit page.cboTaskFilter->activated(item);
    }
    // A task of the filter over the files, its options as its options dialog leaves them.
    long run(const QString& label, const QString& filter, int filterIndex, const QString& options,
             const QStringList& files) {
        page.cmdTaskNew->click();
        type(page.txtTaskLabel, label);
        type(page.txtTaskParam, parameterFile);
        choose(filter);
        tavrel::ImportFilterOptions[static_cast<std::size_t>(filterIndex)] = options;
        page.lstTaskFiles_OLEDragDrop(files);
        created = 0;
        page.cmdTaskRun->click();
        return created;
    }
    QString put(const QString& name, const QByteArray& bytes) {
        testsupport::writeFile(home.file(name), bytes);
        return home.file(name);
    }
    bool completed(long uid) {
        return testsupport::waitUntil([&] { return rows->status(static_cast<int>(uid)) == "completed"; }, 120000);
    }

    QString plugin;
    QProcessEnvironment env;
    // The 4000 Series data sets, for the client's data browser and the service's export.
    testsupport::EnvGuard store{standins::kDatasetStoreVariable, QByteArray()};
    tavrel::TaskEditorPage page;
    long created = 0;
};

TEST_P(TaskEditorVendorEndToEnd, EveryFilterIsOfferedAndEachVendorTaskEndsWithItsResults) {
    QStringList offered;
    for (int i = 0; i < page.cboTaskFilter->count(); ++i) offered << page.cboTaskFilter->itemText(i);
    EXPECT_EQ(offered, (QStringList{"--- None ---", "Masslynx sample list", kWiff, "Data Explorer (Voyager) MS data",
                                    "Sorvex Quellmark", "AB 4000 Series TS2Sorvex"}));

    hosttest::ServiceProgram service(home.path(), "LABPC", env);
    ASSERT_TRUE(service.start());

    // A WIFF file of three samples, searched one by one.
    const QString wiff = put("data/three.wiff", "# Tavrel stand-in WIFF file\n" + wiffSample(1) + wiffSample(2) + wiffSample(3));
    const long wiffTask = run("Wiff", kWiff, common::FilterAnalyst,
                              "1,1,0,0,50,0.1,10,50,10000,1,10,1,1,50,2,0.1,1,False,0,0", {wiff});
    ASSERT_GT(wiffTask, 0) << qPrintable(boxes.texts.join('\n'));

    // Two batches whose lists both name the sample liver_01.
    put("pkl/liver_01.pkl", "445.5 1000 2\r\n200.1 5\r\n");
    put("pkl/liver_02.pkl", "545.5 1000 2\r\n300.1 5\r\n");
    const QString header = "# Tavrel stand-in sample list\ntable ANALYSIS\n\"FILE_NAME\",\"Text\"\n";
    const QString first = put("data/monday.spl", (header + "\"liver_01\",\"a\"\n\"liver_02\",\"b\"\n").toUtf8());
    const QString second = put("data/tuesday.spl", (header + "\"liver_01\",\"again\"\n").toUtf8());
    const long listTask = run("Samples", "Masslynx sample list", common::FilterMassLynx,
                              common::modUncName_GetUncPath(home.file("pkl")), {first, second});
    ASSERT_GT(listTask, 0) << qPrintable(boxes.texts.join('\n'));

    // A Quellmark file of three samples whose second fails.
    const QString options = home.file("proc.opt");
    testsupport::writeFile(options, "stand-in settings");
    const QString raw = put("data/run.qmd", "# Tavrel stand-in Quellmark data\n" + quellmarkSample("A", 1) +
                                                quellmarkSample("B", 11, "failed 77 Out of memory") +
                                                quellmarkSample("C", 21));
    const long quellmarkTask = run("Quellmark", "Sorvex Quellmark", common::FilterQuellmark,
                                   common::modUncName_GetUncPath(options) + ",0,0,0,,,1,0,0,0,0", {raw});
    ASSERT_GT(quellmarkTask, 0) << qPrintable(boxes.texts.join('\n'));

    // A 4000 Series data set chosen in the library's data browser ("Add Files ...").
    qputenv(standins::kDatasetStoreVariable, home.file("store").toUtf8());
    put("store/Run7.txt", "# Tavrel stand-in 4000 Series dataset\nBEGIN IONS\nTITLE=dataset Run7\nPEPMASS=880.5\n"
                          "210.5 40\nEND IONS\n");
    page.cmdTaskNew->click();
    type(page.txtTaskLabel, "Dataset");
    type(page.txtTaskParam, parameterFile);
    choose("AB 4000 Series TS2Sorvex");
    tavrel::ImportFilterOptions[common::FilterTS2Sorvex] = "60,20,10,1";
    page.cmdTaskFileAdd->click();
    EXPECT_EQ(page.lstTaskFiles->count(), 0) << "a cancelled browser adds nothing";
    put("store/data-browser.txt", "Run7:44:12:False:MSMS\n");
    page.cmdTaskFileAdd->click();
    ASSERT_EQ(page.lstTaskFiles->count(), 1);
    EXPECT_EQ(page.lstTaskFiles->item(0)->text(), "Run7:44:12:False:MSMS") << "the descriptor as the browser gives it";
    created = 0;
    page.cmdTaskRun->click();
    const long datasetTask = created;
    ASSERT_GT(datasetTask, 0) << qPrintable(boxes.texts.join('\n'));

    for (long uid : {wiffTask, listTask, quellmarkTask, datasetTask})
        ASSERT_TRUE(completed(uid)) << uid << "\n" << qPrintable(log().join('\n'));
    EXPECT_EQ(results(static_cast<int>(wiffTask)), 3);
    EXPECT_EQ(results(static_cast<int>(listTask)), 3) << "liver_01 of each batch and liver_02";
    EXPECT_EQ(results(static_cast<int>(quellmarkTask)), 2);
    EXPECT_EQ(results(static_cast<int>(datasetTask)), 1);
    EXPECT_EQ(hosttest::countContaining(log(), "qeldProcessingStatusError 77: Out of memory"), 1);
}

TAVREL_ON_BOTH_ENGINES(TaskEditorVendorEndToEnd);

}  // namespace
