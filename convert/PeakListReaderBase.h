#pragma once
// What every reader does around its own loop: open the input without its
// trailing end-of-file marks, and turn open and read failures into a result.
#include "convert/PeakListCache.h"
#include "convert/PeakListFormats.h"
#include "convert/PeakListIo.h"
#include "convert/PeakListText.h"
#include "platform/Cp1252.h"

#include <string_view>

namespace tavrelsvc::detail {

template <typename Body>
PeakListReadResult readPeakList(const QString& path, Body&& body) {
    PeakListReadResult result;
    try {
        PeakListLineReader input(path, PeakListLineReader::kTextLength);
        body(input, result);
        if (input.failed()) {
            result.readable = false;
            result.error = input.errorText();
        }
    } catch (const platform::Error& e) {
        result.readable = false;
        result.error = e.description();
    }
    return result;
}

// The path as the 8-bit text of a TITLE line.
inline QByteArray titleText(const QString& path) { return platform::toCp1252(path); }

inline std::string_view view(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

inline void closeBlock(PeakListWriter& output) {
    output.write("\r\nEND IONS\r\n\r\n");
}

}  // namespace tavrelsvc::detail
