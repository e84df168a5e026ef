#pragma once
// "default.par" in the program folder: the set every new task names and the
// editor opens at start-up. Written from the built-in lines only when it is
// missing, so a user's own default survives every start.
#include "common/ParameterFile.h"

#include <optional>

namespace tavrel {

inline const QString kDefaultParameterFileName = QStringLiteral("default.par");

QString defaultParameterSetPath(const QString& programFolder);

// The 20 built-in lines, in file order.
QList<ParameterLine> defaultParameterLines();

// Writes the built-in set when no file of that name exists (an empty file
// counts as present), with a database that the server's "server.dat" in the
// folder offers when it lacks the built-in one. Written through a temporary file, so a failed write
// never leaves a half file that a later start would take as present.
std::optional<ParameterFileError> frmMain_CreateDefaultParameterSet(const QString& programFolder);

}  // namespace tavrel
