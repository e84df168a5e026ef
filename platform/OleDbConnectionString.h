#pragma once
// OLE DB connection strings: "Key=Value;Key=Value". Keys are compared without
// case; a value may be quoted with ' or " (the quote doubled inside). Both
// programs keep the task database's address in this form (setting ADOConnect).
#include <QList>
#include <QMap>
#include <QString>

#include <utility>

namespace platform {

class OleDbConnectionString {
public:
    // A malformed string throws platform::Error (adoerr::InvalidArgument)
    // naming the place and the key, never the text (it may hold a password).
    static OleDbConnectionString parse(const QString& text);
    // A value as written into a connection string: quoted (its quotes doubled)
    // when a ";", a quote or a blank at an end would change what parse reads.
    static QString quoteValue(const QString& value);

    // The text with the values of the keys set, and nothing else changed: a key
    // the text holds keeps its place and spelling and its value is rewritten
    // only when it differs (the last of a repeated key, the one that counts);
    // a key it lacks is added at the end unless its value is empty; every
    // other pair, its quotes and blanks stay as written. A malformed text
    // throws as parse does.
    static QString withValues(const QString& text, const QList<std::pair<QString, QString>>& values);

    // The text with the value of every password key ("Password", "Pwd", and
    // query fields such as "password=") written "***": read as the parser
    // reads values (blanks around "=", quoted values with doubled quotes),
    // wherever the key stands in the text.
    static QString maskPasswords(const QString& text);

    bool contains(const QString& key) const { return values_.contains(key.toLower()); }
    QString value(const QString& key) const { return values_.value(key.toLower()); }
    QString provider() const { return value(QStringLiteral("Provider")); }
    QString dataSource() const { return value(QStringLiteral("Data Source")); }

    void setValue(const QString& key, const QString& value) { values_.insert(key.toLower(), value); }
    // The string again, with every key (written in lower case) and its value.
    QString toString() const;

private:
    QMap<QString, QString> values_;  // lower-case key -> value
};

}  // namespace platform
