#include "reducedcopies.h"

QImage ReducedCopies::atLeast(const QImage& source, QSize size) {
    for (int i = 0;; ++i) {
        const QImage& level = i == 0 ? source : levels.at(i - 1);
        const QSize next(level.width() / 2, level.height() / 2);
        if (next.width() < size.width() || next.height() < size.height() || next.isEmpty())
            return level;
        if (i == levels.size())
            levels << level.scaled(next, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
}

qint64 ReducedCopies::sizeInBytes() const {
    qint64 bytes = 0;
    for (const QImage& level : levels)
        bytes += level.sizeInBytes();
    return bytes;
}
