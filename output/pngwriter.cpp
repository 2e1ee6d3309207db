#include "pngwriter.h"

#include "output/filecommit.h"

#include "trace/trace.h"

#include <QDir>
#include <QtConcurrent>

QThreadPool& encodingPool() {
    static QThreadPool pool;
    return pool;
}

OutputFailures writePngImages(const QList<PendingPng>& images, PngEncodings& encodings) {
    const QList<EncodedFile> encoded =
        QtConcurrent::blockingMapped(&encodingPool(), images, [&](const PendingPng& entry) {
            return encodings.encode(entry.image);
        });
    OutputFailures failures;
    for (qsizetype i = 0; i < images.size(); ++i) {
        QString reason = encoded[i].failure;
        if (reason.isEmpty())
            reason = commitFile(images[i].fileName, encoded[i].bytes);
        if (reason.isEmpty())
            continue;
        qCDebug(lcOutput).nospace().noquote() << "Cannot overwrite: " << images[i].fileName;
        failures.append({images[i].fileName, reason});
    }
    return failures;
}

QString pngFileName(const QString& folder, int size) {
    const QString name = QStringLiteral("%1x%1.png").arg(size);
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

QList<PendingPng> pendingPngs(const QString& folder, const QList<int>& sizes,
                              const SizedIcon& icon) {
    QList<PendingPng> images;
    for (int size : sizes)
        images.append({pngFileName(folder, size), icon.at(size)});
    return images;
}
