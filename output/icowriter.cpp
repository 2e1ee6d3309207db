#include "icowriter.h"

#include "output/filecommit.h"

#include "model/trace.h"

#include <algorithm>
#include <exception>
#include <iostream>

namespace {

const int smallEntrySizes[] = {16, 32, 48};
const int largeEntryLimits[] = {256, 512, 1024};

} // namespace

QList<int> icoEntrySizes(int renderingSize, int canvasSizeIndex) {
    QList<int> sizes(std::begin(smallEntrySizes), std::end(smallEntrySizes));
    const int largeCount = std::clamp(canvasSizeIndex, 1, int(std::size(largeEntryLimits)));
    for (int i = 0; i < largeCount; ++i)
        sizes.append(std::min(renderingSize, largeEntryLimits[i]));
    return sizes;
}

Magick::Image toMagickImage(const QImage& image) {
    // The exact un-premultiplied RGBA bytes a PNG of the image would carry, handed over without
    // encoding and decoding one; rows of 4-byte pixels have no padding.
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888);
    if (pixels.isNull())
        throw Magick::ErrorCorruptImage("an empty image cannot be an icon entry");
    Magick::Image entry;
    entry.quiet(true);
    entry.read(size_t(pixels.width()), size_t(pixels.height()), "RGBA", Magick::CharPixel,
               pixels.constBits());
    entry.depth(8);
    entry.classType(Magick::DirectClass);
    entry.alphaChannel(Magick::SetAlphaChannel);
    // Entries of 256 and more are stored as PNG inside the icon; keep them 8-bit RGBA. Deflate's
    // run-length strategy at level 1 writes them about four times faster than ImageMagick's
    // default level for files a few percent larger; the pixels are the same.
    entry.defineValue("png", "color-type", "6");
    entry.defineValue("png", "bit-depth", "8");
    entry.defineValue("png", "compression-level", "1");
    entry.defineValue("png", "compression-strategy", "3");
    return entry;
}

std::list<Magick::Image> icoImages(const QImage& rendering, int canvasSizeIndex) {
    std::list<Magick::Image> images;
    const QList<int> sizes = icoEntrySizes(rendering.width(), canvasSizeIndex);
    // scaled() hands back the rendering itself where the size already fits.
    for (int size : sizes)
        images.push_back(toMagickImage(
            rendering.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    return images;
}

QByteArray encodeIco(const QImage& rendering, int canvasSizeIndex) {
    qCDebug(lcOutput).nospace() << canvasSizeIndex;
    std::list<Magick::Image> images = icoImages(rendering, canvasSizeIndex);
    images.front().magick("ICO");
    Magick::Blob blob;
    Magick::writeImages(images.begin(), images.end(), &blob, true);
    if (blob.length() == 0)
        throw Magick::ErrorCoder("ImageMagick produced an empty icon file");
    return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
}

std::optional<OutputFailure> writeIcon(const QString& fileName, const QImage& rendering,
                                       int canvasSizeIndex) {
    QByteArray bytes;
    try {
        bytes = encodeIco(rendering, canvasSizeIndex);
    } catch (const std::exception& error) {
        std::cout << "Caught exception: " << error.what() << std::endl;
        return OutputFailure{fileName, QString::fromUtf8(error.what())};
    }
    const QString reason = commitFile(fileName, bytes);
    if (reason.isEmpty())
        return std::nullopt;
    qCDebug(lcOutput).nospace().noquote() << "Cannot overwrite: " << fileName;
    return OutputFailure{fileName, reason};
}
