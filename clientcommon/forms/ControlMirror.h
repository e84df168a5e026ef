#pragma once
// Widgets that mirror a model's control values (a text with its enabled
// state, a list with its choice, a tick): each is set from the value with its
// signals blocked, so a value the program sets never counts as the user's
// edit. Any value type with the members used will do.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStringList>

namespace tavrel {

inline QStringList itemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

inline QStringList itemsOf(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

// .text, .enabled
template <class Text>
void mirrorText(QLineEdit* edit, const Text& c) {
    const QSignalBlocker blocker(edit);
    if (edit->text() != c.text) edit->setText(c.text);
    edit->setEnabled(c.enabled);
}

// .items, .current (-1 for none), .enabled
template <class List>
void mirrorList(QComboBox* box, const List& c) {
    const QSignalBlocker blocker(box);
    if (itemsOf(box) != c.items) {
        box->clear();
        box->addItems(c.items);
    }
    box->setCurrentIndex(c.current);
    box->setEnabled(c.enabled);
}

// .checked, .enabled
template <class Check>
void mirrorCheck(QCheckBox* box, const Check& c) {
    const QSignalBlocker blocker(box);
    box->setChecked(c.checked);
    box->setEnabled(c.enabled);
}

// The entries only; a list whose entries are unchanged keeps its selection.
inline void mirrorItems(QListWidget* list, const QStringList& items) {
    if (itemsOf(list) == items) return;
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(items);
}

}  // namespace tavrel
