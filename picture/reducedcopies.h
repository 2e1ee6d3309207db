#pragma once

#include <QImage>
#include <QList>
#include <QSize>

// Smooth copies of a picture at a half, a quarter, ... of its size, each made from the one before
// when first asked for. A picture shown much smaller than it is gets drawn from the copy nearest
// above the size shown, so each drawing reads a few source pixels per pixel drawn, not the whole
// picture, and still averages every pixel it shrinks. The picture itself is not held, so whoever
// keeps the copies does not keep it alive.
class ReducedCopies {
public:
    // The smallest copy, `source` itself included, at least `size` each way; `source` must be
    // the picture these are copies of (their keeper tells them apart by its cache key).
    QImage atLeast(const QImage& source, QSize size);

    // Bytes held by the copies made so far.
    qint64 sizeInBytes() const;

private:
    // levels[i] is the picture halved i + 1 times.
    QList<QImage> levels;
};
