#include "iconsizes.h"

#include "output/icowriter.h"
#include "settings/settingsstore.h"

#include <QStringList>

#include <algorithm>

namespace {

// Ascending and free of repeats, whatever order `sizes` came in.
QList<int> ascendingUnique(QList<int> sizes) {
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

} // namespace

namespace IconSizes {

QList<int> windowsSet() {
    return {16, 20, 24, 32, 40, 48, 64, 96, 256};
}

QList<int> entrySizes(const IconSizeChoice& choice, int renderingSize) {
    if (choice.sizes.isEmpty())
        return icoEntrySizes(renderingSize);
    // A size beyond the rendering becomes the rendering's own, as the default large entries do,
    // so a choice made on a larger canvas still yields its largest entry and never no entry.
    QList<int> sizes;
    for (int size : choice.sizes)
        sizes.append(std::min(size, renderingSize));
    return ascendingUnique(sizes);
}

IconSizeChoice stored() {
    SettingsStore settings(SettingsGroup::IconSize);
    IconSizeChoice choice;
    QList<int> sizes;
    // Stored as text so every settings back end keeps the numbers readable; anything that is not
    // a size the dialog could have chosen is left out.
    for (const QString& text :
         settings.value(StoredSettings::key(SettingKey::IconSizes)).toStringList()) {
        bool ok = false;
        const int size = text.toInt(&ok, 10);
        if (ok && size >= smallest && size <= largest)
            sizes.append(size);
    }
    choice.sizes = ascendingUnique(sizes);
    // Only what store() writes turns it on; QVariant would read any other text as true.
    choice.sharp = settings.value(StoredSettings::key(SettingKey::SharpSizes)).toString() ==
                   QLatin1String("true");
    return choice;
}

void store(const IconSizeChoice& choice) {
    SettingsStore settings(SettingsGroup::IconSize);
    QStringList texts;
    for (int size : choice.sizes)
        texts.append(QString::number(size));
    settings.setValue(StoredSettings::key(SettingKey::IconSizes), texts);
    settings.setValue(StoredSettings::key(SettingKey::SharpSizes), choice.sharp);
}

} // namespace IconSizes
