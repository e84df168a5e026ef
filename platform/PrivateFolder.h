#pragma once
// Work folders of one program (the service's temporary files, the RAW
// extractor's workspaces): only the program's own account may enter them, so
// nobody else can plant a link that makes the program write or delete files
// elsewhere. Never the shared temporary folder, which every account writes.
#include <QString>

namespace platform {

// A folder of this account alone (mode 0700) named `name` in `parent`, made
// when missing. A link or a file in its place is removed first; the folder is
// never entered through a link. Empty with the reason in *problem when no such
// folder can be had.
QString privateSubfolder(const QString& parent, const QString& name, QString* problem = nullptr);

// The service's own temporary folder: "tmp" in the program folder's runtime
// folder (one service per program folder, so one per service), or, when
// another account holds that name, "tmp-<user id>" beside it (the same at
// every start); a fresh folder only when that name is taken too.
QString serviceTempFolder(const QString& programFolder, QString* problem = nullptr);

}  // namespace platform
