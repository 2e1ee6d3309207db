#include "platformart.h"

#include "render/icongeometry.h"
#include "render/iconrenderer.h"
#include "render/layerpixels.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

QImage clearSquare(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The farthest any visible pixel of `image` reaches from its centre, in its pixels; 0 when none
// is visible.
double reach(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = argb.width();
    const double cx = width / 2.0;
    const double cy = argb.height() / 2.0;
    double farthest = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        // A pixel's far corner counts: the whole pixel must lie inside.
        const double dy = std::max(std::abs(y - cy), std::abs(y + 1 - cy));
        // Only the row's outermost visible pixels can reach furthest.
        int left = 0;
        while (left < width && qAlpha(row[left]) == 0)
            ++left;
        if (left == width)
            continue;
        int right = width - 1;
        while (qAlpha(row[right]) == 0)
            --right;
        for (int x : {left, right}) {
            const double dx = std::max(std::abs(x - cx), std::abs(x + 1 - cx));
            farthest = std::max(farthest, std::hypot(dx, dy));
        }
    }
    return farthest;
}

// `image` with `change` applied to each of its premultiplied pixels.
template <typename Change> QImage eachPixel(const QImage& image, Change change) {
    QImage changed = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < changed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(changed.scanLine(y));
        for (int x = 0; x < changed.width(); ++x)
            row[x] = change(row[x]);
    }
    return changed;
}

// Every pixel of `image`, premultiplied ARGB, row after row; none for a null image.
std::vector<QRgb> scanned(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::vector<QRgb> pixels;
    pixels.reserve(size_t(argb.width()) * size_t(std::max(argb.height(), 0)));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        pixels.insert(pixels.end(), row, row + argb.width());
    }
    return pixels;
}

} // namespace

namespace PlatformArt {

QImage blurredAlpha(const QImage& image, int radius) {
    QImage alpha = image.convertToFormat(QImage::Format_Alpha8);
    if (radius < 1)
        return alpha;
    const int w = alpha.width();
    const int h = alpha.height();
    std::vector<int> line(std::max(w, h));
    const auto pass = [&](uchar* first, int count, int step) {
        for (int i = 0; i < count; ++i)
            line[i] = first[i * step];
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += line[std::clamp(i, 0, count - 1)];
        for (int i = 0; i < count; ++i) {
            first[i * step] = uchar(sum / (2 * radius + 1));
            sum += line[std::min(i + radius + 1, count - 1)] - line[std::max(i - radius, 0)];
        }
    };
    for (int round = 0; round < 3; ++round) {
        for (int y = 0; y < h; ++y)
            pass(alpha.scanLine(y), w, 1);
        for (int x = 0; x < w; ++x)
            pass(alpha.bits() + x, h, int(alpha.bytesPerLine()));
    }
    return alpha;
}

QImage foreground(const Document& document) {
    IconStyle style = document.style;
    style.useBackground = false;
    style.useBack3dEffect = false;
    style.useBorder = false;
    style.useGlossy = false;
    return IconRenderer(style.canvasFactor).renderIcon(style, document.layers);
}

bool coversIconSquare(const Layer& layer, int k) {
    const QRect square = IconGeometry::iconRect(k);
    const LayerPixels::Made made = LayerPixels::made(layer);
    if (!made.rect.contains(square))
        return false;
    const std::vector<QRgb> over =
        scanned(made.image.copy(square.translated(-made.rect.topLeft())));
    return std::all_of(over.cbegin(), over.cend(), [](QRgb pixel) { return qAlpha(pixel) == 255; });
}

int fillingLayer(const Document& document) {
    const IconStyle& style = document.style;
    if (style.clipImage && style.shape != int(ContainerShape::Rectangle))
        return -1;
    for (qsizetype i = document.layers.size() - 1; i >= 0; --i) {
        if (coversIconSquare(document.layers.at(i), style.canvasFactor))
            return int(i);
    }
    return -1;
}

QImage bleed(const Document& document, int filling) {
    IconStyle style = document.style;
    style.useBadge = false;
    style.useGlossy = false;
    style.useBorder = false;
    return IconRenderer(style.canvasFactor).renderIcon(style, document.layers.mid(0, filling + 1));
}

Document above(const Document& document, int filling) {
    Document front = document;
    front.layers = document.layers.mid(filling + 1);
    front.selected = Document::noSelection;
    return front;
}

bool showsForeground(const Document& document) {
    if (document.style.useBadge)
        return true;
    const QRect square = IconGeometry::iconRect(document.style.canvasFactor);
    return std::any_of(document.layers.cbegin(), document.layers.cend(), [&](const Layer& layer) {
        const LayerPixels::Made made = LayerPixels::made(layer);
        const QRect shown = made.rect & square;
        if (shown.isEmpty())
            return false;
        const std::vector<QRgb> pixels =
            scanned(made.image.copy(shown.translated(-made.rect.topLeft())));
        return std::any_of(pixels.cbegin(), pixels.cend(),
                           [](QRgb pixel) { return qAlpha(pixel) > 0; });
    });
}

bool hasPlainBackground(const Document& document) {
    return !document.style.useBackground || document.style.backStyle == int(BackStyle::Solid);
}

QColor backgroundColor(const Document& document) {
    return document.style.useBackground ? document.style.backColor1 : QColor(Qt::white);
}

QImage background(const Document& document, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    if (hasPlainBackground(document)) {
        image.fill(backgroundColor(document));
        return image;
    }
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(image.rect(), IconGeometry::containerBrush(document.style, image.rect()));
    return image;
}

QImage flattened(const QImage& icon, const QImage& ground) {
    QImage image = ground.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(image.rect(), scaled(icon, image.width()));
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage fittedInCircle(const QImage& content, int size, double natural, double circle) {
    QImage image = clearSquare(size);
    const double far = reach(content) / content.width();
    // The content's reach as a share of the target square at its natural size.
    const double reachAtNatural = far * natural;
    double edge = natural * size;
    if (reachAtNatural > circle / 2)
        edge *= (circle / 2) / reachAtNatural;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF place((size - edge) / 2, (size - edge) / 2, edge, edge);
    painter.drawImage(place, content);
    return image;
}

QImage coverage(const QImage& image) {
    return eachPixel(image, [](QRgb pixel) {
        const int a = qAlpha(pixel);
        return qRgba(a, a, a, a);
    });
}

QImage greyscale(const QImage& image) {
    return eachPixel(image, [](QRgb pixel) {
        // Rec. 709 luma of the premultiplied channels stays premultiplied.
        const int luma =
            (2126 * qRed(pixel) + 7152 * qGreen(pixel) + 722 * qBlue(pixel) + 5000) / 10000;
        return qRgba(luma, luma, luma, qAlpha(pixel));
    });
}

QImage clippedToCircle(const QImage& image) {
    QImage clipped = clearSquare(image.width());
    QPainter painter(&clipped);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath circle;
    circle.addEllipse(QRectF(clipped.rect()));
    painter.setClipPath(circle);
    painter.drawImage(0, 0, image);
    return clipped;
}

QImage onAppleGrid(const QImage& icon) {
    const int size = icon.width();
    const double edge = size * appleGridBody;
    const double inset = (size - edge) / 2;
    QImage body = clearSquare(size);
    {
        QPainter painter(&body);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(inset, inset, edge, edge), icon);
    }
    // The system's icons cast a shadow about 1 % of the square below them, blurred over 2 %.
    const QImage shadowAlpha = blurredAlpha(body, qRound(size * 0.02));
    QImage image = clearSquare(size);
    QPainter painter(&image);
    QImage shadow(size, size, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(QColor(0, 0, 0));
    {
        QPainter mask(&shadow);
        mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        mask.drawImage(0, 0, shadowAlpha);
    }
    painter.setOpacity(0.3);
    painter.drawImage(QPointF(0, size * 0.012), shadow);
    painter.setOpacity(1);
    painter.drawImage(0, 0, body);
    return image;
}

QImage macArtwork(const Document& document, const QImage& rendering) {
    return document.output.appleGrid ? onAppleGrid(rendering) : rendering;
}

QImage tile(const QImage& icon, QSize tile, int iconEdge, const QColor& ground) {
    QImage image(tile, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground.isValid() ? ground : QColor(Qt::transparent));
    QPainter painter(&image);
    painter.drawImage((tile.width() - iconEdge) / 2, (tile.height() - iconEdge) / 2,
                      scaled(icon, iconEdge));
    return image;
}

QImage scaled(const QImage& image, int size) {
    if (image.width() == size && image.height() == size)
        return image;
    return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace PlatformArt
