#pragma once

#include "picture/helperprotocol.h"

#include <QByteArray>
#include <QString>

// The application's side of its picture helpers: processes of this same program, started on
// demand and kept while it runs, that decode untrusted raster pictures and draw SVG so that a
// decoder or drawing library that fails on a picture takes down a helper, never the application.
// A helper that dies, stops answering or runs past its limits fails that request with a reason
// and is started again for the next. Safe from any thread: each thread's request takes a helper
// of its own while one is free, up to one a core.
namespace PictureHelper {

// The program started as helper with the argument `helperArgument`; empty (the start) decodes
// and draws in this process, as the helper itself does and where no helper can run (Windows).
// The environment variable GLIMMERDOCK_PICTURE_HELPER names one for programs that are no
// helper themselves (the tests).
void useProgram(const QString& path);
bool inUse();

inline constexpr char helperArgument[] = "--picture-helper";

// The answers, or a refusal saying what failed: "the picture decoder failed on it", "the SVG
// drawing library failed on it", or that it took too long.
HelperProtocol::Answer decode(const QByteArray& bytes, qint64 pixelsLeft);
HelperProtocol::Answer declaredSize(const QByteArray& bytes);
// The cleaned SVG `svg` (known by `id`) drawn on a transparent canvas of `size`.
HelperProtocol::Answer draw(const QByteArray& svg, const quint64 (&id)[2], QSize size,
                            const QTransform& toCanvas, const QRectF& target);

} // namespace PictureHelper
