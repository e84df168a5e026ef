#pragma once
// How option strings and the options dialog read and write numbers. A number
// is read the classic way: blanks, tabs and line feeds are ignored wherever
// they stand, then an optional sign, digits with at most one "." (whatever
// the user's locale) and an optional exponent; "&H" and "&O" introduce a
// hexadecimal or octal integer; reading stops at the first character that
// cannot continue the number, and text without a number reads as 0.
#include <QString>

#include <optional>

namespace filteropts {

double readNumber(const QString& text);

// Whether the text begins with a number (after the ignored blanks), so that
// readNumber found one rather than answering 0 for nothing.
bool startsWithNumber(const QString& text);

// Whether the whole text, blanks aside, is one number.
bool isNumber(const QString& text);

// "True" and "False" in any letter case, or a number (0 false, any other true);
// nothing for other text.
std::optional<bool> readYesNo(const QString& text);
inline QString yesNoText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

// The classic conversions of a value that must be there, for the readers of
// the vendor filters: a 16-bit integer (rounded half to even; error 13 "Type
// mismatch" when the text is no number, 6 "Overflow" outside -32768 to 32767)
// and yes/no (error 13 for other text). They throw platform::Error.
qint16 integer16Of(const QString& text);
bool yesNoOf(const QString& text);

// The short form of a number: at most 15 significant digits, no trailing
// zeros, "." as decimal separator, no zero before the decimal point (.7,
// -.5), a minus sign kept, no leading blank, exponent form ("1E+15") only for
// very large or very small magnitudes. Reads back to the same value.
QString numberText(double value);

// The dialog's normalisers. Real: the number read, in short form ("0.70" ->
// ".7", "" -> "0"). Integer: the largest integer not above it ("-2.5" -> "-3").
QString normaliseReal(const QString& text);
QString normaliseInteger(const QString& text);

}  // namespace filteropts
