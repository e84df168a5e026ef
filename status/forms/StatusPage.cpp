#include "status/forms/StatusPage.h"

#include <QVBoxLayout>

namespace tavrel {

StatusPage::StatusPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusPage"));
    new QVBoxLayout(this);
}

void StatusPage::RefreshStatus() {}

void StatusPage::AutoScrollTick() {}

void StatusPage::ShowNewTask(long) {}

}  // namespace tavrel
