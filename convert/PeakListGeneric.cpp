// Generic peak lists go into a merge as they are, from their first
// "BEGIN IONS" line on, copied in blocks rather than line by line.
#include "convert/PeakListReaderBase.h"

namespace tavrelsvc {

using namespace detail;

PeakListReadResult copyGenericPeakList(const QString& path, PeakListWriter& output) {
    return readPeakList(path, [&](PeakListLineReader& input, PeakListReadResult& result) {
        std::string_view line;
        bool found = false;
        while (!found && input.readLine(line)) found = startsWithNoCase(line, "begin ions");
        if (!found) return;
        const std::string first(line);
        if (input.atEnd()) return;  // nothing follows the "BEGIN IONS" line

        output.writeLine(first);
        std::string_view chunk;
        while (input.readRaw(chunk)) output.write(chunk);
        output.write("\r\n");
        result.spectra = 1;
    });
}

bool isMergeableFormat(const QString& format) {
    return format == kFormatGeneric || format == kFormatDta || format == kFormatPkl ||
           format == kFormatAsc || format == kFormatPks || format == kFormatApiIII;
}

PeakListReadResult convertPeakList(const QString& format, const QString& path,
                                   PeakListWriter& output, const PeakListJobContext& job) {
    if (format == kFormatGeneric) return copyGenericPeakList(path, output);
    if (format == kFormatDta) {
        PeakListReadResult result = convertDtaToQpl(path, output);
        if (result.spectra > 0) output.write("\r\n");
        return result;
    }
    if (format == kFormatPkl) return clsJob_ConvertPklToQpl(path, output);
    if (format == kFormatAsc) return clsJob_ConvertAscToQpl(path, output);
    if (format == kFormatPks) return clsJob_ConvertPksToQpl(path, output, job);
    if (format == kFormatApiIII) return clsJob_ConvertApiIIIToQpl(path, output, job);
    return PeakListReadResult{};
}

}  // namespace tavrelsvc
