#include "recentprojects.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString key = QStringLiteral("Recent/projects");

QSettings store() {
    return QSettings(QStringLiteral("Kestrelby"), QStringLiteral("Brasswick"));
}

} // namespace

namespace RecentProjects {

QStringList existing() {
    QStringList paths;
    for (const QString& path : store().value(key).toStringList()) {
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
    store().setValue(key, QStringList(paths.mid(0, maxCount)));
}

} // namespace RecentProjects
