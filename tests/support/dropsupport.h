#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace TestSupport {

// Writes a picture of `size` in `color` (with a black cross) to `path` in the format its suffix
// names: GIF through ImageMagick (Qt reads GIF but cannot write it), the others through Qt.
// Answers whether the file was written.
bool writePictureFile(const QString& path, QSize size, const QColor& color);

// Local-file URLs of `paths`, in order.
QList<QUrl> fileUrls(const QStringList& paths);

// Sends a drag entering `target` at `point` carrying `urls`; answers whether it was accepted.
bool sendDragEnter(QWidget* target, QPointF point, const QList<QUrl>& urls);

// A whole drop of `urls` at `point`, as the shell delivers it: enter, move and, when the widget
// accepted the drag, the drop. Answers whether the drop was delivered and accepted.
bool dropUrls(QWidget* target, QPointF point, const QList<QUrl>& urls);

bool dropFiles(QWidget* target, QPointF point, const QStringList& paths);

} // namespace TestSupport
