#include "settingsstore.h"

SettingsStore::SettingsStore(SettingsGroup group)
    : QSettings(QString::fromLatin1(StoredSettings::organisation),
                StoredSettings::application(group)) {
    const QString section = StoredSettings::section(group);
    if (!section.isEmpty())
        beginGroup(section);
}
