#include "vectorpicture.h"

#include "picture/picturehelper.h"
#include "picture/svgcleaner.h"
#include "trace/trace.h"

#include <QCache>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QPaintDevice>
#include <QPainter>

#include <zlib.h>

// GLib's headers name a field "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <librsvg/rsvg.h>
#pragma pop_macro("signals")

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <optional>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("VectorPicture", text);
}

bool isGzip(const QByteArray& bytes) {
    return bytes.startsWith("\x1f\x8b");
}

// The gzip stream in `packed` unpacked; nothing when it is damaged or unpacks to more than
// maxBytes, where unpacking stops, so a small bomb costs no more than a large honest file.
std::optional<QByteArray> gunzipped(const QByteArray& packed, QString& reason) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        reason = tr("cannot be read");
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    QByteArray text;
    std::array<char, 1 << 16> chunk;
    int status = Z_OK;
    while (status == Z_OK && text.size() <= VectorPicture::maxBytes) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = uInt(chunk.size());
        status = inflate(&stream, Z_NO_FLUSH);
        text.append(chunk.data(), qsizetype(chunk.size() - stream.avail_out));
    }
    inflateEnd(&stream);
    if (text.size() > VectorPicture::maxBytes)
        reason = tr("larger than %1 MB unpacked").arg(VectorPicture::maxBytes >> 20);
    else if (status != Z_STREAM_END)
        reason = tr("cannot be read");
    return reason.isEmpty() ? std::optional<QByteArray>(text) : std::nullopt;
}

std::optional<QByteArray> svgText(const QByteArray& bytes, QString& reason) {
    if (isGzip(bytes))
        return gunzipped(bytes, reason);
    if (bytes.size() > VectorPicture::maxBytes) {
        reason = tr("larger than %1 MB").arg(VectorPicture::maxBytes >> 20);
        return std::nullopt;
    }
    return bytes;
}

// The cleaner that read the SVG or SVGZ `bytes`; nothing, and in `reason` why, when refused.
std::unique_ptr<SvgCleaner> cleanerOf(const QByteArray& bytes, QString& reason) {
    const std::optional<QByteArray> text = svgText(bytes, reason);
    if (!text)
        return nullptr;
    auto cleaner = std::make_unique<SvgCleaner>(*text);
    reason = cleaner->clean();
    return reason.isEmpty() ? std::move(cleaner) : nullptr;
}

// librsvg's handle of the cleaned document: made from the text alone, so without a base that
// any name in it could be resolved against; nothing when librsvg cannot read it.
_RsvgHandle* loadedHandle(const QByteArray& document) {
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(
        reinterpret_cast<const guint8*>(document.constData()), gsize(document.size()), &error);
    if (error) {
        qCDebug(lcPicture).noquote() << "librsvg cannot read the SVG:" << error->message;
        g_error_free(error);
    }
    return handle;
}

cairo_matrix_t cairoMatrix(const QTransform& transform) {
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, transform.m11(), transform.m12(), transform.m21(), transform.m22(),
                      transform.dx(), transform.dy());
    return matrix;
}

// The device pixels `painter` may paint within of `drawn` (device pixels too): inside its clip
// and its device. A device's width is counted in pixels (an image) or in logical units (a
// widget), so it is taken at the larger: more is never drawn, as the painter clips.
QRect paintedArea(const QPainter& painter, const QRectF& drawn, const QTransform& toDevice) {
    const QPaintDevice& device = *painter.device();
    const qreal ratio = std::max(1.0, device.devicePixelRatio());
    QRectF area = drawn & QRectF(0, 0, device.width() * ratio, device.height() * ratio);
    if (painter.hasClipping())
        area &= toDevice.mapRect(painter.clipBoundingRect());
    return area.toAlignedRect();
}

// What a drawing derives from, as the key it is kept by.
QByteArray drawingKey(const quint64 (&id)[2], QSize size, const QTransform& toCanvas,
                      const QRectF& target) {
    const double numbers[] = {double(size.width()), double(size.height()), toCanvas.m11(),
                              toCanvas.m12(),       toCanvas.m21(),        toCanvas.m22(),
                              toCanvas.dx(),        toCanvas.dy(),         target.x(),
                              target.y(),           target.width(),        target.height()};
    QByteArray key(reinterpret_cast<const char*>(id), sizeof(id));
    return key.append(reinterpret_cast<const char*>(numbers), sizeof(numbers));
}

struct Drawing {
    QImage image;
    QString failure;
};

// The latest drawings of every picture, up to a bound in bytes, shared by all threads.
class Drawings {
public:
    static Drawings& all() {
        static Drawings drawings;
        return drawings;
    }

    std::optional<Drawing> find(const QByteArray& key) {
        const std::lock_guard<std::mutex> lock(guard);
        const Drawing* drawing = kept.object(key);
        return drawing ? std::optional<Drawing>(*drawing) : std::nullopt;
    }

    void keep(const QByteArray& key, const Drawing& drawing) {
        const std::lock_guard<std::mutex> lock(guard);
        kept.insert(key, new Drawing(drawing),
                    std::max<qsizetype>(1, drawing.image.sizeInBytes() >> 10));
    }

private:
    // In kilobytes: a few canvases' worth at the largest canvas size.
    static constexpr qsizetype keptKilobytes = 64 * 1024;
    std::mutex guard;
    QCache<QByteArray, Drawing> kept{keptKilobytes};
};

// A grey square crossed out in red where a picture could not be drawn.
void drawPlaceholder(QPainter& painter, const QRectF& target) {
    painter.save();
    painter.setPen(QPen(QColor(200, 30, 30), std::max(1.0, target.width() / 32)));
    painter.setBrush(QColor(128, 128, 128, 96));
    painter.drawRect(target);
    painter.drawLine(target.topLeft(), target.bottomRight());
    painter.drawLine(target.topRight(), target.bottomLeft());
    painter.restore();
}

} // namespace

void VectorPicture::Release::operator()(_RsvgHandle* handle) const {
    g_object_unref(handle);
}

VectorPicture::VectorPicture(QByteArray text, QSize size) : svg(std::move(text)), natural(size) {
    const QByteArray hash = QCryptographicHash::hash(svg, QCryptographicHash::Sha256);
    std::memcpy(id, hash.constData(), sizeof(id));
}

VectorPicture::~VectorPicture() = default;

bool VectorPicture::isVector(const QByteArray& bytes) {
    if (isGzip(bytes))
        return true;
    qsizetype at = bytes.startsWith("\xef\xbb\xbf") ? 3 : 0;
    while (at < bytes.size() && std::isspace(uchar(bytes.at(at))))
        ++at;
    return at < bytes.size() && bytes.at(at) == '<';
}

std::shared_ptr<const VectorPicture> VectorPicture::read(const QByteArray& bytes, QString* reason) {
    QString refusal;
    std::shared_ptr<const VectorPicture> picture;
    if (const std::unique_ptr<SvgCleaner> cleaner = cleanerOf(bytes, refusal))
        picture = fromCleaned(cleaner->cleaned(), cleaner->naturalSize());
    if (!picture)
        qCDebug(lcPicture).noquote() << "SVG not read:" << refusal;
    if (reason)
        *reason = refusal;
    return picture;
}

std::shared_ptr<const VectorPicture> VectorPicture::fromCleaned(const QByteArray& cleaned,
                                                                QSize natural) {
    return std::shared_ptr<const VectorPicture>(new VectorPicture(cleaned, natural));
}

QSize VectorPicture::declaredSize(const QByteArray& bytes) {
    QString refusal;
    const std::unique_ptr<SvgCleaner> cleaner = cleanerOf(bytes, refusal);
    return cleaner ? cleaner->naturalSize() : QSize();
}

// Drawn at the device's pixels into a picture of the part shown, which the painter then draws
// one to one: librsvg draws with cairo, not with the painter.
void VectorPicture::render(QPainter& painter, const QRectF& target) const {
    const qreal ratio = painter.device()->devicePixelRatio();
    const QTransform toDevice = painter.combinedTransform() * QTransform::fromScale(ratio, ratio);
    const QRect area = paintedArea(painter, toDevice.mapRect(target), toDevice);
    if (area.isEmpty())
        return;
    QImage picture =
        drawn(area.size(), toDevice * QTransform::fromTranslate(-area.x(), -area.y()), target);
    if (picture.isNull()) {
        drawPlaceholder(painter, target);
        return;
    }
    picture.setDevicePixelRatio(ratio);
    painter.save();
    painter.resetTransform();
    painter.drawImage(QPointF(area.topLeft()) / ratio, picture);
    painter.restore();
}

QImage VectorPicture::image(QSize size, QString* failure) const {
    if (size.isEmpty())
        return {};
    return drawn(size, QTransform(), QRectF(QPointF(), QSizeF(size)), failure);
}

QImage VectorPicture::drawn(QSize size, const QTransform& toCanvas, const QRectF& target,
                            QString* failure) const {
    const QByteArray key = drawingKey(id, size, toCanvas, target);
    if (const std::optional<Drawing> kept = Drawings::all().find(key)) {
        if (failure)
            *failure = kept->failure;
        return kept->image;
    }
    Drawing made;
    if (!PictureHelper::inUse()) {
        made.image = drawnHere(size, toCanvas, target, &made.failure);
    } else {
        const HelperProtocol::Answer answer = PictureHelper::draw(svg, id, size, toCanvas, target);
        made.image = answer.image;
        made.failure = answer.refusal;
    }
    if (made.image.isNull() && made.failure.isEmpty())
        made.failure = tr("cannot be drawn");
    if (made.image.isNull()) {
        qCDebug(lcPicture).noquote() << "SVG not drawn:" << made.failure;
        const std::lock_guard<std::mutex> lock(failing);
        this->failure = made.failure;
    }
    Drawings::all().keep(key, made);
    if (failure)
        *failure = made.failure;
    return made.image;
}

QString VectorPicture::drawingFailure() const {
    const std::lock_guard<std::mutex> lock(failing);
    return failure;
}

// Cairo's ARGB32 is QImage's premultiplied ARGB32: a native 32-bit word per pixel.
QImage VectorPicture::drawnHere(QSize size, const QTransform& toCanvas, const QRectF& target,
                                QString* failure) const {
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) {
        *failure = tr("too large to draw");
        return canvas;
    }
    canvas.fill(0);
    if (!toCanvas.isInvertible() || target.isEmpty())
        return canvas;
    const std::lock_guard<std::mutex> lock(drawing);
    if (!handle && !unreadable) {
        handle.reset(loadedHandle(svg));
        unreadable = !handle;
    }
    if (!handle) {
        *failure = tr("cannot be read");
        return QImage();
    }
    // Freed by their owners whichever way the drawing ends, the context before its surface.
    const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create_for_data(canvas.bits(), CAIRO_FORMAT_ARGB32, canvas.width(),
                                            canvas.height(), int(canvas.bytesPerLine())),
        cairo_surface_destroy);
    const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cairo(cairo_create(surface.get()),
                                                                   cairo_destroy);
    const cairo_matrix_t matrix = cairoMatrix(toCanvas);
    cairo_set_matrix(cairo.get(), &matrix);
    const RsvgRectangle viewport{target.x(), target.y(), target.width(), target.height()};
    GError* error = nullptr;
    const bool drawn = rsvg_handle_render_document(handle.get(), cairo.get(), &viewport, &error);
    if (error) {
        qCDebug(lcPicture).noquote() << "librsvg cannot draw the SVG:" << error->message;
        g_error_free(error);
    }
    // Out of memory, cairo draws nothing more and librsvg says it failed: the picture is not
    // whole, and not to be shown as if it were.
    const cairo_status_t status = cairo_status(cairo.get());
    if (status == CAIRO_STATUS_NO_MEMORY)
        *failure = tr("too large to draw");
    else if (!drawn)
        *failure = tr("cannot be drawn");
    return failure->isEmpty() ? canvas : QImage();
}
