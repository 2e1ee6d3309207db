#pragma once

#include "output/outputfailure.h"
#include "output/pngencodings.h"
#include "render/sizedicon.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

// The macOS icon file (.icns): every slot from 16 to 512 and its @2x twin, each the icon's artwork
// at the slot's size (SizedIcon::artworkAt; enlarged where the rendering is smaller than the slot).
// The 16 and 32 slots are the classic 24-bit colour (is32, il32) with an 8-bit mask (s8mk, l8mk),
// which every macOS version reads; PNG in those small slots is drawn wrongly by some. The @2x twins
// and the larger slots are PNG (ic11, ic12, ic07, ic13, ic08, ic14, ic09, ic10), RGB or RGBA:
// libicns, which Linux programs read icon files with, misreads palette and grey ones.
namespace IcnsWriter {

// The largest slot's side: a whole file holds every slot up to it.
constexpr int largestSlot = 1024;

// Throws std::runtime_error when an element cannot be encoded (an empty rendering). The PNG
// elements are deflated at `effort`, and the slots end at `upTo` px: the smallest and every slot
// always, but for a test of the container that cannot afford a megapixel per try.
QByteArray encode(const SizedIcon& icon, PngEncodings& encodings,
                  PngEffort effort = PngEffort::Smallest, int upTo = largestSlot);

// Replaces `fileName` only with a whole file; answers what went wrong, or nothing.
std::optional<OutputFailure> write(const QString& fileName, const SizedIcon& icon,
                                   PngEncodings& encodings);

// The same with every slot scaled from `rendering`.
QByteArray encode(const QImage& rendering, PngEncodings& encodings,
                  PngEffort effort = PngEffort::Smallest, int upTo = largestSlot);
std::optional<OutputFailure> write(const QString& fileName, const QImage& rendering,
                                   PngEncodings& encodings);

} // namespace IcnsWriter
