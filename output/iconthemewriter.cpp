#include "iconthemewriter.h"

#include "output/pendingpng.h"
#include "output/pngwriter.h"

#include <QDir>
#include <QFileInfo>

namespace IconThemeWriter {

QList<int> sizes() {
    return {16, 24, 32, 48, 64, 128, 256, 512};
}

QString fileName(const QString& folder, const QString& name, int size) {
    return QDir::toNativeSeparators(
        QDir(folder).filePath(QStringLiteral("hicolor/%1x%1/apps/%2.png").arg(size).arg(name)));
}

OutputFailures write(const QString& folder, const QString& name, const QImage& rendering) {
    OutputFailures failures;
    QList<PendingPng> images;
    for (int size : sizes()) {
        const QString file = fileName(folder, name, size);
        if (!QDir().mkpath(QFileInfo(file).path())) {
            failures.append({QFileInfo(file).path(), QStringLiteral("cannot create the folder")});
            continue;
        }
        images.append(
            {file, rendering.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)});
    }
    return failures + writePngImages(images);
}

} // namespace IconThemeWriter
