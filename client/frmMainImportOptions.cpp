// The import-filter options dialog for the task editor's "Options ...": its
// context filled from the client's globals.
#include "client/frmMain.h"

#include "clientcommon/ComponentProbes.h"
#include "clientcommon/Globals.h"
#include "clientcommon/LoadPreferences.h"
#include "filteropts/forms/frmOptions.h"
#include "params/FileDialogs.h"

namespace tavrel {

void frmMain::frmMain_ShowImportOptions(int filter) {
    filteropts::OptionsDialogContext context;
    context.options = &ImportFilterOptions;
    context.defaults = &ImportFilterDefaultOptions;
    filteropts::ImportComponents& c = context.components;
    c.sciexLibraryPresent = SciexLibraryPresent;
    c.sciexLibraryOwnOptions = SciexLibraryOwnOptions;
    c.analystInstalled = AnalystInstalled;
    c.dataExplorerPresent = DataExplorerPresent;
    c.ts2SorvexPresent = TS2SorvexPresent;
    c.quellmarkPresent = QuellmarkPresent;
    c.quellmarkVersion = QuellmarkVersion;
    c.quellmarkQuantitation = QuellmarkQuantitation;
    c.quellmarkSession = QuellmarkSession;
    context.lcqPath = LcqPath;
    context.programFolder = ProgramFolder;
    context.quellmarkFolder = &QuellmarkFolder;
    context.tabMain = tabMain;
    // The parameter editor's template dialog, which remembers its folder for the run.
    context.showTemplateOpenDialog = [] { return tavrel::modGlobal_ShowTemplateOpenDialog(); };
    filteropts::frmOptions::showOptions(context, filter, this);
}

}  // namespace tavrel
