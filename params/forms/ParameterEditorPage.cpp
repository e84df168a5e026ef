#include "params/forms/ParameterEditorPage.h"

#include <QVBoxLayout>

namespace tavrel {

ParameterEditorPage::ParameterEditorPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ParameterEditorPage"));
    new QVBoxLayout(this);
}

bool ParameterEditorPage::QueryClose() { return true; }

}  // namespace tavrel
