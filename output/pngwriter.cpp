#include "pngwriter.h"

#include "output/filecommit.h"

#include "trace/trace.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>

namespace {

// Encoded in memory first: a disk that fails in the middle of libpng's work would leave the
// encoder's row buffers behind, and the file is committed whole anyway.
QString encodePng(QImageWriter& writer, const QImage& image, QByteArray& bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writer.setDevice(&buffer);
    const QString error = writer.write(image) ? QString() : writer.errorString();
    writer.setDevice(nullptr);
    return error;
}

} // namespace

OutputFailures writePngImages(const QList<PendingPng>& images) {
    OutputFailures failures;
    QImageWriter writer;
    writer.setFormat("PNG");
    for (const PendingPng& entry : images) {
        QByteArray bytes;
        QString reason = encodePng(writer, entry.image, bytes);
        if (reason.isEmpty())
            reason = commitFile(entry.fileName, bytes);
        if (reason.isEmpty())
            continue;
        qCDebug(lcOutput).nospace().noquote() << "Cannot overwrite: " << entry.fileName;
        failures.append({entry.fileName, reason});
    }
    return failures;
}

QString pngFileName(const QString& folder, int size) {
    const QString name = QStringLiteral("%1x%1.png").arg(size);
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

QList<PendingPng> pendingPngs(const QString& folder, const QList<int>& sizes,
                              const QImage& rendering) {
    QList<PendingPng> images;
    for (int size : sizes) {
        images.append(
            {pngFileName(folder, size),
             rendering.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)});
    }
    return images;
}
