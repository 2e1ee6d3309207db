#pragma once

#include <QByteArray>
#include <QRgb>

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

    // `count` pixels mapped to sRGB where they lie; alpha untouched.
    void mapInPlace(QRgb* pixels, qsizetype count) const;

private:
    // Light in 1/linearOne, matrix entries in 1/2^matrixBits: every sum of three products stays
    // within 32 bits for entries up to +-8 (fromIcc refuses more), beyond any real profile's.
    static constexpr int linearBits = 14;
    static constexpr int32_t linearOne = 1 << linearBits;
    static constexpr int matrixBits = 12;

    // Each matrix entry times its source channel's curve: lanes[column][value][row] is the part
    // of linear sRGB channel `row` (red, green, blue, none) that source channel `column` at
    // `value` gives, four lanes so that one vector sum makes all three channels of a pixel.
    struct alignas(16) Lanes {
        int32_t row[4];
    };
    std::array<std::array<Lanes, 256>, 3> lanes{};
    // Linear light 0..linearOne to 8-bit sRGB.
    std::array<uint8_t, linearOne + 1> toSrgb{};

    QRgb map(QRgb pixel) const;
};
