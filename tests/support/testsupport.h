#pragma once

#include "model/localglobal.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

class QListWidget;
class QWidget;

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

// True when every pixel of `image` has the alpha `alpha`.
bool everyAlphaIs(const QImage& image, int alpha);

// A picture object of `rect` filled with `color`, shown as loaded (scale 100, no rotation).
ImageData solidObject(QRect rect, const QColor& color, int index = 0);

// The value of `key` in the settings store of `application` ("Brasswick" keeps the style, the
// output choices and folders; "Glimmerdock" the window geometry).
QVariant settingValue(const QString& key, const char* application = "Brasswick");
void setSetting(const QString& key, const QVariant& value, const char* application = "Brasswick");
void setSettings(const QVariantMap& values, const char* application = "Brasswick");
// True when no settings store of the application holds any key.
bool noSettingsStored();

// The whole file, or nothing when it cannot be read.
QByteArray readFileBytes(const QString& path);
bool writeFileBytes(const QString& path, const QByteArray& bytes);

// Row texts of a list, top to bottom.
QStringList listRowTexts(const QListWidget* list);

// A wheel turn of `angleDelta` over the middle of a 300 x 300 canvas, with `modifiers` held.
void wheelOver(QWidget* widget, QPoint angleDelta, Qt::KeyboardModifiers modifiers = {});

} // namespace TestSupport
