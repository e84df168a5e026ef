#pragma once
// The "E&vent Log" tab of the main window: the event list lvwEvent, fed from
// the tail of the service's event log by every refresh.
#include "status/EventLogTail.h"

#include <QWidget>

class QTreeView;

namespace tavrel {

class EventListModel;

class EventLogPage : public QWidget {
    Q_OBJECT
public:
    explicit EventLogPage(QWidget* parent = nullptr);

    // Start-up: the seven columns with their saved widths (section "Event
    // Column Width"), then the event log to follow ("Sorvex_Tavrel_Event_Log.csv"
    // in the program folder), which is read but never created.
    void InitEventColumns();
    void OpenEventLog(const QString& path);
    // Shut-down: the column widths are kept for the next run.
    void SaveEventColumnWidths();

    // The lines written since the last call join the end of the list (run
    // by each refresh). A list scrolled to its end stays at its end. A large
    // backlog is read in slices, each in its own turn of the event loop, so
    // the window stays responsive; only the rows the list keeps are made.
    void RefreshEvents();
    // True when no slice of the log waits to be read.
    bool eventsCaughtUp() const { return !sliceQueued_; }
    // One line of the event log as one row at the end of the list (an empty
    // line adds none).
    void modGlobal_AddEventListRow(const QString& line);

    QTreeView* lvwEvent = nullptr;
    EventListModel* eventModel() const { return model_; }
    EventLogTail& eventLogReader() { return EventLogReader; }

private:
    void readSlice();

    EventListModel* model_ = nullptr;
    bool sliceQueued_ = false;
    EventLogTail EventLogReader;
};

}  // namespace tavrel
