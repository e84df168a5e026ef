// Micromass .PKL: a precursor line (m/z, intensity, charge) opens a spectrum,
// numeric lines are its peaks, the first line that is not numeric closes it.
#include "convert/PeakListReaderBase.h"

#include <charconv>
#include <cmath>

namespace tavrelsvc {

using namespace detail;

namespace {

// The spectra of the file, each titled `title` and its query number;
// answers how many.
long spectra(PeakListLineReader& input, PeakListWriter& output, std::string_view title) {
    long count = 0;
    bool inside = false;
    long query = 1;
    std::string_view line;
    for (;;) {
        // Peak lines ended by CR LF go out as they stand, many at once.
        if (inside) output.write(input.readNumericRun());
        if (!input.readLine(line)) break;
        const bool numeric = PeakListLineReader::numericInBlock(line);
        if (inside) {
            if (numeric) {
                output.writeLine(line);
            } else {
                closeBlock(output);
                inside = false;
            }
            continue;
        }
        if (!numeric) continue;

        // At most three fields; the third takes the rest of the line.
        const char sep = fieldSeparator(line);
        const size_t a = line.find(sep);
        if (a == std::string_view::npos) continue;
        const size_t b = line.find(sep, a + 1);
        if (b == std::string_view::npos) continue;
        const std::string_view mz = line.substr(0, a);
        const std::string_view chargeField = line.substr(b + 1);
        if (!isPositive(mz) || !isPositive(chargeField)) continue;

        output.writeLine("BEGIN IONS");
        output.write("TITLE=");
        output.write(title);
        char number[24];
        const auto written = std::to_chars(number, number + sizeof number, query);
        output.writeLine(" (query ", std::string_view(number, size_t(written.ptr - number)), ")");
        // A charge that is not a plain number ("2+") gives no CHARGE line.
        double charge = 0;
        if (plainNumber(chargeField, charge))
            output.writeLine("CHARGE=", formatNumber(std::trunc(charge)), "+");
        output.writeLine("PEPMASS=", mz);
        ++query;
        ++count;
        inside = true;
    }
    if (inside) closeBlock(output);
    return count;
}

}  // namespace

PeakListReadResult clsJob_ConvertPklToQpl(const QString& path, PeakListWriter& output) {
    return readPeakList(path, [&](PeakListLineReader& input, PeakListReadResult& result) {
        result.spectra = spectra(input, output, view(titleText(path)));
    });
}

}  // namespace tavrelsvc
