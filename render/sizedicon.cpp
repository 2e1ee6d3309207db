#include "sizedicon.h"

#include "render/iconrenderer.h"

#include <algorithm>

QList<Layer> layersAtSize(const QList<Layer>& layers, int size) {
    QList<Layer> shown;
    std::copy_if(layers.begin(), layers.end(), std::back_inserter(shown),
                 [size](const Layer& layer) { return shownAtSize(layer, size); });
    return shown;
}

bool hasSizeRanges(const Document& document) {
    return std::any_of(document.layers.begin(), document.layers.end(), hasSizeRange);
}

QImage iconAtSize(const Document& document, int size, const QImage& rendering) {
    const QImage icon = !rendering.isNull() && !hasSizeRanges(document)
                            ? rendering
                            : IconRenderer(document.style.canvasFactor)
                                  .renderIcon(document.style, layersAtSize(document.layers, size));
    return icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
