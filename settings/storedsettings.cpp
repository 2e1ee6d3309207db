#include "storedsettings.h"

namespace StoredSettings {

QString application(SettingsGroup group) {
    return group == SettingsGroup::Window ? QStringLiteral("Glimmerdock")
                                          : QStringLiteral("Brasswick");
}

QString section(SettingsGroup group) {
    switch (group) {
    case SettingsGroup::Path:
        return QStringLiteral("Path");
    case SettingsGroup::IconSize:
        return QStringLiteral("IconSize");
    case SettingsGroup::ExportSize:
        return QStringLiteral("ExportSize");
    case SettingsGroup::Recent:
        return QStringLiteral("Recent");
    case SettingsGroup::Style:
    case SettingsGroup::Window:
        break;
    }
    return QString();
}

QString key(SettingKey name) {
    for (const StoredSetting& setting : table) {
        if (setting.name == name)
            return QString::fromLatin1(setting.key);
    }
    return QString();
}

QStringList keys(SettingsGroup group) {
    QStringList found;
    for (const StoredSetting& setting : table) {
        if (setting.group == group)
            found << QString::fromLatin1(setting.key);
    }
    return found;
}

QString dataFolder() {
    return QString::fromLatin1(organisation) + QLatin1Char('/') +
           application(SettingsGroup::Window);
}

} // namespace StoredSettings
