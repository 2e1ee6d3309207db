#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class VectorPicture;

// One picture layer on the canvas. Coordinates are canvas pixels.
struct ImageData {
    QString filePath;
    // The picture file as it was read, so a project can carry the original and not a re-encoding.
    QByteArray fileBytes;
    QImage sourceImage;
    QImage image;
    QPoint position;
    QRect rect;
    int index = 0;
    int scale = 100;
    int rotation = 0;
    // The SVG picture `sourceImage` was drawn from, to draw again at any size; null for raster.
    std::shared_ptr<const VectorPicture> vector;

    // Re-derives `image` from `sourceImage`, `scale` and `rotation`, and resizes `rect` to it.
    // The top-left stays put, so a rotation grows the object to the right and downwards.
    void updateImage();
};

// The size a picture of `source` size shows at `scale` percent (integer division, truncating),
// but at least one pixel each way, so no picture becomes an invisible layer.
QSize scaledSize(QSize source, int scale);

// `source` scaled to scaledSize(), smooth, ignoring aspect ratio.
QImage scaledSourceImage(const QImage& source, int scale);
