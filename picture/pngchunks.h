#pragma once

#include <QByteArray>

// libpng allocates what a chunk claims before it finds that the file ends sooner: a few hundred
// bytes claiming gigabytes would cost gigabytes. PNG files are walked chunk by chunk first.
namespace PngChunks {

bool isPng(const QByteArray& bytes);

// Whether every chunk of the PNG file `bytes`, up to its end chunk, lies within the file.
bool fitTheFile(const QByteArray& bytes);

} // namespace PngChunks
