#include "sizedicon.h"

#include "render/icongeometry.h"
#include "render/iconrenderer.h"
#include "render/platformart.h"
#include "render/sharpicon.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

QList<bool> shownAt(const QList<Layer>& layers, int size) {
    QList<bool> shown;
    for (const Layer& layer : layers)
        shown << shownAtSize(layer, size);
    return shown;
}

// The first size of each run of sizes that show the same layers: 1, where a range starts and
// just past where one ends (past the largest icon size too, for any larger file).
QList<int> firstSizes(const QList<Layer>& layers) {
    QList<int> sizes{1};
    for (const Layer& layer : layers)
        sizes << layer.minSize << (layer.maxSize > 0 ? layer.maxSize + 1 : 0);
    sizes.removeIf([](int size) { return size < 1; });
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

// Whether the layer's edges lie within half a pixel of `size` of the icon square's: 2·|d|·size
// canvas pixels at most 256·k.
bool fillsIconAt(const Layer& layer, int k, int size) {
    const QRect square = IconGeometry::iconRect(k);
    const QRect rect = layer.rect();
    const int off[] = {rect.left() - square.left(), rect.top() - square.top(),
                       rect.x() + rect.width() - square.x() - square.width(),
                       rect.y() + rect.height() - square.y() - square.height()};
    return std::all_of(std::begin(off), std::end(off),
                       [&](int d) { return 2 * std::abs(d) * size <= IconGeometry::imageSize(k); });
}

// Clipped pictures lie under the badge, the highlight and the border, and inside the shape.
bool drawnOverPictures(const IconStyle& style) {
    return style.clipImage && (style.shape != int(ContainerShape::Rectangle) || style.useBadge ||
                               style.useGlossy || style.useBorder);
}

bool opaque(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (std::any_of(row, row + image.width(), [](QRgb pixel) { return qAlpha(pixel) != 255; }))
            return false;
    }
    return true;
}

// The hand-drawn picture of `shown` (its top layer) over the rest at `size`.
QImage handDrawnIcon(const Document& shown, int size, const IconRenderer& renderer) {
    const QImage picture =
        shown.layers.constLast().sourceImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (opaque(picture))
        return picture;
    QImage icon =
        PlatformArt::scaled(
            renderer.renderIcon(shown.style, shown.layers.mid(0, shown.layers.size() - 1)), size)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter(&icon).drawImage(0, 0, picture);
    return icon;
}

// The one size the top layer of `shown` can be drawn as it is in: its picture's width, where that
// size shows these layers (`shownKey` of `layers`) and the rule holds; 0 where none.
int handDrawnSize(const QList<Layer>& layers, const QList<bool>& shownKey, const Document& shown) {
    const int size = shown.layers.isEmpty() ? 0 : shown.layers.constLast().sourceImage.width();
    return size > 0 && shownAt(layers, size) == shownKey && handDrawnLayer(shown, size) >= 0 ? size
                                                                                             : 0;
}

} // namespace

QList<Layer> layersAtSize(const QList<Layer>& layers, int size) {
    QList<Layer> shown;
    std::copy_if(layers.begin(), layers.end(), std::back_inserter(shown),
                 [size](const Layer& layer) { return shownAtSize(layer, size); });
    return shown;
}

Document documentAtSize(const Document& document, int size) {
    const QList<Layer> shown = layersAtSize(document.layers, size);
    if (shown.size() == document.layers.size())
        return document;
    Document drawn = document;
    drawn.layers = shown;
    drawn.selected = Document::noSelection;
    return drawn;
}

bool sameLayersAcross(const Document& document, int smallest, int largest) {
    // A range is one run of sizes: a layer is drawn at every size or at none when its run holds
    // all of them or none.
    return std::all_of(document.layers.begin(), document.layers.end(), [&](const Layer& layer) {
        const int low = layer.minSize;
        const int high = layer.maxSize > 0 ? layer.maxSize : std::numeric_limits<int>::max();
        return (low <= smallest && high >= largest) || high < smallest || low > largest;
    });
}

int handDrawnLayer(const Document& shown, int size) {
    if (shown.layers.isEmpty() || drawnOverPictures(shown.style))
        return -1;
    const Layer& top = shown.layers.constLast();
    const bool rule = hasSizeRange(top) && !top.vector &&
                      top.sourceImage.size() == QSize(size, size) && top.rotation % 360 == 0 &&
                      fillsIconAt(top, shown.style.canvasFactor, size);
    return rule ? int(shown.layers.size() - 1) : -1;
}

QImage iconAtSize(const Document& document, int size, const QImage& rendering) {
    const Document shown = documentAtSize(document, size);
    const IconRenderer renderer(document.style.canvasFactor);
    if (handDrawnLayer(shown, size) >= 0)
        return handDrawnIcon(shown, size, renderer);
    const bool whole = shown.layers.size() == document.layers.size() && !rendering.isNull();
    return PlatformArt::scaled(whole ? rendering : renderer.renderIcon(shown.style, shown.layers),
                               size);
}

SizedIcon::SizedIcon(const Document& document, const QImage& rendering, Parts parts,
                     Artwork artwork) {
    const IconRenderer renderer(document.style.canvasFactor);
    const bool draw = !rendering.isNull();
    layers = document.layers;
    for (int first : firstSizes(document.layers)) {
        LayerSet set;
        set.shown = shownAt(document.layers, first);
        if (std::any_of(sets.begin(), sets.end(),
                        [&](const LayerSet& known) { return known.shown == set.shown; }))
            continue;
        set.document = documentAtSize(document, first);
        if (draw) {
            set.rendering = !set.shown.contains(false)
                                ? rendering
                                : renderer.renderIcon(set.document.style, set.document.layers);
            if (parts == Parts::WithForeground)
                set.foreground = PlatformArt::foreground(set.document);
            const QImage drawn = set.rendering;
            const Document shown = set.document;
            set.artwork = std::async(std::launch::deferred, [=] {
                              return artwork ? artwork(shown, drawn) : drawn;
                          }).share();
            set.handDrawnSize = handDrawnSize(document.layers, set.shown, set.document);
            if (set.handDrawnSize > 0)
                set.handDrawn = handDrawnIcon(set.document, set.handDrawnSize, renderer);
        }
        sets << set;
    }
}

const SizedIcon::LayerSet& SizedIcon::setAt(int size) const {
    return sets.at(layerSetAt(size));
}

int SizedIcon::layerSetAt(int size) const {
    const QList<bool> shown = shownAt(layers, size);
    for (qsizetype i = 0; i < sets.size(); ++i) {
        if (sets.at(i).shown == shown)
            return int(i);
    }
    // Below the first size: what the smallest file shows.
    return 0;
}

const Document& SizedIcon::documentAt(int size) const {
    return setAt(size).document;
}

QImage SizedIcon::foregroundAt(int size) const {
    return setAt(size).foreground;
}

QImage SizedIcon::at(int size) const {
    const LayerSet& set = setAt(size);
    return size == set.handDrawnSize ? set.handDrawn : PlatformArt::scaled(set.rendering, size);
}

QImage SizedIcon::artworkAt(int size) const {
    const LayerSet& set = setAt(size);
    if (set.rendering.isNull())
        return QImage();
    const QImage artwork = set.artwork.get();
    // Artwork that is the rendering itself keeps the icon square as the file's square.
    return artwork.cacheKey() == set.rendering.cacheKey() ? at(size)
                                                          : PlatformArt::scaled(artwork, size);
}

QList<QImage> SizedIcon::entries(const QList<int>& sizes, bool sharp) const {
    // The sharp sizes of each set drawn together, so each picture is shrunk once for them all.
    QHash<int, QList<int>> sharpSizes;
    for (int size : sizes) {
        if (sharp && size <= sharpIconLargestSize && size != setAt(size).handDrawnSize)
            sharpSizes[layerSetAt(size)] << size;
    }
    QHash<int, QList<QImage>> drawn;
    for (auto i = sharpSizes.cbegin(); i != sharpSizes.cend(); ++i) {
        const Document& shown = sets.at(i.key()).document;
        drawn[i.key()] =
            renderSharpIcons(shown.style, shown.layers, shown.style.canvasFactor, i.value());
    }
    QList<QImage> images;
    for (int size : sizes) {
        const int set = layerSetAt(size);
        const qsizetype sharpAt = sharpSizes.value(set).indexOf(size);
        images << (sharpAt >= 0 ? drawn.value(set).at(sharpAt) : at(size));
    }
    return images;
}
