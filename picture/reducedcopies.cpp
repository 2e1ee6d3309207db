#include "reducedcopies.h"

ReducedCopies::ReducedCopies(const QImage& source) : levels{source} {}

bool ReducedCopies::reduces(const QImage& source) const {
    return levels.first().cacheKey() == source.cacheKey();
}

QImage ReducedCopies::atLeast(QSize size) {
    for (int i = 0;; ++i) {
        if (i == levels.size()) {
            const QImage& last = levels.last();
            levels << last.scaled(last.width() / 2, last.height() / 2, Qt::IgnoreAspectRatio,
                                  Qt::SmoothTransformation);
        }
        const QSize next(levels.at(i).width() / 2, levels.at(i).height() / 2);
        if (next.width() < size.width() || next.height() < size.height() || next.isEmpty())
            return levels.at(i);
    }
}
