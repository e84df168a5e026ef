#include "convert/ImportVoyager.h"

#include "convert/ImportLog.h"
#include "convert/PeakListCache.h"
#include "filteropts/NumberText.h"
#include "filteropts/OptionString.h"

#include <QFile>
#include <QHash>

#include <cmath>

namespace tavrelsvc {

namespace {

using namespace platform::automation;
using filteropts::numberText;

constexpr double kLowestMass = 100;
constexpr double kHighestMass = 16000;
const QByteArray kParentIonKey = QByteArrayLiteral("PSDParentIonMass=");

template <typename F>
void quietly(F&& call) {
    try {
        call();
    } catch (const std::exception&) {
    }
}

QByteArray text(double value) { return numberText(value).toLatin1(); }

// Halves to the even neighbour, as the classic rounding does.
double round4(double value) { return std::nearbyint(value * 10000.0) / 10000.0; }

// The document, or nothing when it cannot be opened or holds no spectrum (the
// warning is logged and whatever was opened is closed).
std::shared_ptr<DataExplorerDocument> openDocument(DataExplorerApplication& application, const QString& path,
                                                   const PeakListJobContext& job) {
    std::shared_ptr<DataExplorerDocument> document;
    bool usable = false;
    try {
        document = application.OpenDocument(path);
        usable = document && document->CollectionCount() != 0;
    } catch (const std::exception&) {
    }
    if (usable) return document;
    importLog(job, EventWarning, QStringLiteral("Cannot open Data Explorer file"));
    if (document) quietly([&] { document->Close(); });
    return nullptr;
}

// Processing as the options ask for it.
void process(DataExplorerDocument& document, const QStringList& fields) {
    using namespace filteropts;
    using namespace filteropts::voyager;
    const auto field = [&](int i) { return fields.value(i); };
    if (yesNoOf(field(Macro))) document.RunAssignedMacro(static_cast<qint16>(integer16Of(field(MacroButton)) + 1));
    const auto view = document.SpecView();
    if (yesNoOf(field(Baseline))) view->CorrectBaseline();
    if (yesNoOf(field(Noise))) {
        const qint16 kind = integer16Of(field(NoiseFilter));
        const double parameter = readNumber(field(NoiseParam));
        switch (kind) {
            case 0: view->FilterNoise(2); break;
            case 1: document.SpecSetup()->setNoiseFilterCoefficient(parameter); view->FilterNoise(1); break;
            case 2: document.SpecSetup()->setSmoothFilterWidth(parameter); view->FilterNoise(0); break;
            case 3: document.SpecSetup()->setNoiseReductionStdev(parameter); view->FilterNoise(3); break;
            default: break;  // no noise filtering
        }
    }
    const qint16 monoisotopic = integer16Of(field(Monoisotopic));
    const qint16 singleCharge = integer16Of(field(SingleCharge));
    if (monoisotopic & singleCharge) {
        document.SpecSetup()->setPeakFilterType(18);
        document.SpecSetup()->setPeakFilterChargeState(1);
    } else if (monoisotopic) {
        document.SpecSetup()->setPeakFilterType(2);
    } else if (singleCharge) {
        document.SpecSetup()->setPeakFilterType(16);
        document.SpecSetup()->setPeakFilterChargeState(1);
    }
    if (monoisotopic || singleCharge) view->FilterPeaks();
}

QString firstChars(const QString& text, int count) { return text.left(count); }

}  // namespace

double psdParentIonMass(const QByteArray& fileBytes) {
    const qsizetype at = fileBytes.lastIndexOf(kParentIonKey);
    if (at < 0) return 0;
    return filteropts::readNumber(QString::fromLatin1(fileBytes.mid(at + kParentIonKey.size(), 10)));
}

QByteArray voyagerPeakListText(const DataExplorerPeakTable& peaks, qint32 count, bool msms, double precursor, bool all,
                               qint16 perInterval, double intervalWidth) {
    QByteArray out;
    if (count <= 0) return out;
    if (msms) out += "BEGIN IONS\r\nCHARGE=1+\r\nPEPMASS=" + text(precursor) + "\r\n";
    // Counted per interval that a peak falls in, however far out it lies: a
    // fragment beyond the usual mass range is selected by the same rule.
    QHash<qint64, int> counters;
    for (qint32 row = std::min<qint32>(count, qint32(peaks.size())) - 1; row >= 0; --row) {
        const QList<double>& peak = peaks[row];
        const double mass = peak.value(2), intensity = peak.value(3);
        if (!msms && !(mass > kLowestMass && mass < kHighestMass)) continue;
        if (intervalWidth == 0) throw platform::Error(11, QStringLiteral("Division by zero"));
        const qint64 interval = static_cast<qint64>(std::floor(mass / intervalWidth));
        if (!all) {
            int& counter = counters[interval];
            if (counter >= perInterval) continue;
            ++counter;
        }
        out += text(round4(mass));
        if (msms) {
            const double shown = round4(intensity);
            out += (shown < 0 ? " " : "  ") + text(shown);
        }
        out += "\r\n";
    }
    if (msms) out += "END IONS\r\n\r\n";
    return out;
}

VoyagerImportResult importVoyagerFile(const VoyagerImportRequest& request, const PeakListJobContext& job) {
    using namespace filteropts;
    using namespace filteropts::voyager;
    VoyagerImportResult result;
    const FilterOptions options = readFilterOptions(kVoyager, request.options);
    if (options.replaced)
        importLog(job, EventWarning, QStringLiteral("Data Explorer import filter options are out of date, using defaults"));
    const auto field = [&](int i) { return options.fields.value(i); };
    const bool msms = request.searchType != u"PMF";

    std::shared_ptr<DataExplorerApplication> application;
    try {
        application = platform::automation::create<DataExplorerApplication>();
    } catch (const std::exception&) {
        importLog(job, EventError, QStringLiteral("Failed to create DataExplorer.Application object"));
        return result;
    }
    quietly([&] { application->setRestoreSettingsFromFile(yesNoOf(field(Process))); });
    quietly([&] { application->setEnableProcessingHistory(false); });

    std::shared_ptr<DataExplorerDocument> document = openDocument(*application, request.dataPath, job);
    if (!document) return result;
    qint16 type = 0;
    quietly([&] { type = document->SpecView()->SpectrumType(); });
    const char* refusal = nullptr;
    if ((type == 3 || type == 4) && !msms) refusal = "Data file is MS/MS but search has been specified as PMF";
    if ((type == 1 || type == 2) && msms) refusal = "Data file is MS but search has been specified as MS/MS";
    if (refusal) {
        importLog(job, EventError, QString::fromLatin1(refusal));
        quietly([&] { document->Close(); });
        return result;
    }
    double precursor = 0;
    if (msms) quietly([&] { document->GetSetting(14, 0, precursor); });
    quietly([&] { document->Close(); });
    document.reset();

    try {
        if (msms && precursor == 0) {
            QFile file(request.dataPath);
            if (!file.open(QIODevice::ReadOnly))
                throw platform::Error(platform::errnum::FileNotFound, QStringLiteral("File not found"));
            precursor = psdParentIonMass(file.readAll());
        }
        if (msms && precursor == 0) {
            importLog(job, EventError, QStringLiteral("Cannot find value for PSDParentIonMass in Voyager file"));
            return result;
        }
        if (msms && (std::fabs(precursor) < kLowestMass || std::fabs(precursor) > kHighestMass)) {
            importLog(job, EventError, QStringLiteral("PSDParentIonMass outside allowed range 100 to 16000 Da"));
            return result;
        }
        document = openDocument(*application, request.dataPath, job);
        if (!document) return result;

        process(*document, options.fields);
        DataExplorerPeakTable peaks;
        const qint32 count = document->SpecView()->GetPeakData(7, 1, 0, 0, peaks);
        const QByteArray peakText = voyagerPeakListText(peaks, count, msms, precursor, yesNoOf(field(Intensity)),
                                                        integer16Of(field(IntensityNumber)),
                                                        readNumber(field(IntensityInterval)));
        QFile output;
        openPeakListForWriting(output, job, request.outputPath);
        if (output.write(peakText + "\r\n") < 0 || !output.flush())
            throw peakListUnwritable(job, request.outputPath, output.errorString());
        output.close();
        if (PeakListSizeRule(request.outputPath)) {
            result.peakList = request.outputPath;
            const QString comments = document->SampleComments();
            result.comment = firstChars(comments.isEmpty() ? document->SampleName() : comments, 255);
        }
    } catch (const std::exception& e) {
        importLogError(job, QStringLiteral("(TVS1038) "), e);
        result = {};
    }
    if (document) quietly([&] { document->Close(); });
    return result;
}

}  // namespace tavrelsvc
