#pragma once
// Column widths of the lists are kept in twips as the lists' first home
// measured them, in its small dialog font. The lists here draw a wider font,
// so a width is scaled by how much wider the list's digits are: a date that
// fitted its default column still fits it.
class QHeaderView;

namespace tavrel {

int columnTwipsToPixels(int twips, const QHeaderView* header);
int columnPixelsToTwips(int pixels, const QHeaderView* header);

}  // namespace tavrel
