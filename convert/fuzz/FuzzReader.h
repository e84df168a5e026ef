#pragma once
// Shared set-up of the reader fuzz targets: each input becomes a file that the
// reader converts into the null device.
#include "convert/PeakListFormats.h"
#include "convert/PeakListIo.h"
#include "service/EventLog.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <unistd.h>

namespace fuzzreader {

inline QString inputPath() {
    static const QString path = QDir::tempPath() + QStringLiteral("/tavrel-fuzz-%1.in").arg(::getpid());
    return path;
}

inline tavrelsvc::PeakListJobContext job() {
    tavrelsvc::PeakListJobContext context;
    context.GetFormValue = [](const QString&, const QString&) { return QStringLiteral("812.4"); };
    return context;
}

template <typename Convert>
int run(const uint8_t* data, size_t size, Convert&& convert) {
    static const bool logOpen = tavrelsvc::EventLogStream::open(QStringLiteral("/dev/null"));
    (void)logOpen;
    QFile file(inputPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    tavrelsvc::PeakListWriter out;
    out.create(QStringLiteral("/dev/null"));
    convert(inputPath(), out);
    out.close();
    return 0;
}

}  // namespace fuzzreader
