// What the three views of the status list show.
#include "StatusDbFixture.h"

#include "status/StatusListRows.h"
#include "status/TaskNodePlan.h"

using namespace tavrel;
using statustest::StatusDb;

namespace {

class ListRows : public StatusDb {
protected:
    static QStringList texts(const ListRow& row) {
        QStringList t;
        for (const ListCell& cell : row.cells) t << cell.text;
        return t;
    }
    const QString when = listDateTimeText(QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
};

TEST_P(ListRows, RootViewOneRowPerShownTask) {
    addTask(1, {{"parameter_set", "\\\\LABPC\\params\\deep\\search.par"}, {"import_filter", QVariant()}});
    addTask(2, {{"schedule_type", "timed"}, {"task_status", "running"}, {"import_filter", ""}, {"auto_print", 1}});
    addTask(3, {{"schedule_type", "monitor"},
                {"task_status", "paused"},
                {"monitor_directory", "\\\\LABPC\\data\\in"},
                {"monitor_filename", QVariant()},
                {"new_files_only", 1},
                {"sub_directories", 0},
                {"parameter_set", "plain.par"}});
    addTask(4, {{"task_status", "completed"},
                {"follow_up", 1},
                {"fu_score", 40},
                {"fu_repeat", 1},
                {"fu_number", 3},
                {"fu_interval", "days"},
                {"fu_discard", 0},
                {"fu_move", 1},
                {"fu_task", QVariant()}});
    addTask(5, {{"task_status", "cancelled"},
                {"follow_up", 2},
                {"fu_repeat", 0},
                {"fu_number", 3},
                {"fu_interval", "days"},
                {"fu_move", 0},
                {"fu_task", "7 Follower"}});
    addTask(6, {{"task_status", "running"}, {"follow_up", 0}, {"fu_score", 40}, {"fu_move", 1}, {"fu_task", "7 x"}});
    addTask(7, {{"task_status", "finished"}});
    addTask(9, {{"task_status", "running"}, {"schedule_type", "follower"}, {"action_response", "Pending"}});
    addTask(10, {{"task_status", "running"}, {"schedule_type", "follower"}, {"action_response", "OK"}});
    addTask(11, {{"schedule_type", "monitor"}, {"monitor_directory", "/data/in"}, {"monitor_filename", "*.qpl"}});

    const QList<ListRow> rows = readRootViewRows(c());
    QStringList keys;
    for (const ListRow& r : rows) keys << r.key;
    EXPECT_EQ(keys, (QStringList{"task_1", "task_2", "task_3", "task_4", "task_5", "task_6", "task_9", "task_10", "task_11"}));
    using L = QStringList;
    const QString e;
    EXPECT_EQ(texts(rows[0]), (L{"new", "1: Task 1", "search.par", "--- None ---", "now", e, e, e, e, "No follow-up", e, e, e,
                                 e, e, e, e, "False"}));
    EXPECT_EQ(texts(rows[1]), (L{"running", "2: Task 2", "search.par", e, "timed", e, e, when, e, "No follow-up", e, e, e, e,
                                 e, e, e, "True"}));
    EXPECT_EQ(texts(rows[2]), (L{"paused", "3: Task 3", "plain.par", "--- None ---", "monitor", "True", "False", e,
                                 "\\\\LABPC\\data\\in\\*.*", "No follow-up", e, e, e, e, e, e, e, "False"}));
    EXPECT_EQ(texts(rows[3]), (L{"completed", "4: Task 4", "search.par", "--- None ---", "now", e, e, e, e, "Score <", "40",
                                 "True", "3", "days", "False", "True", "--- None ---", "False"}));
    EXPECT_EQ(texts(rows[4]).mid(9), (L{"P(rand) > 1 in", e, "False", e, e, e, "False", e, "False"}));
    EXPECT_EQ(texts(rows[5]).mid(9), (L{"No follow-up", e, e, e, e, e, e, e, "False"}));
    EXPECT_EQ(texts(rows[8])[8], "/data/in/*.qpl");
    const QStringList icons = {rows[0].icon, rows[1].icon, rows[2].icon, rows[3].icon, rows[4].icon,
                               rows[6].icon, rows[7].icon};
    EXPECT_EQ(icons, (L{"pending", "running", "paused", "completed", "cancelled", "pending", "follower"}));
    // The task column sorts by number, the start time by time.
    EXPECT_EQ(rows[1].cells[1].sortValue.toLongLong(), 2);
    EXPECT_EQ(rows[1].cells[7].sortValue.toDateTime(), QDateTime(QDate(2024, 5, 1), QTime(9, 0)));
}

TEST_P(ListRows, TaskViewOneRowPerResult) {
    addTask(1, {{"task_status", "running"}});
    addResult(12, 1, {{"result_url", "http://server/r12"},
                      {"result_comment", "Search A"},
                      {"accession", "P12345"},
                      {"hit_mass", 41000},
                      {"hit_score", 87},
                      {"title_text", "Actin"},
                      {"seq_database", "SwissProt 2024_01"}});
    addResult(11, 1, {{"input_data_file", "run11.raw"}});
    addResult(13, 2);
    const QList<ListRow> rows = readTaskViewRows(c(), 1);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].key, "result_11");
    EXPECT_EQ(rows[1].key, "result_12");
    const QString sub = listDateTimeText(QDateTime(QDate(2024, 5, 2), QTime(8, 0)));
    const QString ret = listDateTimeText(QDateTime(QDate(2024, 5, 2), QTime(8, 5)));
    EXPECT_EQ(texts(rows[0]), (QStringList{"run11.raw", "", "", "0", "0", "", "", "", sub, ret}));
    EXPECT_EQ(texts(rows[1]), (QStringList{"run12.raw", "Search A", "P12345", "41000", "87", "Actin", "SwissProt 2024_01",
                                           "http://server/r12", sub, ret}));
    EXPECT_EQ(rows[1].icon, "shutfile");
    EXPECT_TRUE(rows[1].cells[7].link);
    EXPECT_EQ(rows[1].cells[7].toolTip, ResultPageToolTip);
    EXPECT_FALSE(rows[0].cells[7].link);  // no page: normal colour, no tool tip
    EXPECT_EQ(rows[0].cells[0].toolTip, ResultPageToolTip);
    EXPECT_TRUE(readTaskViewRows(c(), 3).isEmpty());

    const QList<ResultNodeEntry> nodes = readResultNodes(c(), 1);
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(nodes[0].key, "result_11");
    EXPECT_EQ(nodes[1].text, "run12.raw");
}

TEST_P(ListRows, ResultViewParameterRows) {
    addTask(1);
    addResult(5, 1, {{"result_url", "http://server/r5"}, {"hit_score", 50}});
    addResult(6, 1, {{"quellmark_project", "\\\\LABPC\\proj\\p.rov"}});
    const QList<ListRow> plain = readResultViewRows(c(), 5);
    QStringList names, values;
    for (const ListRow& r : plain) {
        names << r.cells[0].text;
        values << r.cells[1].text;
        EXPECT_TRUE(r.key.isEmpty());
    }
    EXPECT_EQ(names, (QStringList{"Data file", "Search title", "Accession", "Protein MW", "Score", "Description", "Database",
                                  "Result file URL", "Search submitted", "Search completed"}));
    EXPECT_EQ(values.mid(0, 8), (QStringList{"\\\\LABPC\\data\\run5.raw", "", "", "0", "50", "", "", "http://server/r5"}));
    EXPECT_TRUE(plain[7].cells[1].link);

    const QList<ListRow> project = readResultViewRows(c(), 6);
    ASSERT_EQ(project.size(), 11);
    EXPECT_EQ(project[7].cells[1].text, "");  // the URL row stays, empty
    EXPECT_EQ(project[7].cells[0].toolTip, ResultPageToolTip);
    EXPECT_EQ(project[8].cells[0].text, "Sorvex Quellmark");
    EXPECT_EQ(project[8].cells[1].text, "\\\\LABPC\\proj\\p.rov");
    EXPECT_EQ(project[8].cells[1].toolTip, QuellmarkToolTip);
    EXPECT_TRUE(readResultViewRows(c(), 99).isEmpty());
}

TAVREL_ON_BOTH_ENGINES(ListRows);

}  // namespace
