#include "client/PreferencesControls.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tavrel {

QLineEdit* namedLineEdit(QWidget* parent, const char* name, bool secret) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    if (secret) edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QWidget* withButton(QLineEdit* edit, QPushButton* b) {
    auto* row = new QWidget(edit->parentWidget());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    edit->setParent(row);
    b->setParent(row);
    layout->addWidget(edit, 1);
    layout->addWidget(b);
    return row;
}

}  // namespace tavrel
