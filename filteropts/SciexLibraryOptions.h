#pragma once
// The own options of a newer Sciex .WIFF import library: the library shows
// its own options window in place of the dialog's Analyst tab, and the client
// keeps the library's option values and keys as two opaque texts.
#include "filteropts/OptionSettings.h"

#include <QString>

namespace filteropts {

// Shows the library's options window on the given values and keys, takes back
// what the user left there (also when nothing was changed) and saves both as
// defaults, TaskOptionsAnalystKeys first. Failures of the library are thrown
// (platform::Error) before anything changes; a value that could not be saved
// is reported in a message box and named in the answer.
QStringList editSciexLibraryOptions(QString& values, QString& keys,
                                    const SettingWriter& save = preferencesWriter());

}  // namespace filteropts
