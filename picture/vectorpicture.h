#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <memory>
#include <mutex>

class QPainter;
class QSvgRenderer;

// An SVG or SVGZ picture, drawn by Qt SVG at any size and under any transform. The bytes are
// untrusted: they are unpacked within a bound and rewritten by SvgCleaner before Qt SVG sees them,
// so reading and drawing take bounded time and memory and never read another file.
class VectorPicture {
public:
    // Largest SVG text taken, plain or unpacked.
    static constexpr qsizetype maxBytes = qsizetype(16) << 20;

    // Whether `bytes` are SVG or SVGZ by their content: gzip's magic, or XML text whose first
    // character after any byte order mark and white space is '<'. No raster format starts so.
    static bool isVector(const QByteArray& bytes);

    // The picture in SVG or SVGZ `bytes`; nothing, and in `reason` why in a few words for the
    // user, when it is refused.
    static std::shared_ptr<const VectorPicture> read(const QByteArray& bytes, QString* reason);

    ~VectorPicture();
    VectorPicture(const VectorPicture&) = delete;
    VectorPicture& operator=(const VectorPicture&) = delete;

    // The declared size: longest side at most 4096 (aspect kept), at least 1 x 1; without one the
    // viewBox's, then 256 x 256.
    QSize naturalSize() const { return natural; }

    // Draws the whole picture into `target`, in the painter's coordinates under whatever transform
    // it has. Safe from any thread: drawings of one picture take turns.
    void render(QPainter& painter, const QRectF& target) const;

    // The picture drawn at `size` on transparency, premultiplied ARGB; null for an empty size.
    QImage image(QSize size) const;

    // The cleaned SVG text the picture is drawn from: safe to hand to another SVG reader.
    const QByteArray& cleanedSvg() const { return svg; }

private:
    VectorPicture(std::unique_ptr<QSvgRenderer> renderer, QSize natural, QByteArray svg);

    // Qt SVG keeps drawing state in the document, so one drawing at a time.
    mutable std::mutex drawing;
    std::unique_ptr<QSvgRenderer> renderer;
    QSize natural;
    QByteArray svg;
};
