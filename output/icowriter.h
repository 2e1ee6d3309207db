#pragma once

#include "output/outputfailure.h"

#include <Magick++.h>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <list>
#include <optional>

// Edge lengths of the icon file's entries, in file order, for a rendering `renderingSize` pixels
// wide at canvas size index `canvasSizeIndex`: 16, 32, 48, then one large entry per index step
// under the limits 256, 512 and 1024. A large entry is never wider than the rendering.
QList<int> icoEntrySizes(int renderingSize, int canvasSizeIndex);

// One icon entry for ImageMagick, handed over as exact un-premultiplied RGBA pixels, the same
// pixels an in-memory PNG would carry, so the alpha channel survives. Marked true colour with
// alpha: ImageMagick would otherwise store few-colour entries as grey or palette pictures and
// drop their alpha channel.
Magick::Image toMagickImage(const QImage& image);

// The entries of the icon file, each scaled from `rendering` itself, in file order.
std::list<Magick::Image> icoImages(const QImage& rendering, int canvasSizeIndex);

// The whole icon file in memory. Throws Magick::Exception when ImageMagick cannot encode it.
QByteArray encodeIco(const QImage& rendering, int canvasSizeIndex);

// Encodes the icon and replaces `fileName` with it only when the whole file could be written.
// Answers what went wrong, or nothing on success.
std::optional<OutputFailure> writeIcon(const QString& fileName, const QImage& rendering,
                                       int canvasSizeIndex);
