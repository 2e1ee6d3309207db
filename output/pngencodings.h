#pragma once

#include "output/pngencoder.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>

#include <cstddef>
#include <future>
#include <memory>

// The PNG encodings of one write of a document's targets. The targets hold the same pictures
// many times over (the icon theme's sizes are the PNG set's; an asset catalog holds its 32 px
// twice, the .icns its 256 and 512): each picture is encoded once for them all. Safe to use from
// several threads at once; a second request for pixels being encoded waits for that encoding,
// which itself waits for nothing.
class PngEncodings {
public:
    // encodePng's bytes for `image`, made at most once for the same pixels, effort and colours.
    EncodedFile encode(const QImage& image, PngEffort effort = PngEffort::Smallest,
                       PngColours colours = PngColours::Any);

private:
    struct Entry {
        QImage pixels;
        PngEffort effort;
        PngColours colours;
        std::shared_future<EncodedFile> encoded;
    };
    QMutex mutex;
    // By a hash of the pixels; an entry is used only when its pixels are equal.
    QHash<size_t, QList<std::shared_ptr<Entry>>> entries;
};
