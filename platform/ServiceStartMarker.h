#pragma once
// The note StartService leaves while a service it launched has not answered
// yet: the process id and that process's start time (so a recycled id never
// reads as the service). Kept beside the service's socket, in the runtime
// folder of its program folder.
#include <QString>

namespace platform {

class ServiceStartMarker {
public:
    explicit ServiceStartMarker(const QString& channelName);

    // True while the launched process lives; a note of a process that ended is removed.
    bool pending() const;
    void record(qint64 pid);
    void clear() const;

private:
    QString path_;
};

}  // namespace platform
