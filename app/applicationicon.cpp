#include "applicationicon.h"

#include <QDir>

QIcon applicationIcon() {
    // Every size compiled in, so the list of sizes lives only where the pictures are named.
    const QDir icons(QStringLiteral(":/resources/icons"));
    QIcon icon;
    for (const QString& name : icons.entryList({QStringLiteral("glimmerdock-*.png")}))
        icon.addFile(icons.filePath(name));
    return icon;
}
