#include "layer.h"

#include "picture/reducedcopies.h"
#include "picture/vectorpicture.h"

#include <QPainter>

#include <algorithm>

namespace {

// Up to this many pixels a layer is made whole: that stays cheap, and moving it never makes it
// again.
constexpr qint64 wholeLimit = qint64(2 * largestCanvasSide) * (2 * largestCanvasSide);
// Made round the largest canvas, so a drag makes a large layer again only now and then.
constexpr int partMargin = largestCanvasSide / 2;

QTransform turn(int rotation) {
    QTransform transform;
    transform.rotate(rotation);
    return transform;
}

qint64 area(QSize size) {
    return qint64(size.width()) * size.height();
}

// What a canvas can show of a layer at `position`, in layer coordinates.
QRect shownPart(QSize layerSize, QPoint position, int margin) {
    const QRect canvas(-margin, -margin, largestCanvasSide + 2 * margin,
                       largestCanvasSide + 2 * margin);
    return canvas.translated(-position) & QRect(QPoint(), layerSize);
}

// Whether a layer of `layerSize`, scaled to `scaled`, is made whole.
bool madeWhole(QSize scaled, QSize layerSize) {
    return area(scaled) <= wholeLimit && area(layerSize) <= wholeLimit;
}

// `part` (layer coordinates) of a picture scaled to `scaled` and placed by `place`, at `ratio`
// pixels per layer pixel: from `vector` when there is one, else from `nearest`, a copy of the
// picture. Drawn through the whole transform, so the cost follows the part's size, not the zoom.
QImage drawnPart(const VectorPicture* vector, const QImage& nearest, QSize scaled,
                 const QTransform& place, const QRect& part, qreal ratio) {
    QImage made((QSizeF(part.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    if (made.isNull())
        return made;
    made.fill(0);
    QPainter painter(&made);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QTransform toPart = place * QTransform::fromTranslate(-part.x(), -part.y()) *
                              QTransform::fromScale(ratio, ratio);
    if (vector) {
        painter.setTransform(toPart);
        vector->render(painter, QRectF(QPointF(), scaled));
        return made;
    }
    painter.setTransform(QTransform::fromScale(double(scaled.width()) / nearest.width(),
                                               double(scaled.height()) / nearest.height()) *
                         toPart);
    painter.drawImage(0, 0, nearest);
    return made;
}

} // namespace

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
    const QTransform place = QImage::trueMatrix(turn(rotation), scaled.width(), scaled.height());
    if (place.type() <= QTransform::TxScale)
        return scaled;
    return place.map(QPolygonF(QRectF(QPointF(), scaled))).boundingRect().toAlignedRect().size();
}

void Layer::updateImage() {
    const QSize scaled = scaledSize(sourceImage.size(), scale);
    const QSize size = layerSize(sourceImage.size(), scale, rotation);
    const bool whole = madeWhole(scaled, size);
    // A vector picture is drawn afresh at the size shown, so it stays sharp at any zoom.
    if (whole && !vector) {
        image = wholeImage(scaled);
        imageOffset = QPoint();
        rect = QRect(position, image.size());
        return;
    }
    const QRect part = whole ? QRect(QPoint(), size) : shownPart(size, position, partMargin);
    image = partImage(scaled, QImage::trueMatrix(turn(rotation), scaled.width(), scaled.height()),
                      part);
    imageOffset = part.topLeft();
    rect = QRect(position, size);
}

void Layer::moveTo(QPoint topLeft) {
    position = topLeft;
    rect.moveTopLeft(topLeft);
    const QRect needed = shownPart(rect.size(), position, 0);
    if (!needed.isEmpty() && !QRect(imageOffset, image.size()).contains(needed))
        updateImage();
}

QImage Layer::reducedAtLeast(QSize size) {
    if (!reduced || !reduced->reduces(sourceImage))
        reduced = std::make_shared<ReducedCopies>(sourceImage);
    return reduced->atLeast(size);
}

QImage Layer::wholeImage(QSize scaled) {
    const QImage nearest = reducedAtLeast(scaled);
    const QImage shrunk = nearest.size() == scaled ? nearest
                                                   : nearest.scaled(scaled, Qt::IgnoreAspectRatio,
                                                                    Qt::SmoothTransformation);
    return shrunk.transformed(turn(rotation), Qt::SmoothTransformation);
}

// Only `part` of the layer, from the vector or from the nearest smaller copy.
QImage Layer::partImage(QSize scaled, const QTransform& place, const QRect& part) {
    return drawnPart(vector.get(), vector ? QImage() : reducedAtLeast(scaled), scaled, place, part,
                     1);
}

QImage Layer::imageAt(const QRect& part, qreal ratio) const {
    const QSize scaled = scaledSize(sourceImage.size(), scale);
    const QSize device = (QSizeF(scaled) * ratio).toSize();
    // The copies are made when the layer's image is; without them, the source itself.
    const QImage nearest = vector                                     ? QImage()
                           : reduced && reduced->reduces(sourceImage) ? reduced->atLeast(device)
                                                                      : sourceImage;
    return drawnPart(vector.get(), nearest, scaled,
                     QImage::trueMatrix(turn(rotation), scaled.width(), scaled.height()), part,
                     ratio);
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
