#include "convert/ImportWiff.h"

#include "common/WiffLibraryVersion.h"

namespace tavrelsvc {

namespace {
QString flag(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }
}  // namespace

QStringList pondrelArguments(const PondrelRequest& r) {
    return {QString::number(r.sample), r.dataPath,         r.outputPath,    r.options,
            flag(r.analystKeyFound),   flag(r.libraryOptions), r.optionKeys, r.searchType};
}

QString wiffDataRefusal(bool msms, const QString& searchType, const QString& libraryVersion) {
    if (msms) {
        if (searchType == u"PMF")
            return QStringLiteral("This Analyst file contains MS/MS data, but specified search type is PMF");
        return QString();
    }
    if (searchType != u"PMF")
        return QStringLiteral("This Analyst file contains MS data, but specified search type is MS/MS");
    if (!common::wiffLibraryExportsMs(libraryVersion))
        return QStringLiteral(
            "This Analyst file contains MS data. Can only process MS/MS data using this version of sorvex.dll");
    return QString();
}

}  // namespace tavrelsvc
