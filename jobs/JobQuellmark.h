#pragma once
// The job's side of the "Sorvex Quellmark" filter: one row per sample of a
// raw file, the library's processing of the current file (started on one
// tick, polled on the following ones, never waited for), the project's
// record of each search, and the Quellmark program that imports a finished
// search and quantitates it.
#include "platform/AutomationComponents.h"

#include <QString>

namespace tavrelsvc {

class clsJob;

// The library's objects and the samples of the file being processed.
struct QuellmarkRun {
    platform::automation::QuellmarkSourcesPtr QuellmarkSources;
    std::shared_ptr<platform::automation::QuellmarkLibrary> QuellmarkEngine;
    platform::automation::QuellmarkSourceParamsPtr QuellmarkSourceParams;  // text data only
    platform::automation::QuellmarkFormatOptionsPtr QuellmarkFormatOptions;
    platform::automation::QuellmarkProcessingPtr QuellmarkProcessing;
    qint16 FirstSample = 0;
    qint16 CurrentSample = 0;
    qint16 LastSample = 0;
    QString PeakListExtension = QStringLiteral("qpl");
};

// The current row's sample_number: -1 every sample in one peak list, 1 the
// row is sample 1 and rows were added for the others, 0 the file cannot be
// read (logged).
qint32 clsJob_CreateNewQuellmarkEntries(clsJob& job);

// True when processing has started (Job_processing set, the timer on).
bool clsJob_ImportQuellmark(clsJob& job, qint32 sample);
// One poll of the processing while Job_processing is set.
void clsJob_ServiceQuellmark(clsJob& job);
// Lets the library's objects go; a processing still running is cancelled.
void clsJob_ReleaseQuellmarkObjects(clsJob& job);

// The job's SearchStatusRecord into the current project (QuellmarkProjectPath).
bool clsJob_UpdateQuellmarkProjectStatus(clsJob& job);
// Starts the Quellmark program on the current project (Job_quanting set).
bool clsJob_QuellmarkQuantitateInit(clsJob& job);
// One poll of the program while Job_quanting is set.
void clsJob_QuellmarkQuantitateService(clsJob& job);
// Lets the program go: it runs on by itself, and the job no longer watches it.
void clsJob_CloseQuantProcessHandles(clsJob& job);

}  // namespace tavrelsvc
