#include "windowgeometry.h"

#include "settings/storedsettings.h"

#include <algorithm>
#include <climits>

namespace {

// Whether `wide` starts with `narrow` and then holds `end`.
constexpr bool sameName(const wchar_t* wide, const char* narrow, wchar_t end = 0) {
    while (*narrow != 0 && *wide == *narrow) {
        ++wide;
        ++narrow;
    }
    return *narrow == 0 && *wide == end;
}

// The key of the `n`-th row of the window's group in the settings table.
constexpr const char* windowKey(int n) {
    for (const StoredSetting& row : StoredSettings::table)
        if (row.group == SettingsGroup::Window && n-- == 0)
            return row.key;
    return "";
}

// The registry side keeps its names without Qt; they must stay the table's, or a geometry stored
// under one name would never be read under the other.
static_assert(sameName(GeometryStore::posXName, windowKey(0)) &&
              sameName(GeometryStore::posYName, windowKey(1)) &&
              sameName(GeometryStore::widthName, windowKey(2)) &&
              sameName(GeometryStore::heightName, windowKey(3)));
static_assert(sameName(GeometryStore::subKey + sizeof("Software"), StoredSettings::organisation,
                       L'\\'));

struct Span {
    uint32_t position;
    uint32_t size;
};

// One axis of the restore rules, in unsigned 32-bit arithmetic: a position off the screen (a
// negative one reads as huge) goes back to the default, then the first size rule that applies.
// The position is moved back only when the size itself was acceptable.
Span restoreSpan(uint32_t position, uint32_t size, uint32_t screen, uint32_t minimum,
                 uint32_t defaultPosition) {
    // An unknown screen gives nothing to check against: open where a first start would.
    if (screen == 0)
        return {defaultPosition, minimum};
    // On a screen smaller than the minimum a window of the minimum would hide its own frame and
    // controls; it takes the whole screen instead, so all of it stays reachable.
    if (screen < minimum)
        return {0, screen};
    if (position > screen)
        position = defaultPosition;
    if (size < minimum)
        size = minimum;
    else if (size > screen)
        size = screen;
    else if (position + size > screen)
        position = screen - size;
    return {position, size};
}

// Screens come from int metrics; clamping keeps every result representable as a widget coordinate.
uint32_t representable(uint32_t extent) {
    return std::min<uint32_t>(extent, INT_MAX);
}

} // namespace

namespace WindowGeometry {

QRect restored(GeometryStore::ScreenSize screen, Stored stored) {
    const Span horizontal =
        restoreSpan(stored.x, stored.width, representable(screen.width), minimumWidth, defaultX);
    const Span vertical =
        restoreSpan(stored.y, stored.height, representable(screen.height), minimumHeight, defaultY);
    return QRect(static_cast<int>(horizontal.position), static_cast<int>(vertical.position),
                 static_cast<int>(horizontal.size), static_cast<int>(vertical.size));
}

QRect keptOnScreen(const QRect& client, const QMargins& frame, const QRect& available) {
    const QRect inner = available.marginsRemoved(frame);
    const int width = std::clamp(client.width(), 1, std::max(1, inner.width()));
    const int height = std::clamp(client.height(), 1, std::max(1, inner.height()));
    const int x =
        std::max(inner.left(), std::min(client.x(), inner.left() + inner.width() - width));
    const int y =
        std::max(inner.top(), std::min(client.y(), inner.top() + inner.height() - height));
    return QRect(x, y, width, height);
}

Stored load() {
    Stored stored;
    GeometryStore::readValues({{GeometryStore::posXName, &stored.x},
                               {GeometryStore::posYName, &stored.y},
                               {GeometryStore::widthName, &stored.width},
                               {GeometryStore::heightName, &stored.height}});
    return stored;
}

void save(const QRect& geometry) {
    // Results are not checked: the next start copes with whatever is stored.
    GeometryStore::writeValue(GeometryStore::posXName, static_cast<uint32_t>(geometry.x()));
    GeometryStore::writeValue(GeometryStore::posYName, static_cast<uint32_t>(geometry.y()));
    GeometryStore::writeValue(GeometryStore::widthName, static_cast<uint32_t>(geometry.width()));
    GeometryStore::writeValue(GeometryStore::heightName, static_cast<uint32_t>(geometry.height()));
}

} // namespace WindowGeometry
