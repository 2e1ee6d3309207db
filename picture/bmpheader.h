#pragma once

#include <QByteArray>

// What a BMP file's headers say of the pixels it must hold.
namespace BmpHeader {

bool isBmp(const QByteArray& bytes);

// Whether the uncompressed pixels the headers declare (rows of the declared width and depth,
// padded to 4 bytes, as many as the height says, top-down or bottom-up) run past the end of the
// file. A reader would leave the rest of the picture as whatever its memory held.
bool endsEarly(const QByteArray& bytes);

} // namespace BmpHeader
