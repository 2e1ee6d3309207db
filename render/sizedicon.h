#pragma once

#include "document/document.h"
#include "document/layer.h"

#include <QImage>
#include <QList>

#include <functional>
#include <future>

// The layers of `layers` drawn in a file or an entry `size` pixels wide, in their order.
QList<Layer> layersAtSize(const QList<Layer>& layers, int size);

// `document` as a file or an entry `size` pixels wide draws it: only the layers shown at that
// size, the selection dropped where one is left out; the document itself where none is.
Document documentAtSize(const Document& document, int size);

// Whether every size from `smallest` to `largest` draws the same layers: what a scalable file,
// drawn at any of them, needs to say the document exactly.
bool sameLayersAcross(const Document& document, int smallest, int largest);

// The hand-drawn rule. The layer of `shown` (the layers shown at `size`) whose own pixels are
// the file or entry `size` pixels wide, or -1. It is the top layer, and
// - it was given for some sizes only (a size range: a picture for every size is scaled with the
//   rest, so a document without ranges is drawn as ever),
// - it is a raster picture of exactly `size` x `size` pixels, unturned (a whole number of turns),
// - it fills the icon at that size: each edge of the layer lies within half a pixel of that size
//   of the icon square's edge,
// - and nothing is drawn over it: pictures are not clipped to the container, or the container
//   is a plain square without badge, highlight or border (which clipped pictures lie under).
// Such a file holds the picture pixel for pixel over what the layers under it and the container
// show at that size (nothing where it is opaque). Otherwise the picture is drawn like any other.
int handDrawnLayer(const Document& shown, int size);

// The icon of `document` as a file or an entry `size` pixels wide holds it: the layers shown at
// that size, drawn at the canvas factor and scaled, and a hand-drawn picture as it is.
// `rendering`, when given, is the icon of every layer (renderDocumentIcon), used where every
// layer is shown.
QImage iconAtSize(const Document& document, int size, const QImage& rendering = QImage());

// A document's icon as every file and entry holds it by its pixel size: the one place writers
// ask for "the icon at N px", so each honours the layers' size ranges, the sharp small sizes and
// the hand-drawn rule alike. Every distinct set of shown layers is drawn once, on the thread
// that makes the object (drawing the badge's text on a pool thread would leave Qt a font cache
// it frees only with the thread); afterwards it only reads what it holds, and copies share it,
// so the makers of a file set may ask it side by side.
class SizedIcon {
public:
    // What a target scales some files from, made from the rendering of the layers shown (the
    // macOS grid); the rendering itself where the target shows the icon as it is. Made when first
    // asked for, on the thread that asks: it must draw no text.
    using Artwork = std::function<QImage(const Document& shown, const QImage& rendering)>;
    // Whether the foreground (PlatformArt::foreground) of each set is drawn too.
    enum class Parts { Icon, WithForeground };

    // Nothing is drawn for a null `rendering` (a file set listing its paths): only documentAt()
    // and layerSetAt() answer then.
    explicit SizedIcon(const Document& document, const QImage& rendering = QImage(),
                       Parts parts = Parts::Icon, Artwork artwork = {});

    // The document as a file `size` pixels wide draws it (documentAtSize).
    const Document& documentAt(int size) const;
    // The same number for sizes that show the same layers, so what a writer derives from them
    // is derived once.
    int layerSetAt(int size) const;
    // The pictures and the badge shown at `size` without the container (PlatformArt::foreground),
    // the icon square at the canvas factor; null unless made with Parts::WithForeground.
    QImage foregroundAt(int size) const;
    // The file `size` pixels wide that holds the icon as it is: the layers shown there drawn and
    // scaled, or the hand-drawn picture where the rule holds.
    QImage at(int size) const;
    // The same from the artwork the object was made with (at() where it leaves the icon as it is).
    QImage artworkAt(int size) const;
    // The entries of an icon file (.ico, favicon): as at(), but with `sharp` those up to
    // sharpIconLargestSize px drawn at their own size from the style and the layers.
    QList<QImage> entries(const QList<int>& sizes, bool sharp) const;

private:
    // What every size that shows one set of layers shares.
    struct LayerSet {
        QList<bool> shown;
        Document document;
        QImage rendering;
        QImage foreground;
        std::shared_future<QImage> artwork;
        // The size the hand-drawn rule holds at, 0: none; and that file.
        int handDrawnSize = 0;
        QImage handDrawn;
    };
    QList<Layer> layers;
    QList<LayerSet> sets;

    const LayerSet& setAt(int size) const;
};
