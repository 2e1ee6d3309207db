#pragma once

#include "model/iconstyle.h"

#include <QString>

// The stored form of the icon style: organisation "Kestrelby", application "Brasswick", groups
// "Container", "Badge" and "Canvas". Stored values are untrusted: whatever a store holds, the
// record that comes out of loadStyle is one every control and renderer can use.
namespace StyleStore {

// Fills every stored field of `style`; a missing or unusable value takes the start value of a
// default IconStyle. The measured text fields are left alone.
void loadStyle(IconStyle& style);

// Writes all 25 keys, in table order, whether or not they differ from the start values.
void saveStyle(const IconStyle& style);

// "Group/key" of every stored field, in the order they are read and written.
QStringList storedKeys();

} // namespace StyleStore
