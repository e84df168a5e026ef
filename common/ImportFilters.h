#pragma once
// The import filters as both programs name them: the display text stored in
// import_filter, the built-in option string a new task starts from, and the
// setting of section "Preferences" that holds the user's saved default.
#include "common/TaskVocabulary.h"

#include <QString>

#include <array>
#include <optional>

namespace common {

// Indexes of ImportFilterName and its companions, in the order shown.
enum ImportFilterIndex : int {
    FilterNone = 0,
    FilterLcq = 1,
    FilterMassLynx = 2,
    FilterAnalyst = 3,
    FilterVoyager = 4,
    FilterQuellmark = 5,
    FilterTS2Sorvex = 6,
};
inline constexpr int ImportFilterCount = 7;

namespace filtername {
inline const QString& None = NoneChosen;
inline const QString Lcq = QStringLiteral("ThermoFinnigan LCQ / DECA RAW file");
inline const QString MassLynx = QStringLiteral("Masslynx sample list");
inline const QString Analyst = QStringLiteral("AB | MDS Sciex Analyst .WIFF file");
inline const QString Voyager = QStringLiteral("Data Explorer (Voyager) MS data");
inline const QString Quellmark = QStringLiteral("Sorvex Quellmark");
inline const QString TS2Sorvex = QStringLiteral("AB 4000 Series TS2Sorvex");
}  // namespace filtername

struct ImportFilterEntry {
    QString name;
    QString builtInOptions;
    QString optionsSetting;  // empty for "--- None ---", which has no options
};

// Index 0 to 6.
const std::array<ImportFilterEntry, ImportFilterCount>& importFilterTable();

// The name of filter 0 to 6; empty outside that range.
QString importFilterName(int index);
// The index of a stored name (exact comparison), -1 for a name no filter has.
int importFilterIndex(const QString& name);
// The same as the filter a stored name names, nothing for a name no filter has.
std::optional<ImportFilterIndex> importFilterOf(const QString& name);
// The built-in option string of filter 0 to 6; empty outside that range.
QString builtInImportFilterOptions(int index);
// The setting of section "Preferences" that holds the saved default option
// string of filter 0 to 6; empty for "--- None ---" and outside that range.
QString importFilterOptionsSetting(int index);

// The settings of section "Preferences" that keep the Sciex library's own
// options (its values and their keys), written by the start-up probe and by
// the options dialog.
inline const QString AnalystLibraryValuesSetting = QStringLiteral("TaskOptionsAnalystValues");
inline const QString AnalystLibraryKeysSetting = QStringLiteral("TaskOptionsAnalystKeys");

// A saved Analyst option string with fewer fields than this belongs to an
// older layout and is not taken (the built-in string has 20).
inline constexpr int AnalystOptionsMinimumFields = 18;

// True when the extractor setting (LcqPath) names a program: the LCQ filter is
// then offered and its options can be set. Whether it exists is the task's
// check; a Linux program has no ".exe" to look for.
inline bool lcqProgramNamed(const QString& lcqPath) { return lcqPath > QStringLiteral(" "); }

}  // namespace common
