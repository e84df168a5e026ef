#pragma once
#include <QString>

namespace platform {
class AdoConnection;
}

namespace statusdemo {

// Tasks of two computers in every status, results for some of them, and an
// event log, in the program folder; answers the key of the task to show.
int writeDemoTasks(platform::AdoConnection& db, const QString& computer, const QString& user);
void writeDemoEventLog(const QString& path);

}  // namespace statusdemo
