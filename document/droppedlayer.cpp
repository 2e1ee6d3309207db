#include "droppedlayer.h"

#include <algorithm>

namespace {

// Top-left that centres a picture shown at `shown` on a widget point.
QPoint centredPosition(QPoint widgetPoint, int k, QSize shown) {
    return QPoint(widgetPoint.x() * k - shown.width() / 2,
                  widgetPoint.y() * k - shown.height() / 2);
}

} // namespace

QSize fillingSize(QSize source, int side) {
    return source.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

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
    layer.index = index;
    return layer;
}

// A whole percent cannot make every picture's longest side the icon's (a 3000 px picture at 8 %
// shows at 240 of 256), so the filling layer holds its picture scaled smoothly to the size it
// fills, at 100 %. An SVG layer is drawn from the vector at the size of its picture, so this sets
// the size it is drawn at.
Layer iconFillingLayer(const QString& filePath, const PictureIntake::Picture& picture, int k) {
    const QSize source = picture.image.size();
    const int iconSide = 256 * k;
    if (source.isEmpty())
        return droppedLayer(filePath, picture, QPoint(150, 150), k, 0);
    const QSize shown = fillingSize(source, iconSide);
    PictureIntake::Picture filling = picture;
    if (shown != source)
        filling.image =
            picture.image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    Layer layer = droppedLayer(filePath, filling, QPoint(150, 150), k, 0);
    layer.scale = 100;
    // The icon square lies centred on the canvas (300·k).
    const int margin = (300 * k - iconSide) / 2;
    layer.position =
        QPoint(margin + (iconSide - shown.width()) / 2, margin + (iconSide - shown.height()) / 2);
    return layer;
}
