#include "iconthemewriter.h"

#include "output/filecommit.h"
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

namespace {

QByteArray indexTheme() {
    QStringList directories;
    for (int size : sizes())
        directories << QStringLiteral("%1x%1/apps").arg(size);
    QString text = QStringLiteral("[Icon Theme]\nName=Hicolor\nComment=Fallback icon theme\n"
                                  "Directories=%1\n")
                       .arg(directories.join(u','));
    for (int size : sizes())
        text += QStringLiteral("\n[%1x%1/apps]\nSize=%1\nContext=Applications\nType=Threshold\n")
                    .arg(size);
    return text.toUtf8();
}

// GTK's cache tool refuses a theme folder without its index. One already there belongs to the
// theme we are adding to (a system hicolor lists far more folders), so it is kept.
OutputFailures writeIndexUnlessPresent(const QString& folder) {
    const QString file = QDir(folder).filePath(QStringLiteral("hicolor/index.theme"));
    if (QFileInfo::exists(file))
        return {};
    const QString reason = commitFile(file, indexTheme());
    if (reason.isEmpty())
        return {};
    return {{QDir::toNativeSeparators(file), reason}};
}

} // namespace

OutputFailures write(const QString& folder, const QString& name, const SizedIcon& icon,
                     PngEncodings& encodings) {
    // A theme folder that cannot be made is one failure, not one for each size folder under it.
    const QString theme =
        QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("hicolor")));
    if (!QDir().mkpath(theme))
        return {{theme, QStringLiteral("cannot create the folder %1").arg(theme)}};
    OutputFailures failures;
    QList<PendingPng> images;
    for (int size : sizes()) {
        const QString file = fileName(folder, name, size);
        if (!QDir().mkpath(QFileInfo(file).path())) {
            failures.append({QFileInfo(file).path(), QStringLiteral("cannot create the folder")});
            continue;
        }
        images.append({file, icon.at(size)});
    }
    if (failures.isEmpty())
        failures = writeIndexUnlessPresent(folder);
    return failures + writePngImages(images, encodings);
}

} // namespace IconThemeWriter
