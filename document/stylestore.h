#pragma once

#include "document/iconstyle.h"

#include <QString>
#include <QVariantMap>

// The stored form of the icon style, under the style's keys of the settings store
// (StoredSettings). Stored values are untrusted: whatever a store holds, the
// record that comes out of loadStyle is one every control and renderer can use.
namespace StyleStore {

// Fills every stored field of `style`; a missing or unusable value takes the start value of a
// default IconStyle. The measured text fields are left alone.
void loadStyle(IconStyle& style);

// Writes all 25 keys, in table order, whether or not they differ from the start values.
void saveStyle(const IconStyle& style);

// Every stored field under its "Group/key", as saveStyle writes them: colours as "#rrggbb" text,
// the font as QFont::toString().
QVariantMap toMap(const IconStyle& style);

// Fills `style` from `values` by the same rules as loadStyle: a missing or unusable value takes
// the start value. The measured text fields are left alone.
void fromMap(IconStyle& style, const QVariantMap& values);

// "Group/key" of every stored field, in the order they are read and written.
QStringList storedKeys();

} // namespace StyleStore
