#pragma once
// The "E&vent Log" tab of the main window: the event list, fed from the tail
// of the event log.
#include <QWidget>

namespace tavrel {

class EventLogPage : public QWidget {
    Q_OBJECT
public:
    explicit EventLogPage(QWidget* parent = nullptr);

    // New lines of the event log join the list (run by each refresh).
    void RefreshEvents();
};

}  // namespace tavrel
