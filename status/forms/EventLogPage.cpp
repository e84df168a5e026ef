#include "status/forms/EventLogPage.h"

#include "status/StatusColumns.h"
#include "status/forms/EventListModel.h"
#include "status/forms/ListColumnWidths.h"
#include "status/forms/StatusIcons.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace tavrel {

EventLogPage::EventLogPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("EventLogPage"));
    model_ = new EventListModel(this);
    lvwEvent = new QTreeView(this);
    lvwEvent->setObjectName(QStringLiteral("lvwEvent"));
    lvwEvent->setModel(model_);
    lvwEvent->setRootIsDecorated(false);
    lvwEvent->setUniformRowHeights(true);  // a list of many thousand rows lays out in constant time
    lvwEvent->setAllColumnsShowFocus(true);
    lvwEvent->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwEvent->setIconSize(QSize(kStatusIconSize, kStatusIconSize));
    lvwEvent->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwEvent->header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvwEvent);
    model_->setColumns(defaultColumnTable(ColumnView::Event).titles);
}

void EventLogPage::InitEventColumns() {
    const ColumnTable table = modGlobal_InitColumnTable(ColumnView::Event);
    model_->setColumns(table.titles);
    for (int i = 0; i < table.widths.size(); ++i) lvwEvent->header()->resizeSection(i, columnTwipsToPixels(table.widths[i], lvwEvent->header()));
}

void EventLogPage::OpenEventLog(const QString& path) { EventLogReader.open(path); }

void EventLogPage::SaveEventColumnWidths() {
    QList<int> widths;
    for (int i = 0; i < model_->columnCount(); ++i) widths << columnPixelsToTwips(lvwEvent->header()->sectionSize(i), lvwEvent->header());
    modGlobal_SaveColumnWidths(ColumnView::Event, widths);
}

void EventLogPage::modGlobal_AddEventListRow(const QString& line) { model_->appendLines({line}); }

void EventLogPage::RefreshEvents() {
    if (sliceQueued_) return;  // the slices already under way read on to the end
    readSlice();
}

void EventLogPage::readSlice() {
    sliceQueued_ = false;
    const QStringList lines = EventLogReader.readNewLines(EventLogTail::kSliceBytes, kMaxEventRows);
    if (!EventLogReader.caughtUp()) {
        sliceQueued_ = true;
        QTimer::singleShot(0, this, [this] { readSlice(); });
    }
    if (lines.isEmpty()) return;
    QScrollBar* bar = lvwEvent->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    if (model_->appendLines(lines) > 0 && atEnd) lvwEvent->scrollToBottom();
}

}  // namespace tavrel
