#include "pngencodings.h"

#include <QMutexLocker>

namespace {

// The pixels' bytes line by line, without the padding some formats leave at a line's end.
size_t hashOf(const QImage& image) {
    const qsizetype lineBytes = (qsizetype(image.width()) * image.depth() + 7) / 8;
    size_t hash = qHash(image.size()) ^ size_t(image.format());
    for (int y = 0; y < image.height(); ++y)
        hash = qHash(QByteArrayView(image.constScanLine(y), lineBytes), hash);
    return hash;
}

} // namespace

EncodedFile PngEncodings::encode(const QImage& image, PngEffort effort, PngColours colours) {
    if (image.isNull())
        return encodePng(image, effort, colours);
    const size_t hash = hashOf(image);
    std::promise<EncodedFile> promise;
    std::shared_future<EncodedFile> encoded;
    bool encodesHere = true;
    {
        const QMutexLocker lock(&mutex);
        QList<std::shared_ptr<Entry>>& alike = entries[hash];
        for (const std::shared_ptr<Entry>& entry : alike) {
            // Images of different formats never compare equal: converting may round pixels.
            if (entry->effort == effort && entry->colours == colours && entry->pixels == image) {
                encoded = entry->encoded;
                encodesHere = false;
                break;
            }
        }
        if (encodesHere) {
            encoded = promise.get_future().share();
            alike.append(std::make_shared<Entry>(Entry{image, effort, colours, encoded}));
        }
    }
    if (encodesHere)
        promise.set_value(encodePng(image, effort, colours));
    return encoded.get();
}
