#pragma once
// The client's start-up (the main window's load): single instance aside, it
// finds its folders, makes sure the service is installed, loads the
// preferences until they work, checks (and if need be upgrades) the task
// database, checks the server and its version or continues off-line, probes
// the import components, makes sure the service runs, loads the default
// parameter set, prepares the pages, starts the timers and shows the window
// where it was. Every failure ends the client or shows the preferences
// dialog and tries again. The status monitor's and the task editor's steps
// are called through the main window's forwarding members, in this order.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tavrel {

class frmMain;
class frmSplash;
class ServerGiveUp;

class StartupSequence {
public:
    explicit StartupSequence(frmMain& window);
    ~StartupSequence();

    // Shows the preferences dialog on a page, modally; the outcome is left in
    // PreferencesCancelled and ExitRequested. Tests answer it themselves.
    using PreferencesDialog = std::function<void(int page)>;
    void setPreferencesDialog(PreferencesDialog dialog) { preferences_ = std::move(dialog); }

    // The program that installs and runs the service (default: TavrelService
    // beside this program).
    void setServiceProgram(const QString& path) { serviceProgram_ = path; }

    // Whether the desktop has a system tray for the service program that
    // Ignore starts (default: asks the desktop).
    void setSystemTray(std::function<bool()> available) { systemTrayAvailable_ = std::move(available); }

    // The client's arguments (default: its command line), as
    // modGlobal_SplitCommandLine gives them.
    void setArguments(const QStringList& arguments) { arguments_ = arguments; }

    // The whole start-up. True: the main window is shown; false: the client
    // has ended (the window is unloaded, its shut-down has run).
    bool frmMain_Form_Load();

private:
    enum class Outcome { Go, Again, End };

    void setFolders();
    void installService();
    bool loadPreferences();    // step 12, with the schema check's retries
    Outcome checkSchema();     // steps 13 to 16
    bool checkServer();        // step 18
    bool startService();       // step 20
    QString trayRefusal() const;  // why Ignore may not run the tray program; empty when it may
    bool loadParameterEditor();
    bool makePeakListRoot();
    void startTimers();
    void say(const QString& text);
    bool showPreferences(int page);  // false: cancelled or exit asked
    bool end();

    frmMain& window_;
    std::unique_ptr<frmSplash> splash_;
    PreferencesDialog preferences_;
    QString serviceProgram_;
    std::optional<QStringList> arguments_;
    ServerGiveUp* serverGiveUp_ = nullptr;  // while the server steps run
    std::function<bool()> systemTrayAvailable_;
};

}  // namespace tavrel
