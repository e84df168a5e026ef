#pragma once
// What every benchmark prints: one line per figure with its goal and the
// verdict, so a run can be read (and grepped for MISSED) at a glance.
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <unistd.h>

namespace bench {

inline void figure(const QString& what, const QString& value, const QString& goal, bool met) {
    std::printf("%-52s %-40s goal %-20s %s\n", qPrintable(what), qPrintable(value), qPrintable(goal),
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

// A remark that is no figure (set-up, sizes, what a figure left out).
inline void note(const QString& text) {
    std::printf("  %s\n", qPrintable(text));
    std::fflush(stdout);
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
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
