#include "taskeditor/ExternalProcesses.h"

#include "platform/AdoConnection.h"
#include "platform/Error.h"

#include <QSqlQuery>

namespace tavrel {

namespace {

constexpr int kHistoryTimeoutSeconds = 15;

const std::array<QString, kExternalStageCount>& commandColumns() {
    static const std::array<QString, kExternalStageCount> columns = {
        QStringLiteral("pre_task_command"), QStringLiteral("pre_search_command"),
        QStringLiteral("post_search_command"), QStringLiteral("post_task_command")};
    return columns;
}

}  // namespace

QString externalCommandColumn(int stage) {
    if (stage < 0 || stage >= kExternalStageCount)
        throw platform::Error(platform::errnum::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return commandColumns()[static_cast<std::size_t>(stage)];
}

QStringList externalCommandHistory(platform::AdoConnection& connection, int stage) {
    // The column comes from the fixed table above, never from data.
    const QString column = externalCommandColumn(stage);
    QSqlQuery q = connection.query(QStringLiteral("SELECT %1 FROM Sorvex_Tavrel_Tasks WHERE %1 IS NOT NULL GROUP BY %1")
                                       .arg(column),
                                   {}, kHistoryTimeoutSeconds);
    QStringList commands;
    while (q.next()) commands << q.value(0).toString();
    return commands;
}

QStringList externalCommandItems(const QString& current, const QStringList& history) {
    QStringList items;
    if (!current.isEmpty()) items << current;
    items << kNoExternalProcess;
    items << history;
    return items;
}

QString externalCommandOf(const QString& boxText) {
    const QString command = boxText.trimmed();
    return command == kNoExternalProcess ? QString() : command;
}

}  // namespace tavrel
