// The probe of the Quellmark product: its automation library, its session
// object, the folder of its program and, for 2.3 and later, the program's own
// version answer.
#include "service/Probes.h"

#include "common/ComponentChecks.h"
#include "common/ProcessHelpers.h"
#include "common/VersionText.h"
#include "service/EventLog.h"
#include "service/Globals.h"

namespace tavrelsvc {

namespace {

using platform::automation::QuellmarkAgentMgr;
using platform::automation::QuellmarkLibrary;

const QString kFirstVersionWithVersionSwitch = QStringLiteral("2.3");

void logLine(short type, const QString& message) {
    modGlobal_WriteEventLog(type, 0, QStringLiteral(" "), QStringLiteral(" "), message);
}

using common::attempt;

QString numberAndText(const platform::Error& e) {
    return QString::number(e.number()) + QLatin1Char(' ') + e.description();
}

// The library's version numbers joined with "."; empty when they cannot be read.
QString readLibraryVersion(QuellmarkLibrary& library) {
    QString joined;
    const auto failed = attempt([&] { joined = common::joinVersionNumbers(library.Version()); });
    return failed ? QString() : joined;
}

// A version query that hangs must not stop the service's start-up.
constexpr int kVersionQueryTimeoutMs = 30000;

// Asks the program in QuellmarkFolder for its version and logs the answer.
void logWorkstationVersion() {
    const QString program = common::quellmarkProgramPath(QuellmarkFolder);
    QString answer;
    if (const auto failed = attempt([&] {
            answer = common::modGlobal_RunAndCaptureOutput(program, {QStringLiteral("/version")}, true, false, true,
                                                           kVersionQueryTimeoutMs);
        })) {
        answer.clear();
    }
    answer = answer.trimmed();  // the program ends its answer with a line break
    // A program that cannot be started answers nothing; that is not a version found.
    if (answer.isEmpty())
        logLine(EventWarning,
                QStringLiteral("Cannot read the version of Sorvex Quellmark Workstation from ") + program);
    else
        logLine(EventInfo, QStringLiteral("Found Sorvex Quellmark Workstation version ") + answer);
}

}  // namespace

bool modGlobal_ProbeQuellmark() {
    std::shared_ptr<QuellmarkLibrary> library;
    if (const auto failed = attempt([&] { library = platform::automation::create<QuellmarkLibrary>(); })) {
        if (failed->number() != platform::errnum::CannotCreateObject)
            logLine(EventError, QStringLiteral("Cannot initialise Sorvex Quellmark: ") + numberAndText(*failed));
        return false;
    }

    QuellmarkLibraryVersion = readLibraryVersion(*library);
    library.reset();
    if (QuellmarkLibraryVersion.isEmpty()) {
        logLine(EventWarning, QStringLiteral("Found unsupported version of Sorvex Quellmark"));
        return false;
    }
    logLine(EventInfo, QStringLiteral("Found Sorvex Quellmark library (QELD) version ") + QuellmarkLibraryVersion);

    std::shared_ptr<QuellmarkAgentMgr> session;
    if (const auto failed = attempt([&] { session = platform::automation::create<QuellmarkAgentMgr>(); })) {
        QuellmarkSession.reset();
        logLine(EventWarning,
                QStringLiteral("Cannot initialise Sorvex Quellmark Agent Manager: ") + numberAndText(*failed));
        return false;
    }
    QuellmarkSession = std::move(session);

    QString program;
    attempt([&] { program = common::findQuellmarkProgram(platform::AssociationsFor::Service).path; });
    QuellmarkFolder = common::folderOfProgram(program);

    QuellmarkCanQuantitate = QuellmarkResultImport = QuellmarkAcceptsLogin = QuellmarkMultiSiteMods = false;
    if (program.isEmpty())
        logLine(EventWarning, QStringLiteral("Sorvex Quellmark program not found: ") + common::quellmarkProgramHint(platform::AssociationsFor::Service));
    else if (common::isVersionAtLeast(QuellmarkLibraryVersion, kFirstVersionWithVersionSwitch))
        logWorkstationVersion();

    // The library and its session work: the product is present.
    QuellmarkCanQuantitate = QuellmarkResultImport = QuellmarkAcceptsLogin = QuellmarkMultiSiteMods = true;
    return true;
}

}  // namespace tavrelsvc
