#include "bmpheader.h"

#include <QtEndian>

#include <cstdlib>

namespace {

// Compressions whose rows are stored as they are: none, and the bit fields (with alpha or not).
bool storedPlain(quint32 compression) {
    return compression == 0 || compression == 3 || compression == 6;
}

template <typename T> T at(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

} // namespace

namespace BmpHeader {

bool isBmp(const QByteArray& bytes) {
    return bytes.size() >= 26 && bytes.startsWith("BM");
}

bool endsEarly(const QByteArray& bytes) {
    if (!isBmp(bytes))
        return false;
    const quint32 pixelsAt = at<quint32>(bytes, 10);
    const quint32 headerSize = at<quint32>(bytes, 14);
    qint64 width = 0, height = 0, depth = 0;
    if (headerSize == 12) {
        width = at<quint16>(bytes, 18);
        height = at<quint16>(bytes, 20);
        depth = at<quint16>(bytes, 24);
    } else if (headerSize >= 40 && bytes.size() >= 34) {
        if (!storedPlain(at<quint32>(bytes, 30)))
            return false;
        width = at<qint32>(bytes, 18);
        height = std::llabs(qint64(at<qint32>(bytes, 22)));
        depth = at<quint16>(bytes, 28);
    } else {
        return false;
    }
    const qint64 rowBytes = (width * depth + 31) / 32 * 4;
    const qint64 available = bytes.size() - qint64(pixelsAt);
    // Compared by division: rows of a header's claim multiplied out pass what 64 bits hold.
    return width > 0 && (available < 0 || (height > 0 && rowBytes > available / height));
}

} // namespace BmpHeader
