#pragma once
// What the Quellmark stand-in's objects know of each other: the streams the
// processing writes into and the collection whose data a project records.
#include "platform/AutomationComponents.h"
#include "platform/AutomationPlugins.h"
#include "tools/standins/QuellmarkFiles.h"

#include <QByteArray>

namespace standins {

// A stream of the stand-in that takes text: a file stream or a project's stream.
class StandinStreamBase : public virtual platform::automation::QuellmarkStream {
public:
    virtual void write(const QByteArray& bytes) = 0;
    // What a stream opened for reading holds; error 5 on a writing stream.
    virtual QString content() = 0;
};

// The written-to stream of a call, or error 13 for an object of another library.
StandinStreamBase& standinStream(const platform::automation::QuellmarkStreamPtr& stream);

// The data file the collection opened last ("" before that).
class StandinSourcesBase : public virtual platform::automation::QuellmarkDataSourceCollection {
public:
    virtual QString dataPath() const = 0;
};

void registerQuellmarkDataStandins(platform::AutomationRegistrar& registrar);
void registerQuellmarkProjectStandins(platform::AutomationRegistrar& registrar);

}  // namespace standins
