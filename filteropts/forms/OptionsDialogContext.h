#pragma once
// What the import-filter options dialog reads and writes outside itself. The
// client fills one of these from its globals (the working and default option
// strings, the start-up probes' results, the preferences) and opens the
// dialog on it; tests fill it with their own values. Its file and folder
// dialogs go through the client's dialog seam (clientcommon/FileDialogs.h).
#include "filteropts/OptionLayouts.h"
#include "filteropts/OptionSettings.h"
#include "platform/AutomationComponents.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>

class QTabWidget;

namespace filteropts {

// One option string per filter, indexed as the filter list (0 to 6).
using FilterOptionStrings = std::array<QString, kFilterCount>;

// What the start-up probes found of the vendor components.
struct ImportComponents {
    bool sciexLibraryPresent = false;
    bool sciexLibraryOwnOptions = false;  // the newer library with its own options window
    bool analystInstalled = false;        // the Analyst program itself is on this computer
    bool dataExplorerPresent = false;
    bool ts2SorvexPresent = false;
    bool quellmarkPresent = false;
    QString quellmarkVersion;             // e.g. "2.3.0.1"
    bool quellmarkQuantitation = false;
    std::shared_ptr<platform::automation::QuellmarkAgentMgr> quellmarkSession;
};

struct OptionsDialogContext {
    FilterOptionStrings* options = nullptr;   // the working copy of the task being edited
    FilterOptionStrings* defaults = nullptr;  // the saved defaults
    ImportComponents components;
    QString lcqPath;          // the preference naming the extractor program
    QString programFolder;
    QString* quellmarkFolder = nullptr;  // where the processing-options dialogs start; kept for the run
    QTabWidget* tabMain = nullptr;       // the main window's tabs, locked while a dialog is open
    // The charge-template (".tpl") open dialog: the chosen path, "" when
    // cancelled. The client passes the parameter editor's, which remembers
    // its folder; unset, the template button chooses nothing.
    std::function<QString()> showTemplateOpenDialog;
    SettingWriter saveSetting = preferencesWriter();
};

}  // namespace filteropts
