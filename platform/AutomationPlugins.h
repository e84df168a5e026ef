#pragma once
// Vendor components in shared libraries of their own. A plug-in exports
//   extern "C" void tavrelRegisterAutomation(platform::AutomationRegistrar&)
// and adds the creators of its ProgIDs there; the program registers them with
// its automation factory. A site drops in the library of its real component
// without a rebuild; the stand-ins of the tests and the demo are such plug-ins.
//
// Only the libraries a program is told of are loaded: those in the folder
// "automation" beside the executable, and the files or folders that the
// environment variable TAVREL_AUTOMATION_PLUGINS lists (separated by ":").
// Without either, nothing is loaded and every component stays missing.
#include "platform/Automation.h"

#include <QString>
#include <QStringList>

namespace platform {

class AutomationRegistrar {
public:
    virtual ~AutomationRegistrar() = default;
    virtual void add(const QString& progId, AutomationCreator creator) = 0;
};

inline constexpr const char* kAutomationPluginsVariable = "TAVREL_AUTOMATION_PLUGINS";
inline constexpr const char* kAutomationPluginEntry = "tavrelRegisterAutomation";

struct AutomationPluginReport {
    QStringList loaded;    // library files whose components were registered
    QStringList problems;  // one line per library that could not be used
};

// Loads the libraries named above, once each per process; a library already
// loaded is not loaded again. Never throws.
AutomationPluginReport loadAutomationPlugins();

// The same for one library file or folder of libraries.
AutomationPluginReport loadAutomationPluginsFrom(const QString& fileOrFolder);

}  // namespace platform
