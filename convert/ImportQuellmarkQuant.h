#pragma once
// The Quellmark program after a search: it imports the search's result into
// the project and, when a quantitation method was chosen, quantitates it.
// What the service starts it with and how it reads the program's error file.
#include <QString>
#include <QStringList>

namespace tavrelsvc {

// The password reaches the program in this environment variable: a command
// line can be read by every user of the computer, a process's environment
// only by its owner.
inline constexpr const char* kQuellmarkPasswordVariable = "SORVEX_QUELLMARK_PASSWORD";

struct QuellmarkQuantRequest {
    QString program;             // the Quellmark program's path
    QString projectPath;
    QString taskId;              // the search's task id at the server
    QString quantitation;        // field 11 of the option string, "-1" when it has none
    QString quantitationMethod;  // QUANTITATION of the parameter set
    bool canQuantitate = true;   // the installed program quantitates
    bool acceptsLogin = false;   // ... and takes the server user
    QString userName;
    QString password;
};

struct QuellmarkQuantCommand {
    QString program;
    QStringList arguments;  // each its own argument, an empty one too
    bool importOnly = false;
    QString password;       // for the child's environment; "" none
    // The command line as the event log shows it (it holds no password).
    QString text() const;
};

QuellmarkQuantCommand quellmarkQuantCommand(const QuellmarkQuantRequest& request);

// The error file the program writes: the project's path and ".err".
inline QString quellmarkErrorFile(const QString& projectPath) { return projectPath + QStringLiteral(".err"); }

// The first line of a UTF-16 text file (little-endian unless its byte-order
// mark says otherwise); "" for an empty or unreadable file.
QString firstUtf16Line(const QString& path);

}  // namespace tavrelsvc
