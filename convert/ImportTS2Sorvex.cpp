#include "convert/ImportTS2Sorvex.h"

#include "convert/ImportLog.h"
#include "convert/PeakListCache.h"
#include "filteropts/NumberText.h"
#include "filteropts/OptionString.h"
#include "platform/AutomationComponents.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>

namespace tavrelsvc {

namespace {

using platform::automation::TS2Sorvex;

// A failing property put is not reported: the export says what it lacks.
template <typename F>
void quietly(F&& put) {
    try {
        put();
    } catch (const std::exception&) {
    }
}

// Connect and DoExport: true only when the call answered True; otherwise the
// error it raised (empty when it just answered False) follows the message.
template <typename F>
bool called(const PeakListJobContext& job, const QString& message, F&& call) {
    QString description;
    try {
        if (call()) return true;
    } catch (const platform::Error& e) {
        description = e.description();
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    }
    importLog(job, EventError, message + description);
    return false;
}

}  // namespace

QString ts2SorvexRefusal(const QString& searchType, const QString& jobRunItemId, const QString& allSpectra,
                         const QString& msType) {
    const bool pmf = searchType == u"PMF";
    if (pmf && msType != u"MS") return QStringLiteral("Search parameters are for PMF but data are MS-MS");
    if (!pmf && msType == u"MS") return QStringLiteral("Search parameters are for MS/MS but data are MS");
    if (allSpectra == u"True" && msType == u"MS") return QStringLiteral("Only a single spectrum allowed for PMF");
    if (allSpectra == u"False" && jobRunItemId == u"0") return QStringLiteral("Missing JobRunItemID");
    return QString();
}

QString importTS2SorvexDataset(const TS2SorvexImportRequest& request, const PeakListJobContext& job) {
    using namespace filteropts;
    FilterOptions options;
    try {
        options = readFilterOptions(kTS2Sorvex, request.options);
        if (options.replaced)
            importLog(job, EventWarning, QStringLiteral("TS2Sorvex import filter options are out of date, using defaults"));
    } catch (const std::exception& e) {
        importLogError(job, QStringLiteral("(TVS1081) "), e);
        return QString();
    }

    std::shared_ptr<TS2Sorvex> exporter;
    try {
        exporter = platform::automation::create<TS2Sorvex>();
    } catch (const std::exception&) {
        importLog(job, EventError, QStringLiteral("Failed to create TS2Sorvex object"));
        return QString();
    }
    const auto number = [&](int field) { return readNumber(options.fields.value(field)); };
    quietly([&] { exporter->set_minMass(number(ts2sorvex::MinMass)); });
    quietly([&] { exporter->set_maxMass(number(ts2sorvex::MaxMass)); });
    quietly([&] { exporter->set_S2N(number(ts2sorvex::S2N)); });
    quietly([&] { exporter->set_Monoisotopic(number(ts2sorvex::Monoisotopic)); });

    const QStringList parts = request.descriptor.split(QLatin1Char(':'));
    if (parts.size() < 5) {
        importLog(job, EventError, QStringLiteral("TS2Sorvex dataset descriptors incomplete"));
        return QString();
    }
    quietly([&] { exporter->set_Descriptor(parts[0]); });
    quietly([&] { exporter->set_JobRunID(parts[1]); });
    quietly([&] { exporter->set_JobRunItemID(parts[2]); });
    quietly([&] { exporter->set_AllSpectra(parts[3]); });
    quietly([&] { exporter->set_MSType(parts[4]); });

    if (const QString refused = ts2SorvexRefusal(request.searchType, parts[2], parts[3], parts[4]); !refused.isEmpty()) {
        importLog(job, EventError, refused);
        return QString();
    }
    if (!called(job, QStringLiteral("Connect method failed with error: "), [&] { return exporter->Connect(); }))
        return QString();
    // The export object opens the file it is given as it likes, links
    // included: it writes a new file of a folder nobody else writes, which is
    // then moved over the cache file's name.
    const QString folder = request.workFolder.isEmpty() ? QFileInfo(request.outputPath).path() : request.workFolder;
    QTemporaryFile made(QDir(folder).filePath(QStringLiteral("ts2sorvex-XXXXXX.qpl")));
    if (!made.open()) {
        importLogError(job, QStringLiteral("(TVS1081) "), peakListUnwritable(job, made.fileTemplate(), made.errorString()));
        return QString();
    }
    made.close();
    if (!called(job, QStringLiteral("DoExport method failed with error: "),
                [&] { return exporter->DoExport(made.fileName()); }))
        return QString();
    if (!PeakListSizeRule(made.fileName())) return QString();
    if (const QString problem = placePeakList(made.fileName(), request.outputPath); !problem.isEmpty()) {
        importLogError(job, QStringLiteral("(TVS1081) "), peakListUnwritable(job, request.outputPath, problem));
        return QString();
    }
    return request.outputPath;
}

}  // namespace tavrelsvc
