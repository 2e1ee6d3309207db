#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace TestSupport {

// Test-mode settings of this executable alone (never the user's own, emptied), ImageMagick
// ready. Call from initTestCase().
void initTestEnvironment();

// Empties every settings store the application uses.
void clearSettings();

// A picture of `size` filled with `color`, with an opaque black cross so scaling shows.
QImage crossPicture(QSize size, const QColor& color, QImage::Format format);

// Writes a picture of `size` filled with `color` (with an opaque cross so scaling shows) to
// `path`, in the format its suffix names; answers whether it was written.
bool writePicture(const QString& path, QSize size, const QColor& color);

// The colour at (x, y), unpremultiplied whatever the image format.
QColor pixel(const QImage& image, int x, int y);

// True when every component of `actual` lies within `tolerance` of `expected`.
bool near(const QColor& actual, const QColor& expected, int tolerance = 2);

} // namespace TestSupport
