#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

// One picture layer on the canvas. Coordinates are canvas pixels.
struct ImageData {
    QString filePath;
    QImage sourceImage;
    QImage image;
    QPoint position;
    QRect rect;
    int index = 0;
    int scale = 100;
    int rotation = 0;

    // Re-derives `image` from `sourceImage`, `scale` and `rotation`, and resizes `rect` to it.
    // The top-left stays put, so a rotation grows the object to the right and downwards.
    void updateImage();
};

// `source` scaled by `scale` percent (integer division, truncating), smooth, ignoring aspect ratio.
QImage scaledSourceImage(const QImage& source, int scale);
