#include "picturedecoder.h"

#include "picture/jpegdecoder.h"
#include "picture/srgbconversion.h"
#include "picture/uprightpicture.h"
#include "trace/trace.h"

#include <Magick++.h>
#include <QColorSpace>
#include <QPainter>
#include <QRegion>
#include <lcms2.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Profile = std::unique_ptr<void, decltype(&cmsCloseProfile)>;
using Transform = std::unique_ptr<void, decltype(&cmsDeleteTransform)>;

// Pixels of a profile's colour space as ImageMagick hands them out and LittleCMS takes them.
struct Layout {
    // One letter a channel, as ImageMagick names them.
    const char* map;
    cmsUInt32Number type;
};

std::optional<Layout> layoutOf(cmsColorSpaceSignature space) {
    switch (space) {
    case cmsSigCmykData:
        return Layout{"CMYKA", TYPE_CMYKA_8};
    case cmsSigRgbData:
        return Layout{"RGBA", TYPE_RGBA_8};
    case cmsSigGrayData:
        return Layout{"IA", TYPE_GRAYA_8};
    default:
        return std::nullopt;
    }
}

// The picture converted to sRGB by LittleCMS from the profile it carries, for the profiles Qt
// cannot apply (CMYK above all, whose inks Qt's own decoding loses); null when it carries none.
QImage convertedByLittleCms(const QByteArray& bytes, const QByteArray& format) {
    try {
        const Magick::Blob blob(bytes.constData(), size_t(bytes.size()));
        Magick::Image picture;
        picture.quiet(true);
        // The coder Qt recognised, so ImageMagick never picks one of its own from the bytes.
        picture.magick(format.toUpper().toStdString());
        picture.ping(blob);
        const Magick::Blob icc = picture.iccColorProfile();
        if (icc.length() == 0)
            return {};
        Profile source(cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.length())),
                       cmsCloseProfile);
        const auto layout = source ? layoutOf(cmsGetColorSpace(source.get())) : std::nullopt;
        if (!layout)
            return {};
        Profile sRgb(cmsCreate_sRGBProfile(), cmsCloseProfile);
        // Colorimetric, as Qt converts RGB profiles, so every profile is applied alike.
        Transform transform(cmsCreateTransform(source.get(), layout->type, sRgb.get(), TYPE_RGBA_8,
                                               INTENT_RELATIVE_COLORIMETRIC, cmsFLAGS_COPY_ALPHA),
                            cmsDeleteTransform);
        if (!transform)
            return {};
        picture.read(blob);
        picture.autoOrient();
        const int width = int(picture.columns());
        QImage image(width, int(picture.rows()), QImage::Format_RGBA8888);
        std::vector<uchar> row(size_t(width) * std::strlen(layout->map));
        for (int y = 0; y < image.height(); ++y) {
            picture.write(0, y, size_t(width), 1, layout->map, Magick::CharPixel, row.data());
            cmsDoTransform(transform.get(), row.data(), image.scanLine(y), cmsUInt32Number(width));
        }
        return image;
    } catch (const Magick::Exception& error) {
        qCDebug(lcPicture).nospace() << "Cannot convert colours: " << error.what();
        return {};
    }
}

// `image` in sRGB as premultiplied ARGB. Colours are converted before premultiplying, so dark
// translucent pixels keep their precision, and a deep picture at 16 bits, so it loses nothing
// before its colours are converted.
QImage shownForm(QImage image) {
    // Opaque 32-bit pixels already are premultiplied ones.
    if (image.format() == QImage::Format_RGB32 &&
        (!image.colorSpace().isValid() || image.colorSpace() == QColorSpace::SRgb)) {
        image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        return image;
    }
    if (image.colorSpace().isValid() && image.colorSpace() != QColorSpace::SRgb) {
        image.convertTo(image.depth() > 32 ? QImage::Format_RGBA64 : QImage::Format_ARGB32);
        image.convertToColorSpace(QColorSpace::SRgb);
    }
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

// Taken as a number: Qt's JPEG reader answers a format it never set for a frame header it cannot
// read, and such a value is no format at all, so not a direct one.
bool isDirect(int format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

// `image` turned as `transformation` says and, when its profile allows, in sRGB; a profile of
// another kind is left for Qt to apply.
QImage upright(QImage image, QImageIOHandler::Transformations transformation) {
    if (!isDirect(image.format()))
        image.convertTo(QImage::Format_ARGB32);
    const QColorSpace space = image.colorSpace();
    const std::optional<SrgbConversion> conversion =
        space.isValid() && space != QColorSpace::SRgb ? SrgbConversion::fromIcc(space.iccProfile())
                                                      : std::nullopt;
    if (transformation == QImageIOHandler::TransformationNone && !conversion)
        return image;
    return uprightPixels(image, transformation, conversion ? &*conversion : nullptr);
}

// A colour JPEG decoded, turned and converted at once: each band of rows is put upright and in
// sRGB while libjpeg decodes the next, so the second core takes the page faults of the picture's
// memory too. Null when the JPEG is of another kind (grey, CMYK, a profile other than an RGB
// matrix-shaper one) or cannot be decoded: the general way then decodes it.
QImage uprightJpeg(const QByteArray& bytes, QImageIOHandler::Transformations transformation) {
    JpegDecoder jpeg(bytes);
    if (!jpeg.isColour())
        return {};
    const QByteArray icc = jpeg.iccProfile();
    std::optional<SrgbConversion> conversion;
    if (!icc.isEmpty() && QColorSpace::fromIccProfile(icc) != QColorSpace::SRgb) {
        conversion = SrgbConversion::fromIcc(icc);
        if (!conversion)
            return {};
    }
    return UprightPicture::fromRows(jpeg.size(), QImage::Format_RGB32, transformation,
                                    conversion ? &*conversion : nullptr,
                                    [&jpeg](int, int count, QRgb* rows, qsizetype stride) {
                                        return jpeg.readRows(rows, count, stride);
                                    });
}

// Clears what the first frame of a GIF leaves uncovered of its screen.
void clearOutside(QImage& image, const QRect& frame) {
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setClipRegion(QRegion(image.rect()).subtracted(frame));
    painter.fillRect(image.rect(), Qt::transparent);
}

} // namespace

PictureDecoder::PictureDecoder(const QByteArray& data)
    : bytes(data), gifFrame(GifScreen::firstFrame(data)), buffer(&bytes) {
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    // Qt's SVG plugin would draw SVG here past VectorPicture's checks, reading files it names.
    if (format.startsWith("svg"))
        return;
    reader.setDevice(&buffer);
    reader.setAutoTransform(true);
    // An icon file holds one picture in several sizes; the largest shows it best.
    if (format != "ico")
        return;
    int largest = 0;
    qint64 largestArea = -1;
    for (int entry = 0; entry < reader.imageCount() && reader.jumpToImage(entry); ++entry) {
        const QSize size = reader.size();
        if (qint64(size.width()) * size.height() > largestArea) {
            largest = entry;
            largestArea = qint64(size.width()) * size.height();
        }
    }
    reader.jumpToImage(largest);
}

void PictureDecoder::loadColourConversion(const QByteArray& bytes, const QByteArray& format) {
    convertedByLittleCms(bytes, format);
}

// Qt's BMP reader states a top-down picture's height as stored: negative.
QSize PictureDecoder::size() const {
    const QSize size = reader.size();
    return QSize(size.width(), std::abs(size.height()));
}

QImage PictureDecoder::read() {
    QImage image = decoded();
    if (gifFrame && !image.isNull())
        clearOutside(image, *gifFrame);
    return image;
}

// Read into a picture cleared first: a reader that stops short of the file's end leaves the rest
// transparent (or black), never what the memory held before, another picture's pixels perhaps.
// Qt's own readers fill a picture given of their size and format (the plugins' libraries decode
// whole or fail, and might allocate a second picture).
QImage PictureDecoder::readZeroed() {
    static const QByteArrayList filling{"bmp", "png", "jpeg", "ico"};
    QImage image;
    if (filling.contains(reader.format()))
        image = QImage(size(), reader.imageFormat());
    if (!image.isNull())
        image.fill(0);
    if (!reader.read(&image))
        return QImage();
    return image;
}

QImage PictureDecoder::decoded() {
    const QByteArray format = reader.format();
    // 32-bit pictures, photographs above all, are turned upright and converted to sRGB in one
    // pass of ours; Qt turns the others as it reads them.
    const bool ours = isDirect(int(reader.imageFormat()));
    reader.setAutoTransform(!ours);
    const QImageIOHandler::Transformations transformation =
        ours ? reader.transformation() : QImageIOHandler::TransformationNone;
    if (ours && format == "jpeg") {
        if (QImage image = uprightJpeg(bytes, transformation); !image.isNull())
            return shownForm(std::move(image));
    }
    QImage image = readZeroed();
    if (image.isNull())
        return image;
    // Qt applies RGB profiles only; a JPEG or TIFF may carry any other.
    if (!image.colorSpace().isValid() && (format == "jpeg" || format == "tiff")) {
        if (QImage managed = convertedByLittleCms(bytes, format); !managed.isNull())
            return shownForm(std::move(managed));
    }
    if (ours)
        image = upright(std::move(image), transformation);
    return shownForm(std::move(image));
}
