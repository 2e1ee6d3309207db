#include "document.h"

#include "document/stylestore.h"

#include <QSet>

namespace {

bool sameLayer(const Layer& a, const Layer& b) {
    return a.index == b.index && a.position == b.position && a.scale == b.scale &&
           a.rotation == b.rotation && a.sourceImage.cacheKey() == b.sourceImage.cacheKey();
}

} // namespace

bool sameDocument(const Document& a, const Document& b) {
    return StyleStore::toMap(a.style) == StyleStore::toMap(b.style) &&
           std::equal(a.layers.begin(), a.layers.end(), b.layers.begin(), b.layers.end(),
                      sameLayer);
}

void dropImagesNotIn(Document& kept, const Document& current) {
    QSet<qint64> shown;
    for (const Layer& layer : current.layers)
        shown.insert(layer.image.cacheKey());
    for (Layer& layer : kept.layers) {
        if (!shown.contains(layer.image.cacheKey()))
            layer.image = QImage();
    }
}

void remakeDroppedImages(QList<Layer>& layers) {
    for (Layer& layer : layers) {
        if (layer.image.isNull())
            layer.updateImage();
    }
}
