#pragma once
// Which of the five status commands a view offers. The commands check owner
// and open requests again when they run; this only keeps the obviously
// pointless ones out of reach.
#include "common/TaskVocabulary.h"
#include "status/StatusNodes.h"

#include <QString>

namespace tavrel {

struct StatusButtonStates {
    bool pause = false;
    bool resume = false;
    bool clone = false;
    bool cancel = false;
    bool del = false;
    bool print = false;  // File Print

    bool operator==(const StatusButtonStates&) const = default;
};

// The task view, by the image of the task's node: Pause for a running task,
// Resume and Cancel for a paused one, nothing for a pending one and Delete
// for any other; Clone always.
inline StatusButtonStates taskViewButtons(const QString& taskImage) {
    StatusButtonStates s;
    s.clone = s.print = true;
    if (taskImage == common::word(common::TaskStatus::Running) || taskImage == imagekey::Follower) s.pause = true;
    else if (taskImage == common::word(common::TaskStatus::Paused)) s.resume = s.cancel = true;
    else if (taskImage != imagekey::Pending) s.del = true;
    return s;
}

inline StatusButtonStates rootViewButtons() {
    StatusButtonStates s;
    s.print = true;
    return s;
}

inline StatusButtonStates resultViewButtons() { return {}; }

}  // namespace tavrel
