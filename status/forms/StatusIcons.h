#pragma once
// The icons of the status tree and lists by image key: the project's own SVG
// pictures, resource ":/<key>" (clientcommon/forms/icons), drawn at 16 by 16.
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tavrel {

inline constexpr int kStatusIconSize = 16;

// A null icon for an empty or unknown key.
QIcon statusIcon(const QString& imageKey);
// The result node's icon: "shutfile", and "openfile" while it is selected.
QIcon resultNodeIcon();
QPixmap statusPixmap(const QString& imageKey, int size = kStatusIconSize);

}  // namespace tavrel
