#pragma once
// What the client learns from the server before it offers its parameter
// editor: the parameter document (kept as "server.dat"), the version, and
// whether the error-text program answers.
#include <QString>

namespace tavrel {

inline const QString kServerDataFileName = QStringLiteral("server.dat");

// Fetches get_params.pl and replaces "server.dat" in ProgramFolder with it:
// a double quote, the document as received, a double quote, CR LF.
bool modGlobal_GetServerParameters(const QString& serverUrl);

// Checks that client.pl hands out task ids, then reads ServerVersion.
bool modGlobal_GetServerVersion(const QString& serverUrl);

bool modGlobal_ProbeGetErrorScript(const QString& serverUrl);

// common::isVersionAtLeast: the server's version against a feature's.
bool modGlobal_IsVersionAtLeast(const QString& a, const QString& b);

}  // namespace tavrel
