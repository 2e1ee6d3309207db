#include "layer.h"

#include <QPolygonF>
#include <QTransform>

#include <algorithm>

QSize scaledSize(QSize source, int scale) {
    if (source.isEmpty())
        return source;
    return QSize(std::max(1, int(qint64(source.width()) * scale / 100)),
                 std::max(1, int(qint64(source.height()) * scale / 100)));
}

// As QImage::transformed() sizes a turned image, so a layer keeps its size whether it is made
// whole or in part.
QSize layerSize(QSize source, int scale, int rotation) {
    const QSize scaled = scaledSize(source, scale);
    QTransform turn;
    turn.rotate(rotation);
    const QTransform place = QImage::trueMatrix(turn, scaled.width(), scaled.height());
    if (place.type() <= QTransform::TxScale)
        return scaled;
    return place.map(QPolygonF(QRectF(QPointF(), scaled))).boundingRect().toAlignedRect().size();
}

QRect Layer::rect() const {
    return QRect(position, layerSize(sourceImage.size(), scale, rotation));
}

int clampedScale(int percent) {
    return std::clamp(percent, minimumScale, maximumScale);
}

int fitScale(QSize source, int canvasSide) {
    if (source.isEmpty())
        return 100;
    const float rw = float(canvasSide) / float(source.width());
    const float rh = float(canvasSide) / float(source.height());
    if (rw >= 1 && rh >= 1)
        return 100;
    return clampedScale(int(std::min(rw, rh) * 100));
}

bool shownAtSize(const Layer& layer, int size) {
    return (layer.minSize == 0 || size >= layer.minSize) &&
           (layer.maxSize == 0 || size <= layer.maxSize);
}

bool hasSizeRange(const Layer& layer) {
    return layer.minSize != 0 || layer.maxSize != 0;
}
