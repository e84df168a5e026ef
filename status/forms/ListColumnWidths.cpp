#include "status/forms/ListColumnWidths.h"

#include "clientcommon/forms/FormLayout.h"

#include <QHeaderView>

#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {

// The ten digits in the 8-point dialog font the twips were measured in: six
// pixels each. Dates, times, numbers and keys fill these columns.
constexpr double kReferenceDigitsPixels = 60.0;

double fontScale(const QHeaderView* header) {
    const QWidget* list = header && header->parentWidget() ? header->parentWidget() : header;
    if (!list) return 1.0;
    return std::max(1.0, list->fontMetrics().horizontalAdvance(QStringLiteral("0123456789")) / kReferenceDigitsPixels);
}

}  // namespace

int columnTwipsToPixels(int twips, const QHeaderView* header) {
    return int(std::lround(double(twips) / kTwipsPerPixel * fontScale(header)));
}

int columnPixelsToTwips(int pixels, const QHeaderView* header) {
    return int(std::lround(double(pixels) * kTwipsPerPixel / fontScale(header)));
}

}  // namespace tavrel
