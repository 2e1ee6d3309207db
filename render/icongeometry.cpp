#include "icongeometry.h"

#include "render/badgetext.h"
#include "render/layerpixels.h"

#include "document/iconstyle.h"
#include "document/layer.h"

#include <QLinearGradient>
#include <QRectF>
#include <QRegion>
#include <QTransform>

#include <algorithm>

namespace {

// Whether `image`, lying at `rect`, has a visible pixel in `area`.
bool showsIn(const QImage& image, const QRect& rect, const QRegion& area) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (const QRect& part : area& rect) {
        for (int y = part.top(); y <= part.bottom(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y - rect.top()));
            for (int x = part.left(); x <= part.right(); ++x) {
                if (qAlpha(row[x - rect.left()]) > 0)
                    return true;
            }
        }
    }
    return false;
}

} // namespace

namespace IconGeometry {

int imageSize(int k) {
    return 256 * k;
}

int canvasSize(int k) {
    return 300 * k;
}

int margin(int k) {
    return (canvasSize(k) - imageSize(k)) / 2;
}

QRect iconRect(int k) {
    return QRect(margin(k), margin(k), imageSize(k), imageSize(k));
}

QRect shapeRect(int k) {
    return iconRect(k);
}

QPainterPath shapePath(int shape, int radius, const QRect& rect) {
    QPainterPath path;
    const QRectF area(rect);
    switch (static_cast<ContainerShape>(shape)) {
    case ContainerShape::Rectangle:
        path.addRect(area);
        break;
    case ContainerShape::RoundedRectangle:
        path.addRoundedRect(area, double(radius), double(radius), Qt::AbsoluteSize);
        break;
    case ContainerShape::Circle:
        path.addEllipse(area);
        break;
    }
    return path;
}

GradientLine gradientLine(int orientation, const QRect& rect) {
    const QPointF topLeft(rect.left(), rect.top());
    const QPointF topRight(rect.right(), rect.top());
    const QPointF bottomLeft(rect.left(), rect.bottom());
    const QPointF bottomRight(rect.right(), rect.bottom());
    switch (static_cast<GradientOrientation>(orientation)) {
    case GradientOrientation::TopDown:
        return {topLeft, bottomLeft};
    case GradientOrientation::DownTop:
        return {bottomLeft, topLeft};
    case GradientOrientation::LeftRight:
        return {topLeft, topRight};
    case GradientOrientation::RightLeft:
        return {topRight, topLeft};
    case GradientOrientation::TopLeftDownRight:
        return {topLeft, bottomRight};
    case GradientOrientation::TopRightDownLeft:
        return {topRight, bottomLeft};
    case GradientOrientation::DownLeftTopRight:
        return {bottomLeft, topRight};
    case GradientOrientation::DownRightTopLeft:
        return {bottomRight, topLeft};
    }
    return {QPointF(0, 0), QPointF(0, 0)};
}

QBrush containerBrush(const IconStyle& style, const QRect& rect) {
    if (style.backStyle == int(BackStyle::Solid))
        return QBrush(style.backColor1, Qt::SolidPattern);
    const GradientLine line = gradientLine(style.backOrientation, rect);
    QLinearGradient gradient(line.start, line.end);
    gradient.setColorAt(0.0, style.backColor1);
    gradient.setColorAt(1.0, style.backColor2);
    return QBrush(gradient);
}

QColor threeDShade() {
    return QColor(0, 0, 0, 40);
}

int threeDOffset(int k, bool useBorder, int borderWidth) {
    int offset = -5 * k;
    if (useBorder)
        offset -= borderWidth / 2;
    return offset;
}

QRect glossyRect(int k) {
    const int c = canvasSize(k);
    return QRect(24 * k, int(-c / 1.5) + 1, c - 48 * k, c);
}

int bandHeight(int lineWidth, int textHeight) {
    return int(2 * lineWidth + 1.4 * textHeight);
}

int badgeBandHeight(const IconStyle& style) {
    return bandHeight(style.badgeLineWidth, BadgeText::measured(style).height());
}

int drawnBandHeight(int bandHeight, int borderWidth) {
    return bandHeight - (borderWidth - 2);
}

int horizontalBandTop(int position, int k, int bandHeight) {
    const QRect shape = shapeRect(k);
    if (position == 0)
        return shape.bottom() + 3 - bandHeight;
    return shape.top() + 1;
}

int diagonalBandTop(int k, int bandHeight) {
    return 150 * k - bandHeight / 2;
}

DiagonalPlacement diagonalPlacement(int corner, int k, int shape) {
    const int d = (static_cast<ContainerShape>(shape) == ContainerShape::Circle ? 76 : 80) * k;
    switch (corner) {
    case 0:
        return {QPoint(-d - 60 * k + 1, 150 * k - d + 1), -45};
    case 1:
        return {QPoint(145 * k + d + 2, -d - 65 * k + 1), 45};
    case 2:
        return {QPoint(145 * k - d + 1, d - 65 * k + 2), 45};
    case 3:
        return {QPoint(d - 60 * k + 2, 150 * k + d + 2), -45};
    }
    return {QPoint(-60 * k, 150 * k), -45};
}

QPoint badgeTextPoint(int k, int bandTop, const IconStyle& style) {
    const QSize text = BadgeText::measured(style);
    const int x = 22 * k + (imageSize(k) - text.width()) / 2;
    const int y = bandTop - text.height() / 2 - style.badgeLineWidth + badgeBandHeight(style);
    return QPoint(x, y);
}

QPainterPath badgeBand(const IconStyle& style, int k) {
    const int h = badgeBandHeight(style);
    const bool horizontal = style.badgeOrientation == int(BadgeOrientation::Horizontal);
    const int top = horizontal ? horizontalBandTop(style.badgeOrientationHorizontal, k, h)
                               : diagonalBandTop(k, h);
    // The outline's pen reaches half its width beyond the rectangle.
    const double pen = style.badgeLineWidth / 2.0;
    QPainterPath band;
    band.addRect(QRectF(0, top, canvasSize(k), drawnBandHeight(h, style.borderWidth))
                     .adjusted(-pen, -pen, pen, pen));
    if (!horizontal) {
        const DiagonalPlacement placement =
            diagonalPlacement(style.badgeOrientationDiagonal, k, style.shape);
        QTransform placed;
        placed.translate(placement.translation.x(), placement.translation.y());
        placed.rotate(placement.rotation);
        band = placed.map(band);
    }
    return band.intersected(shapePath(style.shape, style.radius, shapeRect(k)));
}

bool picturesCoverBadge(const IconStyle& style, const QList<Layer>& layers) {
    if (!style.useBadge || style.clipImage)
        return false;
    const QRegion band = QRegion(badgeBand(style, style.canvasFactor).toFillPolygon().toPolygon()) &
                         iconRect(style.canvasFactor);
    return std::any_of(layers.cbegin(), layers.cend(), [&](const Layer& layer) {
        const LayerPixels::Made made = LayerPixels::made(layer);
        return showsIn(made.image, made.rect, band);
    });
}

} // namespace IconGeometry
