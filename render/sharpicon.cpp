#include "sharpicon.h"

#include "picture/vectorpicture.h"
#include "render/badgetext.h"
#include "render/icongeometry.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

using namespace IconGeometry;

namespace {

// Below this size the 3D edge and the glossy highlight only blur the few pixels there are.
constexpr int smallestDecoratedSize = 24;
// Badge text shorter than this many pixels is no longer legible, only noise in the band.
constexpr double smallestTextHeight = 7;

// Pixels of the small icon per canvas pixel.
double scaleFactor(int k, int size) {
    return double(size) / imageSize(k);
}

// Canvas pixels of factor k to pixels of the small icon: the icon square onto the whole image.
QTransform canvasToIcon(int k, int size) {
    const double factor = scaleFactor(k, size);
    QTransform transform;
    transform.scale(factor, factor);
    transform.translate(-margin(k), -margin(k));
    return transform;
}

// The container's rectangle in the small icon, its edges moved to the nearest whole pixel.
QRect snappedShapeRect(int k, int size) {
    const QRectF mapped = canvasToIcon(k, size).mapRect(QRectF(shapeRect(k)));
    const int left = qRound(mapped.left());
    const int top = qRound(mapped.top());
    return QRect(left, top, qRound(mapped.right()) - left, qRound(mapped.bottom()) - top);
}

QImage blankIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage containerImage(const IconStyle& style, const QPainterPath& outline, const QRect& rect,
                      int size) {
    QImage image = blankIcon(size);
    if (!style.useBackground)
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(containerBrush(style, rect));
    painter.drawPath(outline);
    return image;
}

// The outline shaded, then the container again moved up and left by `offset` (negative).
void drawThreeD(QPainter& painter, const QImage& container, const QPainterPath& outline,
                int offset) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(IconGeometry::threeDShade());
    painter.drawPath(outline);
    painter.drawImage(offset, offset, container);
}

// `picture` scaled smoothly to `size` where it is larger either way (shrinking averages its
// pixels); as it is where it is not, for the drawing's transform to enlarge.
QImage shrunkTo(const QImage& picture, QSize size) {
    if (picture.width() > size.width() || picture.height() > size.height())
        return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}

// The size a layer's picture is drawn at in an icon `factor` times the canvas.
QSize drawnSize(const Layer& layer, double factor) {
    const QSize scaled = scaledSize(layer.sourceImage.size(), layer.scale);
    if (scaled.isEmpty())
        return QSize();
    return QSize(std::max(1, qRound(scaled.width() * factor)),
                 std::max(1, qRound(scaled.height() * factor)));
}

// Placed as the big rendering places the layer's image (the source scaled, then turned, the turned
// image's top-left at `position`), but drawn from a copy of the picture scaled smoothly to about
// its size here: a picture shrunk in one filtered step would skip most of its pixels. `pixels` is
// a smooth copy of the source at least as large as drawn here, or the source itself where it is
// drawn enlarged: then the transform enlarges it, drawing only the pixels the icon has. An SVG
// picture is drawn from the SVG itself at this size instead, so its edges stay sharp.
void drawPicture(QPainter& painter, const Layer& layer, const QImage& pixels,
                 const QTransform& toIcon, double factor) {
    const QSize drawn = drawnSize(layer, factor);
    if (drawn.isEmpty())
        return;
    const QSize scaled = scaledSize(layer.sourceImage.size(), layer.scale);
    const QImage sized = layer.vector ? pixels : shrunkTo(pixels, drawn);
    const QSize from = layer.vector ? drawn : sized.size();
    QTransform turn;
    turn.rotate(layer.rotation);
    painter.setTransform(QTransform::fromScale(double(scaled.width()) / from.width(),
                                               double(scaled.height()) / from.height()) *
                         QImage::trueMatrix(turn, scaled.width(), scaled.height()) *
                         QTransform::fromTranslate(layer.position.x(), layer.position.y()) *
                         toIcon);
    if (layer.vector)
        layer.vector->render(painter, QRectF(QPointF(), QSizeF(drawn)));
    else
        painter.drawImage(0, 0, sized);
    painter.resetTransform();
}

void drawPictures(QPainter& painter, const QList<Layer>& layers, const QList<QImage>& pixels,
                  const QTransform& toIcon, double factor) {
    for (int i = 0; i < layers.size(); ++i)
        drawPicture(painter, layers.at(i), pixels.at(i), toIcon, factor);
}

// Each raster layer's picture shrunk once to what an icon of `size` draws, for that and smaller
// ones.
QList<QImage> shrunkPictures(const QList<Layer>& layers, int k, int size) {
    QList<QImage> pictures;
    for (const Layer& layer : layers) {
        const QSize drawn = drawnSize(layer, scaleFactor(k, size));
        pictures << (drawn.isEmpty() || layer.vector ? QImage()
                                                     : shrunkTo(layer.sourceImage, drawn));
    }
    return pictures;
}

// The band in canvas coordinates under `toIcon`, so it shrinks as a whole.
void drawBadge(QPainter& painter, const IconStyle& style, int k, const QTransform& toIcon,
               double factor) {
    const int h = badgeBandHeight(style);
    int top = horizontalBandTop(style.badgeOrientationHorizontal, k, h);
    painter.setTransform(toIcon);
    if (style.badgeOrientation != int(BadgeOrientation::Horizontal)) {
        const DiagonalPlacement placement =
            diagonalPlacement(style.badgeOrientationDiagonal, k, style.shape);
        painter.translate(QPointF(placement.translation));
        painter.rotate(placement.rotation);
        top = diagonalBandTop(k, h);
    }
    QPen pen(style.badgeBorderColor);
    pen.setWidth(style.badgeLineWidth);
    painter.setPen(pen);
    painter.setBrush(style.badgeBackColor);
    painter.drawRect(QRect(0, top, canvasSize(k), drawnBandHeight(h, style.borderWidth)));
    if (BadgeText::measured(style).height() * factor >= smallestTextHeight) {
        painter.setPen(style.badgeTextColor);
        painter.setFont(style.badgeTextFont);
        painter.drawText(badgeTextPoint(k, top, style), style.badgeText);
    }
    painter.resetTransform();
}

void drawGlossy(QPainter& painter, int k, const QTransform& toIcon) {
    painter.setTransform(toIcon);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::white);
    painter.setOpacity(0.5);
    painter.drawEllipse(glossyRect(k));
    painter.setOpacity(1.0);
    painter.resetTransform();
}

// Whole pixels of border, 0 without one: at 16 px a scaled width would round to nothing.
int borderPixels(const IconStyle& style, const QRect& rect, double factor) {
    if (!style.useBorder || style.borderWidth <= 0)
        return 0;
    return std::clamp(int(std::lround(style.borderWidth * factor)), 1,
                      std::max(1, rect.width() / 2));
}

// How far the container's copy moves up and left for the 3D edge. The big rendering adds the
// border's inner half to the offset; here the whole border lies inside the outline. At least a
// whole pixel shows beyond it.
int threeDOffsetPixels(int k, double factor, int border) {
    return -border - std::max(1, int(std::lround(-threeDOffset(k, false, 0) * factor)));
}

// A ring inside the outline: a stroke centred on the outline would lose its outer half to the
// clip.
void drawBorder(QPainter& painter, const IconStyle& style, const QRect& rect, int radius,
                int width) {
    // Odd-even filling leaves the inner outline's inside empty.
    QPainterPath ring = shapePath(style.shape, radius, rect);
    ring.addPath(
        shapePath(style.shape, radius - width, rect.adjusted(width, width, -width, -width)));
    painter.fillPath(ring, style.borderColor);
}

// Keeps `layer` only inside the outline, fading out along its antialiased edge as the container
// does; a clip path would cut curves in whole pixels.
void keepInside(QImage& layer, const QPainterPath& outline) {
    QImage mask = blankIcon(layer.width());
    QPainter maskPainter(&mask);
    maskPainter.setRenderHint(QPainter::Antialiasing);
    maskPainter.fillPath(outline, Qt::black);
    maskPainter.end();
    QPainter painter(&layer);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, mask);
}

void setRenderHints(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::TextAntialiasing);
}

QImage renderWith(const IconStyle& style, const QList<Layer>& layers, const QList<QImage>& pictures,
                  int k, int size) {
    const QTransform toIcon = canvasToIcon(k, size);
    const double factor = scaleFactor(k, size);
    const QRect rect = snappedShapeRect(k, size);
    const int radius = int(std::lround(style.radius * factor));
    const QPainterPath outline = shapePath(style.shape, radius, rect);
    const bool decorated = size >= smallestDecoratedSize;
    const int border = borderPixels(style, rect, factor);
    const QImage container = containerImage(style, outline, rect, size);

    // The layers the big rendering clips to the outline, drawn apart and then cut out as one.
    QImage inside = blankIcon(size);
    QPainter painter(&inside);
    setRenderHints(painter);
    if (decorated && style.useBackground && style.useBack3dEffect)
        drawThreeD(painter, container, outline, threeDOffsetPixels(k, factor, border));
    if (style.clipImage)
        drawPictures(painter, layers, pictures, toIcon, factor);
    if (style.useBadge)
        drawBadge(painter, style, k, toIcon, factor);
    if (decorated && style.useGlossy)
        drawGlossy(painter, k, toIcon);
    if (border > 0)
        drawBorder(painter, style, rect, radius, border);
    painter.end();
    keepInside(inside, outline);

    QImage icon = container;
    painter.begin(&icon);
    setRenderHints(painter);
    painter.drawImage(0, 0, inside);
    if (!style.clipImage)
        drawPictures(painter, layers, pictures, toIcon, factor);
    painter.end();
    return icon;
}

} // namespace

QImage renderSharpIcon(const IconStyle& style, const QList<Layer>& layers, int k, int size) {
    return renderSharpIcons(style, layers, k, {size}).constFirst();
}

// The pictures are shrunk for the largest sharp size whatever sizes are asked for, so an entry
// has the same pixels in the preview as in any file.
QList<QImage> renderSharpIcons(const IconStyle& style, const QList<Layer>& layers, int k,
                               const QList<int>& sizes) {
    const QList<QImage> pictures = shrunkPictures(layers, k, sharpIconLargestSize);
    QList<QImage> icons;
    for (int size : sizes)
        icons << renderWith(style, layers, pictures, k, size);
    return icons;
}
