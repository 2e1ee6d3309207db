#pragma once

#include "document/layer.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// The canvas's pure rules for gestures and picture intake, in canvas pixels unless named
// otherwise. k is the factor between widget and canvas pixels.
namespace CanvasRules {

// The 1 x 1 canvas rectangle under a widget point.
QRect probeRect(QPoint widgetPoint, int k);

// List position of the topmost object whose rectangle meets `probe` (transparent parts count),
// or -1. With `atSize`, only the objects drawn at that icon size count.
int hitTest(const QList<Layer>& objects, const QRect& probe, int atSize = 0);

// Where a dragged object goes: it follows the mouse in canvas pixels, without bounds.
QPoint draggedPosition(QPoint pressPosition, QPoint pressPoint, QPoint widgetPoint, int k);

// Wheel degrees per axis (eighths of a degree rounded, halves away from zero).
QPoint wheelDegrees(QPoint angleDelta);

// Notches in `degrees` (15 a notch, rounded, halves away from zero).
int wheelSteps(int degrees);

// `value` moved by `steps` notches of `stride`, held within low..high instead of overflowing.
int stepped(int value, int steps, int stride, int low, int high);

// How far an arrow key moves the selected picture, in canvas pixels: 1, or 10 with Shift; none
// for other keys.
QPoint arrowNudge(int key, Qt::KeyboardModifiers modifiers);

// The files pasted text names, one a line: absolute paths or file: addresses (a file manager's
// copy as text); none when a line names no file, as in text that is not a list of paths.
QStringList pastedPaths(const QString& text);

// The screen canvas's ground, 300 x 300: a checkerboard with the icon square's edge drawn on it.
QImage canvasGround();

} // namespace CanvasRules
