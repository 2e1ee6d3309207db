#pragma once

#include "output/outputfailure.h"
#include "output/pendingpng.h"
#include "output/pngencodings.h"
#include "render/sizedicon.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QThreadPool>

// The threads pictures are drawn and encoded on. Their tasks never wait for other tasks, so any
// thread, one of another pool included, may wait for them without a deadlock.
QThreadPool& encodingPool();

// Writes every image to its file as PNG, going on past failures; the images are encoded side by
// side on every core, the files written in list order. An existing file is replaced only by a
// complete new one. Answers the files that could not be written.
OutputFailures writePngImages(const QList<PendingPng>& images, PngEncodings& encodings);

// "48x48.png" in `folder`, joined with the platform's separator (never doubled at a drive root).
QString pngFileName(const QString& folder, int size);

// One pending PNG per edge length, in list order, each the icon at that size.
QList<PendingPng> pendingPngs(const QString& folder, const QList<int>& sizes,
                              const SizedIcon& icon);
