#include "layerpixels.h"

#include "picture/reducedcopies.h"
#include "picture/vectorpicture.h"

#include <QHash>
#include <QMutex>
#include <QPainter>
#include <QTransform>

#include <memory>

namespace {

// Up to this many pixels a layer is made whole: that stays cheap, and moving it never makes it
// again.
constexpr qint64 wholeLimit = qint64(2 * largestCanvasSide) * (2 * largestCanvasSide);
// Made round the largest canvas, so a drag makes a large layer again only now and then.
constexpr int partMargin = largestCanvasSide / 2;
// Most made pictures kept, however small: each zoom step of a drag makes one.
constexpr int keptPictures = 256;

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

// What made pixels are made from, besides the part of them a canvas shows.
struct Key {
    qint64 source = 0;
    const VectorPicture* vector = nullptr;
    int scale = 0;
    int rotation = 0;

    bool operator==(const Key& other) const {
        return source == other.source && vector == other.vector && scale == other.scale &&
               rotation == other.rotation;
    }
};

size_t qHash(const Key& key, size_t seed = 0) {
    return qHashMulti(seed, key.source, quintptr(key.vector), key.scale, key.rotation);
}

struct Kept {
    QImage image;
    // Where `image` lies from the layer's top-left; a whole layer's is (0, 0).
    QPoint offset;
    quint64 used = 0;
};

struct KeptCopies {
    std::shared_ptr<ReducedCopies> copies;
    quint64 used = 0;
};

// Everything made, for the whole program: a pool thread of a writer asks as the window does.
class Store {
public:
    LayerPixels::Made made(const Layer& layer);
    QImage at(const Layer& layer, const QRect& part, qreal ratio);

private:
    QMutex mutex;
    QHash<Key, Kept> pictures;
    // By the cache key of the picture they are copies of.
    QHash<qint64, KeptCopies> copies;
    quint64 clock = 0;

    QImage nearest(const Layer& layer, QSize size);
    Kept make(const Layer& layer);
    qint64 bytes() const;
    void trim();
};

Store& store() {
    static Store kept;
    return kept;
}

Key keyOf(const Layer& layer) {
    return {layer.sourceImage.cacheKey(), layer.vector.get(), layer.scale, layer.rotation};
}

// Whether `kept` still holds what a canvas can show of `layer`.
bool covers(const Kept& kept, const Layer& layer) {
    const QRect needed = shownPart(layer.rect().size(), layer.position, 0);
    return needed.isEmpty() || QRect(kept.offset, kept.image.size()).contains(needed);
}

LayerPixels::Made Store::made(const Layer& layer) {
    const QMutexLocker lock(&mutex);
    const Key key = keyOf(layer);
    auto found = pictures.find(key);
    if (found == pictures.end() || !covers(*found, layer))
        found = pictures.insert(key, make(layer));
    found->used = ++clock;
    const LayerPixels::Made answer{found->image,
                                   QRect(layer.position + found->offset, found->image.size())};
    trim();
    return answer;
}

QImage Store::at(const Layer& layer, const QRect& part, qreal ratio) {
    const QMutexLocker lock(&mutex);
    const QSize scaled = scaledSize(layer.sourceImage.size(), layer.scale);
    const QImage from = layer.vector ? QImage() : nearest(layer, (QSizeF(scaled) * ratio).toSize());
    trim();
    return drawnPart(layer.vector.get(), from, scaled,
                     QImage::trueMatrix(turn(layer.rotation), scaled.width(), scaled.height()),
                     part, ratio);
}

// The smallest of the picture and its smaller copies at least `size` each way.
QImage Store::nearest(const Layer& layer, QSize size) {
    KeptCopies& kept = copies[layer.sourceImage.cacheKey()];
    if (!kept.copies)
        kept.copies = std::make_shared<ReducedCopies>();
    kept.used = ++clock;
    return kept.copies->atLeast(layer.sourceImage, size);
}

// A vector picture is drawn afresh at the size shown, so it stays sharp at any zoom.
Kept Store::make(const Layer& layer) {
    const QSize scaled = scaledSize(layer.sourceImage.size(), layer.scale);
    const QSize size = layer.rect().size();
    const bool whole = area(scaled) <= wholeLimit && area(size) <= wholeLimit;
    if (whole && !layer.vector) {
        const QImage from = nearest(layer, scaled);
        const QImage shrunk = from.size() == scaled ? from
                                                    : from.scaled(scaled, Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation);
        return {shrunk.transformed(turn(layer.rotation), Qt::SmoothTransformation), QPoint()};
    }
    const QRect part = whole ? QRect(QPoint(), size) : shownPart(size, layer.position, partMargin);
    const QImage from = layer.vector ? QImage() : nearest(layer, scaled);
    return {drawnPart(layer.vector.get(), from, scaled,
                      QImage::trueMatrix(turn(layer.rotation), scaled.width(), scaled.height()),
                      part, 1),
            part.topLeft()};
}

// The least recently used of `kept` that `mayGo` lets go, or end().
template <typename Map, typename MayGo> auto oldestOf(Map& kept, MayGo mayGo) {
    auto oldest = kept.end();
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (mayGo(*it) && (oldest == kept.end() || it->used < oldest->used))
            oldest = it;
    }
    return oldest;
}

qint64 Store::bytes() const {
    qint64 total = 0;
    for (const Kept& kept : pictures)
        total += kept.image.sizeInBytes();
    for (const KeptCopies& kept : copies)
        total += kept.copies->sizeInBytes();
    return total;
}

// Forgets the least recently used until what is kept fits its bounds. Pixels someone else still
// holds stay: the canvas holds those of its last paint, so however many pictures it shows, a paint
// never makes again what the one before made.
void Store::trim() {
    while (bytes() > LayerPixels::keptBytes || pictures.size() > keptPictures) {
        const auto picture = oldestOf(pictures, [](const Kept& kept) {
            return kept.image.isNull() || kept.image.isDetached();
        });
        const auto copy = oldestOf(copies, [](const KeptCopies&) { return true; });
        if (copy != copies.end() && (picture == pictures.end() || copy->used < picture->used))
            copies.erase(copy);
        else if (picture != pictures.end())
            pictures.erase(picture);
        else
            return;
    }
}

} // namespace

namespace LayerPixels {

Made made(const Layer& layer) {
    return store().made(layer);
}

QImage at(const Layer& layer, const QRect& part, qreal ratio) {
    return store().at(layer, part, ratio);
}

} // namespace LayerPixels
