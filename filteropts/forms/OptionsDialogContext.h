#pragma once
// What the import-filter options dialog reads and writes outside itself. The
// client fills one of these from its globals (the working and default option
// strings, the start-up probes' results, the preferences) and opens the
// dialog on it; tests fill it with their own values and seams.
#include "filteropts/OptionLayouts.h"
#include "filteropts/OptionSettings.h"
#include "platform/AutomationComponents.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>

class QTabWidget;
class QWidget;

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

// A file dialog as the dialog sets it up each time it shows one.
struct FileDialogSetup {
    QString filter;      // "Description (*.ext)|*.ext"
    QString defaultExt;  // without the dot
    QString fileName;    // initial name, may be empty
    QString initDir;     // start folder
    bool mustExist = false;
};

// The dialogs the options dialog opens, so that tests can answer them.
class OptionsDialogSeams {
public:
    virtual ~OptionsDialogSeams() = default;
    // The chosen full path; nothing when the user cancelled.
    virtual std::optional<QString> showOpen(QWidget* owner, const FileDialogSetup& setup) = 0;
    // Asks nothing about replacing a file: the caller does.
    virtual std::optional<QString> showSave(QWidget* owner, const FileDialogSetup& setup) = 0;
    // The chosen folder; empty when the user cancelled.
    virtual QString browseForFolder(QWidget* owner, const QString& title, const QString& startFolder) = 0;
    // The charge-template (".tpl") open dialog; empty when cancelled.
    virtual QString showTemplateOpenDialog(QWidget* owner) = 0;
};

// The seams of a desktop session: Qt's own file and folder dialogs.
OptionsDialogSeams& desktopOptionsDialogSeams();

struct OptionsDialogContext {
    FilterOptionStrings* options = nullptr;   // the working copy of the task being edited
    FilterOptionStrings* defaults = nullptr;  // the saved defaults
    ImportComponents components;
    QString lcqPath;          // the preference naming the extractor program
    QString programFolder;
    QString* quellmarkFolder = nullptr;  // where the processing-options dialogs start; kept for the run
    QTabWidget* tabMain = nullptr;       // the main window's tabs, locked while a dialog is open
    OptionsDialogSeams* seams = nullptr; // null: desktopOptionsDialogSeams()
    SettingWriter saveSetting = preferencesWriter();

    OptionsDialogSeams& dialogs() const { return seams ? *seams : desktopOptionsDialogSeams(); }
};

}  // namespace filteropts
