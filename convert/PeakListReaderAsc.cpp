// Finnigan .ASC: "list:" lines name the spectra, a "mode:" line carries the
// precursor, and peak lines carry m/z and intensity in their second and third
// positive fields.
#include "convert/PeakListReaderBase.h"

#include <string>

namespace tavrelsvc {

using namespace detail;

namespace {

bool isListLine(std::string_view line) { return startsWithNoCase(line, "list:"); }

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
            if (haveMode) {
                forEachField(line, [&](std::string_view field) {
                    if (!isPositive(field)) return true;
                    output.writeLine("PEPMASS=", field);
                    return false;
                });
            }

            while (input.readLine(line)) {
                if (!isPositive(line)) {
                    if (isListLine(line)) {
                        haveList = true;
                        break;
                    }
                    continue;
                }
                int positives = 0;
                std::string_view second;
                forEachField(line, [&](std::string_view field) {
                    if (!isPositive(field)) return true;
                    ++positives;
                    if (positives == 2) second = field;
                    if (positives < 3) return true;
                    output.write(second);
                    output.write(" ");
                    output.writeLine(field);
                    return false;
                });
            }
            closeBlock(output);
        }
    });
}

}  // namespace tavrelsvc
