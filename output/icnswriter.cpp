#include "icnswriter.h"

#include "output/filecommit.h"
#include "output/pngencoder.h"

#include <array>
#include <stdexcept>

namespace {

struct Slot {
    const char* type;
    int size;
    // The classic colour element, followed by its mask element; otherwise PNG.
    const char* maskType = nullptr;
};

const std::array<Slot, 10> slotTable{{{"is32", 16, "s8mk"},
                                      {"il32", 32, "l8mk"},
                                      {"ic11", 32},
                                      {"ic12", 64},
                                      {"ic07", 128},
                                      {"ic13", 256},
                                      {"ic08", 256},
                                      {"ic14", 512},
                                      {"ic09", 512},
                                      {"ic10", 1024}}};

constexpr int headerBytes = 8;
// The classic run-length code: a byte below 0x80 copies the next (byte + 1) bytes; a byte from
// 0x80 on repeats the next one (byte - 0x80 + 3) times.
constexpr int longestLiteral = 128;
constexpr int shortestRun = 3;
constexpr int longestRun = 130;

// The format's numbers are big-endian whatever the machine.
void put32(QByteArray& bytes, quint32 value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xff));
}

QByteArray element(const char* type, const QByteArray& data) {
    QByteArray bytes(type, 4);
    put32(bytes, quint32(headerBytes + data.size()));
    return bytes + data;
}

int runLength(const QByteArray& plane, int from) {
    int length = 1;
    while (from + length < plane.size() && length < longestRun &&
           plane.at(from + length) == plane.at(from))
        ++length;
    return length;
}

QByteArray packChannel(const QByteArray& plane) {
    QByteArray packed;
    int i = 0;
    while (i < plane.size()) {
        const int run = runLength(plane, i);
        if (run >= shortestRun) {
            packed.append(char(0x80 + run - shortestRun)).append(plane.at(i));
            i += run;
            continue;
        }
        // Literal bytes up to the next run worth coding as one.
        const int start = i;
        while (i < plane.size() && i - start < longestLiteral && runLength(plane, i) < shortestRun)
            ++i;
        packed.append(char(i - start - 1)).append(plane.mid(start, i - start));
    }
    return packed;
}

// One plane per channel of the un-premultiplied RGBA `pixels`: 0 red, 1 green, 2 blue, 3 alpha.
QByteArray channelPlane(const QImage& pixels, int channel) {
    QByteArray plane;
    plane.reserve(pixels.width() * pixels.height());
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* line = pixels.constScanLine(y);
        for (int x = 0; x < pixels.width(); ++x)
            plane.append(char(line[4 * x + channel]));
    }
    return plane;
}

// The colour element (red, green and blue planes each run-length coded) and its mask element.
QByteArray classicElements(const Slot& slot, const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888);
    QByteArray colour;
    for (int channel = 0; channel < 3; ++channel)
        colour += packChannel(channelPlane(pixels, channel));
    return element(slot.type, colour) + element(slot.maskType, channelPlane(pixels, 3));
}

QByteArray pngBytes(const QImage& image, PngEncodings& encodings, PngEffort effort) {
    const EncodedFile encoded = encodings.encode(image, effort, PngColours::Truecolour);
    if (!encoded.failure.isEmpty() || encoded.bytes.isEmpty())
        throw std::runtime_error(
            QStringLiteral("the %1 px element cannot be encoded").arg(image.width()).toStdString());
    return encoded.bytes;
}

} // namespace

namespace IcnsWriter {

QByteArray encode(const QImage& rendering, PngEncodings& encodings, PngEffort effort, int upTo) {
    QByteArray body;
    // The 256 and 512 slots come twice (one of them the @2x twin): scaled once each.
    QImage image;
    for (const Slot& slot : slotTable) {
        if (slot.size > upTo)
            break;
        if (image.width() != slot.size)
            image = rendering.scaled(slot.size, slot.size, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
        body += slot.maskType ? classicElements(slot, image)
                              : element(slot.type, pngBytes(image, encodings, effort));
    }
    return element("icns", body);
}

std::optional<OutputFailure> write(const QString& fileName, const QImage& rendering,
                                   PngEncodings& encodings) {
    QByteArray bytes;
    try {
        bytes = encode(rendering, encodings);
    } catch (const std::runtime_error& error) {
        return OutputFailure{fileName, QString::fromStdString(error.what())};
    }
    const QString reason = commitFile(fileName, bytes);
    if (reason.isEmpty())
        return std::nullopt;
    return OutputFailure{fileName, reason};
}

} // namespace IcnsWriter
