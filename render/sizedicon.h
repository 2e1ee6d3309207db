#pragma once

#include "document/document.h"
#include "document/layer.h"

#include <QImage>
#include <QList>

// The layers of `layers` drawn in a file or an entry `size` pixels wide, in their order.
QList<Layer> layersAtSize(const QList<Layer>& layers, int size);

// Whether any layer of `document` is drawn at some sizes and not at others.
bool hasSizeRanges(const Document& document);

// The icon of `document` as a file or an entry `size` pixels wide holds it: the layers shown at
// that size, drawn at the canvas factor and scaled. `rendering`, when given, is the icon of every
// layer (renderDocumentIcon), scaled as it is where no layer has a size range.
QImage iconAtSize(const Document& document, int size, const QImage& rendering = QImage());
