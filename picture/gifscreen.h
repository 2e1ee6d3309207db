#pragma once

#include <QByteArray>
#include <QRect>

#include <optional>

// Where the first frame of a GIF lies on its logical screen. A browser composes the first frame
// on a transparent screen; Qt's reader fills the screen with the background colour first, so what
// the frame leaves uncovered would show that colour opaque.
namespace GifScreen {

// The first frame's place on the screen of the GIF in `bytes`, read from the blocks before its
// pixels; nothing when `bytes` are no GIF or end first.
std::optional<QRect> firstFrame(const QByteArray& bytes);

} // namespace GifScreen
