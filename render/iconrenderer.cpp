#include "iconrenderer.h"

#include "document/localglobal.h"
#include "render/icongeometry.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace IconGeometry;

namespace {

const QColor transparent(0, 0, 0, 0);

} // namespace

IconRenderer::IconRenderer(int sizeIndex) : k(sizeIndex) {}

void IconRenderer::setSizeIndex(int sizeIndex) {
    k = sizeIndex;
}

bool IconRenderer::ContainerKey::operator==(const ContainerKey& other) const {
    return k == other.k && shape == other.shape && radius == other.radius &&
           useBackground == other.useBackground && backStyle == other.backStyle &&
           backOrientation == other.backOrientation && backColor1 == other.backColor1 &&
           backColor2 == other.backColor2;
}

bool IconRenderer::BaseKey::operator==(const BaseKey& other) const {
    return container == other.container && shapePath == other.shapePath && threeD == other.threeD &&
           offset == other.offset;
}

IconRenderer::ContainerKey IconRenderer::containerKeyOf(int k, const IconStyle& style) {
    return {k,
            style.shape,
            style.radius,
            style.useBackground,
            style.backStyle,
            style.backOrientation,
            style.backColor1,
            style.backColor2};
}

// A c x c image in `image`, in the buffer it already has unless that is the wrong size or someone
// else still holds it. The pixels are left as they are.
void IconRenderer::prepareCanvas(QImage& image) const {
    const QSize size(canvasSize(k), canvasSize(k));
    if (image.size() != size || image.format() != QImage::Format_ARGB32_Premultiplied ||
        !image.isDetached())
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
}

void IconRenderer::clearCanvas(QImage& image) const {
    prepareCanvas(image);
    image.fill(0);
}

QImage IconRenderer::renderContainer(const IconStyle& style, QPainterPath& shapePath) const {
    const ContainerKey key = containerKeyOf(k, style);
    if (!containerKey || !(*containerKey == key)) {
        containerKey.reset();
        if (!drawContainer(style))
            return containerImage;
        containerKey = key;
    }
    shapePath = containerPath;
    return containerImage;
}

bool IconRenderer::drawContainer(const IconStyle& style) const {
    const QRect rect = shapeRect(k);
    clearCanvas(containerImage);
    QPainter painter;
    if (containerImage.isNull() || !painter.begin(&containerImage))
        return false;
    containerPath = IconGeometry::shapePath(style.shape, style.radius, rect);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(containerPath);
    drawContainerFill(painter, containerPath, rect, style);
    painter.end();
    return true;
}

void IconRenderer::drawContainerFill(QPainter& painter, QPainterPath shapePath,
                                     const QRect& shapeRect, const IconStyle& style) const {
    painter.setBrush(containerBrush(style, shapeRect));
    if (style.useBackground) {
        painter.setPen(transparent);
        painter.drawPath(shapePath);
    }
}

// Steps 1 to 4 of the composition (clear canvas, container through the outline, 3D effect) on a
// canvas of their own, redrawn only when what they are drawn from changes.
const QImage& IconRenderer::baseLayers(const QImage& container, const QPainterPath& shapePath,
                                       bool threeD, int offset) const {
    const BaseKey key{container.cacheKey(), shapePath, threeD, offset};
    if (baseKey && *baseKey == key)
        return baseImage;
    baseKey.reset();
    clearCanvas(baseImage);
    QPainter painter;
    if (baseImage.isNull() || !painter.begin(&baseImage))
        return baseImage;
    painter.setClipPath(shapePath);
    painter.drawImage(baseImage.rect(), container);
    if (threeD)
        draw3dEffect(painter, container, shapePath, offset);
    painter.end();
    baseKey = key;
    return baseImage;
}

QImage IconRenderer::composeIcon(const QImage& container, QPainterPath shapePath, bool forOutput,
                                 const IconStyle& style, const QList<Layer>& images,
                                 const QRect& selectedRect) const {
    const bool threeD = style.useBackground && style.useBack3dEffect;
    const QImage& base = baseLayers(container, shapePath, threeD,
                                    threeDOffset(k, style.useBorder, style.borderWidth));
    prepareCanvas(canvasImage);
    QImage& image = canvasImage;
    if (image.isNull() || base.size() != image.size()) {
        image.fill(0);
        return image;
    }
    std::memcpy(image.bits(), base.constBits(), size_t(image.sizeInBytes()));
    QPainter painter;
    if (!painter.begin(&image)) {
        image.fill(0);
        return image;
    }

    painter.setClipPath(shapePath);
    // The layers above start with the pen and brush the 3D effect left behind.
    if (threeD)
        setShadeTools(painter);
    if (style.clipImage)
        drawPictures(painter, images, shapeWholeArea(shapePath, style));

    painter.setClipPath(shapePath);
    if (style.useBadge) {
        if (style.badgeOrientation == int(BadgeOrientation::Horizontal))
            drawHorizontalBadge(painter, style);
        else
            drawDiagonalBadge(style.badgeOrientationDiagonal, painter, style);
    }
    if (style.useGlossy)
        drawGlossy(painter);
    if (style.useBorder)
        drawBorder(painter, shapePath, style);

    if (!style.clipImage) {
        QPainterPath square;
        square.addRect(QRectF(iconRect(k)));
        painter.setClipPath(square);
        drawPictures(painter, images, QRegion(iconRect(k)));
    }
    if (!forOutput)
        drawSelectionFrame(painter, selectedRect);
    painter.end();
    return image;
}

void IconRenderer::setShadeTools(QPainter& painter) const {
    painter.setPen(transparent);
    painter.setBrush(QBrush(QColor(0, 0, 0, 40), Qt::SolidPattern));
}

void IconRenderer::draw3dEffect(QPainter& painter, const QImage& container,
                                const QPainterPath& shapePath, int offset) const {
    setShadeTools(painter);
    painter.drawPath(shapePath);
    painter.drawImage(offset, offset, container);
}

// Only the parts that will show are drawn: where a later opaque picture covers an earlier one
// fully, its pixels would be overwritten exactly. Each part is drawn 1:1 from the matching part of
// the picture, so every drawn pixel comes out as a whole draw would leave it.
void IconRenderer::drawPictures(QPainter& painter, const QList<Layer>& images,
                                const QRegion& wholeArea) const {
    QList<QRect> rects;
    QList<bool> opaque;
    for (const Layer& object : images) {
        rects << object.imageRect();
        opaque << !object.image.hasAlphaChannel();
    }
    const QList<QRegion> visible = visiblePictureParts(rects, opaque, wholeArea);
    for (int i = 0; i < images.size(); ++i) {
        for (const QRect& part : visible.at(i))
            painter.drawImage(part, images.at(i).image, part.translated(-rects.at(i).topLeft()));
    }
}

QRegion IconRenderer::shapeWholeArea(const QPainterPath& shapePath, const IconStyle& style) const {
    const QRect rect = shapeRect(k);
    if (shapePath != IconGeometry::shapePath(style.shape, style.radius, rect))
        return QRegion();
    return wholePixelArea(style.shape, style.radius, rect);
}

void IconRenderer::drawBand(QPainter& painter, int bandTop, const IconStyle& style) const {
    const int h = bandHeight(style.badgeLineWidth, style.badgeTextHeight);
    QPen pen = painter.pen();
    pen.setColor(style.badgeBorderColor);
    pen.setWidth(style.badgeLineWidth);
    painter.setPen(pen);
    painter.setBrush(QBrush(style.badgeBackColor, Qt::SolidPattern));
    painter.drawRect(QRect(0, bandTop, canvasSize(k), drawnBandHeight(h, style.borderWidth)));
}

void IconRenderer::drawBadgeText(QPainter& painter, int bandTop, const IconStyle& style) const {
    painter.setPen(style.badgeTextColor);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(style.badgeTextFont);
    painter.drawText(badgeTextPoint(k, bandTop, style), style.badgeText);
}

void IconRenderer::drawHorizontalBadge(QPainter& painter, const IconStyle& style) const {
    const int h = bandHeight(style.badgeLineWidth, style.badgeTextHeight);
    const int top = horizontalBandTop(style.badgeOrientationHorizontal, k, h);
    drawBand(painter, top, style);
    drawBadgeText(painter, top, style);
    // Left on for the rest of the composition: glossy, border and unclipped pictures after a
    // horizontal badge are antialiased, which is part of the look.
    painter.setRenderHint(QPainter::Antialiasing);
}

void IconRenderer::drawDiagonalBadge(int corner, QPainter& painter, const IconStyle& style) const {
    const int top = diagonalBandTop(k, bandHeight(style.badgeLineWidth, style.badgeTextHeight));
    painter.save();
    const DiagonalPlacement placement = diagonalPlacement(corner, k, style.shape);
    painter.translate(double(placement.translation.x()), double(placement.translation.y()));
    painter.rotate(placement.rotation);
    drawBand(painter, top, style);
    drawBadgeText(painter, top, style);
    painter.restore();
}

void IconRenderer::drawGlossy(QPainter& painter) const {
    painter.setPen(QPen(Qt::white));
    painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
    painter.setOpacity(0.5);
    painter.drawEllipse(glossyRect(k));
    painter.setOpacity(1.0);
}

void IconRenderer::drawBorder(QPainter& painter, const QPainterPath& shapePath,
                              const IconStyle& style) const {
    QPen pen = painter.pen();
    pen.setColor(style.borderColor);
    pen.setStyle(Qt::SolidLine);
    pen.setWidth(style.borderWidth);
    painter.setPen(pen);
    painter.setBrush(QBrush(transparent, Qt::SolidPattern));
    painter.drawPath(shapePath);
}

void IconRenderer::drawSelectionFrame(QPainter& painter, const QRect& selectedRect) const {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen pen = painter.pen();
    pen.setWidth(k);
    pen.setColor(QColor(0, 0, 0, 255));
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawRect(selectedRect);
    painter.restore();
}

QImage IconRenderer::renderCanvas(const IconStyle& style, const QList<Layer>& images,
                                  const QRect& selectedRect) const {
    QPainterPath shapePath;
    const QImage container = renderContainer(style, shapePath);
    return composeIcon(container, shapePath, false, style, images, selectedRect);
}

QImage IconRenderer::renderIcon(const IconStyle& style, const QList<Layer>& images) const {
    QPainterPath shapePath;
    const QImage container = renderContainer(style, shapePath);
    return composeIcon(container, shapePath, true, style, images).copy(iconRect(k));
}

QImage renderDocumentIcon(int sizeIndex) {
    return IconRenderer(sizeIndex).renderIcon(LocalGlobal::iconStyle, LocalGlobal::LImageData);
}

namespace {

// The whole pixels inside a rectangle with elliptic corners of radii rx, ry, one pixel in from the
// outline, in bands of rows; each band as wide as its narrowest row.
QRegion roundedInterior(const QRectF& area, double rx, double ry) {
    constexpr int band = 8;
    QRegion interior;
    const int first = int(std::ceil(area.top())) + 1;
    const int end = int(std::floor(area.bottom())) - 1;
    for (int top = first; top < end; top += band) {
        const int bottom = std::min(top + band, end);
        const double depth = std::max({0.0, area.top() + ry - top, bottom - (area.bottom() - ry)});
        if (ry > 0 && depth >= ry)
            continue;
        const double inset = ry > 0 ? rx - rx * std::sqrt(1 - (depth / ry) * (depth / ry)) + 1 : 1;
        const int left = int(std::ceil(area.left() + inset));
        const int right = int(std::floor(area.right() - inset));
        if (right > left)
            interior += QRect(left, top, right - left, bottom - top);
    }
    return interior;
}

} // namespace

QRegion wholePixelArea(int shape, int radius, const QRect& rect) {
    const QRectF area(rect);
    switch (static_cast<ContainerShape>(shape)) {
    case ContainerShape::Rectangle:
        return roundedInterior(area, 0, 0);
    case ContainerShape::RoundedRectangle: {
        // Qt keeps each corner radius within half the side.
        const double r = std::max(0, radius);
        return roundedInterior(area, std::min(r, area.width() / 2), std::min(r, area.height() / 2));
    }
    case ContainerShape::Circle:
        return roundedInterior(area, area.width() / 2, area.height() / 2);
    }
    return QRegion();
}

QList<QRegion> visiblePictureParts(const QList<QRect>& rects, const QList<bool>& opaque,
                                   const QRegion& wholeArea) {
    QList<QRegion> visible(rects.size());
    QRegion hidden;
    for (qsizetype i = rects.size() - 1; i >= 0; --i) {
        visible[i] = QRegion(rects.at(i)) - hidden;
        if (i < opaque.size() && opaque.at(i))
            hidden += QRegion(rects.at(i)) & wholeArea;
    }
    return visible;
}
