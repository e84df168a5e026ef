#pragma once
// The rows of the status list for the three kinds of node: the root view (one
// row per task), the task view (one row per result of the task) and the
// result view (the details of one result as Parameter/Value rows). Read with
// only the columns each view shows; texts as the list shows them.
#include <QList>
#include <QString>
#include <QVariant>

namespace platform {
class AdoConnection;
}

namespace tavrel {

inline const QString ResultPageToolTip = QStringLiteral("Click once to view full report in web browser");
inline const QString QuellmarkToolTip = QStringLiteral("Click once to open project in Sorvex Quellmark");
inline const QString QuellmarkRowName = QStringLiteral("Sorvex Quellmark");

struct ListCell {
    QString text;
    QVariant sortValue;  // what sorting compares: a number, a date-time or (invalid) the text
    bool link = false;   // shown in blue: a page or a project a click opens
    QString toolTip;

    bool operator==(const ListCell&) const = default;
};

struct ListRow {
    QString key;   // "task_<uid>" / "result_<number>"; empty in the result view
    QString icon;  // image key of column 0, or empty
    QList<ListCell> cells;

    bool operator==(const ListRow&) const = default;
};

QList<ListRow> readRootViewRows(platform::AdoConnection& connection);
// The root-view rows of these tasks only (those that are still shown).
QList<ListRow> readRootViewRows(platform::AdoConnection& connection, const QList<qint32>& taskUids);
QList<ListRow> readTaskViewRows(platform::AdoConnection& connection, qint32 taskUid);
// Empty when the result is gone.
QList<ListRow> readResultViewRows(platform::AdoConnection& connection, qint32 resultNumber);

// Date-time values as the lists show them: the user's short date and the time.
QString listDateTimeText(const QVariant& value);
QString flagText(const QVariant& value);  // "True" for non-zero, "False" for 0

}  // namespace tavrel
