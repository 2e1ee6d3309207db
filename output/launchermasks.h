#pragma once

#include <QImage>

// What launchers make of an adaptive icon, whose layers are squares of 108 dp: they show the
// middle 72 dp under a mask of their own, and a themed launcher draws the monochrome layer in its
// theme's colours.
namespace LauncherMasks {

enum class Mask { Circle, Squircle };

// The middle of `layers` (the background with the foreground over it) under `mask`.
QImage shown(const QImage& layers, Mask mask);

// `monochrome`'s coverage in a light theme's dark tint on its pale ground, under the circle.
QImage themed(const QImage& monochrome);

} // namespace LauncherMasks
