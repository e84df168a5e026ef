#include "common/EventSink.h"

#include <cstdio>

namespace common {

namespace {
EventSink currentSink = nullptr;
}

EventSink setEventSink(EventSink sink) {
    EventSink previous = currentSink;
    currentSink = sink;
    return previous;
}

void reportEvent(short eventType, long taskNumber, const QString& taskLabel, const QString& dataFile,
                 const QString& message) {
    if (currentSink) {
        currentSink(eventType, taskNumber, taskLabel, dataFile, message);
        return;
    }
    std::fprintf(stderr, "[%d] %ld %s %s: %s\n", eventType, taskNumber, qPrintable(taskLabel),
                 qPrintable(dataFile), qPrintable(message));
}

}  // namespace common
