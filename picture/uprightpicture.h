#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QRgb>
#include <QSize>

#include <functional>

class SrgbConversion;

// A picture made upright as its orientation tag says and, with a conversion, mapped to sRGB from
// its stored 32-bit rows (RGB or unpremultiplied ARGB), band by band on two threads: while the
// stored rows of one band are read, those of the last are converted and put in place.
class UprightPicture {
public:
    // Fills `rows` with the `count` stored rows from `top` on, `stride` pixels apart; called for
    // the bands in order, on the calling thread. False when the rows cannot be had.
    using ReadRows = std::function<bool(int top, int count, QRgb* rows, qsizetype stride)>;

    // Null when a read fails or the picture's memory cannot be had.
    static QImage fromRows(QSize stored, QImage::Format format,
                           QImageIOHandler::Transformations transformation,
                           const SrgbConversion* conversion, const ReadRows& read);

private:
    UprightPicture(QSize stored, QImage::Format format,
                   QImageIOHandler::Transformations transformation,
                   const SrgbConversion* conversion);
    void place(QRgb* rows, int top, int count, qsizetype stride) const;
    void placeTurned(const QRgb* rows, int count, qsizetype stride, QRgb* first) const;

    const SrgbConversion* conversion;
    int storedWidth;
    bool turned;
    QImage upright;
    QRgb* pixels = nullptr;
    // Stored pixel (x, y) goes to pixels[base + x * stepX + y * stepY].
    qsizetype base = 0;
    qsizetype stepX = 1;
    qsizetype stepY = 0;
};

// `stored` (32-bit RGB or unpremultiplied ARGB) turned upright as `transformation` says and, with
// a `conversion`, mapped to sRGB.
QImage uprightPixels(const QImage& stored, QImageIOHandler::Transformations transformation,
                     const SrgbConversion* conversion);
