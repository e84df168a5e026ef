#pragma once
// The client's probes of the separately installed components behind four of
// the import filters, run once by start-up. A component that is not installed
// is the ordinary case: its probe answers false without a word and its filter
// is not offered. Probes never stop the start-up.
#include "platform/AutomationComponents.h"

#include <QList>
#include <QString>

#include <memory>

namespace tavrel {

// The probes' answers, kept by modGlobal_ProbeImportComponents.
inline bool SciexLibraryPresent = false;
inline bool DataExplorerPresent = false;
inline bool QuellmarkPresent = false;
inline bool TS2SorvexPresent = false;

// Left by modGlobal_ProbeSciexLibrary.
inline QString SciexLibraryVersion;          // DllVersion, e.g. "2.0b25"
inline bool SciexLibraryOwnOptions = false;  // its own options object is used
inline bool AnalystInstalled = false;        // looked at only without that object
// The options object's values and keys, in step with TaskOptionsAnalystValues
// and TaskOptionsAnalystKeys of section "Preferences".
inline QString AnalystOptionValues;
inline QString AnalystOptionKeys;

// Left by modGlobal_ProbeQuellmark.
inline QString QuellmarkVersion;  // e.g. "2.4.0.0"; empty when the library is missing
inline QString QuellmarkFolder;   // folder of the Quellmark program
// The one session of the client; the options dialog hands it to the library's objects.
inline std::shared_ptr<platform::automation::QuellmarkAgentMgr> QuellmarkSession;
inline bool QuellmarkQuantitation = false;  // library 2.3 or later

// The Sciex WIFF import library, 1.6 or later.
bool modGlobal_ProbeSciexLibrary();
bool modGlobal_ProbeDataExplorer();
bool modGlobal_ProbeTS2Sorvex();
// The Quellmark library and its session object.
bool modGlobal_ProbeQuellmark();

// Start-up: the four probes in their order, their answers kept above.
void modGlobal_ProbeImportComponents();

// The import filters a new task may choose, by index, in the order offered:
// "--- None ---" and the MassLynx list always, the LCQ filter when an
// extractor program is configured (LcqPath), the others when their component
// was found.
QList<int> offeredImportFilters();

}  // namespace tavrel
