// The probes of the Sciex WIFF import library, the Data Explorer automation
// server and the 4000 Series export object; the reset of every probe value.
#include "service/Probes.h"

#include "common/ComponentChecks.h"
#include "service/EventLog.h"

#include <exception>

namespace tavrelsvc {

namespace {

constexpr long kAutomationError = 440;

void logLine(short type, const QString& message) {
    modGlobal_WriteEventLog(type, 0, QStringLiteral(" "), QStringLiteral(" "), message);
}

platform::Error asError(const std::exception& e) {
    return platform::Error(kAutomationError, QString::fromLocal8Bit(e.what()));
}

// Reads the library's version; false when it is not there or cannot be asked.
bool readSciexVersion() {
    try {
        try {
            const auto info = platform::automation::create<platform::automation::WiffFileInfo>();
            SciexLibraryVersion = info->DllVersion();
            return true;
        } catch (const platform::Error&) {
            throw;
        } catch (const std::exception& e) {
            throw asError(e);
        }
    } catch (const platform::Error& e) {
        // Not installed or not registered is the ordinary case and leaves no line.
        if (e.number() != platform::errnum::CannotCreateObject)
            logLine(EventError, QStringLiteral("Problem accessing sorvex.dll: ") + e.description());
        return false;
    }
}

}  // namespace

bool modGlobal_ProbeSciexLibrary() {
    AnalystKeyFound = false;
    SciexOwnOptions = false;
    if (!readSciexVersion()) return false;
    try {
        logLine(EventInfo, QStringLiteral("Found sorvex.dll version ") + SciexLibraryVersion);
        if (!common::isSciexVersionUsable(SciexLibraryVersion)) {
            logLine(EventInfo,
                    QStringLiteral("Version of sorvex.dll for importing Sciex wiff files must be 1.6 or later. "
                                   "Current version is ") +
                        SciexLibraryVersion);
            return false;
        }
        if (common::sciexHasOwnOptions(SciexLibraryVersion)) {
            SciexOwnOptions = true;
            return true;
        }
        AnalystKeyFound = common::analystInstalled();
        return true;
    } catch (const platform::Error& e) {
        logLine(EventError, e.report(QStringLiteral("(TVS1050) ")));
    } catch (const std::exception& e) {
        logLine(EventError, asError(e).report(QStringLiteral("(TVS1050) ")));
    }
    return false;
}

bool modGlobal_ProbeDataExplorer() {
    try {
        // Made only to see that it can be; released at once.
        platform::CreateObject(QString::fromLatin1(platform::automation::DataExplorerApplication::kProgId));
    } catch (...) {
        return false;
    }
    logLine(EventInfo, QStringLiteral("Found DataExplorer"));
    return true;
}

bool modGlobal_ProbeTS2Sorvex() {
    platform::AutomationObjectPtr object;
    try {
        object = platform::CreateObject(QString::fromLatin1(platform::automation::TS2Sorvex::kProgId));
    } catch (...) {
        return false;
    }
    // The version is only for the log line; an object that cannot tell it is
    // still usable and leaves no line.
    try {
        if (const auto typed = std::dynamic_pointer_cast<platform::automation::TS2Sorvex>(object))
            logLine(EventInfo, QStringLiteral("Found TS2Sorvex version ") + typed->DllVersion());
    } catch (...) {
    }
    return true;
}

void resetProbeValues() {
    SciexLibraryAvailable = DataExplorerAvailable = QuellmarkAvailable = TS2SorvexAvailable = false;
    SciexLibraryVersion.clear();
    SciexOwnOptions = AnalystKeyFound = false;
    QuellmarkLibraryVersion.clear();
    QuellmarkSession.reset();
    QuellmarkFolder.clear();
    QuellmarkCanQuantitate = QuellmarkResultImport = QuellmarkAcceptsLogin = QuellmarkMultiSiteMods = false;
}

}  // namespace tavrelsvc
