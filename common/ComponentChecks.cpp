#include "common/ComponentChecks.h"

#include "common/ServerReplies.h"
#include "common/VersionText.h"
#include "platform/RegistryApi.h"
#include "platform/ShellAssoc.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace common {

namespace {

// A build number above this after the "b" means the library carries its own options object.
constexpr double kLastBuildWithoutOwnOptions = 24;

}  // namespace

bool analystInstalled() {
    for (const QString& path : AnalystRegistryKeys) {
        platform::RegKeyHandle key;
        if (platform::RegOpenKeyEx(platform::HKEY_LOCAL_MACHINE, path, 0, platform::KEY_READ, key.out()) ==
            platform::ERROR_SUCCESS)
            return true;
    }
    return false;
}

bool isSciexVersionUsable(const QString& version) { return isVersionAtLeast(version, QStringLiteral("1.6")); }

bool sciexHasOwnOptions(const QString& version) {
    const QStringList parts = version.split(QLatin1Char('b'));
    return parts.size() == 2 && leadingNumber(parts[1].trimmed()) > kLastBuildWithoutOwnOptions;
}

QString joinVersionNumbers(const QVariantList& numbers) {
    QStringList parts;
    for (const QVariant& n : numbers) parts.append(n.toString());
    return parts.join(QLatin1Char('.'));
}

QuellmarkProgram findQuellmarkProgram(platform::AssociationsFor who) {
    QuellmarkProgram program;
    QString associated;
    const long code = platform::FindAssociatedProgram(QStringLiteral(".rov"), &associated, who);
    associated = associated.trimmed();
    program.associated = code > 32 && !associated.isEmpty();
    program.path = program.associated ? associated : QStandardPaths::findExecutable(QuellmarkProgramName);
    return program;
}

QString quellmarkProgramHint(platform::AssociationsFor who) {
    const QString settings = who == platform::AssociationsFor::Service
                                 ? QStringLiteral("settings of the program folder")
                                 : QStringLiteral("settings of a program folder that is the user's own");
    return QStringLiteral("no program opens \".rov\" files and %1 is not on the PATH: associate \".rov\" files with "
                          "the Quellmark program %1 (the desktop's association, or the value \".rov\" of %2 in the "
                          "%3), or put it on the PATH")
        .arg(QuellmarkProgramName, platform::kFileAssociationsKey, settings);
}

QString folderOfProgram(const QString& programPath) {
    const qsizetype cut =
        std::max(programPath.lastIndexOf(QLatin1Char('\\')), programPath.lastIndexOf(QLatin1Char('/')));
    return cut >= 0 ? programPath.left(cut) : programPath;
}

QString quellmarkProgramPath(const QString& folder) {
    if (folder.isEmpty()) return QuellmarkProgramName;
    const QChar separator = folder.contains(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('\\');
    return folder + separator + QuellmarkProgramName;
}

}  // namespace common
