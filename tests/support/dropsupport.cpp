#include "dropsupport.h"

#include "testsupport.h"

#include <Magick++.h>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QWidget>

namespace TestSupport {

namespace {

bool writeGif(const QString& path, QSize size, const QColor& color) {
    const QImage image = crossPicture(size, color, QImage::Format_RGB888);
    try {
        // Rows of a QImage are padded; hand ImageMagick a tightly packed copy.
        QByteArray pixels;
        for (int y = 0; y < image.height(); ++y)
            pixels.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 3);
        Magick::Image picture(size_t(size.width()), size_t(size.height()), "RGB", Magick::CharPixel,
                              pixels.constData());
        picture.magick("GIF");
        picture.write(path.toStdString());
    } catch (const Magick::Exception&) {
        return false;
    }
    return QFileInfo(path).size() > 0;
}

} // namespace

bool writePictureFile(const QString& path, QSize size, const QColor& color) {
    if (QFileInfo(path).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0)
        return writeGif(path, size, color);
    return writePicture(path, size, color);
}

QList<QUrl> fileUrls(const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    return urls;
}

bool sendDragEnter(QWidget* target, QPointF point, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    return enter.isAccepted();
}

bool dropUrls(QWidget* target, QPointF point, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(point.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

bool dropFiles(QWidget* target, QPointF point, const QStringList& paths) {
    return dropUrls(target, point, fileUrls(paths));
}

} // namespace TestSupport
