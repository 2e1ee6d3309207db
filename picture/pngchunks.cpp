#include "pngchunks.h"

#include <QtEndian>

#include <cstring>

namespace PngChunks {

namespace {

constexpr char signature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype signatureLength = 8;
// Length, type and checksum around a chunk's data.
constexpr qint64 chunkFrame = 12;

} // namespace

bool isPng(const QByteArray& bytes) {
    return bytes.size() >= signatureLength &&
           std::memcmp(bytes.constData(), signature, signatureLength) == 0;
}

// A file cut short within a chunk's frame is left to libpng, which reports it without
// allocating anything it claims.
bool fitTheFile(const QByteArray& bytes) {
    qsizetype at = signatureLength;
    while (at + 8 <= bytes.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        if (chunkFrame + length > bytes.size() - at)
            return false;
        if (std::memcmp(bytes.constData() + at + 4, "IEND", 4) == 0)
            return true;
        at += qsizetype(chunkFrame + length);
    }
    return true;
}

} // namespace PngChunks
