#pragma once
#include "convert/PeakListFormats.h"
#include "convert/PeakListIo.h"
#include "platform/testsupport/TestSupport.h"
#include "service/EventLog.h"

#include <QByteArray>
#include <QString>

namespace converttest {

// A private folder with the service's event log open in it.
class LoggedHome {
public:
    LoggedHome() { tavrelsvc::EventLogStream::open(home.file(tavrelsvc::kEventLogFileName)); }
    ~LoggedHome() { tavrelsvc::EventLogStream::close(); }
    QString file(const QString& name) const { return home.file(name); }
    QString put(const QString& name, const QByteArray& bytes) const {
        testsupport::writeFile(file(name), bytes);
        return file(name);
    }
    QByteArray log() const { return testsupport::readFile(home.file(tavrelsvc::kEventLogFileName)); }

    testsupport::TempHome home;
};

// Runs one streaming reader into memory.
template <typename Reader>
QByteArray convertToText(Reader&& reader) {
    tavrelsvc::PeakListWriter out;
    reader(out);
    return out.text();
}

}  // namespace converttest
