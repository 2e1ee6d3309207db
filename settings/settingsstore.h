#pragma once

#include "settings/storedsettings.h"

#include <QSettings>

// The settings store opened for one group of StoredSettings' table: organisation "Kestrelby",
// application "Brasswick" for the preferences and "Glimmerdock" for the window, inside the
// group's own section. Opened for each load or save and let go at its end, so another window's
// change is read the next time.
class SettingsStore : public QSettings {
public:
    explicit SettingsStore(SettingsGroup group);
};
