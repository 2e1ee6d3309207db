#include "droppedlayer.h"

#include "canvas/canvasrules.h"

ImageData droppedLayer(const QString& filePath, const PictureIntake::Picture& picture,
                       QPoint widgetPoint, int k, int index) {
    ImageData layer;
    layer.filePath = filePath;
    layer.fileBytes = picture.bytes;
    layer.sourceImage = picture.image;
    layer.vector = picture.vector;
    layer.scale = CanvasRules::fitScale(picture.image.size(), 300 * k);
    layer.rotation = 0;
    layer.position =
        CanvasRules::centredPosition(widgetPoint, k, scaledSize(picture.image.size(), layer.scale));
    layer.updateImage();
    layer.index = index;
    return layer;
}
