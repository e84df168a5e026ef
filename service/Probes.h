#pragma once
// The service's probes of the separately installed components (the Sciex WIFF
// import library, the Data Explorer automation server, the Quellmark product,
// the 4000 Series export object), run once at start-up, and the values they
// leave for the import filters, the search form and the Run request's checks.
// Every probe answers true or false, writes what it found to the event log
// and never throws.
#include "common/ComponentChecks.h"
#include "platform/AutomationComponents.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tavrelsvc {

// Kept by start-up from the probes' answers.
inline bool SciexLibraryAvailable = false;
inline bool DataExplorerAvailable = false;
inline bool QuellmarkAvailable = false;
inline bool TS2SorvexAvailable = false;

// Left by modGlobal_ProbeSciexLibrary.
inline QString SciexLibraryVersion;   // DllVersion, e.g. "1.6b25"
inline bool SciexOwnOptions = false;  // the library takes its own options object
inline bool AnalystKeyFound = false;  // a registry key of Analyst 1.4, 1.3.1 Upgrade or 1.3 exists

// Left by modGlobal_ProbeQuellmark.
inline QString QuellmarkLibraryVersion;  // e.g. "2.3.0.1"; empty when none was read
// The one session of the service; the library objects a job makes take it as their Session.
inline std::shared_ptr<platform::automation::QuellmarkAgentMgr> QuellmarkSession;
inline QString QuellmarkFolder;  // folder of the Quellmark program, no trailing separator; empty: none found
inline bool QuellmarkCanQuantitate = false;
inline bool QuellmarkResultImport = false;
inline bool QuellmarkAcceptsLogin = false;
inline bool QuellmarkMultiSiteMods = false;

// Shared with the client's probes.
inline const QStringList& kAnalystKeys = common::AnalystRegistryKeys;

bool modGlobal_ProbeSciexLibrary();
bool modGlobal_ProbeDataExplorer();
bool modGlobal_ProbeQuellmark();
bool modGlobal_ProbeTS2Sorvex();

// Puts every value above back to its state at service start (empty, false, no
// session object).
void resetProbeValues();

}  // namespace tavrelsvc
