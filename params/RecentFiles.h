#pragma once
// The four most recent parameter files, kept in the settings section
// "Recent Files" as "RecentFile1" (newest) to "RecentFile4", and shown as
// the File menu's recent-file items.
#include <QString>
#include <QStringList>

#include <optional>

namespace tavrel {

inline const QString kRecentFilesSection = QStringLiteral("Recent Files");
inline constexpr int kRecentFileMenuItems = 5;  // mnuRecentFile(1) .. (5)

// The captions of the recent-file items: nothing while "RecentFile1" is
// absent or empty, else every value of the section in the store's order,
// at most as many as there are items.
QStringList modGlobal_LoadRecentFileList();

// Shifts RecentFile1..3 down one place and writes the path as RecentFile1.
// Answers the reason when the store refused a value.
std::optional<QString> modGlobal_PushRecentFile(const QString& path);

// True when the path is one of the first four captions, compared exactly.
bool modGlobal_IsRecentFile(const QString& path, const QStringList& captions);

// Pushes the path unless it is listed already (a listed path keeps its place).
std::optional<QString> modGlobal_AddRecentFile(const QString& path, const QStringList& captions);

}  // namespace tavrel
