#include "imagedata.h"

#include <QTransform>

#include <algorithm>

QSize scaledSize(QSize source, int scale) {
    if (source.isEmpty())
        return source;
    return QSize(std::max(1, source.width() * scale / 100),
                 std::max(1, source.height() * scale / 100));
}

QImage scaledSourceImage(const QImage& source, int scale) {
    return source.scaled(scaledSize(source.size(), scale), Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
}

void ImageData::updateImage() {
    QTransform turn;
    turn.rotate(rotation, Qt::ZAxis);
    image = scaledSourceImage(sourceImage, scale).transformed(turn, Qt::SmoothTransformation);
    rect.setSize(image.size());
}
