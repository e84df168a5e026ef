#include "common/TaskVocabulary.h"

namespace common {

bool isTaskStatus(const QString& word) {
    using namespace taskstatus;
    return word == New || word == Running || word == Paused || word == Completed || word == Cancelled;
}

bool isScheduleType(const QString& word) {
    using namespace schedule;
    return word == Now || word == Timed || word == Monitor || word == Follower;
}

bool isFollowUpInterval(const QString& word) {
    using namespace fuinterval;
    return word == Minutes || word == Hours || word == Days || word == Weeks || word == Months;
}

}  // namespace common
