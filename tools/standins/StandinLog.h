#pragma once
// What the stand-ins were asked: one record per call, the call's name and its
// arguments. Kept in memory for tests in the same process and, when the
// environment variable TAVREL_STANDIN_LOG names a file, appended to it (one
// line per call, fields separated by the unit separator 0x1F) for tests that
// watch other programs.
#include <QList>
#include <optional>
#include <QString>
#include <QStringList>

namespace standins {

inline constexpr const char* kLogVariable = "TAVREL_STANDIN_LOG";

void record(const QString& call, const QStringList& arguments = {});

// The calls recorded in this process, oldest first; and forgetting them.
QList<QStringList> recordedCalls();
void clearRecordedCalls();
// The recorded calls whose name starts with the prefix, each as one text: the
// name without the prefix, then the arguments, separated by blanks.
QStringList recordedCallTexts(const QString& prefix);

// The calls a log file holds: each record is the call's name, then its arguments.
QList<QStringList> readLog(const QString& path);

// The first lines of every stand-in fixture, so that nothing else is taken
// for one.
inline const QString kRawHeader = QStringLiteral("# Tavrel stand-in RAW file");
inline const QString kWiffHeader = QStringLiteral("# Tavrel stand-in WIFF file");
inline const QString kVoyagerHeader = QStringLiteral("# Tavrel stand-in Voyager file");
inline const QString kDatasetHeader = QStringLiteral("# Tavrel stand-in 4000 Series dataset");
inline const QString kSampleListHeader = QStringLiteral("# Tavrel stand-in sample list");

// The lines of a fixture (any line end) when it starts with the header; nothing otherwise.
std::optional<QStringList> readFixture(const QString& path, const QString& header);

}  // namespace standins
