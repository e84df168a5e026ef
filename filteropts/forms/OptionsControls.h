#pragma once
// Builders for the dialog's controls: each gets its member name as object
// name, the members of a control array their index in brackets, as in
// "optQuellmarkMSOutput(2)".
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <array>

namespace filteropts {

QString arrayMemberName(const char* name, int index);

QLineEdit* newLineEdit(const char* name, QWidget* parent);
QCheckBox* newCheckBox(const char* name, const QString& caption, QWidget* parent);
QComboBox* newComboBox(const char* name, const QStringList& entries, QWidget* parent);
QPushButton* newButton(const char* name, const QString& caption, QWidget* parent);
QGroupBox* newFrame(int index, const QString& caption, QWidget* parent);  // "Frame(index)"
QLabel* newLabel(const QString& caption, QWidget* parent);

// An option group: its buttons, told apart by their index (the group's id).
template <std::size_t N>
struct OptionGroup {
    std::array<QRadioButton*, N> item{};
    QButtonGroup* group = nullptr;
    int chosen() const { return group->checkedId(); }  // -1 when none is chosen
    void choose(int index) { item.at(static_cast<std::size_t>(index))->setChecked(true); }
    void setEnabled(bool enabled) {
        for (QRadioButton* b : item) b->setEnabled(enabled);
    }
};

template <std::size_t N>
OptionGroup<N> newOptionGroup(const char* name, const std::array<QString, N>& captions, QWidget* parent) {
    OptionGroup<N> g;
    g.group = new QButtonGroup(parent);
    g.group->setObjectName(QString::fromLatin1(name));
    for (std::size_t i = 0; i < N; ++i) {
        g.item[i] = new QRadioButton(captions[i], parent);
        g.item[i]->setObjectName(arrayMemberName(name, static_cast<int>(i)));
        g.group->addButton(g.item[i], static_cast<int>(i));
    }
    return g;
}

}  // namespace filteropts
