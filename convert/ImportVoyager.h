#pragma once
// The import filter "Data Explorer (Voyager) MS data": the Data Explorer
// automation server opens the Voyager file and processes its spectrum as the
// options say; its peak table becomes the peak list, one block for an MS/MS
// (PSD) spectrum, a bare mass list for a PMF search. The part that needs no job.
#include "convert/PeakListFormats.h"
#include "platform/AutomationComponents.h"

#include <QByteArray>
#include <QString>

namespace tavrelsvc {

struct VoyagerImportRequest {
    QString dataPath;    // the Voyager file, local path
    QString options;     // the task's filter_options
    QString searchType;  // the search form's SEARCH, upper-cased
    QString outputPath;  // the peak-list cache file
};

struct VoyagerImportResult {
    QString peakList;  // the output path when it counts as a peak list, else ""
    QString comment;   // the sample's comments, else its name, cut to 255
};

// The precursor mass written in the file itself: the number after its last
// "PSDParentIonMass=" (at most 10 bytes of it); 0 when there is none.
double psdParentIonMass(const QByteArray& fileBytes);

// The peak-list text of a peak table (without the final line end the file
// adds). `all`: every peak; otherwise at most `perInterval` peaks of each
// interval of `intervalWidth` Da, met from the last row backwards. Throws
// platform::Error for an interval width of 0.
QByteArray voyagerPeakListText(const platform::automation::DataExplorerPeakTable& peaks, qint32 count, bool msms,
                               double precursor, bool all, qint16 perInterval, double intervalWidth);

VoyagerImportResult importVoyagerFile(const VoyagerImportRequest& request, const PeakListJobContext& job);

}  // namespace tavrelsvc
