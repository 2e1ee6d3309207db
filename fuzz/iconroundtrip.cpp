// The .ico and .icns writers, written then read back: a small picture made of the input (its
// first two bytes give the sides, up to 64 px, the rest the ARGB pixels, repeated) gives files
// whose every entry is read, by Qt's icon reader or by walking the macOS format, as the picture
// scaled to the entry's size. The .icns file is written for every input with its slots up to
// 64 px: the classic run-length elements and masks, and PNG ones. The larger slots take the same
// path at up to a megapixel and a half, which made each input cost a second (the fuzzer keeps
// coming back to inputs that reach them); the tests write them whole.
#include "output/icnswriter.h"
#include "output/icowriter.h"

#include "fuzz/fuzzing.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cstdint>

using Fuzzing::require;

namespace {

// Small pictures: the writers treat every size alike, and each input is tried far sooner.
constexpr int largestSide = 24;
constexpr int smallSlots = 64;

QImage pictureOf(const uint8_t* data, size_t size) {
    const int width = 1 + data[0] % largestSide, height = 1 + data[1] % largestSide;
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    const size_t pixelBytes = size - 2;
    uchar* bits = picture.bits();
    for (qsizetype i = 0; pixelBytes > 0 && i < picture.sizeInBytes(); ++i)
        bits[i] = data[2 + size_t(i) % pixelBytes];
    return picture;
}

QImage scaledTo(const QImage& picture, int side) {
    return picture.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The same colours where they show: a fully transparent pixel's colour is nobody's.
bool samePixels(const QImage& read, const QImage& expected) {
    return read.size() == expected.size() &&
           read.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
               expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void checkIco(const QImage& picture) {
    QByteArray file = encodeIco(picture, 1);
    QList<int> sides = icoEntrySizes(picture.width());
    // The file holds the largest entry first.
    std::sort(sides.rbegin(), sides.rend());
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    require(reader.imageCount() == sides.size());
    for (int i = 0; i < sides.size(); ++i)
        require(reader.jumpToImage(i) && samePixels(reader.read(), scaledTo(picture, sides.at(i))));
}

quint32 bigEndian32(const QByteArray& bytes, qsizetype at) {
    quint32 value = 0;
    for (qsizetype i = at; i < at + 4; ++i)
        value = value << 8 | quint8(bytes.at(i));
    return value;
}

struct Element {
    QByteArray type;
    QByteArray data;
};

// The elements of a macOS icon file, each within the file, which is as long as it says.
QList<Element> icnsElements(const QByteArray& file) {
    constexpr qsizetype headerBytes = 8;
    require(file.size() >= headerBytes && file.startsWith("icns") &&
            bigEndian32(file, 4) == quint32(file.size()));
    QList<Element> elements;
    for (qsizetype at = headerBytes; at < file.size();) {
        require(file.size() - at >= headerBytes);
        const qsizetype length = bigEndian32(file, at + 4);
        require(length >= headerBytes && length <= file.size() - at);
        elements.append({file.mid(at, 4), file.mid(at + headerBytes, length - headerBytes)});
        at += length;
    }
    return elements;
}

// The classic run-length code, undone: a byte below 0x80 copies the next (byte + 1) bytes; a
// byte from 0x80 on repeats the next one (byte - 0x80 + 3) times.
QByteArray unpacked(const QByteArray& packed) {
    QByteArray plain;
    for (qsizetype at = 0; at < packed.size();) {
        const int code = quint8(packed.at(at));
        const bool run = code >= 0x80;
        const qsizetype count = run ? code - 0x80 + 3 : code + 1;
        require(at + 1 + (run ? 1 : count) <= packed.size());
        plain += run ? QByteArray(count, packed.at(at + 1)) : packed.mid(at + 1, count);
        at += 1 + (run ? 1 : count);
    }
    return plain;
}

// The classic colour element and its mask as one un-premultiplied picture.
QImage classicPicture(const Element& colour, const Element& mask, int side) {
    const qsizetype plane = qsizetype(side) * side;
    const QByteArray planes = unpacked(colour.data) + mask.data;
    require(mask.data.size() == plane && planes.size() == 4 * plane);
    QImage picture(side, side, QImage::Format_RGBA8888);
    for (int y = 0; y < side; ++y) {
        uchar* line = picture.scanLine(y);
        for (int x = 0; x < side; ++x) {
            for (int channel = 0; channel < 4; ++channel)
                line[4 * x + channel] = uchar(planes.at(channel * plane + y * side + x));
        }
    }
    return picture;
}

void checkPngElement(const Element& element, const QImage& picture, int side) {
    QByteArray data = element.data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    require(reader.size() == QSize(side, side));
    // Pixels of the small slots; scaling and decoding the large ones would halve the inputs tried.
    if (side <= largestSide)
        require(samePixels(reader.read(), scaledTo(picture, side)));
}

void checkIcns(const QImage& picture, int upTo) {
    struct Slot {
        const char* type;
        int side;
        // The classic colour element's mask element; otherwise the element is PNG.
        const char* maskType = nullptr;
    };
    const Slot icnsSlots[] = {
        {"is32", 16, "s8mk"}, {"il32", 32, "l8mk"}, {"ic11", 32},  {"ic12", 64},  {"ic07", 128},
        {"ic13", 256},        {"ic08", 256},        {"ic14", 512}, {"ic09", 512}, {"ic10", 1024}};
    PngEncodings encodings;
    // Deflated quickly: the container is tried here, the deflate level elsewhere.
    const QList<Element> elements =
        icnsElements(IcnsWriter::encode(picture, encodings, PngEffort::Quick, upTo));
    qsizetype at = 0;
    for (const Slot& slot : icnsSlots) {
        if (slot.side > upTo)
            break;
        require(at < elements.size() && elements.at(at).type == slot.type);
        if (!slot.maskType) {
            checkPngElement(elements.at(at++), picture, slot.side);
            continue;
        }
        require(at + 1 < elements.size() && elements.at(at + 1).type == slot.maskType);
        require(samePixels(classicPicture(elements.at(at), elements.at(at + 1), slot.side),
                           scaledTo(picture, slot.side)));
        at += 2;
    }
    require(at == elements.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const QImage picture = pictureOf(data, size);
    checkIco(picture);
    checkIcns(picture, smallSlots);
    return 0;
}
