#include "iconrenderer.h"

#include "canvas/icongeometry.h"
#include "model/localglobal.h"

#include <QLinearGradient>
#include <QPainter>

using namespace IconGeometry;

namespace {

const QColor transparent(0, 0, 0, 0);

} // namespace

IconRenderer::IconRenderer(int sizeIndex) : k(sizeIndex) {}

void IconRenderer::setSizeIndex(int sizeIndex) {
    k = sizeIndex;
}

QImage IconRenderer::blankCanvas() const {
    QImage image(canvasSize(k), canvasSize(k), QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    return image;
}

QImage IconRenderer::renderContainer(const IconStyle& style, QPainterPath& shapePath) const {
    const QRect rect = shapeRect(k);
    QImage image = blankCanvas();
    QPainter painter;
    if (image.isNull() || !painter.begin(&image))
        return image;
    shapePath = IconGeometry::shapePath(style.shape, style.radius, rect);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(shapePath);
    drawContainerFill(painter, shapePath, rect, style);
    painter.end();
    return image;
}

void IconRenderer::drawContainerFill(QPainter& painter, QPainterPath shapePath,
                                     const QRect& shapeRect, const IconStyle& style) const {
    if (style.backStyle == int(BackStyle::Solid)) {
        painter.setBrush(QBrush(style.backColor1, Qt::SolidPattern));
    } else {
        const GradientLine line = gradientLine(style.backOrientation, shapeRect);
        QLinearGradient gradient(line.start, line.end);
        gradient.setColorAt(0.0, style.backColor1);
        gradient.setColorAt(1.0, style.backColor2);
        painter.setBrush(gradient);
    }
    if (style.useBackground) {
        painter.setPen(transparent);
        painter.drawPath(shapePath);
    }
}

QImage IconRenderer::composeIcon(const QImage& container, QPainterPath shapePath, bool forOutput,
                                 const IconStyle& style, const QList<ImageData>& images,
                                 const QRect& selectedRect) const {
    QImage image = blankCanvas();
    QPainter painter;
    if (image.isNull() || !painter.begin(&image))
        return image;

    painter.setClipPath(shapePath);
    painter.drawImage(image.rect(), container);
    if (style.useBackground && style.useBack3dEffect)
        draw3dEffect(painter, container, shapePath, style);
    if (style.clipImage)
        drawPictures(painter, images);

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
        drawPictures(painter, images);
    }
    if (!forOutput)
        drawSelectionFrame(painter, selectedRect);
    painter.end();
    return image;
}

void IconRenderer::draw3dEffect(QPainter& painter, const QImage& container,
                                const QPainterPath& shapePath, const IconStyle& style) const {
    painter.setPen(transparent);
    painter.setBrush(QBrush(QColor(0, 0, 0, 40), Qt::SolidPattern));
    painter.drawPath(shapePath);
    const int offset = threeDOffset(k, style.useBorder, style.borderWidth);
    painter.drawImage(offset, offset, container);
}

void IconRenderer::drawPictures(QPainter& painter, const QList<ImageData>& images) const {
    for (const ImageData& object : images)
        painter.drawImage(QRect(object.position, object.image.size()), object.image);
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

QImage IconRenderer::renderCanvas(const IconStyle& style, const QList<ImageData>& images,
                                  const QRect& selectedRect) const {
    QPainterPath shapePath;
    const QImage container = renderContainer(style, shapePath);
    return composeIcon(container, shapePath, false, style, images, selectedRect);
}

QImage IconRenderer::renderIcon(const IconStyle& style, const QList<ImageData>& images) const {
    QPainterPath shapePath;
    const QImage container = renderContainer(style, shapePath);
    return composeIcon(container, shapePath, true, style, images).copy(iconRect(k));
}

QImage renderDocumentIcon(int sizeIndex) {
    return IconRenderer(sizeIndex).renderIcon(LocalGlobal::iconStyle, LocalGlobal::LImageData);
}
