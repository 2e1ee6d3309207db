#include "imagedata.h"

#include <QTransform>

QImage scaledSourceImage(const QImage& source, int scale) {
    return source.scaled(source.width() * scale / 100, source.height() * scale / 100,
                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void ImageData::updateImage() {
    QTransform turn;
    turn.rotate(rotation, Qt::ZAxis);
    image = scaledSourceImage(sourceImage, scale).transformed(turn, Qt::SmoothTransformation);
    rect.setSize(image.size());
}
