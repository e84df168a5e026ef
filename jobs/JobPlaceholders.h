#pragma once
// Placeholders of a task's external commands and search titles ("<taskname>",
// "<datafilepath>", ...). Each is replaced at its first occurrence only,
// letter case ignored, in table order; a value that holds a later placeholder
// is replaced by that later entry too.
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrelsvc {

struct PlaceholderEntry {
    QString placeholder;
    QString value;
};

// ActionPlaceholders keeps each entry as placeholder, the character 0, value.
QString joinPlaceholderEntry(const QString& placeholder, const QString& value);
PlaceholderEntry splitPlaceholderEntry(const QString& entry);

// In one text.
void substituteFirstOccurrences(QString& text, const QList<PlaceholderEntry>& entries);

// In a command already split into arguments: the first occurrence is the
// first one in argument order, and a value always stays inside the argument
// that held its placeholder. A value that would open its argument with "-"
// is written "./" + value, so it stays an operand and is never an option.
void substituteFirstOccurrences(QStringList& arguments, const QList<PlaceholderEntry>& entries);

// "<resulturl>", "<resultfilepath>", "<resultfilename>" (the text after the
// last "/", or the whole path when it holds none).
QList<PlaceholderEntry> resultPlaceholderEntries(const QString& resultFilePath, const QString& resultUrl);

}  // namespace tavrelsvc
