#include "launchermasks.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace LauncherMasks {

namespace {

// The share of a layer a launcher shows: 72 of 108 dp.
constexpr double viewShare = 72.0 / 108.0;
// A squircle's exponent: |x|^n + |y|^n = 1, as the rounded squares of common launchers.
constexpr double squircleExponent = 4;

QPainterPath outline(Mask mask, double side) {
    QPainterPath path;
    if (mask == Mask::Circle) {
        path.addEllipse(QRectF(0, 0, side, side));
        return path;
    }
    constexpr int steps = 128;
    const double half = side / 2;
    for (int i = 0; i < steps; ++i) {
        const double angle = 2 * M_PI * i / steps;
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        const QPointF point(
            half + half * std::copysign(std::pow(std::abs(c), 2 / squircleExponent), c),
            half + half * std::copysign(std::pow(std::abs(s), 2 / squircleExponent), s));
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

} // namespace

QImage shown(const QImage& layers, Mask mask) {
    const int side = int(std::lround(layers.width() * viewShare));
    const int margin = (layers.width() - side) / 2;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(outline(mask, side));
    painter.drawImage(-margin, -margin, layers);
    return image;
}

QImage themed(const QImage& monochrome) {
    QImage layers(monochrome.size(), QImage::Format_ARGB32_Premultiplied);
    layers.fill(QColor(0xd3, 0xe3, 0xfd));
    QImage tint(monochrome.size(), QImage::Format_ARGB32_Premultiplied);
    tint.fill(QColor(0x04, 0x1e, 0x49));
    {
        // The tint wherever the monochrome layer covers.
        QPainter painter(&tint);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(0, 0, monochrome);
    }
    QPainter(&layers).drawImage(0, 0, tint);
    return shown(layers, Mask::Circle);
}

} // namespace LauncherMasks
