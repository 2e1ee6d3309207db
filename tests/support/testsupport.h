#pragma once

#include "document/document.h"

#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QtTest>

#include <functional>

class QFileDialog;
namespace Magick {
class Image;
}

namespace TestSupport {

// Test-mode settings of this executable alone, emptied, ImageMagick ready and Qt's warnings about
// slot names that only look like connect-by-name ones silenced. From initTestCase().
void initTestEnvironment();

// Empties the settings stores of the style ("Brasswick") and of the window ("Glimmerdock").
void clearSettings();
QVariant settingValue(const QString& key, const char* application = "Brasswick");
void setSettings(const QVariantMap& values, const char* application = "Brasswick");

// The child of `parent` named `name`; a missing one ends the run, as a renamed control must.
template <class T> T* child(const QObject* parent, const char* name) {
    T* widget = parent->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return widget;
}

// A picture of `size` in `color` with an opaque black cross, so scaling and turning show.
QImage crossPicture(QSize size, const QColor& color);

// `image` scaled to an `edge` x `edge` square, smoothly, as a downscaled icon is compared.
QImage smoothScaled(const QImage& image, int edge);

// A layer at `place` of an opaque picture all in `color`, at its own size.
Layer solidLayer(const QRect& place, const QColor& color);

// Mean absolute difference per byte of two images of one size and format.
double meanDifference(const QImage& a, const QImage& b);

// Pixels neither fully opaque nor fully transparent.
int partlyTransparent(const QImage& image);

// `count` 32-bit pixels in the colours of ICC profile `icc` to sRGB by LittleCMS's own transform,
// unoptimised, alpha kept.
void littleCmsToSrgb(const QByteArray& icc, const QRgb* from, QRgb* to, qsizetype count);

// Writes crossPicture to `path` in the format its suffix names (GIF through ImageMagick, which Qt
// cannot write); answers whether it was written.
bool writePicture(const QString& path, QSize size, const QColor& color);

// `image` as ImageMagick holds it (include <Magick++.h> to use it).
Magick::Image magickPicture(const QImage& image);

// `bytes` as a gzip file (an .svgz), written by zlib.
QByteArray gzipped(const QByteArray& bytes);

QByteArray readFileBytes(const QString& path);
// The colour profile `name` of Debian's libgs-common.
QByteArray iccBytes(const QString& name);
// `image` as Qt's own PNG writer writes it.
QByteArray qtPngBytes(const QImage& image);
bool writeFileBytes(const QString& path, const QByteArray& bytes);

// A whole drop of local files on `target` at `point`: enter, move and, when the drag was taken,
// the drop. Answers whether the drag was accepted.
bool dropFiles(QWidget* target, QPointF point, const QStringList& paths);

// A wheel turn of `angleDelta` over the middle of a 300 x 300 canvas, with `modifiers` held.
void wheelOver(QWidget* widget, QPoint angleDelta, Qt::KeyboardModifiers modifiers = {});

// Runs `action` on the dialog of type T once it is the active modal widget; the caller then opens
// it. Gives up after a while, closing whatever is modal, so a test fails instead of hanging.
template <typename T> void whenModal(std::function<void(T*)> action, int attempts = 1000) {
    QTimer::singleShot(10, [action, attempts]() {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            action(dialog);
            while (QTest::currentTestFailed() && QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
        } else if (attempts > 0) {
            whenModal<T>(action, attempts - 1);
        } else if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            qWarning("expected dialog never showed");
            other->reject();
        }
    });
}

// Goes to `folder` in a file dialog, types `name` and confirms as its Save or Choose button does.
void chooseInFileDialog(QFileDialog* dialog, const QString& folder, const QString& name = {},
                        int tries = 20);

// Runs `run`, answering every message box meanwhile: a question with Yes, any other box with OK
// after taking its text. Answers those texts in order.
QStringList messagesDuring(const std::function<void()>& run);

// A click of the mouse on the push button named `button` of `dialog`.
void click(QWidget* dialog, const char* button);

// The document the editor form in `window` edits (`window` may be the form itself).
const Document& documentOf(QWidget* window);

} // namespace TestSupport
