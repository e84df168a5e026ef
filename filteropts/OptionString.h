#pragma once
// Reading and writing the import filters' option strings (layouts in
// OptionLayouts.h). The options dialog, the service's import filters and
// Pondrel all read a string through readOptions, so that every program takes
// the same value from every field, also from the shorter strings of earlier
// versions and from fields that hold text of the wrong form.
#include "filteropts/OptionLayouts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace filteropts {

// The fields of a string as stored: split at every comma (n commas give n + 1
// fields, so an empty string has one empty field). There is no quoting; the
// MassLynx string is one path and never split.
QStringList splitOptions(int filter, const QString& text);

// The fields joined with ",": always exactly the layout's number of fields,
// missing ones empty and extra ones dropped, so a written string never
// shrinks. composeOptions(f, splitOptions(f, s)) == s for a full-length s.
QString composeOptions(int filter, const QStringList& fields);

// A field's text as a reader takes it: what the string holds when it fits the
// field's value form, else the field's fallback (its default). Empty number
// fields stay empty ("not given"); a list index must lie inside its list, a
// check box must be 0 or 1, a yes/no field must read as yes or no.
QString fieldText(int filter, int field, const QString& text);
// fieldText read as a check box, list index or code (rounded), as yes/no, as a number.
int fieldIndex(int filter, int field, const QString& text);
bool fieldYesNo(int filter, int field, const QString& text);
double fieldNumber(int filter, int field, const QString& text);

struct OptionReading {
    QStringList fields;   // every field of the layout, completed and checked (fieldText)
    QList<bool> given;    // true where the value came from the string
    int fieldCount = 0;   // fields of the string read (of the default when it was replaced)
    bool replaced = false;   // the whole string gave way to the built-in default
    bool outOfDate = false;  // replaced, or shorter than the built-in default
    // The completed string: what a reader that keeps a string should keep.
    QString text(int filter) const { return composeOptions(filter, fields); }
};

// The string read by the layout's completion rules: a string too short for the
// layout (or, for Analyst, with a colon in field 0) is replaced by the built-in
// default; fields a shorter string does not reach take their completion.
OptionReading readOptions(int filter, const QString& text);

// A string as the service's import filters take it (and as they hand it to
// Pondrel): one with fewer fields than the filter's built-in default (an empty
// string has none) gives way to the service's built-in string whole
// (serviceBuiltInOptions), so no field of a string
// from an older version is guessed at; the filter warns that its options are
// out of date. A full string keeps its fields as stored; single values are
// then read with fieldText and its kin.
struct FilterOptions {
    QStringList fields;
    bool replaced = false;
};
FilterOptions readFilterOptions(int filter, const QString& text);

// The most characters the task row's filter_options column holds.
int filterOptionsCapacity();
// Empty when the string fits a task row; else the message that refuses it.
QString checkOptionsLength(int filter, const QString& text);

// A vendor library's own options, stored for the Analyst filter instead of an
// Analyst option string: the library's version text, ":" and its values.
struct LibraryOptions {
    QString version;
    QString values;  // everything after the first ":" (the values may hold ":" too)
};
QString composeLibraryOptions(const LibraryOptions& options);
// Nothing when the text holds no ":".
std::optional<LibraryOptions> splitLibraryOptions(const QString& text);

}  // namespace filteropts
