// PerSeptive .PKS and Sciex API III: one spectrum per file, whose precursor
// mass the file does not hold; it comes from the search form's PRECURSOR.
#include "convert/PeakListBlockFields.h"
#include "convert/PeakListReaderBase.h"
#include "convert/PeakListShortLines.h"
#include "service/EventLog.h"

namespace tavrelsvc {

using namespace detail;

namespace {

enum class Kind { Pks, ApiIII };

// The peak lines, to the end of the file.
void peaks(Kind kind, PeakListLineReader& input, PeakListWriter& output) {
    const auto peakLine = [&](std::string_view line) {
        if (writeShortPeakLine<0>(output, line) || !PeakListLineReader::numericInBlock(line)) return true;
        std::string_view mz, intensity;  // the general rules, for the lines the quick one leaves
        if (withPositiveFields(line, fieldSeparator(line),
                               [&](auto& fields) { return fields.next(mz) && fields.next(intensity); }))
            writePeak(output, mz, intensity);
        return true;
    };
    std::string_view line;
    for (;;) {
        // Most lines are ended by CR LF and taken many at a time; readLine
        // gives the rest.
        if (kind == Kind::ApiIII) output.write(input.readNumericRun());
        else takeShortPeakLines(0, input, output);
        if (!input.readLine(line)) break;
        if (kind == Kind::Pks) peakLine(line);
        else if (PeakListLineReader::numericInBlock(line)) output.writeLine(line);
    }
}

PeakListReadResult convertSingleSpectrum(Kind kind, const QString& path, PeakListWriter& output,
                                         const PeakListJobContext& job) {
    const QByteArray precursor = platform::toCp1252(job.formValue(QStringLiteral("PRECURSOR"), QStringLiteral("0")));
    // A negative mass is as unusable as none at all.
    if (!(leadingNumber(view(precursor)) > 0)) {
        modGlobal_WriteEventLog(EventError, job.uID, job.task_label, job.Data_file,
                                kind == Kind::Pks
                                    ? QStringLiteral("No precursor mass specified for PKS format data file")
                                    : QStringLiteral("No precursor mass specified for API III format data file"));
        PeakListReadResult result;
        result.reported = true;
        return result;
    }
    return readPeakList(path, [&](PeakListLineReader& input, PeakListReadResult& result) {
        output.writeLine("BEGIN IONS");
        output.writeLine("TITLE=", view(titleText(path)));
        output.writeLine("PEPMASS=", view(precursor));
        peaks(kind, input, output);
        closeBlock(output);
        result.spectra = 1;
    });
}

}  // namespace

PeakListReadResult clsJob_ConvertPksToQpl(const QString& path, PeakListWriter& output,
                                          const PeakListJobContext& job) {
    return convertSingleSpectrum(Kind::Pks, path, output, job);
}

PeakListReadResult clsJob_ConvertApiIIIToQpl(const QString& path, PeakListWriter& output,
                                             const PeakListJobContext& job) {
    return convertSingleSpectrum(Kind::ApiIII, path, output, job);
}

}  // namespace tavrelsvc
