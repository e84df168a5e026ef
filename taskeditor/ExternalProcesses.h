#pragma once
// The four external commands of a task (before the task, before each
// search, after each search, after the task), each with its wait and halt
// flag, as the external processes dialog edits them and the task row stores
// them; and the commands earlier tasks used, offered again by the dialog.
#include "common/TaskSettings.h"

#include <QString>
#include <QStringList>

#include <array>

namespace platform {
class AdoConnection;
}

namespace tavrel {

// Numbered as the task's stages (common::TaskStageId): the dialog's stage i
// is the stage i of the task row.
enum ExternalStage : int {
    StagePreTask = static_cast<int>(common::TaskStageId::PreTask),
    StagePreSearch = static_cast<int>(common::TaskStageId::PreSearch),
    StagePostSearch = static_cast<int>(common::TaskStageId::PostSearch),
    StagePostTask = static_cast<int>(common::TaskStageId::PostTask),
};
inline constexpr int kExternalStageCount = static_cast<int>(common::kTaskStageCount);

struct ExternalProcess {
    QString command;  // empty: the stage runs nothing
    qint16 wait = 0;  // 0 or 1
    qint16 halt = 0;
    bool operator==(const ExternalProcess&) const = default;
};

// ExternalProcessSettings, indexed by ExternalStage.
struct ExternalProcessSettings {
    std::array<ExternalProcess, kExternalStageCount> stage{};
    bool operator==(const ExternalProcessSettings&) const = default;
};

// The list entry that stands for "no command"; it is never stored.
inline const QString kNoExternalProcess = QStringLiteral("--- No external process ---");
// The most characters a typed command may have.
inline constexpr int kExternalCommandMaxLength = 2048;

// The stage's command column ("pre_task_command" ...).
QString externalCommandColumn(int stage);

// The distinct commands stored for the stage by any task, in the order the
// database answers them. Database failures are thrown (platform::Error).
QStringList externalCommandHistory(platform::AdoConnection& connection, int stage);

// The stage's list in the dialog: the current command first when there is
// one, then "--- No external process ---", then the history.
QStringList externalCommandItems(const QString& current, const QStringList& history);

// What the dialog's box holds, as the command to keep: blanks around it
// removed, "--- No external process ---" as no command.
QString externalCommandOf(const QString& boxText);

}  // namespace tavrel
