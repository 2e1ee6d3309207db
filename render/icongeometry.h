#pragma once

#include <QBrush>
#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPoint>
#include <QPointF>
#include <QRect>

struct IconStyle;
struct Layer;

// Where things sit on a canvas of factor k (1 to 3). All results are canvas pixels: the canvas is
// 300·k square, the icon square 256·k, centred with a margin of 22·k.
namespace IconGeometry {

int imageSize(int k);
int canvasSize(int k);
int margin(int k);

// The finished icon's square.
QRect iconRect(int k);

// The container's rectangle: the icon square itself, so a full container leaves no pixel of the
// icon transparent and every shape is centred.
QRect shapeRect(int k);

// The container outline in `rect`; empty for a shape outside 0 to 2, which clips everything away.
QPainterPath shapePath(int shape, int radius, const QRect& rect);

struct GradientLine {
    QPointF start;
    QPointF end;
};

// Start and end of the background gradient for an orientation, from the corners of `rect`;
// (0, 0) to (0, 0) for an unknown orientation.
GradientLine gradientLine(int orientation, const QRect& rect);

// The container's fill: its first colour, or the gradient along `rect` for its orientation.
QBrush containerBrush(const IconStyle& style, const QRect& rect);

// The shade under the 3D edge's second copy of the container.
QColor threeDShade();

// How far the second copy of the container moves up and left for the 3D edge (negative).
int threeDOffset(int k, bool useBorder, int borderWidth);

// The ellipse of the glossy highlight, centred over the container; its lower edge lies at 100·k +
// 1, 78·k + 1 below the container's top.
QRect glossyRect(int k);

// Full band height h of a badge: room for the text line and the outline above and below it.
int bandHeight(int lineWidth, int textHeight);
// The band height of the style's badge, its text measured.
int badgeBandHeight(const IconStyle& style);

// Height the band is drawn with: h less the container's border width beyond 2.
int drawnBandHeight(int bandHeight, int borderWidth);

// Top of a horizontal band (1): a pixel below the container's top edge; or at the bottom (0), its
// full height h ending two pixels below the container's bottom edge. With the default widths the
// band's outline shows 2.5 pixels wide at either edge.
int horizontalBandTop(int position, int k, int bandHeight);

// Top of a diagonal band in its own coordinates, where it is centred on y = 150·k.
int diagonalBandTop(int k, int bandHeight);

struct DiagonalPlacement {
    QPoint translation;
    int rotation = 0;
};

// Translation (applied first) and rotation that put a diagonal band across `corner`
// (0 top left, 1 top right, 2 bottom left, 3 bottom right); a circle's band sits 4·k nearer the
// centre. Each band keeps its place at the container's corner, whose left and top edges lie a
// pixel, its right and bottom edges two pixels beyond the square the placements were measured on.
// Any other corner gets a fallback placement.
DiagonalPlacement diagonalPlacement(int corner, int k, int shape);

// Baseline origin of the badge text in a band starting at `bandTop`, centred on x = 150·k.
QPoint badgeTextPoint(int k, int bandTop, const IconStyle& style);

// Where the badge band shows on a canvas of factor k, its outline included: its rectangle placed
// for the style's orientation and cut at the container's outline.
QPainterPath badgeBand(const IconStyle& style, int k);

// Whether the badge lies under a picture: it is on, the pictures are drawn over it (not clipped to
// the shape) and a visible pixel of one lies on the band.
bool picturesCoverBadge(const IconStyle& style, const QList<Layer>& layers);

} // namespace IconGeometry
