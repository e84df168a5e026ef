#pragma once
// The import filter "ThermoFinnigan LCQ / DECA RAW file": an external
// extractor program (the one named by LcqPath; any program that keeps the
// extractor's command line will do) writes one Sequest .dta file per MS/MS
// spectrum into its current folder, and the .dta files become one generic
// peak list. The part that needs no job.
#include "convert/PeakListFormats.h"

#include <QString>
#include <QStringList>

namespace tavrelsvc {

struct LcqImportRequest {
    QString extractor;   // the program, local path
    QString workspace;   // the task's own working folder of the extractor
    QString dataPath;    // the RAW file, local path
    QString dataFile;    // its file name alone
    QString options;     // the task's filter_options
    QString outputPath;  // the peak-list cache file
};

// The workspace of a task: <temp>/Sorvex_Tavrel_workspace/<task number>.
QString lcqWorkspace(const QString& tempFolder, long taskNumber);

// The extractor's arguments for a full Lcq option string (15 fields): one
// argument per flag, each holding the field's text as stored, then the RAW
// file's name. A path is one argument whatever it holds.
QStringList extractMsnArguments(const QStringList& fields, const QString& dataFile);

// Runs the extractor in the workspace (other jobs go on meanwhile) and writes
// the .dta files it left, taken in order of their names, as one peak list.
// The output path when it counts as a peak list, else "". Logs the options
// warning and, for a failure, "(TVS1032) ...".
QString importLcqFile(const LcqImportRequest& request, const PeakListJobContext& job);

}  // namespace tavrelsvc
