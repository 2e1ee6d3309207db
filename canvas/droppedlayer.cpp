#include "droppedlayer.h"

#include "canvas/canvasrules.h"

ImageData droppedLayer(const QString& filePath, const QByteArray& fileBytes, const QImage& picture,
                       QPoint widgetPoint, int k, int index) {
    ImageData layer;
    layer.filePath = filePath;
    layer.fileBytes = fileBytes;
    layer.sourceImage = picture;
    layer.scale = CanvasRules::fitScale(picture.size(), 300 * k);
    layer.rotation = 0;
    layer.position =
        CanvasRules::centredPosition(widgetPoint, k, scaledSize(picture.size(), layer.scale));
    layer.rect.moveTopLeft(layer.position);
    layer.updateImage();
    layer.index = index;
    return layer;
}
