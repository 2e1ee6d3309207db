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
    layer.image = layer.scale == 100 ? picture : scaledSourceImage(picture, layer.scale);
    layer.position = CanvasRules::centredPosition(widgetPoint, k, layer.image.size());
    layer.rect = QRect(layer.position, layer.image.size());
    layer.index = index;
    return layer;
}
