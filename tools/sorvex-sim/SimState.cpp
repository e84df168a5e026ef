#include "SimState.h"

#include <QFile>
#include <QRandomGenerator>

#include <chrono>
#include <cstdio>

namespace sorvexsim {

SimState::SimState(Scenario scenario, QString scenarioPath)
    : scenario_(std::move(scenario)), scenarioPath_(std::move(scenarioPath)) {
    faultCounts_.assign(scenario_.faults.size(), 0);
}

Scenario SimState::scenario() const {
    std::lock_guard lock(mutex_);
    return scenario_;
}

bool SimState::reload(QString* error) {
    if (scenarioPath_.isEmpty()) {
        if (error) *error = QStringLiteral("no scenario file was given");
        return false;
    }
    auto fresh = loadScenario(scenarioPath_, error);
    if (!fresh) return false;
    std::lock_guard lock(mutex_);
    scenario_ = std::move(*fresh);
    faultCounts_.assign(scenario_.faults.size(), 0);
    return true;
}

QString SimState::newSession(const QString& userName) {
    std::lock_guard lock(mutex_);
    const QString id = QStringLiteral("%1%2_%3")
                           .arg(scenario_.sessionPrefix)
                           .arg(++sessionCounter_)
                           .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    sessions_.insert(id, Session{userName, 0});
    return id;
}

void SimState::countUse(const QString& id) {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(id);
    if (it == sessions_.end()) return;
    ++it->uses;
    if (scenario_.expireAfterRequests > 0 && it->uses > scenario_.expireAfterRequests) sessions_.erase(it);
}

std::optional<QString> SimState::sessionUser(const QString& id) const {
    std::lock_guard lock(mutex_);
    auto it = sessions_.constFind(id);
    if (it == sessions_.constEnd()) return std::nullopt;
    return it->user;
}

void SimState::endSession(const QString& id) {
    std::lock_guard lock(mutex_);
    sessions_.remove(id);
}

void SimState::endAllSessions() {
    std::lock_guard lock(mutex_);
    sessions_.clear();
}

QString SimState::nextTaskId() {
    std::lock_guard lock(mutex_);
    if (scenario_.taskId != QLatin1String("auto")) return scenario_.taskId;
    return QString::number(++taskCounter_);
}

void SimState::taskIdIssued(const QString& id) {
    std::lock_guard lock(mutex_);
    if (searches_.contains(id)) return;
    SimSearch fresh;
    fresh.taskId = id;
    searches_.insert(id, fresh);
}

int SimState::nextUploadNumber() {
    std::lock_guard lock(mutex_);
    return ++uploadCounter_;
}

void SimState::storeUpload(const SimSearch& search) {
    std::lock_guard lock(mutex_);
    searches_.insert(search.taskId, search);
}

std::optional<SimSearch> SimState::search(const QString& id) const {
    std::lock_guard lock(mutex_);
    auto it = searches_.constFind(id);
    if (it == searches_.constEnd()) return std::nullopt;
    return *it;
}

QString SimState::nextStatus(const QString& id) {
    std::lock_guard lock(mutex_);
    auto it = searches_.find(id);
    if (it == searches_.end()) return QString();
    if (it->upload == 0 || it->states.isEmpty()) return QStringLiteral("id_assigned");
    const QString state = it->states.value(std::min<qsizetype>(it->polls, it->states.size() - 1));
    ++it->polls;
    return state;
}

void SimState::setNice(const QString& id, const QString& value) {
    std::lock_guard lock(mutex_);
    auto it = searches_.find(id);
    if (it != searches_.end()) it->niceValue = value;
}

std::optional<Fault> SimState::takeFault(const QString& listener, const QString& relativeTarget) {
    std::lock_guard lock(mutex_);
    std::optional<Fault> hit;
    for (size_t i = 0; i < scenario_.faults.size(); ++i) {
        const Fault& f = scenario_.faults[i];
        // "any" means the server's own listeners; the proxy is a separate
        // hop and is faulted only by name, so a request is not hit twice.
        const bool listens = f.listener == QLatin1String("any") ? listener != QLatin1String("proxy") : f.listener == listener;
        if (!listens) continue;
        if (!relativeTarget.contains(f.match)) continue;
        const int n = ++faultCounts_[i];
        const bool inWindow = n > f.skip && (f.times == 0 || n <= f.skip + f.times);
        if (inWindow && !hit) hit = f;
    }
    return hit;
}

void SimState::setLogFile(const QString& path) {
    std::lock_guard lock(mutex_);
    logOverride_ = path;
}

void SimState::waitForRelease() {
    std::unique_lock lock(holdMutex_);
    const quint64 seen = releases_;
    released_.wait_for(lock, std::chrono::minutes(10), [&] { return releases_ != seen; });
}

void SimState::releaseHeld() {
    {
        std::lock_guard lock(holdMutex_);
        ++releases_;
    }
    released_.notify_all();
}

void SimState::appendLog(const QByteArray& line) {
    std::lock_guard lock(mutex_);
    const QString path = logOverride_.isEmpty() ? scenario_.logFile : logOverride_;
    if (path.isEmpty()) return;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        f.write(line + '\n');
    } else if (!logFailed_) {
        // Said once: a test that reads the log would otherwise just see
        // fewer requests than were sent.
        logFailed_ = true;
        std::fprintf(stderr, "sorvex-sim: cannot write the request log %s: %s\n", qPrintable(path),
                     qPrintable(f.errorString()));
    }
}

}  // namespace sorvexsim
