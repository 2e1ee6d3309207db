#include "referencerender.h"

#include "render/badgetext.h"
#include "render/layerpixels.h"

#include <QLinearGradient>
#include <QPainter>

namespace Reference {
namespace {

QImage blank(int k) {
    QImage image(300 * k, 300 * k, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    return image;
}

// The container's square: the icon square.
QRect shapeRect(int k) {
    return QRect(22 * k, 22 * k, 256 * k, 256 * k);
}

QLinearGradient gradient(int orientation, const QRect& r) {
    const QPointF tl(r.left(), r.top()), tr(r.right(), r.top());
    const QPointF bl(r.left(), r.bottom()), br(r.right(), r.bottom());
    const QPointF ends[8][2] = {{tl, bl}, {bl, tl}, {tl, tr}, {tr, tl},
                                {tl, br}, {tr, bl}, {bl, tr}, {br, tl}};
    if (orientation < 0 || orientation > 7)
        return QLinearGradient(0, 0, 0, 0);
    return QLinearGradient(ends[orientation][0], ends[orientation][1]);
}

// The band across the icon with its text, `top` in the painter's current coordinates.
void band(QPainter& painter, int top, const IconStyle& s, int k) {
    const QSize text = BadgeText::measured(s);
    const int h = int(2 * s.badgeLineWidth + 1.4 * text.height());
    painter.setPen(QPen(s.badgeBorderColor, s.badgeLineWidth));
    painter.setBrush(QBrush(s.badgeBackColor, Qt::SolidPattern));
    painter.drawRect(QRect(0, top, 300 * k, h - (s.borderWidth - 2)));
    painter.setPen(s.badgeTextColor);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(s.badgeTextFont);
    const QPoint origin(22 * k + (256 * k - text.width()) / 2,
                        top - text.height() / 2 - s.badgeLineWidth + h);
    painter.drawText(origin, s.badgeText);
}

void badge(QPainter& painter, const IconStyle& s, int k) {
    const int h = int(2 * s.badgeLineWidth + 1.4 * BadgeText::measured(s).height());
    if (s.badgeOrientation == 1) {
        band(painter, s.badgeOrientationHorizontal == 0 ? 278 * k + 2 - h : 22 * k + 1, s, k);
        painter.setRenderHint(QPainter::Antialiasing);
        return;
    }
    // Each corner's band: moved, then turned about the origin; a circle's sits nearer the centre.
    const int d = (s.shape == 2 ? 76 : 80) * k;
    const QPoint moves[] = {{-d - 60 * k + 1, 150 * k - d + 1},
                            {145 * k + d + 2, -d - 65 * k + 1},
                            {145 * k - d + 1, d - 65 * k + 2},
                            {d - 60 * k + 2, 150 * k + d + 2},
                            {-60 * k, 150 * k}};
    const int corner = s.badgeOrientationDiagonal >= 0 && s.badgeOrientationDiagonal < 4
                           ? s.badgeOrientationDiagonal
                           : 4;
    painter.save();
    painter.translate(double(moves[corner].x()), double(moves[corner].y()));
    painter.rotate(corner == 1 || corner == 2 ? 45 : -45);
    band(painter, 150 * k - h / 2, s, k);
    painter.restore();
}

void pictures(QPainter& painter, const QList<Layer>& images) {
    for (const Layer& object : images) {
        const LayerPixels::Made made = LayerPixels::made(object);
        painter.drawImage(made.rect.topLeft(), made.image);
    }
}

} // namespace

QPainterPath outline(const IconStyle& style, int k) {
    QPainterPath path;
    const QRectF area(shapeRect(k));
    if (style.shape == 0)
        path.addRect(area);
    else if (style.shape == 1)
        path.addRoundedRect(area, style.radius, style.radius, Qt::AbsoluteSize);
    else if (style.shape == 2)
        path.addEllipse(area);
    return path;
}

QImage container(const IconStyle& style, int k) {
    QImage image = blank(k);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(outline(style, k));
    if (style.backStyle == 0) {
        painter.setBrush(QBrush(style.backColor1, Qt::SolidPattern));
    } else {
        QLinearGradient fill = gradient(style.backOrientation, shapeRect(k));
        fill.setColorAt(0.0, style.backColor1);
        fill.setColorAt(1.0, style.backColor2);
        painter.setBrush(fill);
    }
    if (style.useBackground) {
        painter.setPen(QColor(0, 0, 0, 0));
        painter.drawPath(outline(style, k));
    }
    return image;
}

QImage canvas(const IconStyle& s, const QList<Layer>& images, const QRect& frame, int k,
              bool forOutput) {
    const QPainterPath path = outline(s, k);
    const QImage base = container(s, k);
    QImage image = blank(k);
    QPainter painter(&image);
    painter.setClipPath(path);
    painter.drawImage(image.rect(), base);
    if (s.useBackground && s.useBack3dEffect) {
        painter.setPen(QColor(0, 0, 0, 0));
        painter.setBrush(QBrush(QColor(0, 0, 0, 40), Qt::SolidPattern));
        painter.drawPath(path);
        const int offset = -5 * k - (s.useBorder ? s.borderWidth / 2 : 0);
        painter.drawImage(offset, offset, base);
    }
    if (s.clipImage)
        pictures(painter, images);
    painter.setClipPath(path);
    if (s.useBadge)
        badge(painter, s, k);
    if (s.useGlossy) {
        painter.setPen(QPen(Qt::white));
        painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
        painter.setOpacity(0.5);
        painter.drawEllipse(QRect(24 * k, 1 - 200 * k, 252 * k, 300 * k));
        painter.setOpacity(1.0);
    }
    if (s.useBorder) {
        painter.setPen(QPen(s.borderColor, s.borderWidth));
        painter.setBrush(QBrush(QColor(0, 0, 0, 0), Qt::SolidPattern));
        painter.drawPath(path);
    }
    if (!s.clipImage) {
        QPainterPath square;
        square.addRect(QRectF(22 * k, 22 * k, 256 * k, 256 * k));
        painter.setClipPath(square);
        pictures(painter, images);
    }
    if (!forOutput) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QBrush(Qt::black), k, Qt::DashLine));
        painter.drawRect(frame);
    }
    return image;
}

QImage icon(const IconStyle& style, const QList<Layer>& images, int k) {
    return canvas(style, images, QRect(), k, true).copy(22 * k, 22 * k, 256 * k, 256 * k);
}

} // namespace Reference
