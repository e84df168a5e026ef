#pragma once
// The import filter "AB | MDS Sciex Analyst .WIFF file": the conversion runs in
// the helper program Pondrel, so that a failure of the vendor's library ends
// only that process. What the service decides before it starts Pondrel and
// what it hands to it, without the job.
#include <QString>
#include <QStringList>

namespace tavrelsvc {

struct PondrelRequest {
    qint32 sample = -1;      // -1: every sample of the file
    QString dataPath;        // the .WIFF file, local path
    QString outputPath;      // the peak-list cache file
    QString options;         // the option string after the service's check
    bool analystKeyFound = false;
    bool libraryOptions = false;
    QString optionKeys;      // the task's filter_fields
    QString searchType;      // the search form's SEARCH, upper-cased
};

// Pondrel's eight arguments, each its own argument whatever it holds.
QStringList pondrelArguments(const PondrelRequest& request);

// Why a file of this kind of data may not be converted for the search (the
// warning to log), or "" when it may.
QString wiffDataRefusal(bool msms, const QString& searchType, const QString& libraryVersion);

}  // namespace tavrelsvc
