#pragma once

#include "canvas/canvaswidget.h"
#include "document/document.h"
#include "document/editeddocument.h"
#include "document/iconstyle.h"
#include "document/layer.h"

#include <QEvent>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

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

// True in a smoke run (GLIMMERDOCK_BENCH_SMOKE set, as scripts/test sets it): every benchmark runs
// once, on fewer pictures, so a broken one fails the suite; its figures mean nothing.
bool smokeRun();

// Stops the program with `what` on standard error and exit code 1: a benchmark that cannot set up
// what it measures must not print a figure for something else.
[[noreturn]] void fail(const QString& what);

// Drops each of `paths` onto `canvas` with a real drop event, at points spread over the canvas,
// and turns every third picture a little with Shift + wheel, as a user would. `shown` is the
// document the canvas shows; each drop waits until its picture is a layer of it (a big picture is
// read beside the window's thread) and selected, and fails the program if it never comes.
void dropPictures(CanvasWidget& canvas, const Document& shown, const QStringList& paths);

// A wheel turn of `notches` over `canvas` with `modifiers` held (Shift turns, Ctrl goes further);
// one edit of the selected picture.
void turnWheel(CanvasWidget& canvas, int notches, Qt::KeyboardModifiers modifiers = {});

// The picture list after dropping `count` pictures onto a canvas of factor k and turning some of
// them, as a user would; built once per (k, count) and then handed out as a cheap shared copy.
QList<Layer> pictures(int k, int count);

// The full style at factor k holding `pictures(k, count)`, nothing selected.
Document document(int k, int count);

// A canvas as the form sets it up (300 x 300, drops on), showing and editing a document of its own,
// shown on screen.
struct ShownCanvas {
    EditedDocument edited;
    CanvasWidget canvas;

    explicit ShownCanvas(const Document& document);
};

// The selected layer of `document`; fails the program when none is selected.
const Layer& selectedLayer(const Document& document);

// The canvas point (widget pixels) on top of the topmost picture of `document`, for pressing and
// dragging.
QPoint pointOnTopPicture(const Document& document);

// A real mouse event on `widget` at `point` (widget pixels): a press or release of the left
// button, or a move with `buttons` held.
void sendMouse(QWidget* widget, QEvent::Type type, QPoint point, Qt::MouseButtons buttons);

// A whole drag on `canvas`: the left button pressed at `from`, moved to `to` and let go.
void drag(CanvasWidget& canvas, QPoint from, QPoint to);

} // namespace BenchDocument
