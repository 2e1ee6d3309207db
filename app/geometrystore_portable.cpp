// The window geometry store where there is no registry: a settings file with the same names.
#include "geometrystore.h"

#include "settings/settingsstore.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <limits>

namespace {

bool readFrom(const QSettings& store, const std::wstring& valueName, uint32_t* value) {
    const QVariant stored = store.value(QString::fromStdWString(valueName));
    bool ok = false;
    const qulonglong number = stored.toULongLong(&ok);
    // Like a REG_DWORD: anything but a 32-bit unsigned number counts as missing.
    if (!stored.isValid() || !ok || number > std::numeric_limits<uint32_t>::max()) {
        GeometryStore::trace(std::wstring(GeometryStore::subKey) + L" : " + valueName +
                             L" : Cannot read DWORD from settings.");
        return false;
    }
    *value = static_cast<uint32_t>(number);
    return true;
}

} // namespace

namespace GeometryStore {

bool readValue(const std::wstring& valueName, uint32_t* value) {
    return readFrom(SettingsStore(SettingsGroup::Window), valueName, value);
}

// Opening parses the whole file, and Qt keeps no parsed copy of a large one: opened once, a
// store bloated with a huge value costs one parse, not one per value.
void readValues(std::initializer_list<NamedValue> values) {
    const SettingsStore store(SettingsGroup::Window);
    for (const NamedValue& named : values)
        readFrom(store, named.name, named.value);
}

bool writeValue(const std::wstring& valueName, uint32_t value) {
    SettingsStore store(SettingsGroup::Window);
    store.setValue(QString::fromStdWString(valueName), value);
    store.sync();
    // A store that is not a settings file at all is begun afresh rather than carried along, so it
    // heals with the first window closed.
    if (store.status() == QSettings::FormatError && QFile::remove(store.fileName()))
        return writeValue(valueName, value);
    if (store.status() != QSettings::NoError)
        return false;
    trace(L"true");
    return true;
}

ScreenSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->availableGeometry().size();
    return {static_cast<uint32_t>(qMax(0, size.width())),
            static_cast<uint32_t>(qMax(0, size.height()))};
}

} // namespace GeometryStore
