// The task editor end to end with the real service program: the page is
// filled in as a user fills it, Run is pressed, TavrelService -debug runs
// the tasks against sorvex-sim and the results table gets their rows.
#include "EditorAndServiceFixture.h"

#include "search/tests/SearchSimFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

using searchtest::ionBlock;

class TaskEditorEndToEnd : public editortest::EditorAndService {
protected:
    static void type(QLineEdit* box, const QString& text) {
        box->setText(text);
        emit box->textEdited(text);
    }
};

TEST_P(TaskEditorEndToEnd, ANowTaskOfThreePeakListsAndAMonitorTaskOfAFolderAreSearched) {
    QStringList lists;
    for (int i = 1; i <= 3; ++i) {
        lists << home.file(QStringLiteral("data/run%1.qpl").arg(i));
        testsupport::writeFile(lists.last(), ionBlock(i, 500.5 + i));
    }
    const QString inbox = home.file("inbox");
    testsupport::writeFile(inbox + "/first.qpl", ionBlock(7, 733.0));
    testsupport::writeFile(inbox + "/second.qpl", ionBlock(8, 845.5));
    testsupport::writeFile(inbox + "/notes.txt", "not a peak list");

    hosttest::ServiceProgram service(home.path(), "LABPC");
    ASSERT_TRUE(service.start());

    tavrel::TaskEditorPage page;
    page.show();
    page.ResetTaskEditor();
    type(page.txtTaskLabel, "Liver digest");
    type(page.txtTaskParam, parameterFile);
    page.lstTaskFiles_OLEDragDrop(lists);
    long created = 0;
    QObject::connect(&page, &tavrel::TaskEditorPage::taskCreated, [&](long uid) { created = uid; });
    page.cmdTaskRun->click();
    ASSERT_EQ(created, 1) << qPrintable(boxes.texts.join('\n'));

    page.cmdTaskNew->click();
    type(page.txtTaskParam, parameterFile);
    type(page.txtTaskLabel, "Inbox");
    page.optTaskSched[tavrel::SchedMonitor]->click();
    type(page.txtTaskPath, inbox + "/");
    type(page.txtTaskWild, "*.qpl");
    page.chkTaskNewOnly->click();  // the files already there count too
    page.cmdTaskRun->click();
    ASSERT_EQ(created, 2) << qPrintable(boxes.texts.join('\n'));
    EXPECT_TRUE(boxes.texts.isEmpty()) << qPrintable(boxes.texts.join('\n'));

    ASSERT_TRUE(testsupport::waitUntil([&] { return rows->status(1) == "completed" && results(2) == 2; }, 60000))
        << qPrintable(log().join('\n'));
    EXPECT_EQ(results(1), 3);
    EXPECT_EQ(rows->status(2), "running");
    QSqlQuery q = rows->connection().query(
        "SELECT input_data_file, result_comment FROM Sorvex_Tavrel_Results WHERE task_UID = 1 ORDER BY input_data_file");
    for (const QString& list : lists) {
        ASSERT_TRUE(q.next());
        EXPECT_TRUE(q.value(0).toString().endsWith(QFileInfo(list).fileName())) << qPrintable(q.value(0).toString());
        EXPECT_EQ(q.value(1).toString(), "Run Liver digest");
    }
    EXPECT_EQ(hosttest::countContaining(log(), "|1|Starting new task"), 1);
    EXPECT_EQ(hosttest::countContaining(log(), "|2|Starting new task"), 1);
    EXPECT_TRUE(QFileInfo(home.file("qpl/1 Liver digest")).isDir());
    EXPECT_TRUE(QFileInfo(home.file("qpl/2 Inbox")).isDir());
}

TAVREL_ON_BOTH_ENGINES(TaskEditorEndToEnd);

}  // namespace
