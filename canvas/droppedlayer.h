#pragma once

#include "model/imagedata.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>

// The layer a decoded `picture` becomes when its file is dropped at `widgetPoint` on a canvas of
// factor k: fitted to the canvas (never enlarged), centred on the point, unturned, numbered
// `index`. The canvas and the command line both place pictures through this, so they agree.
ImageData droppedLayer(const QString& filePath, const QByteArray& fileBytes, const QImage& picture,
                       QPoint widgetPoint, int k, int index);
