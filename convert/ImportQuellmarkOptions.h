#pragma once
// The import filter "Sorvex Quellmark": its option string as the service reads
// it, the output settings it gives the library's peak-list format options,
// and the server version those settings depend on.
#include "platform/AutomationComponents.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavrelsvc {

// The option string through the service's rule: a string with fewer fields
// than the built-in default gives way to that default whole.
struct QuellmarkOptions {
    QStringList fields;
    bool replaced = false;

    QString optionsFile() const;   // field 0, a local path
    // Field 1 as the library is given it; text that is no number reads as the
    // default code, so the folder test and the conversion take the same code.
    QString dataFormat() const;
    int dataFormatCode() const;
    bool isTextData() const { return dataFormatCode() == 0; }
    bool mergeSamples() const;     // field 2; throws error 13 for text that is no yes or no
    QString centroided() const { return fields.value(3); }
    QString rangeStart() const { return fields.value(4); }
    QString rangeEnd() const { return fields.value(5); }
    int rangeUnits() const;        // 0 seconds, 1 minutes, 2 scan numbers
    QString msOutput() const { return fields.value(7); }
    QString msmsOutput() const { return fields.value(8); }
    int peakListFormat() const;    // 0 qpl, 1 text, 2 mzData
    bool saveProject() const;      // field 10
    // Field 11, or "-1" when the string has none.
    QString quantitation() const;
    // Field 12 is "False" in a string of all 13 fields.
    bool snRatioAsIntensity() const;
};

QuellmarkOptions readQuellmarkOptions(const QString& filterOptions);

// Data-format codes whose data items are folders rather than files.
bool quellmarkFormatIsFolder(int dataFormatCode);

// "qpl", "txt" or "mzData": the extension of the cache file and the export format.
QString quellmarkPeakListExtension(const QuellmarkOptions& options);

// The server's version text from its "client.pl?version" reply: what follows
// "Version" and the one character after it, to the end of that line. A reply
// without "Version" gives an empty version (older than any).
QString quellmarkServerVersion(const QByteArray& reply);

// The output settings, in the library's order, for the library version and
// the server version (field by field: "2.10" is later than "2.3").
void applyQuellmarkFormatOptions(platform::automation::QuellmarkPeakListFormatOptions& format,
                                 const QuellmarkOptions& options, const QString& libraryVersion,
                                 const QString& serverVersion);

}  // namespace tavrelsvc
