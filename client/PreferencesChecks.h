#pragma once
// The checks the preferences dialog's Save applies to what was typed, apart
// from the widgets: number fields, the server address, the extractor program,
// and whether the stored section changed so that both programs must restart.
#include "common/RegOp.h"

#include <QString>

#include <optional>

namespace tavrel {

// A number field's text as a whole number: rounded to the nearest, a half to
// the even neighbour (86400.5 gives 86400). Nothing when the text is no number
// or the result does not fit the field's type (16 or 32 bits).
std::optional<qint32> wholeNumber16(const QString& text);
std::optional<qint32> wholeNumber32(const QString& text);

// An address of at least 15 characters beginning "http://" or "https://"
// (letter case counts).
bool isFullUrl(const QString& url);
// With "/" at its end.
QString withTrailingSlash(const QString& url);

// The extractor program: true for up to 10 characters (taken without a test)
// or a path ending in one of the four extractor names (any case), with or
// without ".exe".
bool isExtractorPath(const QString& path);
inline constexpr int kExtractorPathUntested = 10;
// Why a path of another name is refused: the names taken, and how.
QString extractorNameRefusal();

// Both programs must restart when the section read before Save was not empty
// and differs from the one after it in length or in any value at the same
// position (the names are not compared).
bool preferencesChanged(const common::RegValueTable& before, const common::RegValueTable& after);

}  // namespace tavrel
