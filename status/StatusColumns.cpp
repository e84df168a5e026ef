#include "status/StatusColumns.h"

#include "common/Settings.h"
#include "platform/Error.h"

#include <QHash>

#include <algorithm>

namespace tavrel {

namespace {

ColumnTable table(std::initializer_list<std::pair<const char*, qint16>> columns) {
    ColumnTable t;
    for (const auto& [title, width] : columns) {
        t.titles << QString::fromLatin1(title);
        t.widths << width;
    }
    return t;
}

}  // namespace

QString columnViewName(ColumnView view) {
    switch (view) {
        case ColumnView::Root: return QStringLiteral("root");
        case ColumnView::Task: return QStringLiteral("task");
        case ColumnView::Event: return QStringLiteral("event");
    }
    return QString();
}

QString columnWidthSection(ColumnView view) {
    switch (view) {
        case ColumnView::Root: return QStringLiteral("Root Column Width");
        case ColumnView::Task: return QStringLiteral("Task Column Width");
        case ColumnView::Event: return QStringLiteral("Event Column Width");
    }
    return QString();
}

ColumnTable defaultColumnTable(ColumnView view) {
    switch (view) {
        case ColumnView::Root:
            return table({{"Status", 1300}, {"Task", 3000}, {"Parameter set", 3000}, {"Data import filter", 1300},
                          {"Schedule type", 1200}, {"New files only", 1200}, {"Sub-directories", 1200},
                          {"Start time", 1800}, {"Monitor path", 2200}, {"Follow up", 1000},
                          {"Follow up score", 1300}, {"Follow up repeat", 1300}, {"Follow up number", 1500},
                          {"Follow up interval", 1500}, {"Follow up discard", 1500}, {"Follow up move", 1400},
                          {"Follow up task", 2000}, {"Auto-print", 1200}});
        case ColumnView::Task:
            return table({{"Data filename", 1700}, {"Search title", 1700}, {"Accession", 1400}, {"Mass", 1000},
                          {"Score", 700}, {"Description", 2800}, {"Database", 1600}, {"Result URL", 2100},
                          {"Submitted", 1700}, {"Completed", 1700}});
        case ColumnView::Event:
            return table({{" ", 1000}, {"Time", 1000}, {"Date", 1000}, {"Task", 1000}, {"Task label", 1000},
                          {"Data file", 1000}, {"Log entry", 1000}});
    }
    return {};
}

ColumnTable modGlobal_InitColumnTable(ColumnView view) {
    ColumnTable t = defaultColumnTable(view);
    const common::RegValueTable saved = common::modGlobal_GetAllSettings(common::SettingsApplication, columnWidthSection(view));
    if (saved.size() != t.widths.size()) return t;
    QHash<QString, QVariant> byName;
    for (const common::RegValueRow& row : saved) byName.insert(row.name.trimmed(), row.value);
    if (!byName.contains(QStringLiteral("0"))) return t;
    for (int i = 0; i < t.widths.size(); ++i) {
        const auto it = byName.constFind(QString::number(i));
        if (it == byName.constEnd()) continue;
        try {
            const qint16 width = common::settingToInteger(it.value());
            if (width >= 0) t.widths[i] = width;
        } catch (const platform::Error&) {
            // Not a width this program wrote: the column keeps its default.
        }
    }
    return t;
}

bool modGlobal_SaveColumnWidths(ColumnView view, const QList<int>& widthsTwips) {
    const QString section = columnWidthSection(view);
    bool all = true;
    for (int i = 0; i < widthsTwips.size(); ++i) {
        const int width = std::clamp(widthsTwips[i], 0, 32767);
        all = common::modGlobal_SaveSetting(common::SettingsApplication, section, QString::number(i), QString::number(width)) && all;
    }
    return all;
}

}  // namespace tavrel
