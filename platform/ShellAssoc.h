#pragma once
// The program associated with a file, the way the shell's FindExecutable
// answers it. The association of the file's extension comes from, in order:
//   1. the override table in the registry hive: HKEY_LOCAL_MACHINE
//      "SOFTWARE\Tavrel\FileAssociations", one REG_SZ value per extension,
//      named with its dot (".rov"), holding the program's path; an empty text
//      means "no association" (installs and tests set it; it wins over xdg).
//      For a user's program (the client) only a hive in a program folder of
//      the user's own counts (platform/OwnFolder.h): in a shared folder any
//      member could name a program there that the others would then run. The
//      service reads it wherever it is: its account owns the folder and it
//      runs the commands the members put in their tasks anyway;
//   2. the user's own desktop association (xdg): the file's MIME type and its
//      default application from the user's mimeapps.list (and the system's),
//      else from "xdg-mime query", the program from that .desktop file's Exec
//      line.
#include <QString>

namespace platform {

inline const QString kFileAssociationsKey = QStringLiteral("SOFTWARE\\Tavrel\\FileAssociations");

// Answers of FindExecutable: above 32 is success.
inline constexpr long SE_ERR_FNF = 2;       // the file does not exist
inline constexpr long SE_ERR_NOASSOC = 31;  // no program is associated with its extension
inline constexpr long kFindExecutableFound = 42;

// Whose program the association is for, which decides whether the hive's
// table counts in a folder that other accounts may write.
enum class AssociationsFor { User, Service };

// file: a path, taken relative to directory when that is given and the path is
// relative. On success *result is the program's path; otherwise it is emptied.
long FindExecutable(const QString& file, const QString& directory, QString* result);

// The program that files of the extension (with its dot: ".html") open with,
// found as above but without a file of that kind: the desktop's association
// comes from the extension's MIME type. SE_ERR_NOASSOC when there is none.
long FindAssociatedProgram(const QString& extension, QString* result,
                           AssociationsFor who = AssociationsFor::User);

// The Exec program of a desktop entry file's text ("[Desktop Entry]" group),
// searched on PATH when it is not absolute; empty when there is none.
QString desktopEntryProgram(const QByteArray& desktopFileText);

}  // namespace platform
