#include "filesettarget.h"

#include "output/filecommit.h"
#include "output/pngencoder.h"
#include "output/pngwriter.h"
#include "render/platformart.h"

#include <QtConcurrent>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString pathIn(const QString& folder, const QString& path) {
    return QDir::toNativeSeparators(QDir(folder).filePath(path));
}

// Pictures above this many pixels are encoded at the balanced effort: the sets hold many, and all
// targets together are written in at most twice the time of the .ico and the .icns alone.
constexpr qsizetype largestSmallest = 512 * 512;

// A picture made without an alpha channel is for a store that refuses one (App Store, Play
// Store): RGB, the kind their rules name, rather than a palette. Up to 512 x 512 pixels, the
// effort of the PNG sets and icon themes, so that the pictures a set shares with them (the 16 to
// 512 px icon) are encoded once when all are written together.
EncodedFile encodeSetPicture(const QImage& picture, PngEncodings& encodings) {
    const qsizetype pixels = qsizetype(picture.width()) * picture.height();
    return encodings.encode(picture,
                            pixels <= largestSmallest ? PngEffort::Smallest : PngEffort::Balanced,
                            picture.hasAlphaChannel() ? PngColours::Any : PngColours::Truecolour);
}

struct Translation {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)
};

} // namespace

ExportTarget::Destination FileSetTarget::batchDestination(const QString& folder,
                                                          const QString& name) const {
    // Under the target's key, so sets of different platforms never mix their files.
    return {QDir(folder).filePath(key() + QLatin1Char('/') + name), name};
}

QImage FileSetTarget::foregroundFor(const Document& document, const QImage& rendering) {
    return rendering.isNull() ? QImage() : PlatformArt::foreground(document);
}

ExportTarget::PreviewPicture FileSetTarget::previewOf(const QList<File>& set, const QString& path,
                                                      const QString& caption) {
    const auto file = std::find_if(set.begin(), set.end(), [&](const File& candidate) {
        return candidate.path == path && candidate.image;
    });
    return {file == set.end() ? QImage() : file->image(), caption, path};
}

QStringList FileSetTarget::fileNames(const Document& document, const QString& name) const {
    QStringList names;
    for (const File& file : files(document, QImage(), name))
        names << file.path;
    return names;
}

QStringList FileSetTarget::filesBeyondTheChosen(const Document& document,
                                                const Destination& destination) const {
    QStringList paths;
    for (const QString& path : fileNames(document, destination.name))
        paths << pathIn(destination.path, path);
    return paths;
}

OutputFailures FileSetTarget::write(const Document& document, const QImage& rendering,
                                    const Destination& destination, PngEncodings& encodings) const {
    if (const auto failure = makeFolder(destination.path, destination.path))
        return {*failure};
    const QList<File> set = files(document, rendering, destination.name);
    const QList<EncodedFile> encoded =
        QtConcurrent::blockingMapped(&encodingPool(), set, [&](const File& file) {
            return file.image ? encodeSetPicture(file.image(), encodings)
                              : EncodedFile{file.bytes(), QString()};
        });
    OutputFailures failures;
    for (qsizetype i = 0; i < set.size(); ++i) {
        const QString path = pathIn(destination.path, set[i].path);
        QString reason = encoded[i].failure;
        if (const auto failure = makeFolder(QFileInfo(path).path(), path))
            reason = failure->reason;
        if (reason.isEmpty())
            reason = commitFile(path, encoded[i].bytes);
        if (!reason.isEmpty())
            failures.append({path, reason});
    }
    return failures;
}

QString FileSetTarget::writtenMessage(const Document& document, const Destination& destination,
                                      const OutputFailures& failures) const {
    const int written = int(fileNames(document, destination.name).size() - failures.size());
    if (written <= 0)
        return QString();
    const QString message = Translation::tr("Wrote %n file(s) to %1", nullptr, written)
                                .arg(QDir::toNativeSeparators(destination.path));
    const QString more = remark(document);
    return more.isEmpty() ? message : message + QStringLiteral(" (") + more + QLatin1Char(')');
}
