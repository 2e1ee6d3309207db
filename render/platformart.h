#pragma once

#include "document/document.h"

#include <QColor>
#include <QImage>
#include <QSize>

// The pictures the platforms' icon sets are made of, derived from one document: its container is
// the background, its pictures and badge the foreground. A file of one pixel size derives them
// from the document as that size shows it (SizedIcon::documentAt, foregroundAt). Every image
// answered is premultiplied ARGB unless it says it is opaque.
namespace PlatformArt {

// The pictures and the badge without the container, its border, 3D edge or highlight: the icon
// square (256·k) of the document, transparent where no picture or badge is.
QImage foreground(const Document& document);

// Whether `layer` hides the whole icon square of a canvas of factor k: it spans the square and its
// every pixel over it is opaque.
bool coversIconSquare(const Layer& layer, int k);

// The topmost picture that fills the icon as it is drawn: it covers the icon square and no
// container shape smaller than the square cuts it. A platform puts it full bleed under its own
// mask. -1 when none does.
int fillingLayer(const Document& document);

// The icon square drawn with the filling picture `filling` and the pictures under it alone: what
// shows of them, without badge, highlight or border.
QImage bleed(const Document& document, int filling);

// `document` with only the pictures above `filling` (-1: all of them), the badge kept.
Document above(const Document& document, int filling);

// Whether foreground() of `document` shows anything: the badge, or a picture with a visible pixel
// over the icon square.
bool showsForeground(const Document& document);

// Whether the container is filled with one colour, and that colour: the colour a platform's
// plain background takes (white when the container is not filled).
bool hasPlainBackground(const Document& document);
QColor backgroundColor(const Document& document);

// The container's fill over the whole `size` square (a gradient runs corner to corner as on the
// container); white when the container is not filled.
QImage background(const Document& document, int size);

// `icon` scaled to the size of `ground`, an opaque square, and drawn over it: an opaque picture
// without an alpha channel (RGB32), as stores that refuse transparency want.
QImage flattened(const QImage& icon, const QImage& ground);

// `content`, an icon square, drawn `natural`·size wide in the middle of a `size` square, and
// shrunk further, never cut, until every visible pixel lies in the centred circle of diameter
// `circle`·size.
QImage fittedInCircle(const QImage& content, int size, double natural, double circle);

// The foreground's coverage in white: what a themed (monochrome) launcher icon is made of.
QImage coverage(const QImage& image);

// The image in shades of grey, its alpha kept.
QImage greyscale(const QImage& image);

// `image` clipped to the circle of its square.
QImage clippedToCircle(const QImage& image);

// The alpha of `image` blurred by three box blurs of `radius` along each axis, close to a
// Gaussian; the edges repeated, each average rounded down.
QImage blurredAlpha(const QImage& image, int radius);

// The icon on the macOS grid: its body 824/1024 of the square, centred, over a soft shadow
// below it as the system's own icons have.
QImage onAppleGrid(const QImage& icon);
// What a document's macOS icons are scaled from: `rendering`, on the grid when the document asks.
QImage macArtwork(const Document& document, const QImage& rendering);
// The body's share of the square on that grid.
inline constexpr double appleGridBody = 824.0 / 1024.0;

// A tile of `tile` size filled with `ground` (transparent: nothing) with `icon` scaled to
// `iconEdge` pixels in its middle.
QImage tile(const QImage& icon, QSize tile, int iconEdge, const QColor& ground);

// `image` scaled to `size` square as the writers scale.
QImage scaled(const QImage& image, int size);

} // namespace PlatformArt
