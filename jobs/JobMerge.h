#pragma once
// Merging the peak lists of every Files row of a task into one generic peak
// list in the task's cache folder, recorded as a new row of its own.
namespace tavrelsvc {

class clsJob;

// True when the merged list's row was stored. False when the merge was
// stopped (a pause request pauses the task; a pause, cancel or shut-down from
// elsewhere is left as it is) or when the list or its row could not be
// written (logged).
bool clsJob_MergePeakLists(clsJob& job);

}  // namespace tavrelsvc
