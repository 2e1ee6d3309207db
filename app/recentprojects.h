#pragma once

#include <QString>
#include <QStringList>

// The projects opened or saved last, kept in the settings store for the File menu.
namespace RecentProjects {

// Most entries kept.
inline constexpr int maxCount = 8;

// The remembered projects whose files still exist, the newest first.
QStringList existing();

// Puts `path` first, dropping an earlier entry for it and entries whose files are gone.
void add(const QString& path);

} // namespace RecentProjects
