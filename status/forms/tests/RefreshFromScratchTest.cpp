// A refresh reads only what changed since the last one. Whatever changed and
// whoever wrote it (this client, another client, a transaction still open at
// one refresh and committed before the next), the tree and the root view it
// leaves are those of a page built from scratch over the same table.
#include "StatusPageFixture.h"

#include "platform/AdoConnection.h"

#include <QMap>

using namespace tavrel;
using statustest::StatusPageTest;

namespace {

class RefreshFromScratch : public StatusPageTest {
protected:
    void SetUp() override {
        StatusPageTest::SetUp();
        if (IsSkipped()) return;
        other.open(db->connectionString());
    }
    void TearDown() override {
        other.close();
        StatusPageTest::TearDown();
    }

    // Every node by key: its parent, text and image. Sibling order and the
    // tags are left out: a late task or result joins at the end, and a tag
    // keeps the status its node was made with.
    static QMap<QString, QString> treeOf(const StatusPage& p) {
        QMap<QString, QString> nodes;
        const std::function<void(const QStandardItem*)> walk = [&](const QStandardItem* n) {
            for (int i = 0; i < n->rowCount(); ++i) {
                const QStandardItem* child = n->child(i);
                nodes.insert(StatusTreeModel::keyOf(child), StatusTreeModel::keyOf(n) + " | " + child->text() + " | " +
                                                                StatusTreeModel::imageOf(child));
                walk(child);
            }
        };
        if (const QStandardItem* root = p.treeModel()->rootNode()) walk(root);
        return nodes;
    }
    static QMap<QString, QString> listOf(const StatusPage& p) {
        QMap<QString, QString> rows;
        for (int r = 0; r < p.listModel()->rowCount(); ++r) {
            const ListRow& row = p.listModel()->rowAt(r);
            QStringList cells{row.icon};
            for (const ListCell& c : row.cells) cells << c.text;
            rows.insert(row.key, cells.join(" | "));
        }
        return rows;
    }
    QStringList openTasks() const {
        QStringList keys;
        for (const QString& key : treeOf(*page).keys())
            if (key.startsWith("task_") && page->tvwStatus->isExpanded(indexOf(key))) keys << key;
        return keys;
    }

    // Refreshes the page and holds it against a new page that builds its tree
    // now and opens the same task nodes.
    void refreshAndCompare(const char* step) {
        SCOPED_TRACE(step);
        page->RefreshStatus();
        StatusPage fresh;
        fresh.modGlobal_InitStatusColumns();
        fresh.frmMain_BuildStatusTree();
        fresh.RefreshStatus();
        fresh.show();
        for (const QString& key : openTasks())
            if (QStandardItem* n = fresh.treeModel()->item(key))
                fresh.tvwStatus->expand(fresh.treeModel()->indexFromItem(n));
        EXPECT_EQ(treeOf(*page), treeOf(fresh));
        EXPECT_EQ(page->statusViewKind(), "root");
        EXPECT_EQ(listOf(*page), listOf(fresh));
        EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join("\n").toStdString();
    }
    void addResultBy(platform::AdoConnection& writer, int number, int uid) {
        testsupport::insertRow(writer, "Sorvex_Tavrel_Results",
                               {{"result_number", number},
                                {"task_UID", uid},
                                {"input_data_file", QStringLiteral("\\\\LABPC\\data\\late%1.raw").arg(number)},
                                {"submitted", QDateTime(QDate(2024, 5, 2), QTime(8, 0))},
                                {"returned", QDateTime(QDate(2024, 5, 2), QTime(8, 5))}});
    }

    platform::AdoConnection other;  // another client, or the service
};

TEST_P(RefreshFromScratch, TheTreeAfterEachRefreshIsTheTreeBuiltFromScratch) {
    const char* const statuses[] = {"running", "completed", "paused", "cancelled", "new"};
    for (int uid = 2; uid <= 60; uid += 2)
        addTask(uid, {{"task_status", statuses[uid % 5]}, {"computer_name", uid % 3 ? "LABPC" : "OTHERPC"}});
    int result = 1;
    for (int uid = 2; uid <= 60; uid += 4)
        for (int i = 0; i < 3; ++i) addResult(result++, uid);
    start();
    for (const char* key : {"task_2", "task_6", "task_8", "task_50"}) page->tvwStatus->expand(indexOf(key));
    refreshAndCompare("open nodes, one of them without results");
    refreshAndCompare("nothing changed");

    other.execute("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'cancelled' WHERE task_UID = 6");
    other.execute("UPDATE Sorvex_Tavrel_Tasks SET action_request = 'Pause' WHERE task_UID = 12");
    other.execute("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'archived' WHERE task_UID = 14");
    other.execute("DELETE FROM Sorvex_Tavrel_Results WHERE task_UID = 10");
    other.execute("DELETE FROM Sorvex_Tavrel_Tasks WHERE task_UID = 10");
    testsupport::insertRow(other, "Sorvex_Tavrel_Tasks",
                           {{"task_UID", 3}, {"task_label", "Under a smaller key"}, {"parameter_set", "a.par"},
                            {"schedule_type", "follower"}, {"start_time", QDateTime(QDate(2024, 5, 1), QTime(9, 0))},
                            {"task_status", "running"}, {"computer_name", "OTHERPC"}});
    refreshAndCompare("statuses, a request, a deleted and a late task of another client");

    addResultBy(other, 500, 2);  // an open task
    addResultBy(other, 400, 2);  // committed late under a smaller number
    addResultBy(other, 501, 8);  // the open task that had none
    addResultBy(other, 502, 58);  // a closed old task
    refreshAndCompare("results of old tasks");

    other.execute("UPDATE Sorvex_Tavrel_Tasks SET action_response = 'OK', task_status = 'paused' WHERE task_UID = 20");
    other.execute("UPDATE Sorvex_Tavrel_Tasks SET action_response = 'Pending' WHERE task_UID = 22");
    refreshAndCompare("answers of the service, cleared by this client");
    EXPECT_TRUE(taskColumn(20, "action_response").isNull());
    refreshAndCompare("after the cleared answer");

    // Written in a transaction that is still open at one refresh and
    // committed before the next: the first cannot see it, the second must,
    // also when a transaction begun later has ended in between (the server
    // engine lets both write at once; the file engine has one writer).
    platform::AdoConnection slow;
    slow.open(db->connectionString());
    slow.beginTrans();
    slow.execute("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'running' WHERE task_UID = 4");
    addResultBy(slow, 503, 6);
    if (GetParam() == testsupport::DbEngine::Postgres)
        other.execute("UPDATE Sorvex_Tavrel_Tasks SET task_status = 'paused' WHERE task_UID = 24");
    refreshAndCompare("a transaction still open");
    slow.commitTrans();
    refreshAndCompare("the transaction committed");

    setTask(16, "task_status", "running");
    c().execute("DELETE FROM Sorvex_Tavrel_Tasks WHERE task_UID = 18");
    addResult(600, 50);
    refreshAndCompare("this client's own writes");
}

TAVREL_ON_BOTH_ENGINES(RefreshFromScratch);

}  // namespace
