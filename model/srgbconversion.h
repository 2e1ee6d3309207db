#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QRgb>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

// The colorimetric conversion of 8-bit RGB from an RGB matrix-shaper profile (the kind cameras
// and design tools embed: Adobe RGB, ProPhoto, Display P3, ...) to sRGB: the profile's curves,
// one 3 x 3 matrix through the profile connection space, sRGB's curve. The same arithmetic as
// LittleCMS's own transform between two such profiles, in integer table steps, faster than
// either LittleCMS's or Qt's conversion of a photograph's millions of pixels.
class SrgbConversion {
public:
    // Empty when `icc` is not an RGB matrix-shaper profile LittleCMS can read.
    static std::optional<SrgbConversion> fromIcc(const QByteArray& icc);

    // `pixel` in sRGB; alpha untouched. Inline: it runs once a pixel.
    QRgb map(QRgb pixel) const {
        const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
        return qRgba(encoded(terms[0][r] + terms[1][g] + terms[2][b]),
                     encoded(terms[3][r] + terms[4][g] + terms[5][b]),
                     encoded(terms[6][r] + terms[7][g] + terms[8][b]), qAlpha(pixel));
    }

private:
    // Light in 1/linearOne, matrix entries in 1/2^matrixBits: every sum of three products stays
    // within 32 bits for entries up to +-8 (fromIcc refuses more), beyond any real profile's.
    static constexpr int linearBits = 14;
    static constexpr int32_t linearOne = 1 << linearBits;
    static constexpr int matrixBits = 12;

    // Each matrix entry times its source channel's curve: terms[row * 3 + column][value] is
    // the part of linear sRGB channel `row` that source channel `column` at `value` gives.
    std::array<std::array<int32_t, 256>, 9> terms{};
    // Linear light 0..linearOne to 8-bit sRGB.
    std::array<uint8_t, linearOne + 1> toSrgb{};

    uint8_t encoded(int32_t sum) const {
        return toSrgb[size_t(std::clamp(sum >> matrixBits, 0, linearOne))];
    }
};

// `stored` (32-bit RGB or unpremultiplied ARGB) turned upright as `transformation` says and, with
// a `conversion`, mapped to sRGB: one pass over the pixels, shared between two threads.
QImage uprightPixels(const QImage& stored, QImageIOHandler::Transformations transformation,
                     const SrgbConversion* conversion);
