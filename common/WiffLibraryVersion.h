#pragma once
// What the version text of the Sciex .WIFF import library ("sorvex.dll", its
// DllVersion such as "1.6" or "1.6b30") allows. The service and Pondrel both
// decide by it, so they never disagree about a file.
#include <QString>

namespace common {

// MS data (not only MS/MS) can be exported: a version above 1.6, or 1.6 with
// a build number above 9 ("1.6b10" can, "1.6b9" and "1.6" cannot).
bool wiffLibraryExportsMs(const QString& version);

}  // namespace common
