#include "status/forms/EventLogPage.h"

#include <QVBoxLayout>

namespace tavrel {

EventLogPage::EventLogPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("EventLogPage"));
    new QVBoxLayout(this);
}

void EventLogPage::RefreshEvents() {}

}  // namespace tavrel
