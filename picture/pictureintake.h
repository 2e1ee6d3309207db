#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

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
    // Why the file is not taken ("unsupported type", "cannot be read", "too large: W x H");
    // empty when it is.
    QString refusal;
};

// The last suffix of a complete suffix: "tar.png" gives "png".
QString lastSuffix(const QString& completeSuffix);

// Picture formats taken by extension, case-insensitively.
bool isAcceptedSuffix(const QString& suffix);

// Whether `path` is an existing file whose name says it is a picture the canvas takes.
bool isPictureFile(const QString& path);

// Reads the file at `path` as a picture when its name says it is one; then its contents decide
// the format, SVG (VectorPicture) or raster. Refuses, before decoding any pixel, a raster picture
// larger than PictureLimits::maxSide on a side.
Picture read(const QString& path);

// What the user is told of a refused file: its name and why.
QString refusalMessage(const QString& fileName, const QString& refusal);

} // namespace PictureIntake
