#include "pictureserver.h"

#include "picture/helperprocess.h"
#include "picture/helperprotocol.h"
#include "picture/helpersandbox.h"
#include "picture/picturedecoder.h"
#include "picture/picturehelper.h"
#include "picture/pictureintake.h"
#include "picture/picturelimits.h"
#include "picture/vectorpicture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>

#include <list>
#include <memory>
#include <utility>

using HelperProtocol::Reply;
using HelperProtocol::Request;
using HelperProtocol::Status;

namespace {

// Drawings kept by the hash of their text, so that the turns and zooms of a layer parse it once.
constexpr std::size_t keptDrawings = 16;

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

// Everything decoding and drawing load from files, loaded before the sandbox shuts files out:
// every image plugin of Qt, ImageMagick's JPEG and TIFF coders (colour profiles), librsvg's
// filters and embedded-picture loaders. Fonts are not: the sandbox leaves their folders readable,
// and text drawn here first would change which face a later text falls back to.
void loadWhatDecodingNeeds() {
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        QBuffer empty;
        empty.open(QIODevice::ReadOnly);
        QImageReader(&empty, format).canRead();
    }
    QImage dot(2, 2, QImage::Format_ARGB32);
    dot.fill(Qt::red);
    for (const char* format : {"jpeg", "tiff", "png", "webp", "bmp", "ico"})
        PictureIntake::decode(encoded(dot, format));
    PictureDecoder::loadColourConversion(encoded(dot, "jpeg"), "jpeg");
    PictureDecoder::loadColourConversion(encoded(dot, "tiff"), "tiff");
    const QByteArray gif = "R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7";
    QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='64' height='64'>"
                     "<filter id='b'><feGaussianBlur stdDeviation='1'/></filter>"
                     "<g filter='url(#b)'><rect width='9' height='9'/>";
    svg += "</g><image width='4' height='4' href='data:image/png;base64," +
           encoded(dot, "png").toBase64() + "'/><image width='4' height='4' " +
           "href='data:image/jpeg;base64," + encoded(dot, "jpeg").toBase64() +
           "'/><image width='4' height='4' href='data:image/gif;base64," + gif + "'/></svg>";
    if (const auto picture = VectorPicture::read(svg, nullptr))
        picture->image(QSize(64, 64));
}

// Sends `reply` with `image`'s pixels beside it, in memory that is then sealed.
bool sendPixels(int channel, const QImage& image) {
    const QSize size = image.size();
    const std::optional<qsizetype> bytes = HelperProtocol::pixelBytes(size);
    const int memory = bytes ? SharedMemory::create(std::size_t(*bytes)) : -1;
    bool written = memory >= 0;
    for (int y = 0; written && y < size.height(); ++y)
        written = SharedMemory::write(memory, std::size_t(y) * size.width() * 4,
                                      image.constScanLine(y), std::size_t(size.width()) * 4);
    const Reply reply =
        written && SharedMemory::seal(memory)
            ? HelperProtocol::reply(Status::done, QString(), size)
            : HelperProtocol::reply(Status::refused, QStringLiteral("out of memory"));
    const bool sent = HelperChannel::send(channel, &reply, sizeof(reply),
                                          reply.status == Status::done ? memory : -1);
    SharedMemory::close(memory);
    return sent;
}

class Server {
public:
    explicit Server(int channel) : channel(channel) {}

    bool answer(const Request& request, const QByteArray& payload) {
        switch (request.kind) {
        case HelperProtocol::Kind::decode:
            return answerDecode(payload, request.pixelsLeft);
        case HelperProtocol::Kind::declaredSize: {
            const QSize size = PictureDecoder(payload).size();
            return send(HelperProtocol::reply(Status::done, QString(), size));
        }
        case HelperProtocol::Kind::draw:
            return answerDraw(request, payload);
        }
        return send(HelperProtocol::reply(Status::refused, QStringLiteral("cannot be read")));
    }

private:
    int channel;
    std::list<std::pair<std::pair<quint64, quint64>, std::shared_ptr<const VectorPicture>>> kept;

    bool send(const Reply& reply) {
        return HelperChannel::send(channel, &reply, sizeof(reply), -1);
    }

    bool answerDecode(const QByteArray& bytes, qint64 pixelsLeft) {
        const PictureIntake::Picture picture = PictureIntake::decode(bytes, pixelsLeft);
        if (picture.image.isNull())
            return send(HelperProtocol::reply(picture.tooLarge ? Status::tooLarge : Status::refused,
                                              picture.refusal));
        return sendPixels(channel, picture.image);
    }

    std::shared_ptr<const VectorPicture> drawing(const Request& request, const QByteArray& svg) {
        const std::pair<quint64, quint64> id{request.picture[0], request.picture[1]};
        for (auto entry = kept.begin(); entry != kept.end(); ++entry) {
            if (entry->first == id) {
                kept.splice(kept.begin(), kept, entry);
                return entry->second;
            }
        }
        if (svg.isEmpty())
            return nullptr;
        // A copy: the text is kept past the request, whose memory is then let go.
        auto picture = VectorPicture::fromCleaned(QByteArray(svg.constData(), svg.size()));
        kept.emplace_front(id, picture);
        if (kept.size() > keptDrawings)
            kept.pop_back();
        return picture;
    }

    bool answerDraw(const Request& request, const QByteArray& svg) {
        const std::shared_ptr<const VectorPicture> picture = drawing(request, svg);
        if (!picture)
            return send(HelperProtocol::reply(Status::needsText));
        QString failure;
        const QImage drawn = picture->drawn(QSize(request.width, request.height),
                                            HelperProtocol::transformOf(request),
                                            HelperProtocol::targetOf(request), &failure);
        if (drawn.isNull())
            return send(HelperProtocol::reply(Status::refused, failure));
        return sendPixels(channel, drawn);
    }
};

// The payload beside a request, as bytes; empty when none came or it cannot be mapped.
QByteArray payloadOf(const Request& request, int memory) {
    if (memory < 0 || request.payloadBytes == 0 ||
        request.payloadBytes > quint64(PictureLimits::maxFileBytes))
        return {};
    const std::size_t size = std::size_t(request.payloadBytes);
    void* mapped = SharedMemory::map(memory, size);
    if (!mapped)
        return {};
    // A copy would double what a large file costs here; the bytes are let go with the request.
    return QByteArray::fromRawData(static_cast<const char*>(mapped), qsizetype(size));
}

QtMessageHandler qtHandler = nullptr;

// The helper's notes (a damaged file's warnings) are nobody's concern; its failures are answered.
void quiet(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg)
        qtHandler(type, context, message);
}

} // namespace

namespace PictureServer {

int run(int argc, char** argv) {
    PictureHelper::useProgram(QString());
    qtHandler = qInstallMessageHandler(quiet);
    // The libraries' own warnings and a dying library's last words are nobody's concern: each
    // failure is answered, or told by the application.
    HelperSandbox::silenceErrors();
    QCoreApplication application(argc, argv);
    QImageReader::setAllocationLimit(PictureLimits::allocationLimitMB);
    loadWhatDecodingNeeds();
    HelperSandbox::enter();
    Server server(HelperProcess::channelFd);
    for (;;) {
        Request request;
        int memory = -1;
        if (!HelperChannel::receive(HelperProcess::channelFd, &request, sizeof(request), &memory))
            return 0;
        HelperSandbox::startRequest();
        const QByteArray payload = payloadOf(request, memory);
        SharedMemory::close(memory);
        const bool answered =
            request.magic == HelperProtocol::magic && server.answer(request, payload);
        if (!payload.isEmpty())
            SharedMemory::unmap(const_cast<char*>(payload.constData()),
                                std::size_t(payload.size()));
        if (!answered)
            return 1;
    }
}

} // namespace PictureServer
