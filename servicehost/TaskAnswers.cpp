#include "servicehost/TaskAnswers.h"

#include "common/TaskDbTables.h"
#include "platform/AdoConnection.h"
#include "platform/AdoRecordset.h"
#include "platform/Error.h"
#include "service/DbRows.h"

namespace tavrelsvc {

bool writeAnswer(platform::AdoRecordset& rs, const QString& text) {
    rs.setValue(QStringLiteral("action_request"), QVariant());
    rs.setValue(QStringLiteral("action_response"), text);
    return modGlobal_UpdateRecord(rs);
}

bool takeRunRequest(platform::AdoConnection& connection, qint32 taskUID) {
    const int taken = connection.execute(
        QStringLiteral("UPDATE Sorvex_Tavrel_Tasks SET task_status = ?, action_request = NULL, action_response = ? "
                       "WHERE task_UID = ? AND action_request = ?"),
        {common::word(common::TaskStatus::Running), answer::OK, taskUID, common::word(common::Request::Run)}, 15);
    return taken == 1;
}

QString errorAnswer(const platform::Error& e) {
    return common::fitColumn(common::kTasksTable, QStringLiteral("action_response"),
                             QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(": ") +
                                 e.description());
}

bool answerFailure(platform::AdoRecordset& rs, const platform::Error& e) {
    try {
        if (rs.editMode() != platform::AdoRecordset::EditMode::None) rs.cancelUpdate();
        if (rs.eof() || rs.bof()) return false;
        return writeAnswer(rs, errorAnswer(e));
    } catch (...) {
        return false;
    }
}

}  // namespace tavrelsvc
