// The icon drawn from its style: where the badge lands, the round edge of the small sharp entries,
// pictures turned upright, and the parts of pictures an opaque picture hides left undrawn.
#include "picture/uprightpicture.h"
#include "render/badgetext.h"
#include "render/icongeometry.h"
#include "render/iconrenderer.h"
#include "render/sharpicon.h"
#include "support/referencerender.h"
#include "support/testsupport.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <vector>

using namespace IconGeometry;

class TestRender : public QObject {
    Q_OBJECT

    // A picture of random premultiplied pixels, all opaque or of random alpha.
    static QImage noise(QSize size, bool allOpaque, QRandomGenerator& random) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const int a = allOpaque ? 255 : int(random.bounded(256));
                image.setPixel(
                    x, y,
                    qRgba(random.bounded(a + 1), random.bounded(a + 1), random.bounded(a + 1), a));
            }
        }
        return image;
    }

private slots:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void badgePlacement_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("k");
        // Where the middle of the band (150·k, 150·k in its own coordinates) lands, per k.
        QTest::addColumn<QPointF>("middle");
        QTest::addColumn<QPointF>("along");
        // Half band heights the middle lies from that point (a horizontal band keeps to an edge).
        QTest::addColumn<double>("shift");
        const char* corners[] = {"top left", "top right", "bottom left", "bottom right"};
        // Turned ∓45° about the canvas origin: the band's middle goes to (150·√2, 0) or
        // (0, 150·√2), then moves with the corner's translation (d = 80·k, 76·k for a circle).
        const QPointF middles[2][4] = {{{72.13, 70}, {225, 67.13}, {65, 227.13}, {232.13, 230}},
                                       {{76.13, 74}, {221, 71.13}, {69, 223.13}, {228.13, 226}}};
        for (int k = 1; k <= 3; ++k) {
            for (int shape : {0, 2}) {
                const char* name = shape ? "circle" : "rectangle";
                for (int c = 0; c < 4; ++c)
                    QTest::addRow("%s, %s, k=%d", corners[c], name, k)
                        << 0 << c << shape << k << middles[shape / 2][c]
                        << QPointF(1, c == 0 || c == 3 ? -1 : 1) << 0.0;
                QTest::addRow("bottom, %s, k=%d", name, k)
                    << 1 << 0 << shape << k << QPointF(150, 278) << QPointF(1, 0) << -1.0;
                QTest::addRow("top, %s, k=%d", name, k)
                    << 1 << 1 << shape << k << QPointF(150, 22) << QPointF(1, 0) << 1.0;
            }
        }
    }

    // The band lies across its corner or along its edge, as the geometry says and as the icon,
    // big and sharp small, shows: badge colour inside the band, the container's beyond it, the
    // text inside the band about its middle.
    void badgePlacement() {
        QFETCH(int, orientation);
        QFETCH(int, position);
        QFETCH(int, shape);
        QFETCH(int, k);
        QFETCH(QPointF, middle);
        QFETCH(QPointF, along);
        QFETCH(double, shift);
        IconStyle style;
        style.shape = shape;
        style.useBackground = style.useBadge = true;
        style.backStyle = int(BackStyle::Solid);
        style.backColor1 = QColor(0, 0, 255);
        style.badgeOrientation = orientation;
        style.badgeOrientationDiagonal = style.badgeOrientationHorizontal = position;
        style.badgeText = "SALE";
        style.badgeTextSize = 28;
        style.badgeTextFont.setPixelSize(28);
        BadgeText::measure(style);
        style.badgeTextHeight = 50;
        style.borderWidth = 20; // without a border, only shortens the band
        const int h = 76;       // two line widths and 1.4 text heights
        // The band across its middle line, its height less the border width beyond 2.
        const double top = -h / 2.0, bottom = h / 2.0 - (style.borderWidth - 2);
        const double pen = style.badgeLineWidth / 2.0;
        const QPointF u = along / std::hypot(along.x(), along.y()), v(-u.y(), u.x());
        const QPointF mid = middle * k + QPointF(0, shift * h / 2);

        QTransform placed;
        if (orientation == int(BadgeOrientation::Diagonal)) {
            const DiagonalPlacement placement = diagonalPlacement(position, k, shape);
            placed.translate(placement.translation.x(), placement.translation.y());
            placed.rotate(placement.rotation);
        }
        const int bandTop = orientation ? horizontalBandTop(position, k, h) : diagonalBandTop(k, h);
        QCOMPARE(bandHeight(style.badgeLineWidth, style.badgeTextHeight), h);
        const QPointF mapped = placed.map(QPointF(150 * k, bandTop + h / 2));
        QVERIFY2(QLineF(mapped, mid).length() < 0.02 * k,
                 qPrintable(QString("middle at %1, %2").arg(mapped.x()).arg(mapped.y())));
        QVERIFY(QLineF(placed.map(QPointF(1, 0)) - placed.map(QPointF()), u).length() < 1e-9);

        // Each pixel's centre in canvas pixels; only those well inside the container are judged.
        const auto at = [&](int x, int y, double scale) {
            return QPointF(x + 0.5, y + 0.5) / scale + QPointF(22, 22) * k;
        };
        const auto inside = [&](QPointF p, double margin) {
            const QPointF c(150 * k - 1.5, 150 * k - 1.5);
            const double half = 128 * k - 0.5 - margin;
            return shape ? QLineF(p, c).length() < half
                         : std::abs(p.x() - c.x()) < half && std::abs(p.y() - c.y()) < half;
        };
        // Answers the first pixel out of place, counting those inside the band in `band`.
        const auto misplaced = [&](const QImage& image, double scale, int& band) {
            const double slack = 1.5 / scale + pen + 0.5;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QPointF p = at(x, y, scale);
                    if (!inside(p, slack))
                        continue;
                    const double across = QPointF::dotProduct(p - mid, v);
                    const QRgb pixel = image.pixel(x, y);
                    const bool in = across > top + slack && across < bottom - slack;
                    const bool out = across < top - slack || across > bottom + slack;
                    band += in;
                    if ((in && pixel != style.badgeBackColor.rgba()) ||
                        (out && pixel != style.backColor1.rgba()))
                        return QString("%1 at %2, %3").arg(pixel, 8, 16).arg(x).arg(y);
                }
            }
            return QString();
        };
        IconRenderer renderer(k);
        const QImage withText = renderer.renderIcon(style, {});
        style.badgeText.clear();
        const QImage icon = renderer.renderIcon(style, {});
        for (const double scale : {1.0, 64.0 / imageSize(k)}) {
            int band = 0;
            const QString wrong =
                misplaced(scale == 1 ? icon : renderSharpIcon(style, {}, k, 64), scale, band);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
            QVERIFY(band > 0);
        }
        int ink = 0;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                if (icon.pixel(x, y) == withText.pixel(x, y))
                    continue;
                ++ink;
                const QPointF p = at(x, y, 1) - mid;
                const double across = QPointF::dotProduct(p, v);
                QVERIFY2(across > top + pen && across < bottom - pen &&
                             std::abs(QPointF::dotProduct(p, u)) < style.badgeTextWidth / 2.0 + 2,
                         qPrintable(QString("text at %1, %2").arg(x).arg(y)));
            }
        }
        QVERIFY(ink > 100);
    }

    void sharpRoundEdges_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<int>("k");
        for (int k = 1; k <= 3; ++k) {
            for (bool picture : {false, true}) {
                const char* fill = picture ? "clipped picture" : "background";
                QTest::addRow("circle, %s, k=%d", fill, k) << 2 << picture << k;
                QTest::addRow("rounded, %s, k=%d", fill, k) << 1 << picture << k;
            }
        }
    }

    // A small sharp entry's round outline, filled by the background or cutting a picture, fades
    // each pixel as much as the outline covers it (measured on a 16 x 16 grid in the pixel): the
    // pixels it crosses are partly transparent, those wholly out clear, those wholly in opaque.
    void sharpRoundEdges() {
        QFETCH(int, shape);
        QFETCH(bool, picture);
        QFETCH(int, k);
        IconStyle style;
        style.shape = shape;
        style.radius = 64 * k; // a quarter of the icon's side
        style.useBackground = !picture;
        style.backStyle = int(BackStyle::Solid);
        style.clipImage = true;
        QList<Layer> layers;
        if (picture) {
            Layer layer;
            layer.sourceImage = QImage(QSize(400, 400) * k, QImage::Format_ARGB32_Premultiplied);
            layer.sourceImage.fill(qRgb(200, 40, 30));
            layer.position = QPoint(-50, -50) * k;
            layer.updateImage();
            layers << layer;
        }
        const QList<int> sizes{16, 20, 24, 32, 40, 48, 64};
        const QList<QImage> icons = renderSharpIcons(style, layers, k, sizes);
        for (int i = 0; i < sizes.size(); ++i) {
            // The container fills the entry's square.
            const double half = sizes[i] / 2.0, r = shape == 2 ? half : half / 2;
            const auto distance = [&](double x, double y) {
                const double dx = std::abs(x - half) - (half - r);
                const double dy = std::abs(y - half) - (half - r);
                return std::hypot(std::max(dx, 0.0), std::max(dy, 0.0)) +
                       std::min(std::max(dx, dy), 0.0) - r;
            };
            int edge = 0;
            for (int y = 0; y < sizes[i]; ++y) {
                for (int x = 0; x < sizes[i]; ++x) {
                    int covered = 0;
                    for (int sy = 0; sy < 16; ++sy) {
                        for (int sx = 0; sx < 16; ++sx)
                            covered += distance(x + (sx + 0.5) / 16, y + (sy + 0.5) / 16) < 0;
                    }
                    const double coverage = covered / 256.0;
                    const double centre = distance(x + 0.5, y + 0.5);
                    const int alpha = qAlpha(icons[i].pixel(x, y));
                    const QString where = QString("alpha %1 where %2 is covered, at %3, %4 of %5")
                                              .arg(alpha)
                                              .arg(coverage)
                                              .arg(x)
                                              .arg(y)
                                              .arg(sizes[i]);
                    // Qt fills the curve as chords, up to a ninth of a pixel inside it.
                    QVERIFY2(std::abs(alpha / 255.0 - coverage) < 0.15, qPrintable(where));
                    if (centre > M_SQRT1_2)
                        QVERIFY2(alpha == 0, qPrintable(where));
                    else if (centre < -M_SQRT1_2)
                        QVERIFY2(alpha == 255, qPrintable(where));
                    else if (coverage > 0.1 && coverage < 0.9) {
                        QVERIFY2(alpha > 0 && alpha < 255, qPrintable(where));
                        ++edge;
                    }
                }
            }
            // Such pixels all along the outline.
            QVERIFY(edge >= sizes[i]);
        }
    }

    void uprightAsQtTurnsIt_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("seeThrough");
        QTest::addColumn<int>("padding");
        // The turn moves blocks of 4 x 4 pixels, then the rest one by one, in bands of 32 rows:
        // sides a multiple of 4 or not, the last band whole or not, tiny pictures.
        for (QSize size :
             {QSize(1, 1), QSize(1, 7), QSize(7, 1), QSize(4, 1), QSize(1, 4), QSize(3, 2),
              QSize(8, 5), QSize(5, 8), QSize(8, 8), QSize(4, 33), QSize(33, 4), QSize(64, 37),
              QSize(37, 64), QSize(36, 66), QSize(67, 33), QSize(64, 64)}) {
            QTest::addRow("%dx%d", size.width(), size.height()) << size << false << 0;
            QTest::addRow("%dx%d, see-through, rows apart", size.width(), size.height())
                << size << true << 3;
        }
    }

    // Every orientation puts each pixel where Qt's own mirroring and turning puts it, and nothing
    // is written beyond the picture (the sanitizer build tells).
    void uprightAsQtTurnsIt() {
        QFETCH(QSize, size);
        QFETCH(bool, seeThrough);
        QFETCH(int, padding);
        QRandomGenerator random(size.width() * 1000 + size.height());
        const int stride = size.width() + padding;
        std::vector<QRgb> pixels(size_t(stride) * size.height());
        for (QRgb& pixel : pixels)
            pixel = random.generate() | (seeThrough ? 0 : 0xff000000);
        const QImage stored(reinterpret_cast<const uchar*>(pixels.data()), size.width(),
                            size.height(), stride * 4,
                            seeThrough ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        for (int flags = 0; flags < 8; ++flags) {
            const auto transformation = QImageIOHandler::Transformations(flags);
            QImage expected =
                stored.mirrored(transformation & QImageIOHandler::TransformationMirror,
                                transformation & QImageIOHandler::TransformationFlip);
            if (transformation & QImageIOHandler::TransformationRotate90)
                expected = expected.transformed(QTransform().rotate(90));
            const QImage upright = uprightPixels(stored, transformation, nullptr);
            QCOMPARE(upright.size(), expected.size());
            QCOMPARE(upright.format(), expected.format());
            for (int y = 0; y < upright.height(); ++y) {
                for (int x = 0; x < upright.width(); ++x)
                    QVERIFY2(upright.pixel(x, y) == expected.pixel(x, y),
                             qPrintable(
                                 QString("transformation %1 at %2, %3").arg(flags).arg(x).arg(y)));
            }
        }
    }

    // Random layouts of opaque and see-through pictures, turned and zoomed, the top one opaque
    // until an edge of it is changed in place between two paints of one renderer: the icon and
    // the canvas come out as drawing every picture whole does.
    void picturesUnderOpaqueOnes() {
        QRandomGenerator random(4711);
        IconRenderer renderer;
        for (int round = 0; round < 40; ++round) {
            const int k = 1 + int(random.bounded(3));
            renderer.setCanvasFactor(k);
            IconStyle style;
            style.shape = int(random.bounded(3));
            style.radius = int(random.bounded(200));
            style.clipImage = random.bounded(2);
            style.useBackground = style.useBack3dEffect = random.bounded(2);
            style.useBadge = style.useBorder = random.bounded(2);
            style.badgeOrientation = int(random.bounded(2));
            QList<Layer> layers;
            for (int i = 0, count = 2 + int(random.bounded(4)); i < count; ++i) {
                const bool top = i == count - 1;
                Layer layer;
                layer.sourceImage = noise(QSize(40 + random.bounded(220), 40 + random.bounded(220)),
                                          top || random.bounded(3) > 0, random);
                layer.scale = QList<int>{100, 100, 60, 170}.at(random.bounded(4));
                layer.rotation = QList<int>{0, 90, 180, 270, 33}.at(random.bounded(top ? 4 : 5));
                layer.position = QPoint(random.bounded(-50, 200), random.bounded(-50, 200)) * k;
                layer.updateImage();
                layers << layer;
            }
            QImage& top = layers.last().image;
            // Opaque: no alpha lost without one.
            QCOMPARE(top.convertToFormat(QImage::Format_RGB32).convertToFormat(top.format()), top);
            const QRect frame = layers.first().rect;
            for (int paint = 0; paint < 2; ++paint) {
                QCOMPARE(renderer.renderIcon(style, layers), Reference::icon(style, layers, k));
                QCOMPARE(renderer.renderCanvas(style, layers, frame),
                         Reference::canvas(style, layers, frame, k, false));
                // Each round another edge, the first or last column or row, barely see-through.
                const bool column = round % 2, last = round / 2 % 2;
                for (int i = 0; i < (column ? top.height() : top.width()); ++i) {
                    const int across = last ? (column ? top.width() : top.height()) - 1 : 0;
                    top.setPixel(column ? across : i, column ? i : across, qRgba(0, 0, 0, 254));
                }
            }
        }
    }
};

QTEST_MAIN(TestRender)
#include "tst_render.moc"
