#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>
#include <QtGlobal>

#include <optional>

// The messages between the application and its picture helper: one fixed-size request, one
// fixed-size reply, each with shared memory beside it for what is large (the file's bytes or
// the SVG's text; the pixels). The application trusts nothing a reply says: a helper may have
// been taken over by the picture it decoded.
namespace HelperProtocol {

inline constexpr quint32 magic = 0x47444831; // "GDH1"

enum class Kind : quint32 {
    // A raster picture's bytes to pixels.
    decode = 1,
    // A raster picture's declared size, from its header.
    declaredSize = 2,
    // A cleaned SVG drawn under a transform.
    draw = 3,
};

enum class Status : quint32 {
    done = 1,
    refused = 2,
    // Refused for its size, which `width` and `height` hold.
    tooLarge = 3,
    // A drawing of an SVG the helper does not hold: it is to be sent again with its text.
    needsText = 4,
};

struct Request {
    quint32 magic = HelperProtocol::magic;
    Kind kind = Kind::decode;
    // decode: the pixels the picture may have.
    qint64 pixelsLeft = 0;
    // draw: the SVG by its text's hash, the canvas's size, the transform from the picture's
    // target rectangle to the canvas's pixels, and that rectangle.
    quint64 picture[2] = {};
    qint32 width = 0;
    qint32 height = 0;
    double transform[6] = {};
    double target[4] = {};
    // Bytes of the shared memory beside the request: the file (decode, declaredSize) or the SVG
    // text (draw, or none when the helper is taken to hold it).
    quint64 payloadBytes = 0;
};

struct Reply {
    quint32 magic = HelperProtocol::magic;
    Status status = Status::refused;
    // The picture's size: of the pixels beside the reply (32-bit premultiplied ARGB, rows packed)
    // or as declared.
    qint32 width = 0;
    qint32 height = 0;
    quint32 reasonBytes = 0;
    // Why it was refused, UTF-8.
    char reason[244] = {};
};

// What the application makes of a reply.
struct Answer {
    Status status = Status::refused;
    QSize size;
    QImage image;
    QString refusal;
};

Request drawRequest(const quint64 (&picture)[2], QSize size, const QTransform& toCanvas,
                    const QRectF& target);
QTransform transformOf(const Request& request);
QRectF targetOf(const Request& request);

// A reply of `status` with `reason`, cut short at a character's boundary where it is too long.
Reply reply(Status status, const QString& reason = QString(), QSize size = QSize());

// The bytes of pixels a reply of `size` carries; nothing for a size no picture taken can have.
std::optional<qsizetype> pixelBytes(QSize size);

// The answer `reply` gives with `memoryBytes` of pixels at `pixels` (null when none came, and
// then released by `release` when the answer's image lets them go); nothing when the reply is
// malformed: a wrong magic, a status or size out of range, a reason of invalid length, pixels
// missing or of another size.
std::optional<Answer> answerOf(const Reply& reply, const void* pixels, qsizetype memoryBytes,
                               QImageCleanupFunction release, void* releaseInfo);

} // namespace HelperProtocol
