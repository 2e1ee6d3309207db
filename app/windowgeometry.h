#pragma once

#include "geometrystore.h"

#include <QMargins>
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

// What a window manager's frame is thought to add round a window before its real frame is known:
// resize borders and a title bar, in logical pixels.
inline constexpr QMargins frameEstimate(8, 31, 8, 8);

// `client` moved, and shrunk where it must be, so that it with its `frame` lies within
// `available`: the title bar stays on the screen whatever was stored, at any scale factor.
QRect keptOnScreen(const QRect& client, const QMargins& frame, const QRect& available);

// Reads the four values from the store; each one that cannot be read keeps its default.
Stored load();

// Writes the window's geometry as the four values, the negative positions as the same 32 bits.
void save(const QRect& geometry);

} // namespace WindowGeometry
