#pragma once
// The column tables of the three lists (root view, task view, event list):
// titles and widths in twips, the widths kept per list in the settings
// sections "Root Column Width", "Task Column Width" and "Event Column Width",
// one value per column named by its index.
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrel {

enum class ColumnView { Root, Task, Event };

struct ColumnTable {
    QStringList titles;
    QList<qint16> widths;  // twips
};

// "root", "task", "event".
QString columnViewName(ColumnView view);
QString columnWidthSection(ColumnView view);

ColumnTable defaultColumnTable(ColumnView view);

// The defaults with the saved widths over them. A section is taken only when
// it holds exactly one value per column and a value "0"; each width is then
// read by its value name, and a value that is no whole number of twips from 0
// to 32767 leaves that column at its default.
ColumnTable modGlobal_InitColumnTable(ColumnView view);

// Stores the widths (twips, one per column, as the list shows them now) in
// the view's section; false when a value could not be stored.
bool modGlobal_SaveColumnWidths(ColumnView view, const QList<int>& widthsTwips);

}  // namespace tavrel
