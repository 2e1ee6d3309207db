#include "icowriter.h"

#include "output/filecommit.h"
#include "output/pngencoder.h"

#include "render/sharpicon.h"
#include "trace/trace.h"

#include <algorithm>
#include <stdexcept>

namespace {

const int smallEntrySizes[] = {16, 32, 48};
// The directory of an icon file states sizes up to 256; larger entries are misread by most readers
// and never picked by Windows, so they come only when the user asks for them.
constexpr int largestDefaultEntry = 256;

// Every reader takes bitmaps; PNG entries are what keeps the large ones small.
constexpr int largestBitmapEntry = 64;
constexpr int directoryBytes = 6;
constexpr int directoryEntryBytes = 16;
constexpr int bitmapHeaderBytes = 40;

// One entry as it stands in the file, with what its directory entry says about it.
struct EncodedEntry {
    QByteArray bytes;
    int bitCount = 32;
    int colourCount = 0;
};

// The format's numbers are little-endian whatever the machine.
void put16(QByteArray& bytes, quint32 value) {
    bytes.append(char(value & 0xff));
    bytes.append(char((value >> 8) & 0xff));
}

void put32(QByteArray& bytes, quint32 value) {
    put16(bytes, value & 0xffff);
    put16(bytes, value >> 16);
}

// Rows of 1-bit bitmaps and masks are padded to whole 32-bit words.
int bitRowBytes(int size) {
    return (size + 31) / 32 * 4;
}

// An icon bitmap's header counts the colour rows and the mask rows in its height.
QByteArray bitmapHeader(int size, int bitCount, int imageBytes) {
    QByteArray bytes;
    put32(bytes, bitmapHeaderBytes);
    put32(bytes, quint32(size));
    put32(bytes, quint32(2 * size));
    put16(bytes, 1); // planes
    put16(bytes, quint32(bitCount));
    put32(bytes, 0); // BI_RGB: uncompressed
    put32(bytes, quint32(imageBytes));
    // Resolution and palette counts: none given, the palette is as long as the bit count says.
    bytes.append(16, '\0');
    return bytes;
}

bool isInvisible(const QImage& pixels) {
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* row = pixels.constScanLine(y);
        for (int x = 0; x < pixels.width(); ++x) {
            if (row[4 * x + 3] != 0)
                return false;
        }
    }
    return true;
}

// A set mask bit leaves the screen as it was, so it is set wherever the entry is transparent.
QByteArray maskRows(const QImage& pixels) {
    const int size = pixels.width(), rowBytes = bitRowBytes(size);
    QByteArray mask(rowBytes * size, '\0');
    for (int y = 0; y < size; ++y) {
        const uchar* line = pixels.constScanLine(size - 1 - y);
        char* row = mask.data() + y * rowBytes;
        for (int x = 0; x < size; ++x) {
            if (line[4 * x + 3] == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
    }
    return mask;
}

// Bottom-up BGRA rows of the un-premultiplied `pixels` (RGBA8888), then the mask.
EncodedEntry bitmapEntry(const QImage& pixels) {
    const int size = pixels.width(), colourBytes = 4 * size * size;
    const QByteArray mask = maskRows(pixels);
    QByteArray bytes = bitmapHeader(size, 32, colourBytes + int(mask.size()));
    bytes.reserve(bytes.size() + colourBytes + mask.size());
    for (int y = size - 1; y >= 0; --y) {
        const uchar* line = pixels.constScanLine(y);
        for (int x = 0; x < size; ++x) {
            const uchar* pixel = line + 4 * x;
            const char bgra[] = {char(pixel[2]), char(pixel[1]), char(pixel[0]), char(pixel[3])};
            bytes.append(bgra, 4);
        }
    }
    return {bytes + mask, 32, 0};
}

// Black everywhere under a mask that hides everything: transparent for every reader, and the
// smallest entry that carries a mask at all.
EncodedEntry invisibleEntry(int size) {
    const int planeBytes = bitRowBytes(size) * size;
    QByteArray bytes = bitmapHeader(size, 1, 2 * planeBytes);
    put32(bytes, 0x000000); // the palette: black, white
    put32(bytes, 0xffffff);
    bytes.append(planeBytes, '\0');
    bytes.append(planeBytes, '\xff');
    return {bytes, 1, 2};
}

// In the smallest colour type that holds the pixels, an opaque palette included (Windows reads
// PNG entries with its PNG decoder; every reader we test reads them), at the quick effort: the
// whole file is written in under half the time ImageMagick's tool takes.
EncodedEntry pngEntry(const QImage& pixels) {
    EncodedFile encoded = encodePng(pixels, PngEffort::Quick, PngColours::OpaquePalette);
    if (!encoded.failure.isEmpty())
        throw std::runtime_error(QStringLiteral("the %1 px entry %2")
                                     .arg(pixels.width())
                                     .arg(encoded.failure)
                                     .toStdString());
    return {std::move(encoded.bytes), 32, 0};
}

EncodedEntry encodeEntry(const QImage& entry) {
    if (entry.isNull() || entry.width() != entry.height())
        throw std::invalid_argument("an icon entry must be a square image");
    const QImage pixels = entry.convertToFormat(QImage::Format_RGBA8888);
    if (isInvisible(pixels))
        return invisibleEntry(pixels.width());
    if (pixels.width() <= largestBitmapEntry)
        return bitmapEntry(pixels);
    return pngEntry(pixels);
}

QList<QImage> defaultEntries(const QImage& rendering, int canvasFactor) {
    qCDebug(lcOutput).nospace() << canvasFactor;
    return iconEntryImages(rendering, icoEntrySizes(rendering.width()), false, IconStyle(), {},
                           canvasFactor);
}

} // namespace

QList<int> icoEntrySizes(int renderingSize) {
    QList<int> sizes(std::begin(smallEntrySizes), std::end(smallEntrySizes));
    sizes.append(std::min(renderingSize, largestDefaultEntry));
    return sizes;
}

QList<QImage> iconEntryImages(const QImage& rendering, const QList<int>& sizes, bool sharp,
                              const IconStyle& style, const QList<Layer>& layers, int k) {
    QList<int> small;
    if (sharp)
        std::copy_if(sizes.begin(), sizes.end(), std::back_inserter(small),
                     [](int size) { return size <= sharpIconLargestSize; });
    // Drawn together, so each picture is shrunk once for all small entries.
    const QList<QImage> sharpIcons = renderSharpIcons(style, layers, k, small);
    QList<QImage> entries;
    // scaled() hands back the rendering itself where the size already fits.
    for (int size : sizes) {
        const qsizetype drawn = small.indexOf(size);
        entries.append(drawn >= 0 ? sharpIcons.at(drawn)
                                  : rendering.scaled(size, size, Qt::IgnoreAspectRatio,
                                                     Qt::SmoothTransformation));
    }
    return entries;
}

QByteArray encodeIcoEntries(const QList<QImage>& given) {
    if (given.isEmpty())
        throw std::invalid_argument("an icon file needs at least one entry");
    QList<QImage> entries = given;
    std::stable_sort(entries.begin(), entries.end(),
                     [](const QImage& a, const QImage& b) { return a.width() > b.width(); });
    QList<EncodedEntry> encoded;
    for (const QImage& entry : entries)
        encoded.append(encodeEntry(entry));
    QByteArray file;
    put16(file, 0); // reserved
    put16(file, 1); // an icon, not a cursor
    put16(file, quint32(entries.size()));
    quint32 offset = directoryBytes + directoryEntryBytes * quint32(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        // 0 stands for 256; larger PNG entries say their size in their own header.
        const char edge = char(entries.at(i).width() < 256 ? entries.at(i).width() : 0);
        file.append(edge).append(edge).append(char(encoded.at(i).colourCount)).append('\0');
        put16(file, 1); // planes
        put16(file, quint32(encoded.at(i).bitCount));
        put32(file, quint32(encoded.at(i).bytes.size()));
        put32(file, offset);
        offset += quint32(encoded.at(i).bytes.size());
    }
    for (const EncodedEntry& entry : encoded)
        file += entry.bytes;
    return file;
}

std::optional<OutputFailure> writeIconEntries(const QString& fileName,
                                              const QList<QImage>& entries) {
    QByteArray bytes;
    try {
        bytes = encodeIcoEntries(entries);
    } catch (const std::exception& error) {
        qCDebug(lcOutput).nospace() << "Icon file not encoded: " << error.what();
        return OutputFailure{fileName, QString::fromUtf8(error.what())};
    }
    const QString reason = commitFile(fileName, bytes);
    if (reason.isEmpty())
        return std::nullopt;
    qCDebug(lcOutput).nospace().noquote() << "Cannot overwrite: " << fileName;
    return OutputFailure{fileName, reason};
}

QByteArray encodeIco(const QImage& rendering, int canvasFactor) {
    return encodeIcoEntries(defaultEntries(rendering, canvasFactor));
}

std::optional<OutputFailure> writeIcon(const QString& fileName, const QImage& rendering,
                                       int canvasFactor) {
    return writeIconEntries(fileName, defaultEntries(rendering, canvasFactor));
}
