#include "filteropts/forms/OptionsControls.h"

namespace filteropts {

QString arrayMemberName(const char* name, int index) {
    return QString::fromLatin1(name) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

QLineEdit* newLineEdit(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    // Room for a mass such as 10000.5 however tight the layout.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    return box;
}

QCheckBox* newCheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QComboBox* newComboBox(const char* name, const QStringList& entries, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(entries);
    return box;
}

QPushButton* newButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);  // Enter in a field means OK, not this button
    if (caption == QLatin1String("..."))
        button->setMaximumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("......")) + 16);
    return button;
}

QGroupBox* newFrame(int index, const QString& caption, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(arrayMemberName("Frame", index));
    return frame;
}

QLabel* newLabel(const QString& caption, QWidget* parent) { return new QLabel(caption, parent); }

}  // namespace filteropts
