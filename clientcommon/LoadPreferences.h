#pragma once
// The client's start-up gate: the preferences of section "Preferences" into
// the client's globals, the import-filter tables, and the proof that they
// work: the server answers, the login holds, the session is permitted and the
// task database opens. Start-up calls it until it answers true, showing the
// preferences dialog on the page StartupStatus names after each false.
#include "common/ImportFilters.h"

#include <QString>

#include <array>
#include <functional>

namespace tavrel {

using ImportFilterTable = std::array<QString, common::ImportFilterCount>;

// Index 0 to 6 in the order of common::ImportFilterIndex.
inline ImportFilterTable ImportFilterName;
inline ImportFilterTable ImportFilterOptions;         // of the task being edited
inline ImportFilterTable ImportFilterDefaultOptions;  // the saved defaults a new task starts from

// After a false answer: the page of the preferences dialog that holds what
// failed (common::PreferencesPage): 0 the server address or connection
// settings, 2 the task database, 3 a timer setting, 4 the server's answer,
// the login, the session or a stored password.
inline qint16 StartupStatus = 0;

// True when usable: every global set and TaskDbConnection open. A stored
// value that cannot be used, a server that does not answer, a refused login
// and a database that does not open all answer false; nothing escapes.
bool modGlobal_LoadPreferences();

// The start-up window's message line; the client's start-up installs it.
// Returns the previous one.
using SplashMessage = std::function<void(const QString&)>;
SplashMessage setSplashMessage(SplashMessage show);

}  // namespace tavrel
