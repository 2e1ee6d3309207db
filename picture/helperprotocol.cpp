#include "helperprotocol.h"

#include "picture/picturelimits.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace HelperProtocol {

Request drawRequest(const quint64 (&picture)[2], QSize size, const QTransform& toCanvas,
                    const QRectF& target) {
    Request request;
    request.kind = Kind::draw;
    std::copy(std::begin(picture), std::end(picture), request.picture);
    request.width = size.width();
    request.height = size.height();
    const double transform[6] = {toCanvas.m11(), toCanvas.m12(), toCanvas.m21(),
                                 toCanvas.m22(), toCanvas.dx(),  toCanvas.dy()};
    std::copy(std::begin(transform), std::end(transform), request.transform);
    const double rectangle[4] = {target.x(), target.y(), target.width(), target.height()};
    std::copy(std::begin(rectangle), std::end(rectangle), request.target);
    return request;
}

QTransform transformOf(const Request& request) {
    const double* m = request.transform;
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

QRectF targetOf(const Request& request) {
    return QRectF(request.target[0], request.target[1], request.target[2], request.target[3]);
}

Reply reply(Status status, const QString& reason, QSize size) {
    Reply answer;
    answer.status = status;
    answer.width = std::max(0, size.width());
    answer.height = std::max(0, size.height());
    QByteArray text = reason.toUtf8();
    qsizetype length = std::min<qsizetype>(text.size(), sizeof(answer.reason));
    // Never a character cut in half: UTF-8's continuation bytes are 10xxxxxx.
    while (length < text.size() && length > 0 && (uchar(text.at(length)) & 0xc0) == 0x80)
        --length;
    std::memcpy(answer.reason, text.constData(), size_t(length));
    answer.reasonBytes = quint32(length);
    return answer;
}

std::optional<qsizetype> pixelBytes(QSize size) {
    if (size.width() < 1 || size.height() < 1 || size.width() > PictureLimits::maxSide ||
        size.height() > PictureLimits::maxSide)
        return std::nullopt;
    return qsizetype(size.width()) * size.height() * 4;
}

std::optional<Answer> answerOf(const Reply& reply, const void* pixels, qsizetype memoryBytes,
                               QImageCleanupFunction release, void* releaseInfo) {
    const bool known = reply.status == Status::done || reply.status == Status::refused ||
                       reply.status == Status::tooLarge || reply.status == Status::needsText;
    if (reply.magic != magic || !known || reply.reasonBytes > sizeof(reply.reason))
        return std::nullopt;
    Answer answer;
    answer.status = reply.status;
    answer.refusal = QString::fromUtf8(reply.reason, reply.reasonBytes);
    if (reply.width < 0 || reply.height < 0)
        return std::nullopt;
    answer.size = QSize(reply.width, reply.height);
    if (!pixels)
        return answer;
    const std::optional<qsizetype> bytes = pixelBytes(answer.size);
    if (reply.status != Status::done || !bytes || *bytes != memoryBytes)
        return std::nullopt;
    answer.image = QImage(static_cast<uchar*>(const_cast<void*>(pixels)), reply.width, reply.height,
                          qsizetype(reply.width) * 4, QImage::Format_ARGB32_Premultiplied, release,
                          releaseInfo);
    return answer;
}

} // namespace HelperProtocol
