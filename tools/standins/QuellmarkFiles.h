#pragma once
// The files of the Quellmark stand-ins: the raw-data fixture that the library
// stand-in processes, and the project file that the library writes and the
// stand-in Quellmark program reads and adds to.
//
// Raw-data fixture (first line kQuellmarkHeader):
//   samples-fail <number> <text>   GetSampleCount raises this error
//   open-fail <number> <text>      opening a sample raises it
//   program-exit <code> [<text>]   the Quellmark program ends with the code
//                                  and, when a text is given (even an empty
//                                  one after the blank), writes it to its error file
//   program-delay <ms>             the Quellmark program takes that long first
//   sample <name>                  starts a sample; under it:
//     comment <text>
//     scan <id> <seconds> <precursor m/z> <charge> <m/z>:<intensity> ...
//     status finished <K>          finished on the K-th poll (default 1)
//     status cancelled | status failed <number> <text> | status unknown | status <code>
//     hold <file>                  running while the file (beside the fixture) exists
//     export-fail <number> <text>  ExportPeakLists raises this error
// A scan without peaks gives no peak list.
//
// Project file: a JSON document of the stand-in's own with the controller,
// the kind, the data source, the numbered streams and the Quellmark
// program's imports; stream 2 holds the search statuses as a JSON array.
#include "platform/Error.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace standins {

inline const QString kQuellmarkHeader = QStringLiteral("# Tavrel stand-in Quellmark data");
inline const QString kQuellmarkProjectFormat = QStringLiteral("Tavrel stand-in Quellmark project");
// The library's version numbers ("2.4.0.0" when unset).
inline constexpr const char* kQuellmarkVersionVariable = "TAVREL_STANDIN_QUELLMARK_VERSION";
// The Quellmark program's answer to "/version" ("2.4.1 (stand-in)" when unset).
inline constexpr const char* kQuellmarkProgramVersionVariable = "TAVREL_STANDIN_QUELLMARK_PROGRAM_VERSION";

struct QuellmarkScanData {
    qint32 id = 0;
    double seconds = 0;
    QString precursor;
    int charge = 0;
    QList<QPair<QString, QString>> peaks;  // m/z and intensity as written
};

struct QuellmarkSampleData {
    QString name;
    QString comment;
    QList<QuellmarkScanData> scans;
    QString status = QStringLiteral("finished 1");
    QString holdFile;  // absolute path; empty for none
    std::optional<platform::Error> exportFailure;
};

struct QuellmarkData {
    QList<QuellmarkSampleData> samples;
    std::optional<platform::Error> countFailure;
    std::optional<platform::Error> openFailure;
    std::optional<int> programExit;
    std::optional<QString> programMessage;
    int programDelayMs = 0;
};

// Throws platform::Error for a file that is not such a fixture.
QuellmarkData readQuellmarkData(const QString& path);

struct QuellmarkProjectFile {
    qint32 controller = 0;
    qint32 kind = 0;
    QString sources;
    QMap<int, QString> streams;
    QList<QVariantMap> imports;  // "task_id", "quantitate" (absent for an import only), "username"

    // The search statuses of stream 2 (each with "TaskId", "Title", ...).
    QList<QVariantMap> statuses() const;
};

std::optional<QuellmarkProjectFile> readQuellmarkProject(const QString& path);
bool writeQuellmarkProject(const QString& path, const QuellmarkProjectFile& project);

// The statuses as stream 2 holds them, and back (nothing for other text).
QString statusesText(const QList<QVariantMap>& statuses);
std::optional<QList<QVariantMap>> statusesOf(const QString& text);

}  // namespace standins
