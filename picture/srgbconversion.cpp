#include "srgbconversion.h"

#include <lcms2.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <memory>

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
                conversion.lanes[column][value].row[row] =
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

QRgb SrgbConversion::map(QRgb pixel) const {
    const int32_t* r = lanes[0][qRed(pixel)].row;
    const int32_t* g = lanes[1][qGreen(pixel)].row;
    const int32_t* b = lanes[2][qBlue(pixel)].row;
    const auto encoded = [this](int32_t sum) {
        return toSrgb[size_t(std::clamp(sum >> matrixBits, 0, linearOne))];
    };
    return qRgba(encoded(r[0] + g[0] + b[0]), encoded(r[1] + g[1] + b[1]),
                 encoded(r[2] + g[2] + b[2]), qAlpha(pixel));
}

// Two pixels a step where SSE2 is: three vector sums each, their light clamped in one go, six
// table reads.
void SrgbConversion::mapInPlace(QRgb* pixels, qsizetype count) const {
    qsizetype i = 0;
#ifdef __SSE2__
    const auto light = [this](QRgb pixel) {
        const auto lane = [](const Lanes& of) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(of.row));
        };
        const __m128i sum =
            _mm_add_epi32(_mm_add_epi32(lane(lanes[0][qRed(pixel)]), lane(lanes[1][qGreen(pixel)])),
                          lane(lanes[2][qBlue(pixel)]));
        return _mm_srai_epi32(sum, matrixBits);
    };
    const __m128i none = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(linearOne);
    for (; i + 1 < count; i += 2) {
        const QRgb first = pixels[i];
        const QRgb second = pixels[i + 1];
        // Saturated to 16 bits on the way, then held to 0..linearOne.
        const __m128i both =
            _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(light(first), light(second)), none), full);
        pixels[i] = qRgba(toSrgb[size_t(_mm_extract_epi16(both, 0))],
                          toSrgb[size_t(_mm_extract_epi16(both, 1))],
                          toSrgb[size_t(_mm_extract_epi16(both, 2))], qAlpha(first));
        pixels[i + 1] = qRgba(toSrgb[size_t(_mm_extract_epi16(both, 4))],
                              toSrgb[size_t(_mm_extract_epi16(both, 5))],
                              toSrgb[size_t(_mm_extract_epi16(both, 6))], qAlpha(second));
    }
#endif
    for (; i < count; ++i)
        pixels[i] = map(pixels[i]);
}
