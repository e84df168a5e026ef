// Finnigan .ASC: "list:" lines name the spectra, a "mode:" line carries the
// precursor, and peak lines carry m/z and intensity in their second and third
// positive fields.
#include "convert/PeakListBlockFields.h"
#include "convert/PeakListReaderBase.h"
#include "convert/PeakListShortLines.h"

#include <string>

namespace tavrelsvc {

using namespace detail;

namespace {

bool isListLine(std::string_view line) { return startsWithNoCase(line, "list:"); }

// The peak lines of a spectrum; true when the "list:" line of the next one
// ends them, which is then `line`.
bool peaks(PeakListLineReader& input, PeakListWriter& output, std::string_view& line) {
    // False for the "list:" line that opens the next spectrum.
    const auto peakLine = [&](std::string_view text) {
        if (writeShortPeakLine<1>(output, text)) return true;
        if (!PeakListLineReader::numericInBlock(text)) return !isListLine(text);
        // The general rules, for the lines the quick one leaves: the
        // second and third positive fields make the peak line.
        std::string_view mz, intensity;
        if (withPositiveFields(text, fieldSeparator(text), [&](auto& fields) {
                return fields.next(mz) && fields.next(mz) && fields.next(intensity);
            }))
            writePeak(output, mz, intensity);
        return true;
    };
    for (;;) {
        takeShortPeakLines(1, input, output);  // most lines, many at a time
        if (!input.readLine(line)) break;
        if (!peakLine(line)) return true;
    }
    return false;
}

}  // namespace

PeakListReadResult clsJob_ConvertAscToQpl(const QString& path, PeakListWriter& output) {
    return readPeakList(path, [&](PeakListLineReader& input, PeakListReadResult& result) {
        std::string_view line;
        bool haveList = false;
        while (!haveList && input.readLine(line)) haveList = isListLine(line);

        while (haveList) {
            haveList = false;
            // The line is gone after the next read: keep its title first.
            const std::string title(line.size() > 6 ? line.substr(6) : std::string_view());
            if (input.atEnd()) return;  // a "list:" line that is the last line opens nothing

            output.writeLine("BEGIN IONS");
            output.writeLine("TITLE=", title);
            ++result.spectra;

            bool haveMode = false;
            while (!haveMode && input.readLine(line)) haveMode = startsWithNoCase(line, "mode:");
            std::string_view precursor;
            if (haveMode && withPositiveFields(line, input.fieldSeparator(),
                                               [&](auto& fields) { return fields.next(precursor); }))
                output.writeLine("PEPMASS=", precursor);

            haveList = peaks(input, output, line);
            closeBlock(output);
        }
    });
}

}  // namespace tavrelsvc
