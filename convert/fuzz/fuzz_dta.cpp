#include "FuzzReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzreader::run(data, size, [](const QString& path, tavrelsvc::PeakListWriter& out) {
        tavrelsvc::convertDtaToQpl(path, out);
    });
}
