#pragma once
// Small builders of the preferences dialog's controls.
#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

namespace tavrel {

// A named text field; a secret one shows no characters.
QLineEdit* namedLineEdit(QWidget* parent, const char* name, bool secret = false);
// A named button that is not taken as the default by Enter.
QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption);
// The field with its button at its right.
QWidget* withButton(QLineEdit* edit, QPushButton* b);

}  // namespace tavrel
