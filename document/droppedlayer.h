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
