// The commands earlier tasks stored, offered again by the external processes dialog.
#include "TaskEditorFixture.h"

#include "taskeditor/ExternalProcesses.h"

using namespace taskeditortest;

class ExternalCommandHistory : public ClientDatabase {};

TEST_P(ExternalCommandHistory, EachStoredCommandOnceForItsStage) {
    insertTask(1, {{"pre_task_command", "backup.sh"}, {"post_search_command", "notify 'done'"}});
    insertTask(2, {{"pre_task_command", "backup.sh"}});
    insertTask(3, {{"pre_task_command", "mount /data"}});
    auto& c = tavrel::TaskDbConnection;
    QStringList preTask = tavrel::externalCommandHistory(c, tavrel::StagePreTask);
    preTask.sort();
    EXPECT_EQ(preTask, QStringList({"backup.sh", "mount /data"}));
    EXPECT_EQ(tavrel::externalCommandHistory(c, tavrel::StagePostSearch), QStringList({"notify 'done'"}));
    EXPECT_TRUE(tavrel::externalCommandHistory(c, tavrel::StagePostTask).isEmpty());
}

TAVREL_ON_BOTH_ENGINES(ExternalCommandHistory);

TEST(ExternalCommands, ListAndBoxText) {
    EXPECT_EQ(tavrel::externalCommandItems("", {"a"}), QStringList({"--- No external process ---", "a"}));
    // The current command first, even when the history has it too.
    EXPECT_EQ(tavrel::externalCommandItems("a", {"a", "b"}), QStringList({"a", "--- No external process ---", "a", "b"}));
    EXPECT_EQ(tavrel::externalCommandOf("  run.sh -x  "), "run.sh -x");
    EXPECT_EQ(tavrel::externalCommandOf("--- No external process ---"), "");
    EXPECT_EQ(tavrel::externalCommandOf(" --- No external process --- "), "");
}
