#pragma once
// The sections of "server.dat", the server's parameter document as the
// client keeps it. One reader serves the editor's lists and the
// modifications dialog, so both see the same entries under the same rules:
// each line trimmed of blanks; a line starting with "[" is a section head,
// compared exactly; an empty line or a lone double quote ends the section;
// other lines are entries of the current section, dropped outside one.
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tavrel {

struct ServerDataSection {
    QString head;         // "[DB]", as written (trimmed)
    QStringList entries;  // in document order
    bool operator==(const ServerDataSection&) const = default;
};

// The file is stored as one quoted record: a double quote, the document, a
// double quote. The quote in front of the first head would make that head
// "\"[DB]\"" and lose the section, so the record's opening quote and its
// closing quote are dropped before the line rules apply.
QList<ServerDataSection> parseServerData(const QString& text);

struct ServerDataRead {
    bool found = false;              // false: no such file
    QString error;                   // non-empty: the file exists but could not be read
    QList<ServerDataSection> sections;
    bool ok() const { return found && error.isEmpty(); }
};

QString serverDataPath(const QString& programFolder);
ServerDataRead readServerData(const QString& path);

// The most entries one list of the editor or the dialog holds (the list
// controls count their entries in 16 bits). Beyond it entries are cut.
inline constexpr int kMaxListEntries = 32767;

// Appends entries to list up to kMaxListEntries; answers false when some
// were cut.
bool appendListEntries(QStringList& list, const QStringList& entries);

// The warning shown once for a list that was cut.
QString listCutWarning(const QString& head);

}  // namespace tavrel
