#pragma once
// Pondrel's start-up: its arguments, the conversion, and the exit code that is
// its only answer (it writes nothing else: no window, no message, no log).
//
//   Pondrel <sample> <raw file> <output file> <options> <newer Analyst>
//           <library options> <option keys> <search type> [-debug]
//
// 0: the peak list was written; 9001: the security initialisation failed;
// 9002: the conversion was refused; 9003: the peak list could not be written
// (its folder or file refuses the account); anything else: the number of the error
// that stopped it (9 too few arguments or option fields, 13 a value of the
// wrong form, 6 out of range, or the library's own).
#include "platform/ExitCodes.h"

#include <QString>
#include <QStringList>

namespace pondrel {

inline constexpr int kExitConverted = 0;
inline constexpr int kExitSecurityFailed = 9001;
inline constexpr int kExitRefused = 9002;
inline constexpr int kExitCannotWrite = platform::exitcodes::PondrelCannotWrite;
inline constexpr int kMaxArguments = 8;

// The arguments as Pondrel takes them: element 0 empty, then at most
// kMaxArguments of the process's arguments; further ones are ignored.
QStringList modGlobal_SplitCommandLine(const QStringList& processArguments, int MaxArgs = 10);

// The program's work for the process's arguments (without the program name)
// and the result of the security initialisation (0 = done). Returns the
// whole exit code; never throws.
int Form_Load(const QStringList& processArguments, long securityResult);

// The arguments "-debug" stands for: every sample of a test file beside the
// program, into a peak list in the same folder.
QStringList debugArguments(const QString& programFolder);

}  // namespace pondrel
