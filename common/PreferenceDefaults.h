#pragma once
// The values of the settings section "Preferences" that the programs load at
// start-up, with the type each is converted to and the value used when it is
// absent. One table for both programs' loaders and the preferences dialog.
#include <QList>
#include <QString>
#include <QVariant>

namespace common {

inline const QString PreferencesSection = QStringLiteral("Preferences");

enum class PreferenceKind {
    Text,      // taken as text
    Long,      // 32-bit integer (settingToLong)
    Integer,   // 16-bit integer (settingToInteger)
    Password,  // stored scrambled (modGlobal_EncodePassword), read back decoded
};

struct PreferenceDefault {
    QString name;
    PreferenceKind kind;
    QVariant value;  // QString, qint32 or qint16 by kind
};

// Number of import filters, index 0 ("--- None ---") included.
inline constexpr int ImportFilterCount = 7;

// The built-in option string of import filter 0 to 6 (empty outside that range).
QString builtInImportFilterOptions(int filter);

// The default peak-list root: the program folder's "qpl" folder.
QString defaultPeakListRoot(const QString& programFolder);

// Every value of "Preferences" that has a default, in the loaders' order.
QList<PreferenceDefault> preferenceDefaults(const QString& programFolder, const QString& defaultConnectionString);

}  // namespace common
