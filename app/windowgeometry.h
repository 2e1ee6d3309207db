#pragma once

#include "geometrystore.h"

#include <QRect>

#include <cstdint>

namespace WindowGeometry {

inline constexpr uint32_t defaultX = 100;
inline constexpr uint32_t defaultY = 100;
inline constexpr uint32_t minimumWidth = 986;
inline constexpr uint32_t minimumHeight = 513;

// The four stored values as read: a negative position comes back as its 32 bits, a large number.
struct Stored {
    uint32_t x = defaultX;
    uint32_t y = defaultY;
    uint32_t width = minimumWidth;
    uint32_t height = minimumHeight;
};

// The geometry a window restored from `stored` gets on a screen of `screen`.
QRect restored(GeometryStore::ScreenSize screen, Stored stored);

// Reads the four values from the store; each one that cannot be read keeps its default.
Stored load();

// Writes the window's geometry as the four values, the negative positions as the same 32 bits.
void save(const QRect& geometry);

} // namespace WindowGeometry
