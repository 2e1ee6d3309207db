#pragma once

#include "document/iconstyle.h"
#include "document/layer.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRect>

// The composition written down layer by layer from what an icon is made of, with its own numbers
// and no reuse between calls: what the renderer must match bit for bit.
namespace Reference {

// The whole 300·k canvas; the selection frame `frame` is drawn unless `forOutput`.
QImage canvas(const IconStyle& style, const QList<Layer>& images, const QRect& frame, int k,
              bool forOutput);

// The container alone, filled with its background.
QImage container(const IconStyle& style, int k);

// The finished icon: the 256·k square at 22·k of the composition, without the frame.
QImage icon(const IconStyle& style, const QList<Layer>& images, int k);

// The outline of the container.
QPainterPath outline(const IconStyle& style, int k);

} // namespace Reference
