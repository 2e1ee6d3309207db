#pragma once

#include "model/iconstyle.h"
#include "model/imagedata.h"

#include <QList>
#include <QRandomGenerator>
#include <QRect>

// Random styles and documents from one seed, so that a failing case can be replayed. Values run
// a little past every valid range, where the renderer must still cope.
class RandomDocument {
public:
    explicit RandomDocument(quint32 seed) : random(seed) {}

    int below(int n) { return int(random.bounded(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    QColor colour();

    IconStyle style();
    // The next style of an editing session: mostly one field changed, now and then a new style.
    IconStyle next(const IconStyle& previous);

    // A picture of random size, pixel format and transparency, placed on or partly off the
    // canvas of factor k, as loading leaves it (scale 100, no turn).
    ImageData picture(int k);
    QList<ImageData> pictures(int k);
    // A selection frame, or none.
    QRect frame(int k);

private:
    QRandomGenerator random;
};
