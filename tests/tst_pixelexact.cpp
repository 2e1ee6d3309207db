// The renderer keeps working images and unchanged layers between paints for speed. These tests
// hold it to a straightforward composition that draws every layer afresh on fresh images, bit for
// bit, over many random styles and documents rendered one after another by the same renderer.
#include "canvas/icongeometry.h"
#include "canvas/iconrenderer.h"
#include "canvas/kbwidget.h"
#include "model/localglobal.h"
#include "output/icowriter.h"
#include "support/testsupport.h"

#include <Magick++.h>
#include <QBuffer>
#include <QFontMetrics>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

using namespace IconGeometry;

namespace {

// The composition as written down layer by layer, without any reuse.
namespace Reference {

QImage blank(int k) {
    QImage image(canvasSize(k), canvasSize(k), QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    return image;
}

QImage container(const IconStyle& style, int k, QPainterPath& path) {
    QImage image = blank(k);
    QPainter painter(&image);
    const QRect rect = shapeRect(k);
    path = shapePath(style.shape, style.radius, rect);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(path);
    if (style.backStyle == int(BackStyle::Solid)) {
        painter.setBrush(QBrush(style.backColor1, Qt::SolidPattern));
    } else {
        const GradientLine line = gradientLine(style.backOrientation, rect);
        QLinearGradient gradient(line.start, line.end);
        gradient.setColorAt(0.0, style.backColor1);
        gradient.setColorAt(1.0, style.backColor2);
        painter.setBrush(gradient);
    }
    if (style.useBackground) {
        painter.setPen(QColor(0, 0, 0, 0));
        painter.drawPath(path);
    }
    return image;
}

void band(QPainter& painter, int top, const IconStyle& style, int k) {
    const int h = bandHeight(style.badgeLineWidth, style.badgeTextHeight);
    QPen pen = painter.pen();
    pen.setColor(style.badgeBorderColor);
    pen.setWidth(style.badgeLineWidth);
    painter.setPen(pen);
    painter.setBrush(QBrush(style.badgeBackColor, Qt::SolidPattern));
    painter.drawRect(QRect(0, top, canvasSize(k), drawnBandHeight(h, style.borderWidth)));
    painter.setPen(style.badgeTextColor);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(style.badgeTextFont);
    painter.drawText(badgeTextPoint(k, top, style), style.badgeText);
}

void pictures(QPainter& painter, const QList<ImageData>& images) {
    for (const ImageData& object : images)
        painter.drawImage(QRect(object.position, object.image.size()), object.image);
}

QImage compose(const QImage& container, const QPainterPath& path, bool forOutput,
               const IconStyle& style, const QList<ImageData>& images, const QRect& frame, int k) {
    QImage image = blank(k);
    QPainter painter(&image);
    painter.setClipPath(path);
    painter.drawImage(image.rect(), container);
    if (style.useBackground && style.useBack3dEffect) {
        painter.setPen(QColor(0, 0, 0, 0));
        painter.setBrush(QBrush(QColor(0, 0, 0, 40), Qt::SolidPattern));
        painter.drawPath(path);
        const int offset = threeDOffset(k, style.useBorder, style.borderWidth);
        painter.drawImage(offset, offset, container);
    }
    if (style.clipImage)
        pictures(painter, images);
    painter.setClipPath(path);
    if (style.useBadge) {
        const int h = bandHeight(style.badgeLineWidth, style.badgeTextHeight);
        if (style.badgeOrientation == int(BadgeOrientation::Horizontal)) {
            band(painter, horizontalBandTop(style.badgeOrientationHorizontal, k, h), style, k);
            painter.setRenderHint(QPainter::Antialiasing);
        } else {
            painter.save();
            const DiagonalPlacement placement =
                diagonalPlacement(style.badgeOrientationDiagonal, k, style.shape);
            painter.translate(double(placement.translation.x()), double(placement.translation.y()));
            painter.rotate(placement.rotation);
            band(painter, diagonalBandTop(k, h), style, k);
            painter.restore();
        }
    }
    if (style.useGlossy) {
        painter.setPen(QPen(Qt::white));
        painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
        painter.setOpacity(0.5);
        painter.drawEllipse(glossyRect(k));
        painter.setOpacity(1.0);
    }
    if (style.useBorder) {
        QPen pen = painter.pen();
        pen.setColor(style.borderColor);
        pen.setStyle(Qt::SolidLine);
        pen.setWidth(style.borderWidth);
        painter.setPen(pen);
        painter.setBrush(QBrush(QColor(0, 0, 0, 0), Qt::SolidPattern));
        painter.drawPath(path);
    }
    if (!style.clipImage) {
        QPainterPath square;
        square.addRect(QRectF(iconRect(k)));
        painter.setClipPath(square);
        pictures(painter, images);
    }
    if (!forOutput) {
        painter.save();
        painter.setBrush(Qt::NoBrush);
        QPen pen = painter.pen();
        pen.setWidth(k);
        pen.setColor(QColor(0, 0, 0, 255));
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(frame);
        painter.restore();
    }
    return image;
}

QImage canvas(const IconStyle& style, const QList<ImageData>& images, const QRect& frame, int k,
              bool forOutput) {
    QPainterPath path;
    const QImage base = container(style, k, path);
    return compose(base, path, forOutput, style, images, frame, k);
}

} // namespace Reference

// Draws random styles and documents from one seed, so a failing row can be replayed.
class RandomDocument {
public:
    explicit RandomDocument(quint32 seed) : random(seed) {}

    int below(int n) { return int(random.bounded(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }

    QColor colour() {
        return QColor(below(256), below(256), below(256), chance(15) ? below(256) : 255);
    }

    IconStyle style() {
        IconStyle style;
        style.shape = between(-1, 3);
        style.radius = between(0, 160);
        style.useBackground = chance(80);
        style.backStyle = between(0, 2);
        style.backOrientation = between(0, 8);
        style.backColor1 = colour();
        style.backColor2 = colour();
        style.useBack3dEffect = chance(60);
        style.useBorder = chance(60);
        style.borderColor = colour();
        style.borderWidth = between(0, 20);
        style.useGlossy = chance(50);
        style.clipImage = chance(50);
        style.useBadge = chance(60);
        const QString texts[] = {"50% OFF", "NEW", "", "Beta 2.0"};
        style.badgeText = texts[below(4)];
        style.badgeTextColor = colour();
        style.badgeTextSize = between(8, 40);
        style.badgeBackColor = colour();
        style.badgeBorderColor = colour();
        style.badgeLineWidth = between(0, 8);
        style.badgeOrientation = between(0, 2);
        style.badgeOrientationHorizontal = between(0, 2);
        style.badgeOrientationDiagonal = between(0, 4);
        style.badgeTextFont.setPixelSize(style.badgeTextSize);
        style.badgeTextFont.setWeight(QFont::Bold);
        const QFontMetrics metrics(style.badgeTextFont);
        style.badgeTextWidth = metrics.horizontalAdvance(style.badgeText);
        style.badgeTextHeight = metrics.height();
        return style;
    }

    // A picture of random size, format and content (opaque, translucent and clear parts), as
    // loading, scaling and rotating leave them; somewhere on or partly off the canvas.
    ImageData picture(int k) {
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

    QList<ImageData> pictures(int k) {
        QList<ImageData> list;
        for (int count = below(9); count > 0; --count)
            list << picture(k);
        return list;
    }

    QRect frame(int k) {
        if (chance(30))
            return QRect(-1, -1, -1, -1);
        return QRect(between(0, 250) * k, between(0, 250) * k, between(1, 200) * k,
                     between(1, 200) * k);
    }

    // The next style of a session: mostly one field changed, sometimes a whole new style, so
    // that both kept and renewed layers are exercised.
    IconStyle next(const IconStyle& previous) {
        if (chance(20))
            return style();
        IconStyle changed = previous;
        const IconStyle fresh = style();
        switch (below(14)) {
        case 0:
            changed.shape = fresh.shape;
            break;
        case 1:
            changed.radius = fresh.radius;
            break;
        case 2:
            changed.useBackground = !changed.useBackground;
            break;
        case 3:
            changed.backStyle = fresh.backStyle;
            break;
        case 4:
            changed.backOrientation = fresh.backOrientation;
            break;
        case 5:
            changed.backColor1 = fresh.backColor1;
            break;
        case 6:
            changed.backColor2 = fresh.backColor2;
            break;
        case 7:
            changed.useBack3dEffect = !changed.useBack3dEffect;
            break;
        case 8:
            changed.useBorder = !changed.useBorder;
            break;
        case 9:
            changed.borderWidth = fresh.borderWidth;
            break;
        case 10:
            changed.clipImage = !changed.clipImage;
            break;
        case 11:
            changed.useBadge = !changed.useBadge;
            break;
        case 12:
            changed.useGlossy = !changed.useGlossy;
            break;
        default:
            break;
        }
        return changed;
    }

private:
    QRandomGenerator random;
};

// The icon writer's earlier hand-over: each entry encoded as PNG by Qt and decoded by ImageMagick,
// marked true colour with alpha as the writer marks it.
Magick::Image entryThroughPng(const QImage& image) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    Magick::Image entry;
    entry.read(Magick::Blob(encoded.constData(), size_t(encoded.size())));
    entry.classType(Magick::DirectClass);
    entry.alphaChannel(Magick::SetAlphaChannel);
    return entry;
}

QByteArray rgbaOf(Magick::Image& entry) {
    const int width = int(entry.columns());
    const int height = int(entry.rows());
    QByteArray pixels(qsizetype(width) * height * 4, '\0');
    entry.write(0, 0, size_t(width), size_t(height), "RGBA", Magick::CharPixel, pixels.data());
    return pixels;
}

QByteArray rgbaOf(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888);
    return QByteArray(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes());
}

// Every premultiplied (value, alpha) pair once per channel, tiled to `edge`: the whole range the
// un-premultiplying of a hand-over has to get right.
QImage everyPremultipliedValue(int edge) {
    QImage image(edge, edge, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < edge; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < edge; ++x) {
            const int alpha = y % 256;
            const int value = std::min(x % 256, alpha);
            line[x] = qRgba(value, std::min(255 - x % 256, alpha), value / 2, alpha);
        }
    }
    return image;
}

QByteArray bytes(const QImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

} // namespace

class TestPixelExact : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void init() { LocalGlobal::LImageData.clear(); }

    void rendererMatchesReference_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<quint32>("seed");
        for (int k = 1; k <= 3; ++k) {
            for (quint32 seed = 1; seed <= (k == 3 ? 8u : 16u); ++seed)
                QTest::addRow("k%d seed %u", k, seed) << k << seed * 7919u + quint32(k);
        }
    }

    // One renderer through a session of styles and documents: every output equals the reference
    // bit for bit, and an image handed out earlier never changes under a later paint.
    void rendererMatchesReference() {
        QFETCH(int, k);
        QFETCH(quint32, seed);
        RandomDocument random(seed);
        IconRenderer renderer(k);
        IconStyle style = random.style();
        QList<ImageData> images = random.pictures(k);
        QImage held;
        QByteArray heldBytes;
        for (int step = 0; step < 10; ++step) {
            const QRect frame = random.frame(k);
            const QImage screen = renderer.renderCanvas(style, images, frame);
            QCOMPARE(screen, Reference::canvas(style, images, frame, k, false));
            if (!held.isNull())
                QCOMPARE(bytes(held), heldBytes);

            QPainterPath path;
            const QImage container = renderer.renderContainer(style, path);
            QPainterPath referencePath;
            QCOMPARE(container, Reference::container(style, k, referencePath));
            QCOMPARE(path, referencePath);
            QCOMPARE(renderer.composeIcon(container, path, true, style, images),
                     Reference::canvas(style, images, frame, k, true));

            const QImage icon = renderer.renderIcon(style, images);
            QCOMPARE(icon, Reference::canvas(style, images, frame, k, true).copy(iconRect(k)));

            held = screen;
            heldBytes = bytes(screen);
            style = random.next(style);
            if (random.chance(15)) {
                k = random.between(1, 3);
                renderer.setSizeIndex(k);
            }
            if (random.chance(40))
                images = random.pictures(k);
            else if (!images.isEmpty())
                images.last().position += QPoint(random.between(-9, 9), random.between(-9, 9)) * k;
        }
    }

    void wholePixelAreaIsWhollyInside_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("k");
        for (int k = 1; k <= 3; ++k) {
            QTest::addRow("rectangle k%d", k) << 0 << 50 << k;
            QTest::addRow("circle k%d", k) << 2 << 50 << k;
            for (const int radius : {-5, 0, 1, 50, 127, 128, 383, 1000})
                QTest::addRow("rounded %d k%d", radius, k) << 1 << radius << k;
        }
    }

    // Every pixel of the area comes through the shape's clip whole, even an antialiased clip with
    // its partly covered edge, and the area is most of the shape, so that opaque pictures really
    // spare the work under them.
    void wholePixelAreaIsWhollyInside() {
        QFETCH(int, shape);
        QFETCH(int, radius);
        QFETCH(int, k);
        const QRect rect = shapeRect(k);
        const QRegion area = wholePixelArea(shape, radius, rect);
        QImage clipped = Reference::blank(k);
        QPainter painter(&clipped);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipPath(shapePath(shape, radius, rect));
        painter.fillRect(clipped.rect(), Qt::white);
        painter.end();
        qint64 pixels = 0;
        for (const QRect& part : area) {
            for (int y = part.top(); y <= part.bottom(); ++y) {
                for (int x = part.left(); x <= part.right(); ++x)
                    QCOMPARE(clipped.pixel(x, y), qRgba(255, 255, 255, 255));
            }
            pixels += qint64(part.width()) * part.height();
        }
        QVERIFY(pixels > qint64(rect.width()) * rect.height() / 2);
    }

    void opaquePicturesHideWhatLiesUnder() {
        const QRegion area(QRect(0, 0, 100, 100));
        const QList<QRect> rects{QRect(10, 10, 50, 50), QRect(20, 20, 30, 30),
                                 QRect(10, 10, 50, 50), QRect(90, 90, 30, 30)};
        const QList<QRegion> parts = visiblePictureParts(rects, {true, true, false, true}, area);
        QCOMPARE(parts.at(3), QRegion(rects.at(3)));
        QCOMPARE(parts.at(2), QRegion(rects.at(2)) - QRegion(QRect(90, 90, 10, 10)));
        QCOMPARE(parts.at(1), QRegion(rects.at(1)));
        QCOMPARE(parts.at(0), QRegion(rects.at(0)) - QRegion(rects.at(1)));
    }

    void icoEntriesMatchPngHandOver_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QImage>("rendering");
        for (int k = 1; k <= 3; ++k) {
            QTest::addRow("every premultiplied value k%d", k)
                << k << everyPremultipliedValue(256 * k);
            QTest::addRow("empty document k%d", k) << k << IconRenderer(k).renderIcon({}, {});
            for (quint32 seed = 1; seed <= 3; ++seed) {
                RandomDocument random(seed * 104729u + quint32(k));
                QTest::addRow("document k%d seed %u", k, seed)
                    << k << IconRenderer(k).renderIcon(random.style(), random.pictures(k));
            }
        }
    }

    // ImageMagick gets every entry's exact pixels without a PNG in between: each entry equals the
    // PNG hand-over's, and so does each entry of the written file read back by Qt's reader.
    void icoEntriesMatchPngHandOver() {
        QFETCH(int, k);
        QFETCH(QImage, rendering);
        const QList<int> sizes = icoEntrySizes(rendering.width(), k);
        QList<QByteArray> expected;
        for (const int size : sizes) {
            const QImage scaled =
                size == rendering.width()
                    ? rendering
                    : rendering.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            Magick::Image entry = entryThroughPng(scaled);
            expected << rgbaOf(entry);
        }
        std::list<Magick::Image> entries = icoImages(rendering, k);
        QCOMPARE(int(entries.size()), sizes.size());
        int i = 0;
        for (Magick::Image& entry : entries) {
            QCOMPARE(int(entry.columns()), sizes.at(i));
            QCOMPARE(rgbaOf(entry), expected.at(i));
            ++i;
        }

        QByteArray file = encodeIco(rendering, k);
        QBuffer buffer(&file);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), sizes.size());
        for (i = 0; i < sizes.size(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage read = reader.read();
            QCOMPARE(read.width(), sizes.at(i));
            QCOMPARE(rgbaOf(read), expected.at(i));
        }
    }

    void screenPaintMatchesReference_data() {
        QTest::addColumn<int>("k");
        QTest::newRow("k1") << 1;
        QTest::newRow("k2") << 2;
        QTest::newRow("k3") << 3;
    }

    // What the canvas shows, drawn by its own paint handler, through drags of the top picture.
    void screenPaintMatchesReference() {
        QFETCH(int, k);
        RandomDocument random(quint32(4242 + k));
        LocalGlobal::iconStyle = random.style();
        LocalGlobal::LImageData = random.pictures(k);
        LocalGlobal::LImageData << random.picture(k);
        KBWidget canvas;
        canvas.setFixedSize(300, 300);
        canvas.setSizeIndex(k);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        const QPoint press = LocalGlobal::LImageData.last().rect.center() / k;
        QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, press);
        for (int step = 0; step < 5; ++step) {
            QTest::mouseMove(&canvas, press + QPoint(step * 3, -step * 2));
            const QImage expected =
                Reference::canvas(LocalGlobal::iconStyle, LocalGlobal::LImageData,
                                  canvas.getSelectedRect(), k, false)
                    .scaled(300, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            QImage shown(300, 300, QImage::Format_ARGB32_Premultiplied);
            shown.fill(0);
            canvas.render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
            QCOMPARE(shown, expected);
            LocalGlobal::iconStyle = random.next(LocalGlobal::iconStyle);
        }
        QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, press);
    }
};

QTEST_MAIN(TestPixelExact)
#include "tst_pixelexact.moc"
