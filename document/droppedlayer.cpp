#include "droppedlayer.h"

#include <algorithm>

namespace {

// Top-left that centres a picture shown at `shown` on a widget point.
QPoint centredPosition(QPoint widgetPoint, int k, QSize shown) {
    return QPoint(widgetPoint.x() * k - shown.width() / 2,
                  widgetPoint.y() * k - shown.height() / 2);
}

} // namespace

Layer droppedLayer(const QString& filePath, const PictureIntake::Picture& picture,
                   QPoint widgetPoint, int k, int index) {
    Layer layer;
    layer.filePath = filePath;
    layer.fileBytes = picture.bytes;
    layer.sourceImage = picture.image;
    layer.vector = picture.vector;
    layer.scale = fitScale(picture.image.size(), 300 * k);
    layer.rotation = 0;
    layer.position = centredPosition(widgetPoint, k, scaledSize(picture.image.size(), layer.scale));
    layer.updateImage();
    layer.index = index;
    return layer;
}

Layer iconFillingLayer(const QString& filePath, const PictureIntake::Picture& picture, int k) {
    Layer layer = droppedLayer(filePath, picture, QPoint(150, 150), k, 0);
    const QSize source = picture.image.size();
    const int iconSide = 256 * k;
    if (source.isEmpty())
        return layer;
    layer.scale =
        clampedScale(int(qint64(iconSide) * 100 / std::max(source.width(), source.height())));
    // The icon square lies centred on the canvas (300·k).
    const QSize shown = scaledSize(source, layer.scale);
    const int margin = (300 * k - iconSide) / 2;
    layer.position =
        QPoint(margin + (iconSide - shown.width()) / 2, margin + (iconSide - shown.height()) / 2);
    layer.updateImage();
    return layer;
}
