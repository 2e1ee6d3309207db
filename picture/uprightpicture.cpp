#include "uprightpicture.h"

#include "picture/bandring.h"
#include "picture/srgbconversion.h"

#include <QColorSpace>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Rows a band holds: a turned band writes runs of this many pixels (two cache lines) per
// upright row, and a few bands of a wide photograph still fit in the second-level cache.
constexpr int bandRows = 32;
constexpr int bandSlots = 4;

} // namespace

UprightPicture::UprightPicture(QSize stored, QImage::Format format,
                               QImageIOHandler::Transformations transformation,
                               const SrgbConversion* sRgb)
    : conversion(sRgb), storedWidth(stored.width()),
      turned(transformation & QImageIOHandler::TransformationRotate90),
      upright(turned ? stored.transposed() : stored, format) {
    if (upright.isNull())
        return;
    if (conversion)
        upright.setColorSpace(QColorSpace(QColorSpace::SRgb));
    // Taken once here: the threads that place the bands must not each ask the image for lines.
    pixels = reinterpret_cast<QRgb*>(upright.bits());
    const qsizetype stride = upright.bytesPerLine() / 4;
    // Mirrored and flipped first, then turned clockwise, as the orientation tag means: stored
    // (x, y) is (mirrorX + alongX * x, flipY + alongY * y) mirrored and flipped, and (X, Y) there
    // is (height - 1 - Y, X) turned.
    const bool mirror = transformation & QImageIOHandler::TransformationMirror;
    const bool flip = transformation & QImageIOHandler::TransformationFlip;
    const qsizetype mirrorX = mirror ? stored.width() - 1 : 0;
    const qsizetype flipY = flip ? stored.height() - 1 : 0;
    const qsizetype alongX = mirror ? -1 : 1;
    const qsizetype alongY = flip ? -1 : 1;
    if (turned) {
        base = mirrorX * stride + stored.height() - 1 - flipY;
        stepX = alongX * stride;
        stepY = -alongY;
    } else {
        base = flipY * stride + mirrorX;
        stepX = alongX;
        stepY = alongY * stride;
    }
}

void UprightPicture::place(QRgb* rows, int top, int count, qsizetype stride) const {
    if (conversion) {
        for (int y = 0; y < count; ++y)
            conversion->mapInPlace(rows + y * stride, storedWidth);
    }
    QRgb* first = pixels + base + top * stepY;
    if (!turned) {
        for (int y = 0; y < count; ++y) {
            const QRgb* row = rows + y * stride;
            QRgb* line = first + y * stepY;
            if (stepX == 1)
                std::memcpy(line, row, size_t(storedWidth) * sizeof(QRgb));
            else
                std::reverse_copy(row, row + storedWidth, line - (storedWidth - 1));
        }
        return;
    }
    placeTurned(rows, count, stride, first);
}

// A stored column of the band is a run of the upright row it goes to. Four columns at a time,
// so the four upright rows written (each a page of memory or more apart) stay few while the whole
// band's runs of them are written.
void UprightPicture::placeTurned(const QRgb* rows, int count, qsizetype stride, QRgb* first) const {
    const auto at = [&](int x, int y) { return first + x * stepX + y * stepY; };
    int x = 0;
#ifdef __SSE2__
    // Four stored rows are read in the order they lie along the upright row: a transposed block
    // is then four runs, each stored from its lowest address.
    const int lowest = stepY > 0 ? 0 : 3;
    const auto load = [&](int y, int column) {
        return _mm_castsi128_ps(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows + y * stride + column)));
    };
    const auto store = [](QRgb* to, __m128 run) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_castps_si128(run));
    };
    for (; x + 4 <= storedWidth; x += 4) {
        int y = 0;
        for (; y + 4 <= count; y += 4) {
            __m128 a = load(y + lowest, x), b = load(y + (stepY > 0 ? 1 : 2), x);
            __m128 c = load(y + (stepY > 0 ? 2 : 1), x), d = load(y + 3 - lowest, x);
            _MM_TRANSPOSE4_PS(a, b, c, d);
            store(at(x, y + lowest), a);
            store(at(x + 1, y + lowest), b);
            store(at(x + 2, y + lowest), c);
            store(at(x + 3, y + lowest), d);
        }
        for (; y < count; ++y) {
            for (int column = x; column < x + 4; ++column)
                *at(column, y) = rows[y * stride + column];
        }
    }
#endif
    for (; x < storedWidth; ++x) {
        for (int y = 0; y < count; ++y)
            *at(x, y) = rows[y * stride + x];
    }
}

QImage UprightPicture::fromRows(QSize stored, QImage::Format format,
                                QImageIOHandler::Transformations transformation,
                                const SrgbConversion* conversion, const ReadRows& read) {
    const UprightPicture picture(stored, format, transformation, conversion);
    if (picture.upright.isNull())
        return {};
    const qsizetype stride = stored.width();
    std::vector<QRgb> slotPixels(size_t(stride) * bandRows * bandSlots);
    const auto band = [&](int number) {
        return std::pair{number * bandRows,
                         std::min(bandRows, stored.height() - number * bandRows)};
    };
    const auto slotRows = [&](int slot) { return slotPixels.data() + slot * stride * bandRows; };
    BandRing ring((stored.height() + bandRows - 1) / bandRows, bandSlots);
    const bool complete = ring.run(
        [&](int number, int slot) {
            const auto [top, count] = band(number);
            return read(top, count, slotRows(slot), stride);
        },
        [&](int number, int slot) {
            const auto [top, count] = band(number);
            picture.place(slotRows(slot), top, count, stride);
        });
    return complete ? picture.upright : QImage();
}

QImage uprightPixels(const QImage& stored, QImageIOHandler::Transformations transformation,
                     const SrgbConversion* conversion) {
    const qsizetype storedStride = stored.bytesPerLine() / 4;
    const auto* storedRows = reinterpret_cast<const QRgb*>(stored.constBits());
    QImage upright = UprightPicture::fromRows(
        stored.size(), stored.format(), transformation, conversion,
        [&](int top, int count, QRgb* rows, qsizetype stride) {
            for (int y = 0; y < count; ++y)
                std::memcpy(rows + y * stride, storedRows + (top + y) * storedStride,
                            size_t(stored.width()) * sizeof(QRgb));
            return true;
        });
    if (!conversion && !upright.isNull())
        upright.setColorSpace(stored.colorSpace());
    return upright;
}
