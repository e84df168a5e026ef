#include "common/TaskSettings.h"

#include "common/TaskVocabulary.h"

#include <gtest/gtest.h>

namespace {

common::TaskRow bareRow() {
    common::TaskRow r;
    r.task_UID = 12;
    r.task_label = QStringLiteral("Nightly");
    r.parameter_set = QStringLiteral("\\\\PC\\share\\a.par");
    r.schedule_type = common::word(common::ScheduleType::Monitor);
    r.start_time = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    r.task_status = common::word(common::TaskStatus::New);
    return r;
}

}  // namespace

TEST(TaskSettings, NullColumnsTakeTheValuesATaskRunsWith) {
    const common::TaskSettings s = common::taskSettingsOf(bareRow());
    EXPECT_EQ(s.uID, 12);
    EXPECT_EQ(s.task_label, "Nightly");
    EXPECT_EQ(s.parameter_set, "\\\\PC\\share\\a.par");
    EXPECT_EQ(s.schedule_type, "monitor");
    EXPECT_EQ(s.start_time, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    EXPECT_EQ(s.import_filter, "--- None ---");
    EXPECT_EQ(s.fu_task, "--- None ---");
    EXPECT_EQ(s.fu_interval, "days");
    EXPECT_EQ(s.fu_number, 1);
    EXPECT_EQ(s.monitor_filename, "*.*");
    EXPECT_EQ(s.monitor_directory, "");
    EXPECT_EQ(s.filter_options, "");
    EXPECT_EQ(s.filter_fields, "");
    EXPECT_EQ(s.follow_up, 0);
    EXPECT_EQ(s.fu_score, 0);
    EXPECT_EQ(s.search_priority, 0);
    EXPECT_EQ(s.sorvex_user_id, std::nullopt);
    for (const qint16 flag : {s.new_files_only, s.sub_directories, s.fu_repeat, s.fu_move, s.fu_discard, s.auto_print,
                              s.merge_data_files})
        EXPECT_EQ(flag, common::kFlagClear);
    for (const common::TaskStage& stage : s.stages) EXPECT_EQ(stage, common::TaskStage{});
}

TEST(TaskSettings, StoredValuesAreKeptAndEveryNonZeroFlagIsSet) {
    common::TaskRow r = bareRow();
    r.follow_up = 2;  // a choice, not a flag
    r.search_priority = -5;
    r.fu_number = 59;
    r.fu_interval = common::word(common::FollowUpInterval::Months);
    r.sorvex_user_id = 7;
    r.monitor_filename = QStringLiteral("*.SPL");
    r.new_files_only = 1;
    r.sub_directories = -1;
    r.fu_repeat = 2;
    r.fu_move = 0;
    r.auto_print = 1;
    const common::TaskSettings s = common::taskSettingsOf(r);
    EXPECT_EQ(s.follow_up, 2);
    EXPECT_EQ(s.search_priority, -5);
    EXPECT_EQ(s.fu_number, 59);
    EXPECT_EQ(s.fu_interval, "months");
    EXPECT_EQ(s.sorvex_user_id, 7);
    EXPECT_EQ(s.monitor_filename, "*.SPL");
    EXPECT_EQ(s.new_files_only, common::kFlagSet);
    EXPECT_EQ(s.sub_directories, common::kFlagSet);
    EXPECT_EQ(s.fu_repeat, common::kFlagSet);
    EXPECT_EQ(s.fu_move, common::kFlagClear);
    EXPECT_EQ(s.auto_print, common::kFlagSet);
}

// Each stage reads its own three columns, and the stage list writes them: a
// swapped pair would run one stage's command at another's moment.
TEST(TaskSettings, EachStageHasItsOwnColumns) {
    const struct {
        common::TaskStageId id;
        const char* command;
        qint16 wait, halt;
        std::optional<QString> common::TaskRow::*commandColumn;
        std::optional<qint16> common::TaskRow::*waitColumn;
        std::optional<qint16> common::TaskRow::*haltColumn;
    } stages[] = {
        {common::TaskStageId::PreTask, "before.sh", 1, 0, &common::TaskRow::pre_task_command,
         &common::TaskRow::pre_task_wait, &common::TaskRow::pre_task_halt},
        {common::TaskStageId::PreSearch, "each.sh <file>", 0, 1, &common::TaskRow::pre_search_command,
         &common::TaskRow::pre_search_wait, &common::TaskRow::pre_search_halt},
        {common::TaskStageId::PostSearch, "after.sh <result>", 1, 1, &common::TaskRow::post_search_command,
         &common::TaskRow::post_search_wait, &common::TaskRow::post_search_halt},
        {common::TaskStageId::PostTask, "done.sh", 0, 0, &common::TaskRow::post_task_command,
         &common::TaskRow::post_task_wait, &common::TaskRow::post_task_halt},
    };
    ASSERT_EQ(std::size(stages), common::kTaskStageCount);

    common::TaskRow r = bareRow();
    for (const auto& st : stages) {
        const common::TaskStageColumns c = common::stageColumns(r, st.id);
        c.command = QString::fromLatin1(st.command);
        c.wait = st.wait;
        c.halt = st.halt;
    }
    const common::TaskSettings s = common::taskSettingsOf(r);
    for (const auto& st : stages) {
        SCOPED_TRACE(st.command);
        EXPECT_EQ(r.*st.commandColumn, QString::fromLatin1(st.command));
        EXPECT_EQ(r.*st.waitColumn, st.wait);
        EXPECT_EQ(r.*st.haltColumn, st.halt);
        const common::TaskStage& stage = s.stage(st.id);
        EXPECT_EQ(stage.command, QString::fromLatin1(st.command));
        EXPECT_EQ(stage.wait, st.wait ? common::kFlagSet : common::kFlagClear);
        EXPECT_EQ(stage.halt, st.halt ? common::kFlagSet : common::kFlagClear);
    }
}
