#include "jobs/clsJob.h"

#include "common/TaskVocabulary.h"
#include "jobs/JobClock.h"
#include "jobs/JobCollection.h"
#include "jobs/JobTickSpread.h"
#include "service/TaskDb.h"
#include "platform/Error.h"
#include "platform/Process.h"
#include "search/JobSession.h"
#include "service/EventLog.h"
#include "service/Globals.h"
#include "service/Preferences.h"

#include <QEvent>

#include <algorithm>
#include <limits>

namespace tavrelsvc {

clsJob::clsJob() : timer_(JobCollection.ticks(), [this] { frmMain_tmrJob_Timer(controlIndex_); }) {
    try {
        created_ = clsJob_Now();
        NextActionTime = created_;
        controlIndex_ = NextJobIndex;
        // Each tick is armed for the next one of the job's own phase, so the
        // ticks of many jobs stay apart however long a tick took.
        tickIntervalMs_ = (TimerTick > 0 ? TimerTick : 10) * 1000;
        const qint64 createdMs = created_.toMSecsSinceEpoch();
        firstTickMs_ = createdMs + tickIntervalMs_ +
                       JobCollection.tickPhases().offsetFor(tickIntervalMs_, createdMs % tickIntervalMs_);
        enterTickPhases();
        TimerOn();
    } catch (const std::exception& e) {
        modGlobal_WriteEventLog(EventError, 0, QStringLiteral(" "), QStringLiteral(" "),
                                QStringLiteral("(TVS1012) 51: ") + QString::fromUtf8(e.what()));
    }
}

clsJob::~clsJob() { leaveTickPhases(); }

void clsJob::enterTickPhases() {
    leaveTickPhases();
    phaseInterval_ = tickIntervalMs_;
    JobCollection.tickPhases().add(phaseInterval_, firstTickMs_ % phaseInterval_);
}

void clsJob::leaveTickPhases() {
    if (phaseInterval_ <= 0) return;
    JobCollection.tickPhases().remove(phaseInterval_, firstTickMs_ % phaseInterval_);
    phaseInterval_ = 0;
}

void clsJob::setSettings(common::TaskSettings taskSettings) {
    // The three stored words live in the job as the values they name, so the
    // settings keep no second, stale copy of them.
    const QString schedule = std::exchange(taskSettings.schedule_type, QString());
    const QString interval = std::exchange(taskSettings.fu_interval, QString());
    const QString filter = std::exchange(taskSettings.import_filter, QString());
    settings = std::move(taskSettings);
    scheduleType_.reset();
    fuInterval_.reset();
    set_schedule_type(schedule);
    set_fu_interval(interval);
    set_import_filter(filter);
}

void clsJob::set_schedule_type(const QString& v) {
    if (const auto type = common::scheduleTypeOf(v)) scheduleType_ = type;
}

void clsJob::set_fu_interval(const QString& v) {
    if (const auto unit = common::followUpIntervalOf(v)) fuInterval_ = unit;
}

void clsJob::set_Status(const QString& v) {
    if (const auto status = common::taskStatusOf(v)) status_ = status;
}

void clsJob::set_import_filter(const QString& name) {
    importFilterName_ = name;
    importFilter_ = common::importFilterOf(name);
}

JobSession& clsJob::Session() {
    if (!session_) {
        session_ = std::make_unique<JobSession>(settings.uID, settings.task_label, task_sorvex_url,
                                                settings.sorvex_user_id);
        session_->sessionID = sessionID;
    }
    return *session_;
}

void clsJob::TimerOn() {
    if (removed_) return;
    const qint64 now = clsJob_NowMs();
    // A job at rest (logged in, no step running) whose next action is later
    // wakes at the first of its ticks at or after it: the ticks before would
    // find nothing to do. The ticks keep the job's phase.
    qint64 from = now;
    if (!isBusy() && sessionID != u"X X X" && NextActionTime.isAfter(now)) from = NextActionTime.msSinceEpoch() - 1;
    const qint64 wait = from - now + msUntilNextTick(from - firstTickMs_, tickIntervalMs_);
    timer_.start(static_cast<int>(std::clamp<qint64>(wait, 1, std::numeric_limits<int>::max())));
}

void clsJob::setNextActionTime(const QDateTime& when) {
    NextActionTime = when;
    // Brought forward while the job sleeps (a change in a watched folder):
    // it wakes at its next tick.
    if (timer_.isActive()) TimerOn();
}

void clsJob::SetTimerInterval(int milliseconds) {
    tickIntervalMs_ = std::max(1, milliseconds);
    if (phaseInterval_ > 0 && phaseInterval_ != tickIntervalMs_) enterTickPhases();
    if (timer_.isActive()) TimerOn();
}

bool clsJob::mayGoOn() const {
    using common::TaskStatus;
    return !ShuttingDown && !removed_ && status_ != TaskStatus::Paused && status_ != TaskStatus::Cancelled &&
           status_ != TaskStatus::Completed;
}

// A cancel or completion that arrives while this job's own tick runs (or a
// wait inside it) must not free the object under the running tick: its
// deletion is held back until the tick has returned.
bool clsJob::event(QEvent* e) {
    if (e->type() == QEvent::DeferredDelete && tickDepth_ > 0) {
        deletePending_ = true;
        return true;
    }
    return QObject::event(e);
}

void clsJob::log(short type, const QString& message, bool withDataFile) const {
    modGlobal_WriteEventLog(type, settings.uID, settings.task_label, withDataFile ? dataFile_ : QStringLiteral(" "),
                            message);
}

bool clsJob::findTaskRow() {
    taskRow_.openQuery(TaskDbConnection, QStringLiteral("SELECT * FROM Sorvex_Tavrel_Tasks WHERE task_UID = ?"),
                       {settings.uID}, QStringLiteral("Sorvex_Tavrel_Tasks"));
    return !taskRow_.eof();
}

void clsJob::removeFromCollection() {
    timer_.stop();
    removed_ = true;
    leaveTickPhases();
    const QString key = JobKey();
    if (JobCollection.Item(key) == this) JobCollection.Remove(key);
}

}  // namespace tavrelsvc
