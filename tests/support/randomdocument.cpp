#include "randomdocument.h"

#include <QFontMetrics>

QColor RandomDocument::colour() {
    return QColor(below(256), below(256), below(256), chance(15) ? below(256) : 255);
}

IconStyle RandomDocument::style() {
    IconStyle s;
    s.shape = between(-1, 3);
    s.radius = between(0, 160);
    s.useBackground = chance(80);
    s.backStyle = between(0, 2);
    s.backOrientation = between(-1, 8);
    s.backColor1 = colour();
    s.backColor2 = colour();
    s.useBack3dEffect = chance(60);
    s.useBorder = chance(60);
    s.borderColor = colour();
    s.borderWidth = between(0, 20);
    s.useGlossy = chance(50);
    s.clipImage = chance(50);
    s.useBadge = chance(60);
    const char* texts[] = {"50% OFF", "NEW", "", "Beta 2.0"};
    s.badgeText = QString::fromLatin1(texts[below(4)]);
    s.badgeTextColor = colour();
    s.badgeTextSize = between(8, 40);
    s.badgeBackColor = colour();
    s.badgeBorderColor = colour();
    s.badgeLineWidth = between(0, 8);
    s.badgeOrientation = between(0, 2);
    s.badgeOrientationHorizontal = between(0, 2);
    s.badgeOrientationDiagonal = between(-1, 4);
    s.badgeTextFont.setPixelSize(s.badgeTextSize);
    s.badgeTextFont.setWeight(QFont::Bold);
    const QFontMetrics metrics(s.badgeTextFont);
    s.badgeTextWidth = metrics.horizontalAdvance(s.badgeText);
    s.badgeTextHeight = metrics.height();
    return s;
}

IconStyle RandomDocument::next(const IconStyle& previous) {
    const IconStyle fresh = style();
    if (chance(20))
        return fresh;
    IconStyle s = previous;
    int IconStyle::*const numbers[] = {&IconStyle::shape,
                                       &IconStyle::radius,
                                       &IconStyle::backStyle,
                                       &IconStyle::backOrientation,
                                       &IconStyle::borderWidth,
                                       &IconStyle::badgeOrientation,
                                       &IconStyle::badgeLineWidth,
                                       &IconStyle::badgeOrientationDiagonal,
                                       &IconStyle::badgeOrientationHorizontal};
    bool IconStyle::*const flags[] = {&IconStyle::useBackground, &IconStyle::useBack3dEffect,
                                      &IconStyle::useBorder,     &IconStyle::useGlossy,
                                      &IconStyle::clipImage,     &IconStyle::useBadge};
    QColor IconStyle::*const colours[] = {&IconStyle::backColor1, &IconStyle::backColor2,
                                          &IconStyle::borderColor, &IconStyle::badgeBackColor};
    const int field = below(19);
    if (field < 9)
        s.*numbers[field] = fresh.*numbers[field];
    else if (field < 15)
        s.*flags[field - 9] = !(s.*flags[field - 9]);
    else
        s.*colours[field - 15] = fresh.*colours[field - 15];
    return s;
}

ImageData RandomDocument::picture(int k) {
    const QImage::Format formats[] = {
        QImage::Format_RGB32,  QImage::Format_ARGB32,   QImage::Format_ARGB32_Premultiplied,
        QImage::Format_RGB888, QImage::Format_Indexed8, QImage::Format_Grayscale8};
    const int largest = chance(20) ? 300 : 160;
    QImage image(between(1, largest) * k, between(1, largest) * k, QImage::Format_ARGB32);
    const int kind = below(3);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = kind == 0 ? 255 : kind == 1 ? below(256) : (x + y) % 3 * 127;
            line[x] = qRgba(below(256), below(256), below(256), alpha);
        }
    }
    ImageData object;
    object.sourceImage = image.convertToFormat(formats[below(6)]);
    object.image = object.sourceImage;
    object.position = QPoint(between(-60, 300), between(-60, 300)) * k;
    object.rect = QRect(object.position, object.image.size());
    return object;
}

QList<ImageData> RandomDocument::pictures(int k) {
    QList<ImageData> list;
    for (int count = below(9); count > 0; --count)
        list << picture(k);
    return list;
}

QRect RandomDocument::frame(int k) {
    if (chance(30))
        return QRect(-1, -1, -1, -1);
    return QRect(between(0, 250) * k, between(0, 250) * k, between(1, 200) * k,
                 between(1, 200) * k);
}
