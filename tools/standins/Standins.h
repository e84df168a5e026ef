#pragma once
// The stand-ins of the vendor components, over small text fixtures. They are
// registered only where a test or the demo asks for them: in-process through
// ScopedStandins, in the programs through the plug-in libtavrel-standins.so,
// which a program loads only when TAVREL_AUTOMATION_PLUGINS names it.
//
// Fixtures (the first line is the header of StandinLog.h):
// - WIFF file: "sample <name>" starts a sample; under it "msms 0|1",
//   "result <line>" (the export's text, one line each), "delay <ms>" (the
//   export takes that long), "fail <number> <text>" (the export raises it);
//   before the first sample "open-fail <number> <text>" fails the opening.
//   The library's version is TAVREL_STANDIN_WIFF_VERSION, else "1.6b20".
// - Voyager file: "spectrum-type <n>", "precursor <mass>" (what the PSD
//   setting holds), "name <text>", "comments <text>", "peak <mass> <intensity>",
//   "documents 0" (opens to an empty collection); any other line is left alone.
// - 4000 Series dataset: "<store>/<descriptor>.txt" in the folder that
//   TAVREL_STANDIN_TS2SORVEX_STORE names; "connect-error <number> <text>",
//   "export false", "export-error <number> <text>"; every other line is the
//   exported peak list. The data browser's choice is "<store>/data-browser.txt",
//   one descriptor per line (no file: the browser is cancelled).
// - Quellmark data and project files: QuellmarkFiles.h. The Quellmark program
//   is the stand-in program "SorvexQuellmark.exe" (quellmark/main.cpp).
#include "platform/AutomationPlugins.h"

#include <memory>
#include <vector>

namespace standins {

inline constexpr const char* kWiffVersionVariable = "TAVREL_STANDIN_WIFF_VERSION";
inline constexpr const char* kDatasetStoreVariable = "TAVREL_STANDIN_TS2SORVEX_STORE";

void registerWiffStandins(platform::AutomationRegistrar& registrar);
void registerDataExplorerStandin(platform::AutomationRegistrar& registrar);
void registerTS2SorvexStandin(platform::AutomationRegistrar& registrar);
void registerQuellmarkStandins(platform::AutomationRegistrar& registrar);
void registerStandins(platform::AutomationRegistrar& registrar);

// Every stand-in registered with this process's factory for the scope.
class ScopedStandins {
public:
    ScopedStandins();
    ~ScopedStandins();
    ScopedStandins(const ScopedStandins&) = delete;
    ScopedStandins& operator=(const ScopedStandins&) = delete;

private:
    std::vector<std::unique_ptr<platform::ScopedAutomationComponent>> scopes_;
};

}  // namespace standins
