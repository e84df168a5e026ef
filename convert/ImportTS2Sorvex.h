#pragma once
// The import filter "AB 4000 Series TS2Sorvex": the dataset a descriptor names
// in the instrument's own store is exported by the vendor's export object into
// the peak-list cache. The part that needs no job.
#include "convert/PeakListFormats.h"

#include <QString>

namespace tavrelsvc {

struct TS2SorvexImportRequest {
    QString descriptor;  // the data item as stored: descriptor:run:item:all spectra:MS type[:...]
    QString options;     // the task's filter_options
    QString searchType;  // the search form's SEARCH, upper-cased
    QString outputPath;  // the peak-list cache file
    // The service's own folder, where the export object writes before its
    // list is moved into the cache (empty: beside the cache file).
    QString workFolder;
};

// The check of a descriptor against the search: the message that refuses it,
// or "" when the export may go ahead.
QString ts2SorvexRefusal(const QString& searchType, const QString& jobRunItemId, const QString& allSpectra,
                         const QString& msType);

// The output path when the export left a peak list, else "" (every refusal
// and failure is logged).
QString importTS2SorvexDataset(const TS2SorvexImportRequest& request, const PeakListJobContext& job);

}  // namespace tavrelsvc
