#pragma once
// Where a "monitor" task looks for new items on a due tick: the whole tree,
// or only the folders that changed and those without notifications.
#include <QDateTime>

namespace tavrelsvc {

class clsJob;
struct JobFolderWatch;

// Adds what is new to watch.NewFiles. `everything`: the whole tree is walked
// and the folders' watches are brought up to date with it. False when the
// look was cut short (pause, cancel, shut-down); what it missed is looked at
// on a later tick.
bool lookForNewItems(clsJob& job, JobFolderWatch& watch, bool everything, const QDateTime& now);

}  // namespace tavrelsvc
