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

    // A picture of SVG text that SvgCleaner has cleaned (for a picture helper, which is given
    // the text it draws); drawing it tells whether librsvg can read it.
    static std::shared_ptr<const VectorPicture> fromCleaned(const QByteArray& cleaned,
                                                            QSize natural = QSize(1, 1));

    ~VectorPicture();
    VectorPicture(const VectorPicture&) = delete;
    VectorPicture& operator=(const VectorPicture&) = delete;

    // The declared size: longest side at most 4096 (aspect kept), at least 1 x 1; without one the
    // viewBox's, then 256 x 256.
    QSize naturalSize() const { return natural; }

    // Draws the whole picture into `target`, in the painter's coordinates under whatever transform
    // it has, from the vector at the device's own pixels, so it is sharp at any scale; where it
    // cannot be drawn, a placeholder (crossed out) shows that something is missing. Safe from any
    // thread.
    void render(QPainter& painter, const QRectF& target) const;

    // The picture drawn at `size` on transparency, premultiplied ARGB; null for an empty size or
    // when it cannot be drawn, and then why in `failure`.
    QImage image(QSize size, QString* failure = nullptr) const;

    // The picture fitted into `target` and drawn on a transparent canvas of `size`, `toCanvas`
    // taking target coordinates to the canvas's pixels: by a picture helper when one is in use,
    // else here. Drawings are kept by what they derive from, so drawing the same again (a
    // repaint, an undo, an export after a preview) costs nothing, and a drawing that failed is
    // not tried again. Null, with why in `failure`, when it cannot be drawn.
    QImage drawn(QSize size, const QTransform& toCanvas, const QRectF& target,
                 QString* failure = nullptr) const;

    // Why a drawing of this picture failed, the latest; empty when none has.
    QString drawingFailure() const;

    // The cleaned SVG text the picture is drawn from: safe to hand to another SVG reader.
    const QByteArray& cleanedSvg() const { return svg; }

private:
    struct Release {
        void operator()(_RsvgHandle* handle) const;
    };
    using Handle = std::unique_ptr<_RsvgHandle, Release>;

    VectorPicture(QByteArray svg, QSize natural);
    // Drawn by librsvg in this process.
    QImage drawnHere(QSize size, const QTransform& toCanvas, const QRectF& target,
                     QString* failure) const;

    // librsvg's handle, made on the first drawing here; not to be used by two threads at once.
    mutable std::mutex drawing;
    mutable Handle handle;
    mutable bool unreadable = false;
    mutable std::mutex failing;
    mutable QString failure;
    QByteArray svg;
    QSize natural;
    // The text's hash, by which drawings are kept and a helper knows the picture.
    quint64 id[2] = {};
};
