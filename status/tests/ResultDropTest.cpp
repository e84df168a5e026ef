// A result dropped on a follower task.
#include "StatusDbFixture.h"

#include "status/ResultDrop.h"

using namespace tavrel;
using statustest::StatusDb;

namespace {

class Drop : public StatusDb {
protected:
    void SetUp() override {
        StatusDb::SetUp();
        if (IsSkipped()) return;
        peakList = home.file("qpl/1 Task 1/run.qpl");
        testsupport::writeFile(peakList, "peaks");
        addTask(1, {{"task_status", "completed"}, {"import_filter", "ThermoFinnigan LCQ / DECA RAW file"}});
        addTask(2, {{"task_status", "running"}, {"schedule_type", "follower"}});
        addFile(7, 1, "/data/it's run.raw", {{"file_comment", "first run"}, {"peak_list", peakList}});
        addResult(30, 1, {{"input_data_file", "/data/it's run.raw"}});
    }
    QString peakList;
};

TEST_P(Drop, AppendsTheSourceFileRowToTheFollower) {
    ASSERT_TRUE(modGlobal_DropResultOnTask(30, 2));
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join('|').toStdString();
    QSqlQuery q = c().query("SELECT file_number, file_name, file_comment, peak_list, intermediate, next_action "
                            "FROM Sorvex_Tavrel_Files WHERE task_UID = 2");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 8);  // the next free key
    EXPECT_EQ(q.value(1).toString(), "/data/it's run.raw");  // a quote in the name is just a character
    EXPECT_EQ(q.value(2).toString(), "first run");
    EXPECT_EQ(q.value(3).toString(), peakList);
    EXPECT_TRUE(q.value(4).isNull());
    EXPECT_EQ(q.value(5).toDateTime(), statustest::kNow);
    EXPECT_FALSE(q.next());
}

TEST_P(Drop, RefusalsWriteNothing) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QString message;  // empty: refused without a word
    } cases[] = {
        {"result gone", [&] { c().execute("DELETE FROM Sorvex_Tavrel_Results"); }, ""},
        {"other computer, local path",
         [&] { setTask(2, "computer_name", "OTHERPC"); },
         "Source and target tasks are on different machines,\r\nbut data file is not specified by a UNC path."},
        // The tree's tag still says running; the row says what the follower does now.
        {"follower cancelled since the tree showed it", [&] { setTask(2, "task_status", "cancelled"); },
         "Cannot drop a result onto task 2: Task 2, which is no longer running (cancelled)"},
        {"follower completed since the tree showed it", [&] { setTask(2, "task_status", "completed"); },
         "Cannot drop a result onto task 2: Task 2, which is no longer running (completed)"},
        {"target merges its files", [&] { setTask(2, "merge_data_files", 1); },
         "Cannot drop additional file onto a task that merges a batch of files into a single search"},
        {"no file row", [&] { c().execute("DELETE FROM Sorvex_Tavrel_Files"); },
         "Cannot find /data/it's run.raw in task database"},
        {"raw data never cached", [&] { c().execute("UPDATE Sorvex_Tavrel_Files SET peak_list = NULL"); },
         "No cached peak list available for /data/it's run.raw"},
        {"cached peak list deleted", [&] { QFile::remove(peakList); },
         "Cached peak list for /data/it's run.raw has been deleted"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        c().execute("DELETE FROM Sorvex_Tavrel_Tasks");
        c().execute("DELETE FROM Sorvex_Tavrel_Files");
        c().execute("DELETE FROM Sorvex_Tavrel_Results");
        testsupport::writeFile(peakList, "peaks");
        addTask(1, {{"task_status", "completed"}, {"import_filter", "ThermoFinnigan LCQ / DECA RAW file"}});
        addTask(2, {{"task_status", "running"}, {"schedule_type", "follower"}});
        addFile(7, 1, "/data/it's run.raw", {{"file_comment", "first run"}, {"peak_list", peakList}});
        addResult(30, 1, {{"input_data_file", "/data/it's run.raw"}});
        boxes.texts.clear();
        k.arrange();
        EXPECT_FALSE(modGlobal_DropResultOnTask(30, 2));
        EXPECT_EQ(count("Sorvex_Tavrel_Files", "task_UID = 2"), 0);
        if (k.message.isEmpty()) {
            EXPECT_TRUE(boxes.texts.isEmpty());
        } else {
            ASSERT_EQ(boxes.texts.size(), 1);
            EXPECT_TRUE(boxes.texts[0].endsWith(k.message)) << boxes.texts[0].toStdString();
        }
    }
}

TEST_P(Drop, PeakListFiltersNeedNoCachedPeakList) {
    c().execute("UPDATE Sorvex_Tavrel_Files SET peak_list = NULL");
    for (const char* filter : {"--- None ---", "Masslynx sample list"}) {
        setTask(1, "import_filter", filter);
        EXPECT_TRUE(modGlobal_DropResultOnTask(30, 2)) << filter;
    }
    EXPECT_EQ(count("Sorvex_Tavrel_Files", "task_UID = 2"), 2);
    // Between computers a UNC path is fine.
    setTask(2, "computer_name", "OTHERPC");
    c().execute("UPDATE Sorvex_Tavrel_Files SET file_name = '\\\\LABPC\\data\\x.raw' WHERE file_number = 7");
    c().execute("UPDATE Sorvex_Tavrel_Results SET input_data_file = '\\\\LABPC\\data\\x.raw'");
    EXPECT_TRUE(modGlobal_DropResultOnTask(30, 2));
    EXPECT_TRUE(boxes.texts.isEmpty());
}

TAVREL_ON_BOTH_ENGINES(Drop);

}  // namespace
