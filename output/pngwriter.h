#pragma once

#include "output/outputfailure.h"
#include "output/pendingpng.h"

#include <QImage>
#include <QList>
#include <QString>

// Writes every image to its file as PNG, in list order, going on past failures. An existing file
// is replaced only by a complete new one. Answers the files that could not be written.
OutputFailures writePngImages(const QList<PendingPng>& images);

// "48x48.png" in `folder`, joined with the platform's separator (never doubled at a drive root).
QString pngFileName(const QString& folder, int size);

// One pending PNG per edge length, in list order, each scaled from `rendering`.
QList<PendingPng> pendingPngs(const QString& folder, const QList<int>& sizes,
                              const QImage& rendering);
