#include "clientcommon/ComponentProbes.h"

#include "common/ComponentChecks.h"
#include "clientcommon/Globals.h"
#include "common/ImportFilters.h"
#include "common/Preferences.h"
#include "common/Settings.h"
#include "common/VersionText.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

namespace tavrel {

namespace {

using platform::automation::QuellmarkAgentMgr;
using platform::automation::QuellmarkLibrary;
using platform::automation::SciexOptions4Tavrel;
using platform::automation::WiffFileInfo;

const QString kTitle = QStringLiteral("Sorvex Tavrel");
const QString& kApplication = common::SettingsApplication;

void showBox(const QString& text) { platform::MsgBox(text, platform::vbOKOnly, kTitle); }

using common::attempt;

QString storedText(const QString& name) {
    QString text;
    attempt([&] { text = common::modGlobal_GetSetting(kApplication, common::PreferencesSection, name).toString(); });
    return text;
}

void store(const QString& name, const QString& value) {
    attempt([&] { common::modGlobal_SaveSetting(kApplication, common::PreferencesSection, name, value); });
}

// The library's own options: its defaults, or what the user stored for this
// library. A new library version takes its defaults only when its options
// differ from the stored ones; values stored for the same keys stay the user's.
void takeAnalystOptions(const QString& defaultValues, const QString& defaultKeys) {
    AnalystOptionValues = defaultValues;
    AnalystOptionKeys = defaultKeys;
    const QString version = storedText(QStringLiteral("TaskOptionsAnalystVersion"));
    const QString values = storedText(common::AnalystLibraryValuesSetting);
    const QString keys = storedText(common::AnalystLibraryKeysSetting);
    if (version == SciexLibraryVersion) {
        AnalystOptionValues = values;
        AnalystOptionKeys = keys;
        return;
    }
    if (!values.isEmpty() && keys == defaultKeys) {
        AnalystOptionValues = values;
    } else {
        store(common::AnalystLibraryValuesSetting, defaultValues);
        store(common::AnalystLibraryKeysSetting, defaultKeys);
    }
    store(QStringLiteral("TaskOptionsAnalystVersion"), SciexLibraryVersion);
    if (storedText(QStringLiteral("TaskOptionsAnalystMerge")).isEmpty())
        store(QStringLiteral("TaskOptionsAnalystMerge"), QStringLiteral("0"));
}

// Whether an object of the component can be made; it is released at once.
bool canCreate(const char* progId) {
    return !attempt([&] { platform::CreateObject(QString::fromLatin1(progId)); });
}

}  // namespace

bool modGlobal_ProbeSciexLibrary() {
    AnalystInstalled = false;
    SciexLibraryOwnOptions = false;
    if (const auto failed =
            attempt([] { SciexLibraryVersion = platform::automation::create<WiffFileInfo>()->DllVersion(); })) {
        // Not installed or not registered is the ordinary case and says nothing.
        if (failed->number() != platform::errnum::CannotCreateObject)
            showBox(QStringLiteral("Problem accessing sorvex.dll: ") + failed->description());
        return false;
    }
    if (!common::isSciexVersionUsable(SciexLibraryVersion)) {
        showBox(QStringLiteral("Version of sorvex.dll for importing Sciex wiff files must be 1.6 or later. "
                               "Current version is ") +
                SciexLibraryVersion);
        return false;
    }
    if (!common::sciexHasOwnOptions(SciexLibraryVersion)) {
        AnalystInstalled = common::analystInstalled();
        return true;
    }
    QString defaultValues, defaultKeys;
    if (const auto failed = attempt([&] {
            const auto options = platform::automation::create<SciexOptions4Tavrel>();
            options->Set_Params_String_Defaults();
            defaultValues = options->Params_Values();
            defaultKeys = options->Params_Keys();
        })) {
        showBox(QStringLiteral("Problem accessing sorvex.dll: ") + failed->description());
        return false;
    }
    SciexLibraryOwnOptions = true;
    takeAnalystOptions(defaultValues, defaultKeys);
    return true;
}

bool modGlobal_ProbeDataExplorer() { return canCreate(platform::automation::DataExplorerApplication::kProgId); }

bool modGlobal_ProbeTS2Sorvex() { return canCreate(platform::automation::TS2Sorvex::kProgId); }

bool modGlobal_ProbeQuellmark() {
    std::shared_ptr<QuellmarkLibrary> library;
    if (attempt([&] { library = platform::automation::create<QuellmarkLibrary>(); })) return false;
    QuellmarkVersion.clear();
    if (attempt([&] { QuellmarkVersion = common::joinVersionNumbers(library->Version()); }) ||
        QuellmarkVersion.isEmpty())
        return false;
    library.reset();
    std::shared_ptr<QuellmarkAgentMgr> session;
    if (attempt([&] { session = platform::automation::create<QuellmarkAgentMgr>(); })) return false;
    QuellmarkSession = std::move(session);

    common::QuellmarkProgram program;
    attempt([&] { program = common::findQuellmarkProgram(); });
    if (!program.associated)
        showBox(QStringLiteral("Warning: No association found between *.rov and Sorvex Quellmark") +
                (program.path.isEmpty() ? QStringLiteral("\r\n\r\nSorvex Quellmark program not found: ") +
                                              common::quellmarkProgramHint()
                                        : QString()));
    QuellmarkFolder = common::folderOfProgram(program.path);

    QuellmarkQuantitation = common::isVersionAtLeast(QuellmarkVersion, QStringLiteral("2.3"));
    QuellmarkQuantitationNotice =
        QuellmarkQuantitation && common::isVersionAtLeast(QuellmarkVersion, QStringLiteral("2.4"));
    return true;
}

void modGlobal_ProbeImportComponents() {
    SciexLibraryPresent = modGlobal_ProbeSciexLibrary();
    DataExplorerPresent = modGlobal_ProbeDataExplorer();
    TS2SorvexPresent = modGlobal_ProbeTS2Sorvex();
    QuellmarkPresent = modGlobal_ProbeQuellmark();
}

QList<int> offeredImportFilters() {
    QList<int> offered{common::FilterNone};
    if (common::lcqProgramNamed(LcqPath)) offered.append(common::FilterLcq);
    offered.append(common::FilterMassLynx);
    if (SciexLibraryPresent) offered.append(common::FilterAnalyst);
    if (DataExplorerPresent) offered.append(common::FilterVoyager);
    if (QuellmarkPresent) offered.append(common::FilterQuellmark);
    if (TS2SorvexPresent) offered.append(common::FilterTS2Sorvex);
    return offered;
}

}  // namespace tavrel
