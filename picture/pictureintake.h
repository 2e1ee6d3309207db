#pragma once

#include "picture/picturelimits.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

class VectorPicture;

// How the canvas takes picture files: which names it considers pictures, and reading one into the
// picture a layer holds or into the reason it is refused, for the user to be told.
namespace PictureIntake {

// A file read for the canvas.
struct Picture {
    // The file as read: a project carries the original, not a re-encoding.
    QByteArray bytes;
    // Upright, in sRGB, premultiplied ARGB (PictureDecoder), or an SVG picture drawn at its
    // natural size; null when refused.
    QImage image;
    // The SVG picture itself; null for a raster picture or when refused.
    std::shared_ptr<const VectorPicture> vector;
    // Why the file is not taken ("unsupported type", "larger than 512 MB", "cannot be read",
    // "too large: W x H", or what is wrong with an SVG); empty when it is.
    QString refusal;
    // Refused for its size: a larger file than PictureLimits::maxFileBytes, more than
    // PictureLimits::maxSide on a side, or more pixels than were left for it.
    bool tooLarge = false;
};

// The last suffix of a complete suffix: "tar.png" gives "png".
QString lastSuffix(const QString& completeSuffix);

// Picture formats taken by extension, case-insensitively.
QStringList acceptedSuffixes();
bool isAcceptedSuffix(const QString& suffix);

// Whether `path` is an existing file whose name says it is a picture the canvas takes.
bool isPictureFile(const QString& path);

// Reads the file at `path` as a picture when its name says it is one and its size is within
// PictureLimits::maxFileBytes (checked before reading), then as decode() does.
Picture read(const QString& path);

// The one way from bytes to a picture, for drops, project files and the command line: the
// contents decide the format, SVG (VectorPicture) or raster. Refuses, before decoding any pixel,
// a picture larger than PictureLimits::maxSide on a side or of more than `pixelsLeft` pixels.
Picture decode(const QByteArray& bytes, qint64 pixelsLeft = PictureLimits::maxPixels);

// The size a picture's header declares (an SVG's natural size, read but not drawn), before any
// pixel is decoded; empty when it cannot be read.
QSize declaredSize(const QByteArray& bytes);

// What the user is told of a refused file: its name and why.
QString refusalMessage(const QString& fileName, const QString& refusal);

} // namespace PictureIntake
