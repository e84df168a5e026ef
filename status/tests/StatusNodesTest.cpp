// The tree's vocabulary: keys, the task icon rule, file names, drag verdicts.
#include "status/ResultDrop.h"
#include "status/StatusButtons.h"
#include "status/StatusNodes.h"
#include "status/TaskNodePlan.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tavrel;

TEST(StatusNodes, KeysSplitIntoKindAndNumber) {
    struct Case {
        QString key, kind, number;
        qint32 value;
    } cases[] = {
        {"root", "root", "", 0},         {"task_12", "task", "12", 12},
        {"result_7", "result", "7", 7},  {"dummy_task_12", "dummy", "task", 0},
        {"task_", "task", "", 0},
    };
    for (const Case& c : cases) {
        const NodeKeyParts p = splitNodeKey(c.key);
        EXPECT_EQ(p.kind, c.kind) << c.key.toStdString();
        EXPECT_EQ(p.number, c.number) << c.key.toStdString();
        EXPECT_EQ(nodeNumber(c.key), c.value) << c.key.toStdString();
    }
    EXPECT_EQ(placeholderKey(taskNodeKey(12)), "dummy_task_12");
    EXPECT_EQ(taskNodeTag("follower", 12, "running"), "follower_12_running");
}

TEST(StatusNodes, TaskIconFollowsStatusExchangeAndSchedule) {
    struct Case {
        const char *status, *schedule, *request, *response, *icon;
    } cases[] = {
        {"new", "now", "", "", "pending"},
        {"running", "now", "", "", "running"},
        {"running", "follower", "", "", "follower"},
        {"paused", "follower", "", "", "paused"},
        {"running", "now", "Pause", "", "pending"},
        {"running", "now", "", "Pending", "pending"},
        {"running", "now", "", "OK", "running"},
        {"paused", "now", "", "Error 9009: Attempt to pause a task which is not running", "pending"},
        {"completed", "monitor", "", "", "completed"},
        {"cancelled", "timed", "", "", "cancelled"},
    };
    for (const Case& c : cases) {
        const bool pending = isPendingExchange(c.request, c.response);
        EXPECT_EQ(TaskTreeIcon(c.status, c.schedule, pending), c.icon) << c.status << " " << c.request << c.response;
    }
}

TEST(StatusNodes, FileNamePartOfStoredPaths) {
    struct Case {
        QString stored, shown;
    } cases[] = {
        {"C:\\data\\run1.raw", "run1.raw"},
        {"\\\\LABPC\\data\\sub\\run2.raw", "run2.raw"},
        {"/data/run3.raw", "run3.raw"},  // a local path of this platform
        {"run4.raw", "run4.raw"},
        {"sample/with/slash", "sample/with/slash"},  // "/" cuts only an absolute local path
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(fileNamePart(c.stored), c.shown) << c.stored.toStdString();
}

TEST(StatusNodes, OnlyTheFiveStatusesAreShown) {
    for (const char* s : {"new", "running", "paused", "completed", "cancelled"}) EXPECT_TRUE(isShownStatus(s)) << s;
    for (const char* s : {"", "Running", "done", "new "}) EXPECT_FALSE(isShownStatus(s)) << s;
}

TEST(StatusNodes, DragIconOverEachKindOfNode) {
    struct Case {
        const char* name;
        QString target, tag, icon;
    } cases[] = {
        {"no node", "", "", "dragdrop1"},
        {"the dragged node", "result_5", "", "dragdrop1"},
        {"its own task", "task_1", "follower_1_running", "dragdrop3"},
        {"the root", "root", "", "dragdrop3"},
        {"another result", "result_9", "", "dragdrop3"},
        {"a task that is no follower", "task_2", "monitor_2_running", "dragdrop3"},
        {"a cancelled follower", "task_3", "follower_3_cancelled", "dragdrop3"},
        {"a running follower", "task_4", "follower_4_running", "dragdrop2"},
        {"a new follower", "task_5", "follower_5_new", "dragdrop2"},
    };
    for (const Case& c : cases) EXPECT_EQ(dragIconFor("result_5", "task_1", c.target, c.tag), c.icon) << c.name;
}

TEST(StatusNodes, ButtonsOfTheTaskViewByNodeImage) {
    struct Case {
        const char* image;
        bool pause, resume, cancel, del;
    } cases[] = {
        {"running", true, false, false, false},  {"follower", true, false, false, false},
        {"paused", false, true, true, false},    {"pending", false, false, false, false},
        {"completed", false, false, false, true}, {"cancelled", false, false, false, true},
    };
    for (const Case& c : cases) {
        const StatusButtonStates s = taskViewButtons(c.image);
        EXPECT_EQ(s.pause, c.pause) << c.image;
        EXPECT_EQ(s.resume, c.resume) << c.image;
        EXPECT_EQ(s.cancel, c.cancel) << c.image;
        EXPECT_EQ(s.del, c.del) << c.image;
        EXPECT_TRUE(s.clone && s.print) << c.image;
    }
}

TEST(TaskNodePlan, AddsReimagesAndRemovesByKey) {
    const auto row = [](qint32 uid, const char* status, const char* schedule = "now", const char* response = "") {
        TaskState s;
        s.uid = uid;
        s.label = QStringLiteral("T%1").arg(uid);
        s.status = status;
        s.schedule = schedule;
        s.response = response;
        return s;
    };
    const QHash<qint32, QString> tree = {{1, "running"}, {2, "pending"}, {3, "paused"}, {4, "completed"}};
    const QList<TaskState> rows = {row(1, "running"), row(2, "running", "follower"), row(3, "bogus"),
                                   row(5, "new", "follower"), row(4, "completed", "now", "OK"), row(6, "")};
    const TaskNodePlan plan = planTaskNodes(tree, rows);
    ASSERT_EQ(plan.added.size(), 1);
    EXPECT_EQ(plan.added[0].key, "task_5");
    EXPECT_EQ(plan.added[0].text, "5: T5");
    EXPECT_EQ(plan.added[0].image, "pending");
    EXPECT_EQ(plan.added[0].tag, "follower_5_new");
    EXPECT_EQ(plan.reimaged, (QList<QPair<QString, QString>>{{"task_2", "follower"}}));
    EXPECT_EQ(plan.removed, QStringList{"task_3"});

    // The same rows again over the changed tree: nothing to do.
    QHash<qint32, QString> after = tree;
    after.remove(3);
    after[2] = "follower";
    after[5] = "pending";
    EXPECT_FALSE(planTaskNodes(after, rows).changesTree());
}

// What differs from the rows read last time, in the table's order or not,
// with a key met twice in a damaged table; `last` then holds the rows.
TEST(TaskNodePlan, RowChangesAgainstTheRowsReadLast) {
    const auto row = [](qint32 uid, const char* status, const char* request = "") {
        TaskState s;
        s.uid = uid;
        s.label = QStringLiteral("T%1").arg(uid);
        s.status = status;
        s.request = request;
        return s;
    };
    const QList<TaskState> before = {row(1, "running"), row(2, "paused"), row(3, "running"), row(4, "new")};
    struct Case {
        const char* name;
        QList<TaskState> rows;
        QList<qint32> changed, vanished;
    } cases[] = {
        {"nothing changed", before, {}, {}},
        {"a status and a request", {row(1, "completed"), row(2, "paused"), row(3, "running", "Pause"), row(4, "new")},
         {1, 3}, {}},
        {"gone and new", {row(1, "running"), row(3, "running"), row(5, "new")}, {5}, {2, 4}},
        {"all gone", {}, {}, {1, 2, 3, 4}},
        {"out of order", {row(4, "new"), row(6, "new"), row(2, "running"), row(1, "running")}, {6, 2}, {3}},
        {"a key twice", {row(1, "running"), row(2, "paused"), row(2, "completed"), row(4, "new")}, {2}, {3}},
    };
    for (const Case& c : cases) {
        QHash<qint32, TaskState> last;
        for (const TaskState& s : before) last.insert(s.uid, s);
        const TaskRowChanges changes = takeRowChanges(last, c.rows);
        QList<qint32> changed = changes.changed;  // in no particular order
        std::sort(changed.begin(), changed.end());
        QList<qint32> expected = c.changed;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(changed, expected) << c.name;
        EXPECT_EQ(changes.vanished, c.vanished) << c.name;
        QHash<qint32, TaskState> now;  // the last row with a key says
        for (const TaskState& s : c.rows) now.insert(s.uid, s);
        EXPECT_EQ(last, now) << c.name;
    }
}
