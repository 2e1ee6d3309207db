#pragma once

#include "document/iconstyle.h"
#include "document/layer.h"

#include <QImage>
#include <QList>

// Largest entry drawn at its own size when sharp small sizes are on.
inline constexpr int sharpIconLargestSize = 64;

// The icon drawn at one small size (16 to 64 px) from the style and the layers themselves instead
// of scaled down from the big rendering: the container's straight edges on whole pixels, the
// border at least one whole pixel wide, no 3D edge and no glossy highlight below 24 px, the badge
// a band without text where its text would be under 7 px tall, and pictures drawn from their
// source at the entry's scale with smooth filtering on premultiplied pixels. The layers' positions
// and scales are in canvas pixels of factor `k`. Answers size x size premultiplied ARGB.
QImage renderSharpIcon(const IconStyle& style, const QList<Layer>& layers, int k, int size);

// The icons of `sizes` as renderSharpIcon draws them, each picture shrunk once for all of them.
QList<QImage> renderSharpIcons(const IconStyle& style, const QList<Layer>& layers, int k,
                               const QList<int>& sizes);
