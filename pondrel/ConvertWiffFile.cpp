#include "pondrel/ConvertWiffFile.h"

#include "common/WiffLibraryVersion.h"
#include "filteropts/NumberText.h"
#include "filteropts/OptionString.h"
#include "platform/AutomationComponents.h"
#include "platform/Cp1252.h"
#include "platform/Error.h"
#include "platform/SharedFile.h"
#include "pondrel/PondrelStartUp.h"

#include <QFile>

namespace pondrel {

namespace {

using namespace platform::automation;
using filteropts::integer16Of;
using filteropts::readNumber;
using filteropts::yesNoOf;

// The option fields, read one at a time and in order, so a short string stops
// at the first field it lacks (after the setters before it were called).
class Fields {
public:
    explicit Fields(const QString& text)
        : fields_(text.isEmpty() ? QStringList() : filteropts::splitOptions(filteropts::kAnalyst, text)) {}
    const QString& operator[](int i) const {
        if (i >= fields_.size())
            throw platform::Error(platform::errnum::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        return fields_[i];
    }

private:
    QStringList fields_;
};

WiffParametersPtr analystParameters(const WiffConversion& c) {
    using namespace filteropts::analyst;
    const auto parameters = create<WiffProcessingParameters>();
    parameters->SetInfoFromRegistry();
    const Fields f(c.options);
    for (int charge = 1; charge <= 4; ++charge)
        parameters->setDefaultChargeStates(static_cast<qint16>(charge), integer16Of(f[Charge1 + charge - 1]));
    if (!c.newerAnalyst) {
        parameters->setDDESurveyHtPerc(readNumber(f[IDASurveyHeightPerc]));
        parameters->setDDESurveyMergeDist(readNumber(f[IDASurveyMergeDist]));
    }
    parameters->setMSMSAveNeedXPeaks(integer16Of(f[MSMSAveNeedXPeaks]));
    parameters->setMSMSAveMinPrecursor(readNumber(f[MSMSAveMinPrecursor]));
    parameters->setMSMSAveMaxPrecursor(readNumber(f[MSMSAveMaxPrecursor]));
    parameters->setMSMSAvePrecursorTol(readNumber(f[MSMSAvePrecursorTol]));
    parameters->setMSMSAveMaxCycBetween(integer16Of(f[MSMSAveMaxCycBetween]));
    parameters->setMSMSAveMinCyclesPerGp(integer16Of(f[MSMSAveMinCyclesPerGp]));
    parameters->setMSMSCentroidEnable(integer16Of(f[MSMSCentroidEnable]));
    if (!c.newerAnalyst) {
        parameters->setMSMSCentroidHtPerc(readNumber(f[MSMSCentroidHeightPerc]));
        parameters->setMSMSCentroidMergeDist(readNumber(f[MSMSCentroidMergeDist]));
    }
    parameters->setMSMSThresholdPerc(readNumber(f[MSMSThresholdPerc]));
    parameters->setDDEAutoDetermineCharge(integer16Of(f[GetChargeFromSurvey]));
    parameters->setDiscardHighCharges(integer16Of(f[DiscardCharge5plus]));
    if (c.newerAnalyst)
        parameters->setMSMSDeisotope(yesNoOf(f[MSMSSmoothDeisotope]));
    else
        parameters->setMSMSSmoothCentroid(yesNoOf(f[MSMSSmoothDeisotope]));
    return parameters;
}

platform::Error cannotWrite(const QString& path, const QString& reason) {
    return platform::Error(kExitCannotWrite, path + QStringLiteral(": ") + reason);
}

void writeResult(QFile& output, const QString& result) {
    if (output.write(platform::toCp1252(result) + "\r\n") < 0) throw cannotWrite(output.fileName(), output.errorString());
}

}  // namespace

bool modGlobal_ConvertWiffFile(const WiffConversion& c) {
    const auto info = create<WiffFileInfo>();
    const QString version = info->DllVersion();
    info->setFileNameAndIndex(c.rawFile, c.sample < 1 ? 1 : c.sample, 0, 0, -1);

    std::shared_ptr<WiffExportMS> msExporter;
    std::shared_ptr<WiffExportMSMS> msmsExporter;
    if (!info->isMSMS()) {
        if (!common::wiffLibraryExportsMs(version)) return false;
        msExporter = create<WiffExportMS>();
    } else {
        if (c.searchType == u"PMF") return false;
        msmsExporter = create<WiffExportMSMS>();
    }

    WiffParametersPtr parameters;
    if (c.libraryOptions) {
        if (c.options.isEmpty())
            throw platform::Error(platform::errnum::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
        const auto own = filteropts::splitLibraryOptions(c.options);
        if (!own || own->version != version) return false;
        const auto options = create<WiffOptions4Tavrel>();
        options->Set_Params_Strings(own->values, c.optionKeys);
        parameters = options->Get_Params_Object();
    } else {
        parameters = analystParameters(c);
    }

    // The cache folder is written by other accounts too: a link planted at
    // the name is replaced, never written through.
    platform::UniqueFd fd = platform::openForWriting(c.outputFile);
    if (!fd) throw cannotWrite(c.outputFile, platform::openFailureText(errno));
    QFile output;
    if (!output.open(fd.get(), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        throw cannotWrite(c.outputFile, output.errorString());
    fd.release();
    // The library is asked again, as it describes the file it opened; the
    // exporter made above does the work.
    info->isMSMS();
    if (msmsExporter) {
        msmsExporter->DoExport(c.rawFile, c.sample, parameters, nullptr, -1);
        writeResult(output, msmsExporter->getResultString());
    } else {
        const qint32 first = c.sample == -1 ? 1 : c.sample;
        const qint32 last = c.sample == -1 ? info->getNumberOfSamples() : c.sample;
        for (qint32 sample = first; sample <= last; ++sample) {
            msExporter->DoExportFile(c.rawFile, sample, parameters);
            writeResult(output, msExporter->getResultString());
        }
    }
    if (!output.flush()) throw cannotWrite(c.outputFile, output.errorString());
    output.close();
    return true;
}

}  // namespace pondrel
