#pragma once
// What every benchmark prints: one line per figure with its goal and the
// verdict, so a run can be read (and grepped for MISSED) at a glance.
//
// A figure is measured in rounds (at least kMinRounds). The line gives the
// median with the spread of the rounds beside it, and the verdict is "met"
// only when most rounds meet the goal: one quick round among slow ones, or a
// median between two rounds on either side of the goal, is no "met".
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <unistd.h>

namespace bench {

constexpr int kMinRounds = 3;

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// What one round must reach.
struct Goal {
    enum class Kind { Below, AtMost, AtLeast, Exactly } kind;
    double limit;
    // Most rounds must meet it, or (for a goal on the worst round, or a
    // count that must hold every time) every round.
    bool everyRound = false;

    bool meets(double v) const {
        switch (kind) {
            case Kind::Below: return v < limit;
            case Kind::AtMost: return v <= limit;
            case Kind::AtLeast: return v >= limit;
            case Kind::Exactly: return v == limit;
        }
        return false;
    }
};

inline Goal below(double limit) { return {Goal::Kind::Below, limit}; }
inline Goal atMost(double limit) { return {Goal::Kind::AtMost, limit}; }
inline Goal atLeast(double limit) { return {Goal::Kind::AtLeast, limit}; }
inline Goal exactly(double limit) { return {Goal::Kind::Exactly, limit, true}; }
inline Goal everyRound(Goal g) {
    g.everyRound = true;
    return g;
}

struct Verdict {
    double median = 0, low = 0, high = 0;
    int rounds = 0, meeting = 0;
    bool met = false;
};

inline Verdict judge(const std::vector<double>& rounds, const Goal& goal) {
    Verdict v;
    v.rounds = int(rounds.size());
    if (rounds.empty()) return v;
    v.median = median(rounds);
    v.low = *std::min_element(rounds.begin(), rounds.end());
    v.high = *std::max_element(rounds.begin(), rounds.end());
    v.meeting = int(std::count_if(rounds.begin(), rounds.end(), [&](double r) { return goal.meets(r); }));
    const bool enough = goal.everyRound ? v.meeting == v.rounds : 2 * v.meeting > v.rounds;
    v.met = v.rounds >= kMinRounds && enough && goal.meets(v.median);
    return v;
}

// `show` writes one value with its unit, e.g. "123.4 ms"; `detail` is added
// after the spread (what the median is made of, the other side's figure);
// a `failure` (the measurement itself went wrong) makes the figure missed
// whatever its rounds say.
inline QString figureLine(const QString& what, const std::vector<double>& rounds, const std::function<QString(double)>& show,
                          const QString& goalText, const Goal& goal, const QString& detail = QString(),
                          const QString& failure = QString()) {
    Verdict v = judge(rounds, goal);
    if (!failure.isEmpty()) v.met = false;
    QString value = QStringLiteral("%1 (%2 .. %3, %4 of %5 rounds in goal)")
                        .arg(show(v.median), show(v.low), show(v.high))
                        .arg(v.meeting)
                        .arg(v.rounds);
    if (!detail.isEmpty()) value += QStringLiteral("; ") + detail;
    if (v.rounds < kMinRounds) value += QStringLiteral("; fewer than %1 rounds").arg(kMinRounds);
    if (!failure.isEmpty()) value += QStringLiteral("; ") + failure;
    return QStringLiteral("%1  median %2  goal %3  %4")
        .arg(what.leftJustified(52), value, goalText, v.met ? QStringLiteral("met") : QStringLiteral("MISSED"));
}

inline bool figure(const QString& what, const std::vector<double>& rounds, const std::function<QString(double)>& show,
                   const QString& goalText, const Goal& goal, const QString& detail = QString(),
                   const QString& failure = QString()) {
    std::printf("%s\n", qPrintable(figureLine(what, rounds, show, goalText, goal, detail, failure)));
    std::fflush(stdout);
    return failure.isEmpty() && judge(rounds, goal).met;
}

// Value writers for figureLine.
inline std::function<QString(double)> fixed(int decimals, const QString& unit = QString()) {
    return [=](double v) { return QString::number(v, 'f', decimals) + unit; };
}

// A remark that is no figure (set-up, sizes, what a figure left out).
inline void note(const QString& text) {
    std::printf("  %s\n", qPrintable(text));
    std::fflush(stdout);
}

inline double seconds(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e9;
}

// User plus system CPU seconds of a process so far (0 when it is gone).
inline double cpuSecondsOf(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray text = f.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace bench
