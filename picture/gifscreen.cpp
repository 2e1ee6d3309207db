#include "gifscreen.h"

namespace GifScreen {
namespace {

int word(const QByteArray& bytes, qsizetype at) {
    return uchar(bytes.at(at)) | uchar(bytes.at(at + 1)) << 8;
}

// Where the data sub-blocks starting at `at` end (after their zero-length terminator), or -1.
qsizetype afterSubBlocks(const QByteArray& bytes, qsizetype at) {
    while (at >= 0 && at < bytes.size() && bytes.at(at) != 0)
        at += 1 + uchar(bytes.at(at));
    return at < bytes.size() ? at + 1 : -1;
}

// The size of the colour table a packed field announces, or 0 without one.
qsizetype colourTableSize(uchar packed) {
    return packed & 0x80 ? 3 * (qsizetype(2) << (packed & 7)) : 0;
}

} // namespace

std::optional<QRect> firstFrame(const QByteArray& bytes) {
    constexpr qsizetype header = 13;
    if ((!bytes.startsWith("GIF87a") && !bytes.startsWith("GIF89a")) || bytes.size() < header)
        return std::nullopt;
    qsizetype at = header + colourTableSize(uchar(bytes.at(10)));
    // Extensions (graphic control, comments, application data) may come before the frame.
    while (at >= 0 && at + 10 <= bytes.size() && bytes.at(at) == '!')
        at = afterSubBlocks(bytes, at + 2);
    if (at < 0 || at + 10 > bytes.size() || bytes.at(at) != ',')
        return std::nullopt;
    return QRect(word(bytes, at + 1), word(bytes, at + 3), word(bytes, at + 5),
                 word(bytes, at + 7));
}

} // namespace GifScreen
