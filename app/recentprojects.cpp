#include "recentprojects.h"

#include "settings/settingsstore.h"

#include <QFileInfo>

namespace RecentProjects {

QStringList existing() {
    QStringList paths;
    for (const QString& path : SettingsStore(SettingsGroup::Recent)
                                   .value(StoredSettings::key(SettingKey::RecentProjects))
                                   .toStringList()) {
        if (QFileInfo(path).isFile() && !paths.contains(path) && paths.size() < maxCount)
            paths << path;
    }
    return paths;
}

void add(const QString& path) {
    QStringList paths = existing();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    SettingsStore(SettingsGroup::Recent)
        .setValue(StoredSettings::key(SettingKey::RecentProjects),
                  QStringList(paths.mid(0, maxCount)));
}

} // namespace RecentProjects
