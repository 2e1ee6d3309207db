#include "picturehelper.h"

#include "picture/helperprocess.h"
#include "trace/trace.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <list>
#include <memory>

using HelperProtocol::Answer;
using HelperProtocol::Reply;
using HelperProtocol::Request;
using HelperProtocol::Status;

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("PictureHelper", text);
}

// Longest wait for one answer: a helper is held to less processor time than this, so one that
// takes longer is stuck (or starved) and is stopped.
constexpr int answerMs = 90000;

struct Program {
    QMutex lock;
    QString path = qEnvironmentVariable("GLIMMERDOCK_PICTURE_HELPER");
};

Program& program() {
    static Program chosen;
    return chosen;
}

// The helpers, each lent to one request at a time; at most one a core, so that decoding on
// every core still takes a process each.
class Helpers {
public:
    std::unique_ptr<HelperProcess> take() {
        QMutexLocker locker(&lock);
        while (idle.empty() && started >= QThread::idealThreadCount())
            freed.wait(&lock);
        if (idle.empty()) {
            ++started;
            return std::make_unique<HelperProcess>();
        }
        std::unique_ptr<HelperProcess> helper = std::move(idle.front());
        idle.pop_front();
        return helper;
    }

    void give(std::unique_ptr<HelperProcess> helper) {
        QMutexLocker locker(&lock);
        idle.push_back(std::move(helper));
        freed.wakeOne();
    }

private:
    QMutex lock;
    QWaitCondition freed;
    std::list<std::unique_ptr<HelperProcess>> idle;
    int started = 0;
};

Helpers& helpers() {
    static Helpers all;
    return all;
}

struct Mapping {
    void* address;
    std::size_t size;
};

void unmapPixels(void* info) {
    auto* mapping = static_cast<Mapping*>(info);
    SharedMemory::unmap(mapping->address, mapping->size);
    delete mapping;
}

Answer failure(const QString& reason) {
    Answer answer;
    answer.refusal = reason;
    return answer;
}

// The pixels beside a reply made into its answer; nothing when the two do not agree.
std::optional<Answer> answerWithPixels(const Reply& reply, int memoryFd) {
    if (memoryFd < 0)
        return HelperProtocol::answerOf(reply, nullptr, 0, nullptr, nullptr);
    const std::optional<qsizetype> bytes =
        HelperProtocol::pixelBytes(QSize(reply.width, reply.height));
    void* pixels = bytes ? SharedMemory::map(memoryFd, std::size_t(*bytes)) : nullptr;
    SharedMemory::close(memoryFd);
    if (!pixels)
        return std::nullopt;
    auto* mapping = new Mapping{pixels, std::size_t(*bytes)};
    std::optional<Answer> answer =
        HelperProtocol::answerOf(reply, pixels, *bytes, unmapPixels, mapping);
    if (!answer)
        unmapPixels(mapping);
    return answer;
}

// Sends `request` with `payload` beside it to a helper, started when it is not running;
// `failed` is what the user is told when the helper dies or breaks the protocol.
Answer ask(Request request, const QByteArray& payload, const QString& failed,
           const QString& tooLong) {
    int memory = -1;
    request.payloadBytes = quint64(payload.size());
    if (!payload.isEmpty()) {
        memory = SharedMemory::create(std::size_t(payload.size()));
        if (memory < 0 ||
            !SharedMemory::write(memory, 0, payload.constData(), std::size_t(payload.size())) ||
            !SharedMemory::seal(memory)) {
            SharedMemory::close(memory);
            return failure(tr("out of memory"));
        }
    }
    const QString path = [] {
        QMutexLocker locker(&program().lock);
        return program().path;
    }();
    std::unique_ptr<HelperProcess> helper = helpers().take();
    if (!helper->running() && !helper->start(path.toStdString(), PictureHelper::helperArgument)) {
        helpers().give(std::move(helper));
        SharedMemory::close(memory);
        return failure(tr("the picture helper cannot be started"));
    }
    Reply reply;
    int replyMemory = -1;
    const bool exchanged = helper->exchange(&request, sizeof(request), memory, &reply,
                                            sizeof(reply), &replyMemory, answerMs);
    SharedMemory::close(memory);
    std::optional<Answer> answer;
    if (exchanged)
        answer = answerWithPixels(reply, replyMemory);
    const bool slow = helper->tookTooLong();
    if (!answer)
        helper->stop();
    helpers().give(std::move(helper));
    if (answer)
        return *answer;
    qCDebug(lcPicture) << "The picture helper failed; it starts again for the next picture";
    return failure(slow ? tooLong : failed);
}

QString decoderFailed() {
    return tr("the picture decoder failed on it");
}

} // namespace

namespace PictureHelper {

void useProgram(const QString& path) {
    QMutexLocker locker(&program().lock);
    program().path = path;
}

bool inUse() {
    QMutexLocker locker(&program().lock);
    return !program().path.isEmpty() && HelperProcess::available();
}

Answer decode(const QByteArray& bytes, qint64 pixelsLeft) {
    Request request;
    request.kind = HelperProtocol::Kind::decode;
    request.pixelsLeft = pixelsLeft;
    return ask(request, bytes, decoderFailed(), tr("took too long to decode"));
}

Answer declaredSize(const QByteArray& bytes) {
    Request request;
    request.kind = HelperProtocol::Kind::declaredSize;
    return ask(request, bytes, decoderFailed(), tr("took too long to decode"));
}

Answer draw(const QByteArray& svg, const quint64 (&id)[2], QSize size, const QTransform& toCanvas,
            const QRectF& target) {
    const Request request = HelperProtocol::drawRequest(id, size, toCanvas, target);
    const QString failed = tr("the SVG drawing library failed on it");
    const QString tooLong = tr("took too long to draw");
    Answer answer = ask(request, QByteArray(), failed, tooLong);
    // A helper started since it last drew this picture is given its text first.
    if (answer.status == Status::needsText)
        answer = ask(request, svg, failed, tooLong);
    return answer;
}

} // namespace PictureHelper
