#pragma once
// Merging the peak lists of every Files row of a task into one generic peak
// list in the task's cache folder, recorded as a new row of its own.
namespace platform {
class AdoRecordset;
}

namespace tavrelsvc {

class clsJob;

// True when the merged list's row was stored. False when the merge was
// stopped (a pause request pauses the task; a pause, cancel or shut-down from
// elsewhere is left as it is) or when the list or its row could not be
// written (logged).
// A merge that found no spectrum at all still records its row, already done,
// so the task completes without a search.
bool clsJob_MergePeakLists(clsJob& job);

// Whether the current row of a task's Files list is the row of a merged list.
// A task that holds one has merged already (before a restart, say): it
// searches that row like any other and never merges again.
bool isMergedListRow(const platform::AdoRecordset& files);

}  // namespace tavrelsvc
