#include "status/StatusListRows.h"

#include "status/StatusNodes.h"
#include "status/TaskStates.h"
#include "platform/AdoConnection.h"

#include <QDateTime>
#include <QSqlQuery>

namespace tavrel {

namespace {

enum Col {
    cNumber, cDataFile, cComment, cAccession, cMass, cScore, cTitle, cDatabase, cUrl, cSubmitted, cReturned,
    cQuellmark,
};

const QString kResultColumns = QStringLiteral(
    "SELECT result_number, input_data_file, result_comment, accession, hit_mass, hit_score, title_text, "
    "seq_database, result_url, submitted, returned, quellmark_project FROM Sorvex_Tavrel_Results ");

ListCell text(const QVariant& v) { return {v.toString(), QVariant(), false, QString()}; }
ListCell number(const QVariant& v) {
    const qlonglong n = v.isNull() ? 0 : v.toLongLong();
    return {QString::number(n), n, false, QString()};
}
ListCell when(const QVariant& v) { return {listDateTimeText(v), v.toDateTime(), false, QString()}; }
// A page or project address in blue; an absent one is an empty cell in the normal colour.
ListCell link(const QVariant& v, const QString& toolTip) {
    if (v.isNull()) return {QString(), QVariant(), false, QString()};
    return {v.toString(), QVariant(), true, toolTip};
}

ListRow taskViewRow(const QSqlQuery& q) {
    const auto v = [&q](int c) { return q.value(c); };
    ListRow row;
    row.key = resultNodeKey(v(cNumber).toInt());
    row.icon = imagekey::ShutFile;
    row.cells << ListCell{fileNamePart(v(cDataFile).toString()), QVariant(), false, ResultPageToolTip}
              << text(v(cComment)) << text(v(cAccession)) << number(v(cMass)) << number(v(cScore))
              << text(v(cTitle)) << text(v(cDatabase)) << link(v(cUrl), ResultPageToolTip) << when(v(cSubmitted))
              << when(v(cReturned));
    return row;
}

ListRow parameterRow(const QString& name, ListCell value, const QString& rowToolTip = QString()) {
    ListRow row;
    row.cells << ListCell{name, QVariant(), false, rowToolTip} << std::move(value);
    return row;
}

}  // namespace

QList<ListRow> readTaskViewRows(platform::AdoConnection& connection, qint32 taskUid) {
    QSqlQuery q = connection.query(kResultColumns + QStringLiteral("WHERE task_UID = ? ORDER BY result_number"),
                                   {taskUid}, kStatusQueryTimeoutSeconds);
    QList<ListRow> rows;
    while (q.next()) rows.append(taskViewRow(q));
    return rows;
}

QList<ListRow> readResultViewRows(platform::AdoConnection& connection, qint32 resultNumber) {
    QSqlQuery q = connection.query(kResultColumns + QStringLiteral("WHERE result_number = ?"), {resultNumber},
                                   kStatusQueryTimeoutSeconds);
    if (!q.next()) return {};
    const auto v = [&q](int c) { return q.value(c); };
    QList<ListRow> rows;
    rows << parameterRow(QStringLiteral("Data file"), text(v(cDataFile)))
         << parameterRow(QStringLiteral("Search title"), text(v(cComment)))
         << parameterRow(QStringLiteral("Accession"), text(v(cAccession)))
         << parameterRow(QStringLiteral("Protein MW"), number(v(cMass)))
         << parameterRow(QStringLiteral("Score"), number(v(cScore)))
         << parameterRow(QStringLiteral("Description"), text(v(cTitle)))
         << parameterRow(QStringLiteral("Database"), text(v(cDatabase)))
         << parameterRow(QStringLiteral("Result file URL"), link(v(cUrl), ResultPageToolTip), ResultPageToolTip);
    if (!v(cQuellmark).isNull())
        rows << parameterRow(QuellmarkRowName, link(v(cQuellmark), QuellmarkToolTip), QuellmarkToolTip);
    rows << parameterRow(QStringLiteral("Search submitted"), when(v(cSubmitted)))
         << parameterRow(QStringLiteral("Search completed"), when(v(cReturned)));
    return rows;
}

}  // namespace tavrel
