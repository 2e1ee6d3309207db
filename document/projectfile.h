#pragma once

#include "document/document.h"
#include "picture/picturelimits.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The .glimmer project file: JSON carrying the stored style, the output choices and every layer
// with its picture file's original bytes. A project file is untrusted: whatever it holds, decoding
// answers either nothing or a project within the limits below, in bounded time and memory.
namespace ProjectFile {

inline constexpr char suffix[] = "glimmer";

// Largest project file load() reads.
inline constexpr qint64 maxFileBytes = PictureLimits::maxFileBytes;
// Most layers a project may hold.
inline constexpr int maxLayers = 1000;
// Largest side of a picture and of a layer's scaled and turned image.
inline constexpr int maxImageSide = PictureLimits::maxSide;
// Most pixels of all pictures together, checked from their headers before any is decoded: as
// many as the largest picture has, so that reading and rendering a project stays below 1.5 GB
// (a picture costs its 32-bit pixels and a third more for its smaller copies).
inline constexpr qint64 maxTotalPixels = PictureLimits::maxPixels;

// The document with its output choice; the selection is not kept.
QByteArray encode(const Document& project);

// Reads a project from `bytes`, nothing selected; on failure answers nothing and puts a short
// reason for the user in `error`. Layer numbers that are negative or repeated are replaced by the
// smallest free ones.
std::optional<Document> decode(const QByteArray& bytes, QString* error);

// Reads the file at `path` (refusing files over maxFileBytes before reading them) and decodes it;
// the error then names what is wrong, the caller adds the file name.
std::optional<Document> load(const QString& path, QString* error);

} // namespace ProjectFile
