#include "pictureintake.h"

#include "picture/picturedecoder.h"
#include "picture/picturelimits.h"
#include "picture/vectorpicture.h"
#include "trace/trace.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace PictureIntake {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("PictureIntake", text);
}

bool withinSideLimit(QSize size) {
    return size.width() <= PictureLimits::maxSide && size.height() <= PictureLimits::maxSide;
}

QString tooLarge(QSize size) {
    return tr("too large: %1 x %2").arg(size.width()).arg(size.height());
}

void readRaster(Picture& picture) {
    PictureDecoder decoder(picture.bytes);
    const QSize declared = decoder.size();
    if (!withinSideLimit(declared)) {
        picture.refusal = tooLarge(declared);
        return;
    }
    picture.image = decoder.read();
    if (picture.image.isNull())
        picture.refusal = tr("cannot be read");
    else if (!withinSideLimit(picture.image.size()))
        picture.refusal = tooLarge(picture.image.size());
    if (!picture.refusal.isEmpty())
        picture.image = QImage();
}

// The layer's pixels are the picture drawn at its natural size, which is bounded below the limit.
void readVector(Picture& picture) {
    picture.vector = VectorPicture::read(picture.bytes, &picture.refusal);
    if (picture.vector)
        picture.image = picture.vector->image(picture.vector->naturalSize());
}

} // namespace

QString lastSuffix(const QString& completeSuffix) {
    return completeSuffix.mid(completeSuffix.lastIndexOf(QLatin1Char('.')) + 1);
}

bool isAcceptedSuffix(const QString& suffix) {
    // "tif" is the common spelling of "tiff"; "jfif" and "jpe" are JPEGs too.
    static const QStringList accepted{
        QStringLiteral("gif"),  QStringLiteral("jpg"), QStringLiteral("jpeg"),
        QStringLiteral("jfif"), QStringLiteral("jpe"), QStringLiteral("png"),
        QStringLiteral("tiff"), QStringLiteral("tif"), QStringLiteral("webp"),
        QStringLiteral("bmp"),  QStringLiteral("ico"), QStringLiteral("svg"),
        QStringLiteral("svgz")};
    return accepted.contains(suffix, Qt::CaseInsensitive);
}

bool isPictureFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return false;
    const QString suffix = lastSuffix(info.completeSuffix());
    qCDebug(lcPicture).nospace().noquote() << "ext: " << suffix;
    return isAcceptedSuffix(suffix);
}

Picture read(const QString& path) {
    Picture picture;
    if (!isAcceptedSuffix(lastSuffix(QFileInfo(path).completeSuffix()))) {
        picture.refusal = tr("unsupported type");
        return picture;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        picture.refusal = tr("cannot be read");
        return picture;
    }
    picture.bytes = file.readAll();
    if (VectorPicture::isVector(picture.bytes))
        readVector(picture);
    else
        readRaster(picture);
    return picture;
}

QString refusalMessage(const QString& fileName, const QString& refusal) {
    return tr("%1: %2").arg(fileName, refusal);
}

} // namespace PictureIntake
