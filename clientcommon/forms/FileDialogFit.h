#pragma once
// Qt's own file dialog lays its columns out for short English texts ("Date
// Modified" for a two-digit year, "Type" for one word); real names, types and
// dates then show cut ("pla...ent"). Fitted, every column is at least as wide
// as its texts and the places beside it as wide as their names; the dialog
// grows to hold them (within its screen) and never narrows what the user
// widened. A native dialog is left as it is.
class QFileDialog;

namespace tavrel {

// Call before the dialog is shown: the fit follows each folder as it is read.
void fitFileDialogToItsTexts(QFileDialog& dialog);

}  // namespace tavrel
