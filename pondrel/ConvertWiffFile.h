#pragma once
// Pondrel's conversion of one Sciex .WIFF file (one sample or all of them)
// into one peak-list file through the WIFF import library.
#include <QString>

namespace pondrel {

struct WiffConversion {
    qint32 sample = -1;         // 1 or more: that sample; -1: every sample of the file
    QString rawFile;
    QString outputFile;
    QString options;            // the Analyst option string, or the library's own "<version>:<values>"
    bool newerAnalyst = false;  // Analyst 1.3 or later is installed
    bool libraryOptions = false;
    QString optionKeys;         // keys of the library's own options
    QString searchType;         // "MIS", "PMF" ...
};

// True when the peak list was written; false when the conversion is refused
// (the data do not fit the search or the library, the library's options are
// for another version) before any output file is made. A failure of the
// library or of the option string throws platform::Error with its number.
bool modGlobal_ConvertWiffFile(const WiffConversion& conversion);

}  // namespace pondrel
