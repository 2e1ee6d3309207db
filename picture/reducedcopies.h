#pragma once

#include <QImage>
#include <QList>
#include <QSize>

// Smooth copies of a picture at a half, a quarter, ... of its size, each made from the one before
// when first asked for. A picture shown much smaller than it is gets drawn from the copy nearest
// above the size shown, so each drawing reads a few source pixels per pixel drawn, not the whole
// picture, and still averages every pixel it shrinks.
class ReducedCopies {
public:
    explicit ReducedCopies(const QImage& source);

    // Whether these are copies of `source`.
    bool reduces(const QImage& source) const;

    // The smallest copy, the source itself included, at least `size` each way.
    QImage atLeast(QSize size);

private:
    // levels[0] is the source.
    QList<QImage> levels;
};
