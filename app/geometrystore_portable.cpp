// The window geometry store where there is no registry: a settings file with the same names.
#include "geometrystore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include <limits>

namespace {

QSettings openStore() {
    return QSettings(QStringLiteral("Kestrelby"), QStringLiteral("Glimmerdock"));
}

} // namespace

namespace GeometryStore {

bool readValue(const std::wstring& valueName, uint32_t* value) {
    const QVariant stored = openStore().value(QString::fromStdWString(valueName));
    bool ok = false;
    const qulonglong number = stored.toULongLong(&ok);
    // Like a REG_DWORD: anything but a 32-bit unsigned number counts as missing.
    if (!stored.isValid() || !ok || number > std::numeric_limits<uint32_t>::max()) {
        trace(std::wstring(subKey) + L" : " + valueName + L" : Cannot read DWORD from settings.");
        return false;
    }
    *value = static_cast<uint32_t>(number);
    return true;
}

bool writeValue(const std::wstring& valueName, uint32_t value) {
    QSettings store = openStore();
    store.setValue(QString::fromStdWString(valueName), value);
    store.sync();
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
