#include "iconrenderer.h"

#include "render/icongeometry.h"
#include "render/layerpixels.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cstring>

using namespace IconGeometry;

namespace {

const QColor transparent(0, 0, 0, 0);

// Whether every pixel of `image` has alpha 255: premultiplied pixels carry an alpha either way.
bool allOpaque(const QImage& image) {
    if (!image.hasAlphaChannel())
        return true;
    if (image.format() != QImage::Format_ARGB32_Premultiplied &&
        image.format() != QImage::Format_ARGB32)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        // A row's pixels ANDed: the alpha stays 255 only where every one of theirs is.
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb all = ~QRgb(0);
        for (int x = 0; x < image.width(); ++x)
            all &= line[x];
        if (qAlpha(all) != 255)
            return false;
    }
    return true;
}

} // namespace

IconRenderer::IconRenderer(int canvasFactor) : k(canvasFactor) {}

void IconRenderer::setCanvasFactor(int canvasFactor) {
    k = canvasFactor;
}

void IconRenderer::setPixelRatio(qreal pixelRatio, qreal picturePixels) {
    ratio = pixelRatio;
    pictureRatio = std::min(pixelRatio, picturePixels);
}

bool IconRenderer::ContainerKey::operator==(const ContainerKey& other) const {
    return k == other.k && ratio == other.ratio && shape == other.shape && radius == other.radius &&
           useBackground == other.useBackground && backStyle == other.backStyle &&
           backOrientation == other.backOrientation && backColor1 == other.backColor1 &&
           backColor2 == other.backColor2;
}

bool IconRenderer::BaseKey::operator==(const BaseKey& other) const {
    return container == other.container && shapePath == other.shapePath && threeD == other.threeD &&
           offset == other.offset;
}

IconRenderer::ContainerKey IconRenderer::containerKeyOf(const IconStyle& style) const {
    return {k,
            ratio,
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
    const QSize size = QSize(canvasSize(k), canvasSize(k)) * ratio;
    if (image.size() != size || image.format() != QImage::Format_ARGB32_Premultiplied ||
        !image.isDetached())
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
}

void IconRenderer::clearCanvas(QImage& image) const {
    prepareCanvas(image);
    image.fill(0);
}

QImage IconRenderer::renderContainer(const IconStyle& style, QPainterPath& shapePath) const {
    const ContainerKey key = containerKeyOf(style);
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
    painter.drawImage(QPoint(0, 0), container);
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

void IconRenderer::setShadeTools(QPainter& painter) const {
    painter.setPen(transparent);
    painter.setBrush(QBrush(IconGeometry::threeDShade(), Qt::SolidPattern));
}

void IconRenderer::draw3dEffect(QPainter& painter, const QImage& container,
                                const QPainterPath& shapePath, int offset) const {
    setShadeTools(painter);
    painter.drawPath(shapePath);
    painter.drawImage(offset, offset, container);
}

// Only the parts that will show are drawn: where a later opaque picture covers an earlier one, the
// earlier one's pixels would be replaced exactly. Qt's raster clip has no antialiasing, so under
// one clip a pixel is drawn whole for every picture or for none. Each part is drawn 1:1 from the
// matching part of the picture, so every pixel drawn comes out as a whole draw would leave it.
void IconRenderer::drawPictures(QPainter& painter, const QList<Layer>& images) const {
    if (ratio != 1) {
        drawScreenPictures(painter, images);
        return;
    }
    const QList<LayerPixels::Made> made = madePictures(images);
    QList<QRegion> visible(made.size());
    QRegion hidden;
    QHash<qint64, bool> known;
    for (qsizetype i = made.size() - 1; i >= 0; --i) {
        visible[i] = QRegion(made.at(i).rect) - hidden;
        // The first picture has nothing under it to hide.
        if (i > 0 && isOpaque(made.at(i).image, known))
            hidden += made.at(i).rect;
    }
    opaqueImages.swap(known);
    for (qsizetype i = 0; i < made.size(); ++i) {
        const QPoint topLeft = made.at(i).rect.topLeft();
        for (const QRect& part : visible.at(i))
            painter.drawImage(part, made.at(i).image, part.translated(-topLeft));
    }
}

// The layers' made pixels, held until the next paint.
QList<LayerPixels::Made> IconRenderer::madePictures(const QList<Layer>& images) const {
    QList<LayerPixels::Made> made;
    shownPictures.clear();
    for (const Layer& layer : images) {
        made << LayerPixels::made(layer);
        shownPictures << made.constLast().image;
    }
    return made;
}

// For the screen each picture is drawn whole, so no seam shows between parts: from its source at
// the screen's pixels where the screen shows more than the layer's own, the part on the canvas
// only (the cost is bounded by the screen's pixels), made again only when the layer's image or
// its part on the canvas changed; else its own pixels enlarged.
void IconRenderer::drawScreenPictures(QPainter& painter, const QList<Layer>& images) const {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect canvas(0, 0, canvasSize(k), canvasSize(k));
    QHash<qint64, ScreenPicture> kept;
    const QList<LayerPixels::Made> pictures = madePictures(images);
    for (qsizetype i = 0; i < images.size(); ++i) {
        const Layer& layer = images.at(i);
        const LayerPixels::Made& made = pictures.at(i);
        const QRect shown = made.rect & canvas;
        if (pictureRatio <= 1 || shown.isEmpty()) {
            painter.drawImage(made.rect.topLeft(), made.image);
            continue;
        }
        const QRect part = shown.translated(-layer.position);
        const qint64 key = made.image.cacheKey();
        ScreenPicture picture = screenPictures.value(key);
        if (picture.part != part || picture.ratio != pictureRatio)
            picture = {part, pictureRatio, LayerPixels::at(layer, part, pictureRatio)};
        painter.drawImage(QRectF(shown), picture.image);
        kept.insert(key, picture);
    }
    screenPictures.swap(kept);
}

// Whether every pixel of `image` is opaque, as the last paint found or looked through once; `known`
// keeps the answer for the next paint.
bool IconRenderer::isOpaque(const QImage& image, QHash<qint64, bool>& known) const {
    const qint64 key = image.cacheKey();
    const auto found = opaqueImages.constFind(key);
    const bool opaque = found != opaqueImages.cend() ? *found : allOpaque(image);
    known.insert(key, opaque);
    return opaque;
}

void IconRenderer::drawBand(QPainter& painter, int bandTop, const IconStyle& style) const {
    const int h = badgeBandHeight(style);
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
    const int h = badgeBandHeight(style);
    const int top = horizontalBandTop(style.badgeOrientationHorizontal, k, h);
    drawBand(painter, top, style);
    drawBadgeText(painter, top, style);
    // Left on for the rest of the composition: glossy, border and unclipped pictures after a
    // horizontal badge are antialiased, which is part of the look.
    painter.setRenderHint(QPainter::Antialiasing);
}

void IconRenderer::drawDiagonalBadge(int corner, QPainter& painter, const IconStyle& style) const {
    const int top = diagonalBandTop(k, badgeBandHeight(style));
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
    if (ratio != 1)
        return IconRenderer(k).renderIcon(style, images);
    QPainterPath shapePath;
    const QImage container = renderContainer(style, shapePath);
    return composeIcon(container, shapePath, true, style, images).copy(iconRect(k));
}

QImage renderDocumentIcon(const Document& document) {
    return IconRenderer(document.style.canvasFactor).renderIcon(document.style, document.layers);
}
