// Sequest .DTA: the first line holds MH+ and the charge, the rest are peaks.
#include "convert/PeakListReaderBase.h"

#include <cmath>

namespace tavrelsvc {

using namespace detail;

namespace {

// The charge field as a 16-bit integer, rounded half to even; 0 when it is no
// number or out of range.
int chargeOf(std::string_view field) {
    double v = 0;
    if (!plainNumber(field, v)) return 0;
    const double r = std::nearbyint(v);
    if (!(r >= -32768 && r <= 32767)) return 0;
    return int(r);
}

}  // namespace

PeakListReadResult convertDtaToQpl(const QString& path, PeakListWriter& output) {
    return readPeakList(path, [&](PeakListLineReader& input, PeakListReadResult& result) {
        std::string_view line;
        if (!input.readLine(line) || !input.lastLineTerminated()) return;

        // Line 1: MH+ and charge, split once at the first TAB, else the first space.
        const size_t tab = line.find('\t');
        const size_t cut = tab != std::string_view::npos ? tab : line.find(' ');
        const double mh = leadingNumber(line.substr(0, cut));
        const int z = cut == std::string_view::npos ? 0 : chargeOf(line.substr(cut + 1));

        std::string charge, pepmass;
        if (z >= 1) {
            pepmass = formatNumber((mh + (z - 1) * kProtonMass) / z);
            charge = "CHARGE=" + std::to_string(z) + "+";
        } else {
            pepmass = formatNumber(mh);
        }

        // The rest must start with a number, else the file is no spectrum.
        if (!input.readLine(line) || !PeakListLineReader::numericInBlock(line)) return;

        output.writeLine("BEGIN IONS");
        output.writeLine("TITLE=", view(titleText(path)));
        if (!charge.empty()) output.writeLine(charge);
        output.writeLine("PEPMASS=", pepmass);
        do {
            output.writeLine(line);
            output.write(input.readRun());  // lines ended by CR LF, as they stand
        } while (input.readLine(line));
        // The rest is followed by a line end of its own; when it already ended
        // in one, that leaves an empty line before END IONS.
        if (input.lastLineTerminated()) output.write("\r\n");
        output.writeLine("END IONS");
        result.spectra = 1;
    });
}

QByteArray clsJob_ConvertDtaToQpl(const QString& path) {
    PeakListWriter text;
    const PeakListReadResult result = convertDtaToQpl(path, text);
    if (!result.readable || result.spectra == 0) return QByteArray();
    return text.text();
}

}  // namespace tavrelsvc
