#include "params/RecentFiles.h"

#include "common/Settings.h"
#include "platform/Error.h"

namespace tavrel {

namespace {

const QString& kApplication = common::SettingsApplication;

QString valueName(int n) {
    return QStringLiteral("RecentFile") + QString::number(n);
}

}  // namespace

QStringList modGlobal_LoadRecentFileList() {
    QStringList captions;
    try {
        if (common::modGlobal_GetSetting(kApplication, kRecentFilesSection, valueName(1)).toString().isEmpty())
            return captions;
        for (const common::RegValueRow& row : common::modGlobal_GetAllSettings(kApplication, kRecentFilesSection)) {
            if (captions.size() == kRecentFileMenuItems) break;
            captions << row.value.toString();
        }
    } catch (const platform::Error&) {
        // An unreadable section shows no recent files; the store reports
        // its damage where it is written.
        captions.clear();
    }
    return captions;
}

std::optional<QString> modGlobal_PushRecentFile(const QString& path) {
    try {
        for (int n = 3; n >= 1; --n) {
            const QString held = common::modGlobal_GetSetting(kApplication, kRecentFilesSection, valueName(n)).toString();
            if (held.isEmpty()) continue;
            if (!common::modGlobal_SaveSetting(kApplication, kRecentFilesSection, valueName(n + 1), held))
                return QStringLiteral("Cannot store the recent-file list in the settings");
        }
        if (!common::modGlobal_SaveSetting(kApplication, kRecentFilesSection, valueName(1), path))
            return QStringLiteral("Cannot store the recent-file list in the settings");
    } catch (const platform::Error& e) {
        return QStringLiteral("Cannot store the recent-file list in the settings: ") + e.description();
    }
    return std::nullopt;
}

bool modGlobal_IsRecentFile(const QString& path, const QStringList& captions) {
    return captions.mid(0, 4).contains(path);
}

std::optional<QString> modGlobal_AddRecentFile(const QString& path, const QStringList& captions) {
    if (modGlobal_IsRecentFile(path, captions)) return std::nullopt;
    return modGlobal_PushRecentFile(path);
}

}  // namespace tavrel
