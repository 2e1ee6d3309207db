#pragma once

#include "document/layer.h"

#include <QImage>
#include <QRect>

// The pixels a layer's picture makes at its scale and turn: what the canvas and the icon draw.
// They derive from the layer's picture, scale and turn alone, so no document carries them: they
// are kept here by what they are made from, shared by every copy of a document (undo steps
// included) and every thread, and a layer moved, or shown again by undo, finds them made.
namespace LayerPixels {

// Made pixels and where they lie on the canvas.
struct Made {
    QImage image;
    QRect rect;
};

// The whole scaled and turned picture, or, when that would be far larger than any canvas, only
// its part over the largest canvas and a margin round it, so the cost of a zoom or a turn is
// bounded by what can be shown. A moved layer's part is made again only when the part made no
// longer covers what a canvas can show.
Made made(const Layer& layer);

// The layer's `part` (from its top-left) at `ratio` pixels per canvas pixel, drawn from the
// vector or the source as made() is: what a screen of more pixels than the canvas shows.
QImage at(const Layer& layer, const QRect& part, qreal ratio);

// Bytes of made pixels and smaller copies kept at most; the least recently used go first.
inline constexpr qint64 keptBytes = qint64(64) << 20;

} // namespace LayerPixels
