#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class VectorPicture;

// Positions are canvas pixels, and no canvas is larger than this on a side.
inline constexpr int largestCanvasSide = 900;
// Lowest scale a picture can get, so it never becomes an empty, unpickable layer.
inline constexpr int minimumScale = 1;
// The largest zoom in percent: more would only show a few source pixels on the whole canvas.
inline constexpr int maximumScale = 10000;
// The largest turn either way in degrees, far beyond any use.
inline constexpr int maximumRotation = 360000;

// One picture layer on the canvas. Coordinates are canvas pixels.
struct Layer {
    QString filePath;
    // The picture file as it was read, so a project can carry the original and not a re-encoding.
    QByteArray fileBytes;
    QImage sourceImage;
    QPoint position;
    int index = 0;
    int scale = 100;
    int rotation = 0;
    // The pixel sizes of the icon files and entries the layer is drawn in, both inclusive, so a
    // detailed picture can give way to a simpler one at small sizes; 0: no bound that way.
    int minSize = 0;
    int maxSize = 0;
    // The SVG picture `sourceImage` was drawn from, to draw again at any size; null for raster.
    std::shared_ptr<const VectorPicture> vector;

    // Where the whole scaled and turned picture lies on the canvas: what picking and the selection
    // frame use. A rotation grows it to the right and downwards.
    QRect rect() const;
};

// Largest edge of any icon file or entry written, and so of a layer's size range.
inline constexpr int largestIconSize = 1024;

// Whether `layer` is drawn in a file or an entry `size` pixels wide: within its size range.
bool shownAtSize(const Layer& layer, int size);
// Whether `layer` is drawn at some sizes and not at others.
bool hasSizeRange(const Layer& layer);

// The size a picture of `source` size shows at `scale` percent (integer division, truncating),
// but at least one pixel each way, so no picture becomes an invisible layer.
QSize scaledSize(QSize source, int scale);

// The size of the layer a picture of `source` size makes at `scale` and `rotation`: the bounding
// box of the scaled picture turned about its centre.
QSize layerSize(QSize source, int scale, int rotation);

// `percent` held within minimumScale..maximumScale.
int clampedScale(int percent);

// Scale in percent that makes a picture fit a canvas of edge `canvasSide` in both directions;
// never enlarges, never below minimumScale.
int fitScale(QSize source, int canvasSide);
