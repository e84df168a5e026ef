#pragma once
#include <QString>

namespace platform {

// The folder that holds the task database, the registry hive, the event log and
// the other files the programs keep beside themselves: $TAVREL_HOME when set;
// else, for programs installed into the system's program folder, the installed
// state folder (/var/lib/tavrel for a package); else the folder of the running
// executable. No trailing separator. A folder named by $TAVREL_HOME is made
// when missing; the installed one never is (see programFolderProblem).
QString resolveProgramFolder();

// Makes a relative $TAVREL_HOME absolute, against the folder the program was
// started in. Each program calls it first, before anything changes the
// current folder (the programs work in their program folder), so that every
// later reading, and every program started from this one, names the same
// folder.
void anchorProgramFolder();

// The installation's read-only data folder (<prefix>/share/tavrel: help pages,
// SQL scripts) when the running program is an installed one, found beside the
// program's own folder whatever the prefix; empty in a build tree.
QString installedDataFolder();

// Empty when this process may make files in the folder, else why not (the
// folder named, with the system's reason). A missing installed program folder
// is the installation's to make: the text gives the administrator's command.
QString programFolderProblem(const QString& folder);

// The folder of the programs' local sockets and start notes: "run" in the
// program folder, made when missing. Only its owner and group may enter it;
// a folder open to other users is closed when it is ours, else refused.
QString runtimeFolder(const QString& programFolder);
// Empty when the folder is fit to hold sockets, else why not.
QString privateFolderProblem(const QString& folder);

}  // namespace platform
