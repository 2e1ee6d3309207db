#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>

#include <memory>
#include <mutex>

class QPainter;
struct _RsvgHandle;

// An SVG or SVGZ picture, drawn by librsvg (as GNOME and rsvg-convert draw it: masks, clip paths,
// filters and embedded pictures included) at any size and under any transform. The bytes are
// untrusted: they are unpacked within a bound and rewritten by SvgCleaner before librsvg sees
// them, and librsvg is given no base to resolve a name against, so reading and drawing take
// bounded time and memory and never read another file.
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

    // The natural size the picture in `bytes` would have, read without drawing it; empty when it
    // would be refused.
    static QSize declaredSize(const QByteArray& bytes);

    ~VectorPicture();
    VectorPicture(const VectorPicture&) = delete;
    VectorPicture& operator=(const VectorPicture&) = delete;

    // The declared size: longest side at most 4096 (aspect kept), at least 1 x 1; without one the
    // viewBox's, then 256 x 256.
    QSize naturalSize() const { return natural; }

    // Draws the whole picture into `target`, in the painter's coordinates under whatever transform
    // it has, from the vector at the device's own pixels, so it is sharp at any scale. Safe from
    // any thread: drawings of one picture take turns.
    void render(QPainter& painter, const QRectF& target) const;

    // The picture drawn at `size` on transparency, premultiplied ARGB; null for an empty size.
    QImage image(QSize size) const;

    // The cleaned SVG text the picture is drawn from: safe to hand to another SVG reader.
    const QByteArray& cleanedSvg() const { return svg; }

private:
    struct Release {
        void operator()(_RsvgHandle* handle) const;
    };
    using Handle = std::unique_ptr<_RsvgHandle, Release>;

    VectorPicture(Handle handle, QSize natural, QByteArray svg);
    // Draws the picture fitted into `target` onto `canvas` (premultiplied ARGB), `toCanvas`
    // taking target coordinates to the canvas's pixels.
    void draw(QImage& canvas, const QTransform& toCanvas, const QRectF& target) const;

    // A handle is not to be used by two threads at once.
    mutable std::mutex drawing;
    Handle handle;
    QSize natural;
    QByteArray svg;
};
