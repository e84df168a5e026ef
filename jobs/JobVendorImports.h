#pragma once
// The job's side of the vendor import filters: each converts the job's current
// data file into the peak-list cache and records the made peak list in the
// current Files row. Each answers the peak list's path, or "" when there is
// none (the step machine's "no data" handling follows) or when it was refused
// (logged).
#include "convert/SampleList.h"

#include <QString>

namespace tavrelsvc {

class clsJob;

QString clsJob_ImportLcq(clsJob& job);
QString clsJob_ImportVoyager(clsJob& job);
QString clsJob_ImportTS2Sorvex(clsJob& job);

// Pondrel: started (true, the job is busy) and polled once per tick.
bool clsJob_Pondrel(clsJob& job, qint32 sampleNumber, const QString& pondrelProgram);
void clsJob_SciexWiffService(clsJob& job);

// Sample lists: the rows of the samples. A retry after a failure half-way
// adds only the samples that have no row yet.
void clsJob_ExpandMassLynxSampleList(clsJob& job, SampleListReader& reader);
qint32 clsJob_ExpandWiffSamples(clsJob& job);
// Rows for samples 2 to count of the current row's file, each with the
// current row's name, comment, size and intermediate file; a sample that has
// a row already gets none. False when a row could not be stored. The cursor
// is back on the current row either way.
bool addFurtherSampleRows(clsJob& job, qint32 count);

}  // namespace tavrelsvc
