#pragma once

#include "output/pngwriter.h"

#include <QImage>

// `image` as PNG at zlib's `level` (0 to 9) with one row filter for every row (Paeth), through
// libpng itself: Qt's writer tries every filter on every row, which costs as much as the
// compression, and a platform's set holds many large pictures. Opaque images are written
// without an alpha channel.
EncodedFile encodeQuickPng(const QImage& image, int level);
