#include "pictureintake.h"

#include "picture/bmpheader.h"
#include "picture/picturedecoder.h"
#include "picture/picturehelper.h"
#include "picture/picturelimits.h"
#include "picture/pngchunks.h"
#include "picture/vectorpicture.h"
#include "trace/printablename.h"
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

bool withinLimits(QSize size, qint64 pixelsLeft) {
    return size.width() <= PictureLimits::maxSide && size.height() <= PictureLimits::maxSide &&
           qint64(size.width()) * size.height() <= pixelsLeft;
}

void refuseAsTooLarge(Picture& picture, QSize size) {
    picture.refusal = tr("too large: %1 x %2").arg(size.width()).arg(size.height());
    picture.tooLarge = true;
    picture.image = QImage();
    picture.vector.reset();
}

// Decoded by a picture helper: a decoder that fails on the bytes fails there.
void readRasterApart(Picture& picture, qint64 pixelsLeft) {
    const HelperProtocol::Answer answer = PictureHelper::decode(picture.bytes, pixelsLeft);
    picture.image = answer.image;
    picture.refusal = answer.image.isNull() ? answer.refusal : QString();
    picture.tooLarge = answer.status == HelperProtocol::Status::tooLarge;
    if (picture.image.isNull() && picture.refusal.isEmpty())
        picture.refusal = tr("cannot be read");
}

void readRaster(Picture& picture, qint64 pixelsLeft) {
    if (PictureHelper::inUse())
        return readRasterApart(picture, pixelsLeft);
    if (PngChunks::isPng(picture.bytes) && !PngChunks::fitTheFile(picture.bytes)) {
        picture.refusal = tr("cannot be read");
        return;
    }
    if (BmpHeader::endsEarly(picture.bytes)) {
        picture.refusal = tr("the file ends early");
        return;
    }
    PictureDecoder decoder(picture.bytes);
    const QSize declared = decoder.size();
    if (declared.isEmpty()) {
        picture.refusal = tr("cannot be read");
        return;
    }
    if (!withinLimits(declared, pixelsLeft))
        return refuseAsTooLarge(picture, declared);
    picture.image = decoder.read();
    if (picture.image.isNull())
        picture.refusal = tr("cannot be read");
    else if (!withinLimits(picture.image.size(), pixelsLeft))
        refuseAsTooLarge(picture, picture.image.size());
}

// The layer's pixels are the picture drawn at its natural size, which is bounded below the limit.
void readVector(Picture& picture, qint64 pixelsLeft) {
    picture.vector = VectorPicture::read(picture.bytes, &picture.refusal);
    if (!picture.vector)
        return;
    if (!withinLimits(picture.vector->naturalSize(), pixelsLeft))
        return refuseAsTooLarge(picture, picture.vector->naturalSize());
    picture.image = picture.vector->image(picture.vector->naturalSize(), &picture.refusal);
    if (picture.image.isNull())
        picture.vector.reset();
}

} // namespace

QString lastSuffix(const QString& completeSuffix) {
    return completeSuffix.mid(completeSuffix.lastIndexOf(QLatin1Char('.')) + 1);
}

QStringList acceptedSuffixes() {
    // "tif" is the common spelling of "tiff"; "jfif" and "jpe" are JPEGs too.
    return {QStringLiteral("gif"),  QStringLiteral("jpg"), QStringLiteral("jpeg"),
            QStringLiteral("jfif"), QStringLiteral("jpe"), QStringLiteral("png"),
            QStringLiteral("tiff"), QStringLiteral("tif"), QStringLiteral("webp"),
            QStringLiteral("bmp"),  QStringLiteral("ico"), QStringLiteral("svg"),
            QStringLiteral("svgz")};
}

bool isAcceptedSuffix(const QString& suffix) {
    static const QStringList accepted = acceptedSuffixes();
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
    if (QFileInfo(path).isDir()) {
        picture.refusal = tr("a folder, not a picture");
        return picture;
    }
    if (!isAcceptedSuffix(lastSuffix(QFileInfo(path).completeSuffix()))) {
        picture.refusal = tr("unsupported type");
        return picture;
    }
    const qint64 size = QFileInfo(path).size();
    if (size > PictureLimits::maxFileBytes) {
        picture.refusal = tr("larger than %1 MB").arg(PictureLimits::maxFileBytes >> 20);
        picture.tooLarge = true;
        return picture;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        picture.refusal = tr("cannot be read");
        return picture;
    }
    // At most the size checked, even if the file grows meanwhile.
    return decode(file.read(size));
}

Picture decode(const QByteArray& bytes, qint64 pixelsLeft) {
    Picture picture;
    picture.bytes = bytes;
    if (VectorPicture::isVector(bytes))
        readVector(picture, pixelsLeft);
    else
        readRaster(picture, pixelsLeft);
    return picture;
}

QSize declaredSize(const QByteArray& bytes) {
    if (VectorPicture::isVector(bytes))
        return VectorPicture::declaredSize(bytes);
    return PictureHelper::inUse() ? PictureHelper::declaredSize(bytes).size
                                  : PictureDecoder(bytes).size();
}

QString refusalMessage(const QString& fileName, const QString& refusal) {
    return tr("%1: %2").arg(printableName(fileName), refusal);
}

} // namespace PictureIntake
