#pragma once

#include "document/iconstyle.h"
#include "document/layer.h"

#include <QList>

// One state of the document: what an undo step goes back to, what a project file keeps and what
// the command line renders. Copies are cheap: the pictures inside are implicitly shared.
struct Document {
    IconStyle style;
    // Stacking order, bottom layer first.
    QList<Layer> layers;
    // List position of the selected layer, or -1.
    int selected = -1;
};

// Whether two snapshots show the same document: the same stored style, canvas size included, and
// the same layers with the same pictures in the same places. The selection does not count.
bool sameDocument(const Document& a, const Document& b);

// Drops from `kept` the made pixels (`image`) of every layer whose pixels `current` does not show:
// a history step would otherwise hold a made picture (up to 13 MB) for each zoom or turn it can
// take back. remakeDroppedImages() makes them again when the step is shown.
void dropImagesNotIn(Document& kept, const Document& current);
void remakeDroppedImages(QList<Layer>& layers);
