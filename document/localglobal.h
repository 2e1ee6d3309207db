#pragma once

#include "document/iconstyle.h"
#include "document/layer.h"

#include <QList>
#include <QString>

// Process-wide document state, touched only on the GUI thread.
namespace LocalGlobal {

// Stacking order: position 0 is the bottom layer, the last position the top layer.
extern QList<Layer> LImageData;
extern IconStyle iconStyle;
extern bool isShiftButtonPressed;

// "Image" followed by the decimal index: the object's row text in the picture list.
QString imageName(int index);

// First list position whose name equals `name` regardless of case, or -1.
int findImageByName(const QString& name);

// Smallest non-negative index no object carries, so numbers of deleted objects come back.
int nextFreeIndex();

// Moves the entry at `from` so that it ends at position `to`; every field travels with it.
void moveImage(int from, int to);

void removeImage(int position);

} // namespace LocalGlobal
