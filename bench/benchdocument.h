#pragma once

#include "document/iconstyle.h"
#include "document/layer.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class CanvasWidget;

// The realistic document every benchmark works on: photographs (JPEG) and drawings with
// transparency (PNG) written by the benchmark itself, dropped onto a real canvas, on a style with
// every flag on and a diagonal badge.
namespace BenchDocument {

// Before the QApplication exists: offscreen platform unless one is chosen, trace lines off.
void prepareProcess();

// After the QApplication exists: ImageMagick ready, settings in test mode (never the user's).
void initApplication();

// Writes `count` pictures into `folder`: even ones JPEG photographs, odd ones PNG drawings.
QStringList writePictures(const QString& folder, int count);

// Writes `count` JPEG photographs of `size` into `folder`.
QStringList writePhotographs(const QString& folder, int count, QSize size);

// Writes a JPEG photograph of `size` into `folder` as a camera writes one held upright: stored
// turned a quarter with an EXIF orientation tag (6) saying so and, when `profiled`, an Adobe RGB
// colour profile. Answers its path.
QString writeCameraPhotograph(const QString& folder, QSize size, bool profiled);

// Every style flag on (background gradient, 3D, border, glossy, clipping, badge), diagonal badge
// at the bottom right, badge text measured in its font.
IconStyle fullStyle();

// Drops each of `paths` onto `canvas` with a real drop event, at points spread over the canvas,
// and turns every third picture a little, as a user would.
void dropPictures(CanvasWidget& canvas, const QStringList& paths);

// The picture list after dropping `count` pictures onto a canvas of factor k and turning some of
// them, as a user would; built once per (k, count) and then handed out as a cheap shared copy.
QList<Layer> pictures(int k, int count);

// A canvas as the form sets it up (300 x 300, drops on), at factor k, shown on screen.
void setUpCanvas(CanvasWidget& canvas, int k);

// The canvas point (widget pixels) on top of the topmost picture, for pressing and dragging.
QPoint pointOnTopPicture(int k);

} // namespace BenchDocument
