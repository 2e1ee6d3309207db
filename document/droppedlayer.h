#pragma once

#include "document/layer.h"
#include "picture/pictureintake.h"

#include <QPoint>
#include <QString>

// The layer a `picture` read from `filePath` becomes when dropped at `widgetPoint` on a canvas of
// factor k: fitted to the canvas (never enlarged), centred on the point, unturned, numbered
// `index`. The canvas and the command line both place pictures through this, so they agree.
Layer droppedLayer(const QString& filePath, const PictureIntake::Picture& picture,
                   QPoint widgetPoint, int k, int index);

// The layer a `picture` becomes as the whole icon of a canvas of factor k: its longer side spans
// the icon square exactly (enlarged or reduced: the picture is held at fillingSize, at 100 %),
// centred on it, unturned, numbered 0.
// The size a picture of `source` size fills a square of `side` at: its longest side `side`, the
// other in proportion, at least one pixel.
QSize fillingSize(QSize source, int side);

Layer iconFillingLayer(const QString& filePath, const PictureIntake::Picture& picture, int k);
