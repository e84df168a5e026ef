#include "jobs/clsJob.h"

#include "jobs/JobCollection.h"
#include "service/EventLog.h"
#include "service/Preferences.h"

namespace tavrelsvc {

clsJob::clsJob() {
    created_ = QDateTime::currentDateTime();
    NextActionTime = created_;
    controlIndex_ = NextJobIndex;
    timer_.setSingleShot(false);
    const int tick = TimerTick > 0 ? TimerTick : 10;
    timer_.setInterval(tick * 1000);
    const qint16 index = controlIndex_;
    connect(&timer_, &QTimer::timeout, this, [index] { frmMain_tmrJob_Timer(index); });
    timer_.start();
}

clsJob::~clsJob() = default;

void clsJob::set_schedule_type(const QString& v) {
    if (v == u"now" || v == u"timed" || v == u"monitor" || v == u"follower") scheduleType_ = v;
}

void clsJob::set_fu_interval(const QString& v) {
    if (v == u"minutes" || v == u"hours" || v == u"days" || v == u"weeks") fuInterval_ = v;
}

void clsJob::set_Status(const QString& v) {
    if (v == u"running" || v == u"paused" || v == u"completed" || v == u"cancelled" || v == u"new") status_ = v;
}

// The step machine and the pause, resume and cancel requests are built in
// their own files; until then a tick does nothing.
void clsJob::Take_Action() {}
void clsJob::PauseTask() {}
void clsJob::ResumeTask() {}
void clsJob::CancelTask() {}

}  // namespace tavrelsvc
