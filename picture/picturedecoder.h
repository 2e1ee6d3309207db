#pragma once

#include "picture/gifscreen.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QSize>

#include <optional>

// Turns a picture file's bytes into the picture a layer holds: upright as its orientation tag says,
// in sRGB, and 32-bit premultiplied ARGB whatever it was stored as, so one picture looks the same
// however it was stored and whether it was dropped or read from a project. The format is told by
// the content, never by a file name. SVG is no picture here (VectorPicture reads it). An animated
// GIF shows its first frame as a browser does: on a transparent screen.
class PictureDecoder {
public:
    explicit PictureDecoder(const QByteArray& bytes);
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // The size the header declares (an icon file's largest entry), known before any pixel is
    // decoded, so limits can be checked first; empty when the bytes hold no picture.
    QSize size() const;
    // The picture; null when it cannot be decoded.
    QImage read();

    // Loads what converting the colours of a picture of `format` ("jpeg", "tiff") takes, by
    // reading `bytes` of that format; for a process that can load nothing later.
    static void loadColourConversion(const QByteArray& bytes, const QByteArray& format);

private:
    QImage decoded();
    QImage readZeroed();

    QByteArray bytes;
    // Where a GIF's first frame lies on its screen.
    std::optional<QRect> gifFrame;
    QBuffer buffer;
    QImageReader reader;
};
