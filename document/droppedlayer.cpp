#include "droppedlayer.h"

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
