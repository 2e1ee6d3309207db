#include "srgbconversion.h"

#include <QColorSpace>
#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>

namespace {

using Profile = std::unique_ptr<void, decltype(&cmsCloseProfile)>;
using Curve = std::unique_ptr<cmsToneCurve, decltype(&cmsFreeToneCurve)>;
using Matrix = std::array<double, 9>;

// The profile's colorants as the columns of RGB -> XYZ (D50), or nothing without them.
std::optional<Matrix> colorants(cmsHPROFILE profile) {
    const cmsTagSignature tags[] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                    cmsSigBlueColorantTag};
    Matrix matrix{};
    for (int column = 0; column < 3; ++column) {
        const auto* xyz = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, tags[column]));
        if (!xyz)
            return std::nullopt;
        matrix[column] = xyz->X;
        matrix[3 + column] = xyz->Y;
        matrix[6 + column] = xyz->Z;
    }
    return matrix;
}

std::optional<Matrix> inverse(const Matrix& m) {
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                       m[2] * (m[3] * m[7] - m[4] * m[6]);
    if (std::abs(det) < 1e-9)
        return std::nullopt;
    return Matrix{(m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det,
                  (m[1] * m[5] - m[2] * m[4]) / det, (m[5] * m[6] - m[3] * m[8]) / det,
                  (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
                  (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det,
                  (m[0] * m[4] - m[1] * m[3]) / det};
}

Matrix product(const Matrix& a, const Matrix& b) {
    Matrix result{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            for (int i = 0; i < 3; ++i)
                result[row * 3 + column] += a[row * 3 + i] * b[i * 3 + column];
        }
    }
    return result;
}

// Where output pixel (x, y) is read from: base + x * stepX + y * stepY, in pixels of the stored
// image. Mirrored and flipped first, then turned clockwise, as the orientation tag means.
struct Walk {
    qsizetype base = 0;
    qsizetype stepX = 1;
    qsizetype stepY = 0;
};

Walk walkOf(QSize stored, qsizetype stride, QImageIOHandler::Transformations transformation) {
    const bool mirror = transformation & QImageIOHandler::TransformationMirror;
    const bool flip = transformation & QImageIOHandler::TransformationFlip;
    // Along a stored row and down a stored column, after mirroring and flipping.
    const qsizetype along = mirror ? -1 : 1;
    const qsizetype down = flip ? -stride : stride;
    const qsizetype origin =
        (flip ? (stored.height() - 1) * stride : 0) + (mirror ? stored.width() - 1 : 0);
    if (!(transformation & QImageIOHandler::TransformationRotate90))
        return {origin, along, down};
    // Turned clockwise, output (x, y) is (y, height - 1 - x) of the mirrored and flipped picture.
    return {origin + (stored.height() - 1) * down, -down, along};
}

} // namespace

std::optional<SrgbConversion> SrgbConversion::fromIcc(const QByteArray& icc) {
    Profile source(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())),
                   cmsCloseProfile);
    Profile sRgb(cmsCreate_sRGBProfile(), cmsCloseProfile);
    if (!source || !sRgb || cmsGetColorSpace(source.get()) != cmsSigRgbData ||
        !cmsIsMatrixShaper(source.get()))
        return std::nullopt;
    const auto from = colorants(source.get());
    const auto to = colorants(sRgb.get());
    const auto toInverse = to ? inverse(*to) : std::nullopt;
    const cmsTagSignature curves[] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    const auto* srgbCurve = static_cast<const cmsToneCurve*>(cmsReadTag(sRgb.get(), curves[0]));
    if (!from || !toInverse || !srgbCurve)
        return std::nullopt;
    const Matrix combined = product(*toInverse, *from);
    if (std::any_of(combined.begin(), combined.end(),
                    [](double entry) { return std::abs(entry) > 8; }))
        return std::nullopt;
    SrgbConversion conversion;
    for (int column = 0; column < 3; ++column) {
        const auto* curve =
            static_cast<const cmsToneCurve*>(cmsReadTag(source.get(), curves[column]));
        if (!curve)
            return std::nullopt;
        for (int value = 0; value < 256; ++value) {
            const auto light =
                int32_t(std::lround(cmsEvalToneCurveFloat(curve, value / 255.0f) * linearOne));
            for (int row = 0; row < 3; ++row)
                conversion.terms[row * 3 + column][value] =
                    light * int32_t(std::lround(combined[row * 3 + column] * (1 << matrixBits)));
        }
    }
    const Curve encode(cmsReverseToneCurve(srgbCurve), cmsFreeToneCurve);
    if (!encode)
        return std::nullopt;
    for (int32_t light = 0; light <= linearOne; ++light)
        conversion.toSrgb[light] = uint8_t(std::clamp(
            std::lround(cmsEvalToneCurveFloat(encode.get(), float(light) / linearOne) * 255), 0L,
            255L));
    return conversion;
}

QImage uprightPixels(const QImage& stored, QImageIOHandler::Transformations transformation,
                     const SrgbConversion* conversion) {
    const bool turned = transformation & QImageIOHandler::TransformationRotate90;
    QImage upright(turned ? stored.size().transposed() : stored.size(), stored.format());
    if (upright.isNull())
        return upright;
    const Walk walk = walkOf(stored.size(), stored.bytesPerLine() / 4, transformation);
    const auto* from = reinterpret_cast<const QRgb*>(stored.constBits());
    // Taken once here: the threads below must not each ask the image for its lines.
    uchar* to = upright.bits();
    const qsizetype toStride = upright.bytesPerLine();
    // Square tiles keep the reads of a turned picture within a few cache lines per row.
    constexpr int tile = 64;
    const auto band = [&](int top, int bottom) {
        for (int tileTop = top; tileTop < bottom; tileTop += tile) {
            for (int tileLeft = 0; tileLeft < upright.width(); tileLeft += tile) {
                for (int y = tileTop; y < std::min(tileTop + tile, bottom); ++y) {
                    auto* line = reinterpret_cast<QRgb*>(to + y * toStride);
                    const QRgb* row = from + walk.base + y * walk.stepY;
                    const int right = std::min(tileLeft + tile, upright.width());
                    for (int x = tileLeft; x < right; ++x) {
                        const QRgb pixel = row[x * walk.stepX];
                        line[x] = conversion ? conversion->map(pixel) : pixel;
                    }
                }
            }
        }
    };
    const int middle = upright.height() / 2 / tile * tile;
    std::thread lower(band, middle, upright.height());
    band(0, middle);
    lower.join();
    upright.setColorSpace(conversion ? QColorSpace(QColorSpace::SRgb) : stored.colorSpace());
    return upright;
}
