#pragma once
// Shared state of one simulator run: the scenario (reloadable), the server's
// sessions, fault hit counts, the task-id counter and the request log. Every
// listener thread goes through it, so each member takes the lock itself.

#include "Scenario.h"
#include "SimSearch.h"

#include <QHash>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>

namespace sorvexsim {

class SimState {
public:
    SimState(Scenario scenario, QString scenarioPath);

    Scenario scenario() const;
    // Re-reads the scenario file; sessions and the task-id counter stay,
    // fault hit counts restart.
    bool reload(QString* error);

    QString newSession(const QString& userName);
    // Counts one request that carries the id; a session past its allowance
    // lapses here.
    void countUse(const QString& id);
    // The user of a live session, without counting a use.
    std::optional<QString> sessionUser(const QString& id) const;
    void endSession(const QString& id);
    void endAllSessions();

    QString nextTaskId();

    // Searches: an id handed out, an upload stored, a status poll answered.
    void taskIdIssued(const QString& id);
    int nextUploadNumber();
    void storeUpload(const SimSearch& search);
    std::optional<SimSearch> search(const QString& id) const;
    // The status line for the next poll of the id; "" when the id is unknown.
    QString nextStatus(const QString& id);
    void setNice(const QString& id, const QString& value);

    // The fault that hits this request, if any (counts the request for every
    // fault that matches it).
    std::optional<Fault> takeFault(const QString& listener, const QString& relativeTarget);

    // Held replies: wait until releaseHeld() (or the time limit); release
    // lets every reply held so far go.
    void waitForRelease();
    void releaseHeld();

    void appendLog(const QByteArray& line);
    void setLogFile(const QString& path);

private:
    struct Session {
        QString user;
        int uses = 0;
    };
    mutable std::mutex mutex_;
    std::mutex holdMutex_;
    std::condition_variable released_;
    quint64 releases_ = 0;
    Scenario scenario_;
    QString scenarioPath_;
    QString logOverride_;
    QHash<QString, Session> sessions_;
    std::vector<int> faultCounts_;
    int sessionCounter_ = 0;
    int taskCounter_ = 999;
    int uploadCounter_ = 0;
    QHash<QString, SimSearch> searches_;
    bool logFailed_ = false;
};

}  // namespace sorvexsim
