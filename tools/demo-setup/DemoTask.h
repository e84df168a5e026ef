#pragma once
// The demo's content: the "monitor" task on the inbox, written as the
// client's Run command writes a task row, and sample peak lists of its own.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace platform {
class AdoConnection;
}

namespace demo {

struct InboxTask {
    long key = 0;          // 0: not written (the reason went to standard error)
    bool existed = false;  // an earlier set-up wrote it; nothing was changed
    QString label;
};

// The task "Demo inbox" of this computer watching `inbox` (every file name,
// no sub-folders), asked to run. A live task already watching `inbox` is
// kept as it is. Its peak-list folder under `peakListRoot` is made as the
// client makes it.
InboxTask addInboxTask(platform::AdoConnection& db, const QString& inbox, const QString& parameterFile,
                       const QString& peakListRoot);

// A few generic peak lists (file name, contents) of a handful of spectra each.
QList<QPair<QString, QByteArray>> samplePeakLists();

}  // namespace demo
