#include "documentsnapshot.h"

#include "model/stylestore.h"

#include <QSet>

namespace {

bool sameLayer(const ImageData& a, const ImageData& b) {
    return a.index == b.index && a.position == b.position && a.scale == b.scale &&
           a.rotation == b.rotation && a.sourceImage.cacheKey() == b.sourceImage.cacheKey();
}

} // namespace

bool sameDocument(const DocumentSnapshot& a, const DocumentSnapshot& b) {
    return StyleStore::toMap(a.style) == StyleStore::toMap(b.style) &&
           std::equal(a.layers.begin(), a.layers.end(), b.layers.begin(), b.layers.end(),
                      sameLayer);
}

void dropImagesNotIn(DocumentSnapshot& kept, const DocumentSnapshot& current) {
    QSet<qint64> shown;
    for (const ImageData& layer : current.layers)
        shown.insert(layer.image.cacheKey());
    for (ImageData& layer : kept.layers) {
        if (!shown.contains(layer.image.cacheKey()))
            layer.image = QImage();
    }
}

void remakeDroppedImages(QList<ImageData>& layers) {
    for (ImageData& layer : layers) {
        if (layer.image.isNull())
            layer.updateImage();
    }
}
