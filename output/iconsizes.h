#pragma once

#include <QList>

// The entries of the "Windows" icon file as the user chose them.
struct IconSizeChoice {
    // Edge lengths, ascending, each 16 to 1024; empty: the default entries of the canvas size.
    QList<int> sizes;
    // Entries up to 64 px drawn at their own size from the layers instead of scaled down.
    bool sharp = false;
};

// The rules of that choice and its place in the settings store.
namespace IconSizes {

inline constexpr int smallest = 16;
// Windows never picks an entry larger than this.
inline constexpr int largestUsedByWindows = 256;
inline constexpr int largest = 1024;

// 16, 20, 24, 32, 40, 48, 64, 96, 256: every size Windows 10 and 11 ask for.
QList<int> windowsSet();

// The sizes the next icon file holds: the chosen ones, none larger than the rendering, or the
// default entries of the canvas size (16, 32, 48 and the large ones) when none are chosen.
QList<int> entrySizes(const IconSizeChoice& choice, int renderingSize);

// The choice last stored; the default (no sizes, sharp off) when nothing usable is stored.
IconSizeChoice stored();
void store(const IconSizeChoice& choice);

} // namespace IconSizes
