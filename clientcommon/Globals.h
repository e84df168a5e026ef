#pragma once
// Process-wide values of the client: set by its start-up and the preferences
// loader, read by every client subsystem.
#include "common/Preferences.h"
#include "common/ServerReplies.h"
#include "platform/Inet.h"
#include "platform/WindowMessages.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tavrel {

inline QString ProgramFolder;  // no trailing separator
inline QString LocalComputerName;
inline QString LocalUserName;
// The built-in task database connection (common::defaultConnectionString of
// ProgramFolder), set by start-up; the default of ADOConnect.
inline QString DefaultConnectionString;

// Preferences (section "Preferences"), named as the stored values: the
// program's one common::Preferences, filled by modGlobal_LoadPreferences.
// Passwords are held in clear in memory only.
using namespace common::preferencevalues;

// The client's one Internet session, opened by the first request.
inline platform::HInternet InternetSession;

// Server session and capabilities.
inline QString ServerSessionID;       // empty: no session held
inline bool ServerSecurityEnabled = false;
inline QString ServerVersion;         // e.g. "2.2.101"; empty until read
inline QList<common::ServerUser> ServerUser;  // the server's user list, from index 0

// The client's command line, split by modGlobal_SplitCommandLine at start-up.
inline QStringList CommandLineArgs;

// Service wake-up. TrayMessageId is the id of the registered message "Sorvex
// Tavrel private message" when the service program runs in the tray, else 0.
inline quint32 TrayMessageId = 0;
inline platform::HWND ServiceWindowHandle = 0;  // the tray window last found
// Set by the Quellmark probe when batch quantitation is possible; the wake-up
// shows its notice once and clears it.
inline bool QuellmarkQuantitationNotice = false;

}  // namespace tavrel
