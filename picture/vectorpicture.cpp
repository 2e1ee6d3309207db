#include "vectorpicture.h"

#include "picture/svgcleaner.h"
#include "trace/trace.h"

#include <QCoreApplication>
#include <QPainter>
#include <QSvgRenderer>

#include <zlib.h>

#include <array>
#include <cctype>
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

// Qt SVG's renderer for the cleaned document; nothing when Qt SVG cannot read it.
std::unique_ptr<QSvgRenderer> loadedRenderer(const QByteArray& document) {
    auto renderer = std::make_unique<QSvgRenderer>();
    // No animation timer: the renderer may live in a thread without an event loop.
    renderer->setFramesPerSecond(0);
    if (!renderer->load(document) || !renderer->isValid())
        return nullptr;
    // As SVG fits a viewBox by default: whole and centred.
    renderer->setAspectRatioMode(Qt::KeepAspectRatio);
    return renderer;
}

} // namespace

VectorPicture::VectorPicture(std::unique_ptr<QSvgRenderer> drawer, QSize size, QByteArray text)
    : renderer(std::move(drawer)), natural(size), svg(std::move(text)) {}

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
    if (const std::optional<QByteArray> text = svgText(bytes, refusal)) {
        SvgCleaner cleaner(*text);
        refusal = cleaner.clean();
        std::unique_ptr<QSvgRenderer> svg =
            refusal.isEmpty() ? loadedRenderer(cleaner.cleaned()) : nullptr;
        if (svg)
            picture.reset(
                new VectorPicture(std::move(svg), cleaner.naturalSize(), cleaner.cleaned()));
        else if (refusal.isEmpty())
            refusal = tr("cannot be read");
    }
    if (!picture)
        qCDebug(lcPicture).noquote() << "SVG not read:" << refusal;
    if (reason)
        *reason = refusal;
    return picture;
}

void VectorPicture::render(QPainter& painter, const QRectF& target) const {
    const std::lock_guard<std::mutex> lock(drawing);
    renderer->render(&painter, target);
}

QImage VectorPicture::image(QSize size) const {
    if (size.isEmpty())
        return {};
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    render(painter, QRectF(QPointF(), QSizeF(size)));
    return picture;
}
