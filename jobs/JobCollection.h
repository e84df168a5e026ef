#pragma once
// The service's running jobs, each filed under its key "T" + Control_index,
// and the one queue of their timers.
#include "jobs/JobTickSpread.h"
#include "jobs/JobTimer.h"

#include <QHash>
#include <QMap>
#include <QPointer>
#include <QString>

namespace tavrelsvc {

class clsJob;

// Owns the jobs it holds; a job is removed with deleteLater, never inside its
// own tick.
class JobCollectionType {
public:
    void Add(clsJob* job, const QString& key);  // takes ownership
    clsJob* Item(const QString& key) const;     // nullptr when absent
    void Remove(const QString& key);            // deletes the job later
    int Count() const { return jobs_.size(); }
    QList<clsJob*> items() const;
    void clear();
    JobTickQueue& ticks() { return ticks_; }
    JobTickPhases& tickPhases() { return phases_; }

private:
    QMap<QString, QPointer<clsJob>> jobs_;  // in key order, as the jobs are walked
    // The same jobs for the look-up of every tick: ten thousand jobs tick a
    // thousand times a second.
    QHash<QString, QPointer<clsJob>> byKey_;
    JobTickQueue ticks_;
    JobTickPhases phases_;
};

inline JobCollectionType JobCollection;
inline qint16 NextJobIndex = 1;  // Control_index of the next job

// The tick of a job's timer: unless the service shuts down or has lost its
// task database, finds the job under "T" + index and calls its Take_Action;
// an error is logged as "(TVS1002) ...".
void frmMain_tmrJob_Timer(qint16 index);

}  // namespace tavrelsvc
