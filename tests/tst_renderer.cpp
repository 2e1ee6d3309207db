#include "canvas/icongeometry.h"
#include "canvas/iconrenderer.h"
#include "canvas/kbwidget.h"
#include "model/localglobal.h"
#include "support/testsupport.h"

#include <QtTest>

#include <cmath>

using TestSupport::near;
using TestSupport::pixel;

namespace {

const QColor green(0, 160, 0);
const QColor blue(0, 0, 255);
const QColor clear(0, 0, 0, 0);

// Every decoration off, a plain solid background available, badge text measured by hand.
IconStyle plainStyle() {
    IconStyle style;
    style.backStyle = int(BackStyle::Solid);
    style.backColor1 = green;
    style.badgeText.clear();
    style.badgeTextWidth = 0;
    style.badgeTextHeight = 22;
    return style;
}

ImageData picture(QPoint position, QSize size, const QColor& color) {
    return TestSupport::solidObject(QRect(position, size), color);
}

// The whole canvas as the output sees it (no selection frame), in canvas pixels.
QImage canvas(const IconStyle& style, int k = 1, const QList<ImageData>& images = {}) {
    const IconRenderer renderer(k);
    QPainterPath path;
    const QImage container = renderer.renderContainer(style, path);
    return renderer.composeIcon(container, path, true, style, images);
}

bool isTransparent(const QImage& image) {
    return TestSupport::everyAlphaIs(image, 0);
}

// One row per canvas size.
void sizeRows() {
    QTest::addColumn<int>("k");
    for (int k = 1; k <= 3; ++k)
        QTest::addRow("k%d", k) << k;
}

// Walks from `centre` along the unit diagonal `direction` and returns the middle of the run of
// band-coloured pixels found there: the centre line of a diagonal band.
QPointF bandMiddle(const QImage& image, QPointF centre, QPointF direction, const QColor& band) {
    int first = 1000;
    int last = -1000;
    for (int t = -60; t <= 60; ++t) {
        const QPointF p = centre + direction * t;
        if (near(pixel(image, int(p.x()), int(p.y())), band, 8)) {
            first = std::min(first, t);
            last = std::max(last, t);
        }
    }
    return centre + direction * ((first + last) / 2.0);
}

bool hasPartialAlpha(const QImage& image, QRect area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int alpha = pixel(image, x, y).alpha();
            if (alpha > 8 && alpha < 120)
                return true;
        }
    }
    return false;
}

} // namespace

class TestRenderer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void init() {
        LocalGlobal::LImageData.clear();
        LocalGlobal::iconStyle = plainStyle();
    }

    void geometryRules_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QRect>("shapeRect");
        QTest::addColumn<QRect>("glossy");
        QTest::newRow("k1") << 1 << QRect(21, 21, 255, 255) << QRect(24, -200, 252, 300);
        QTest::newRow("k2") << 2 << QRect(43, 43, 511, 511) << QRect(48, -400, 504, 600);
        QTest::newRow("k3") << 3 << QRect(65, 65, 767, 767) << QRect(72, -600, 756, 900);
    }

    void geometryRules() {
        QFETCH(int, k);
        QFETCH(QRect, shapeRect);
        QFETCH(QRect, glossy);
        QCOMPARE(IconGeometry::shapeRect(k), shapeRect);
        QCOMPARE(IconGeometry::glossyRect(k), glossy);
        QCOMPARE(IconGeometry::iconRect(k), QRect(22 * k, 22 * k, 256 * k, 256 * k));
        QCOMPARE(IconGeometry::threeDOffset(k, false, 5), -5 * k);
        QCOMPARE(IconGeometry::threeDOffset(k, true, 5), -5 * k - 2);
        QCOMPARE(IconGeometry::bandHeight(3, 22), 36);
        QCOMPARE(IconGeometry::bandHeight(2, 17), 27);
        QCOMPARE(IconGeometry::drawnBandHeight(36, 5), 33);
        QCOMPARE(IconGeometry::drawnBandHeight(36, 1), 37);
    }

    void gradientEnds_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("end");
        QTest::newRow("Top - Down") << 0 << QPoint(21, 21) << QPoint(21, 275);
        QTest::newRow("Down - Top") << 1 << QPoint(21, 275) << QPoint(21, 21);
        QTest::newRow("Left - Right") << 2 << QPoint(21, 21) << QPoint(275, 21);
        QTest::newRow("Right - Left") << 3 << QPoint(275, 21) << QPoint(21, 21);
        QTest::newRow("TopLeft - DownRight") << 4 << QPoint(21, 21) << QPoint(275, 275);
        QTest::newRow("TopRight - DownLeft") << 5 << QPoint(275, 21) << QPoint(21, 275);
        QTest::newRow("DownLeft - TopRight") << 6 << QPoint(21, 275) << QPoint(275, 21);
        QTest::newRow("DownRight - TopLeft") << 7 << QPoint(275, 275) << QPoint(21, 21);
    }

    void gradientEnds() {
        QFETCH(int, orientation);
        QFETCH(QPoint, start);
        QFETCH(QPoint, end);
        IconStyle style = plainStyle();
        style.useBackground = true;
        style.backStyle = int(BackStyle::Gradient);
        style.backOrientation = orientation;
        style.backColor1 = QColor(255, 0, 0);
        style.backColor2 = QColor(0, 0, 255);
        const QImage image = canvas(style);
        QVERIFY(near(pixel(image, start.x(), start.y()), style.backColor1, 3));
        QVERIFY(near(pixel(image, end.x(), end.y()), style.backColor2, 3));
        // Every corner takes the colour of its projection on the gradient line, so a wrong end
        // point shows even where it shares a row or column with the right one.
        const QLineF line(start, end);
        for (const QPoint corner :
             {QPoint(23, 23), QPoint(273, 23), QPoint(23, 273), QPoint(273, 273)}) {
            const QPointF d = line.p2() - line.p1();
            const QPointF p = QPointF(corner) - line.p1();
            const double t = std::clamp(
                (p.x() * d.x() + p.y() * d.y()) / (d.x() * d.x() + d.y() * d.y()), 0.0, 1.0);
            const QColor expected(int(std::lround(255 * (1 - t))), 0, int(std::lround(255 * t)));
            QVERIFY2(near(pixel(image, corner.x(), corner.y()), expected, 4),
                     qPrintable(QStringLiteral("corner %1, %2").arg(corner.x()).arg(corner.y())));
        }

        const IconGeometry::GradientLine unknown =
            IconGeometry::gradientLine(8, IconGeometry::shapeRect(1));
        QCOMPARE(unknown.start, QPointF(0, 0));
        QCOMPARE(unknown.end, QPointF(0, 0));
    }

    void outsideShapeIsTransparent_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("k");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("filled");
        QTest::newRow("rectangle left of shapeRect") << 0 << 1 << QPoint(20, 150) << false;
        QTest::newRow("rectangle first column") << 0 << 1 << QPoint(21, 150) << true;
        QTest::newRow("rectangle last column") << 0 << 1 << QPoint(275, 150) << true;
        QTest::newRow("rectangle right of shapeRect") << 0 << 1 << QPoint(276, 150) << false;
        QTest::newRow("rectangle below shapeRect") << 0 << 2 << QPoint(300, 554) << false;
        QTest::newRow("rectangle corner") << 0 << 1 << QPoint(23, 23) << true;
        QTest::newRow("rounded corner") << 1 << 1 << QPoint(26, 26) << false;
        QTest::newRow("rounded corner k3") << 1 << 3 << QPoint(70, 70) << false;
        QTest::newRow("rounded k3 radius not scaled") << 1 << 3 << QPoint(85, 85) << true;
        QTest::newRow("rounded edge k3") << 1 << 3 << QPoint(66, 450) << true;
        QTest::newRow("circle corner") << 2 << 1 << QPoint(40, 40) << false;
        QTest::newRow("circle bottom right") << 2 << 2 << QPoint(530, 530) << false;
        QTest::newRow("circle centre") << 2 << 1 << QPoint(150, 150) << true;
        QTest::newRow("circle edge") << 2 << 1 << QPoint(24, 148) << true;
        QTest::newRow("unknown shape empty") << 3 << 1 << QPoint(150, 150) << false;
        QTest::newRow("negative shape empty") << -1 << 1 << QPoint(150, 150) << false;
    }

    void outsideShapeIsTransparent() {
        QFETCH(int, shape);
        QFETCH(int, k);
        QFETCH(QPoint, point);
        QFETCH(bool, filled);
        IconStyle style = plainStyle();
        style.shape = shape;
        style.useBackground = true;
        const QImage image = canvas(style, k);
        QVERIFY(near(pixel(image, point.x(), point.y()), filled ? green : clear));
        QVERIFY(near(pixel(image, 5 * k, 5 * k), clear));
    }

    void emptyOutlineClipsEverything() {
        IconStyle style = plainStyle();
        style.shape = 7;
        style.useBackground = true;
        style.useBack3dEffect = true;
        style.useBorder = true;
        style.useGlossy = true;
        style.useBadge = true;
        style.clipImage = true;
        const QList<ImageData> images{picture(QPoint(100, 100), QSize(50, 50), blue)};
        QVERIFY(isTransparent(canvas(style, 1, images)));

        style.clipImage = false;
        const QImage unclipped = canvas(style, 1, images);
        QVERIFY(near(pixel(unclipped, 120, 120), blue));
        QVERIFY(near(pixel(unclipped, 90, 90), clear));
    }

    void threeDBand_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<bool>("border");
        QTest::addColumn<int>("firstShaded");
        // The shape ends at 256·k + 21·k - 1 in both directions; the band is -offset wide.
        QTest::newRow("k1") << 1 << false << 271;
        QTest::newRow("k1 border 6") << 1 << true << 268;
        QTest::newRow("k2") << 2 << false << 544;
        QTest::newRow("k2 border 6") << 2 << true << 541;
        QTest::newRow("k3") << 3 << false << 817;
    }

    void threeDBand() {
        QFETCH(int, k);
        QFETCH(bool, border);
        QFETCH(int, firstShaded);
        IconStyle style = plainStyle();
        style.useBackground = true;
        style.backColor1 = Qt::white;
        style.useBack3dEffect = true;
        style.useBorder = border;
        style.borderWidth = 6;
        const QImage image = canvas(style, k);
        const QColor shaded(215, 215, 215);
        const int middle = 150 * k;
        for (const bool vertical : {false, true}) {
            const auto at = [&](int along) {
                return vertical ? pixel(image, middle, along) : pixel(image, along, middle);
            };
            QVERIFY(near(at(firstShaded - 1), Qt::white));
            QVERIFY(near(at(firstShaded), shaded));
            QVERIFY(near(at(firstShaded + 2), shaded));
            QVERIFY(near(at(100 * k), Qt::white));
        }

        // Without a background there is nothing to shade.
        style.useBackground = false;
        QVERIFY(near(pixel(canvas(style, k), firstShaded, middle), clear));
    }

    void glossyLowerEdge_data() { sizeRows(); }

    void glossyLowerEdge() {
        QFETCH(int, k);
        IconStyle style = plainStyle();
        style.useGlossy = true;
        const QImage image = canvas(style, k);
        const QColor halfWhite(255, 255, 255, 128);
        QVERIFY(near(pixel(image, 150 * k, 100 * k - 3), halfWhite, 3));
        QVERIFY(near(pixel(image, 150 * k, 100 * k + 2), clear));
        QVERIFY(near(pixel(image, 150 * k, 40 * k), halfWhite, 3));
        // The ellipse reaches above the shape; the clip cuts it at the shape's top edge.
        QVERIFY(near(pixel(image, 150 * k, 20 * k), clear));
        QVERIFY(near(pixel(image, 30 * k, 40 * k), clear));
    }

    void horizontalBand_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("borderWidth");
        QTest::addColumn<int>("outlineRow");
        QTest::addColumn<int>("fillRow");
        QTest::addColumn<int>("backgroundRow");
        // h = 36; drawn 33 with border width 5, the full 36 with border width 2.
        QTest::newRow("top k1") << 1 << 1 << 5 << 21 << 25 << 58;
        QTest::newRow("top k2") << 2 << 1 << 5 << 43 << 47 << 80;
        QTest::newRow("top k3") << 3 << 1 << 5 << 65 << 69 << 102;
        QTest::newRow("bottom k1") << 1 << 0 << 2 << 242 << 275 << 239;
        QTest::newRow("bottom k2") << 2 << 0 << 2 << 520 << 553 << 517;
    }

    void horizontalBand() {
        QFETCH(int, k);
        QFETCH(int, position);
        QFETCH(int, borderWidth);
        QFETCH(int, outlineRow);
        QFETCH(int, fillRow);
        QFETCH(int, backgroundRow);
        IconStyle style = plainStyle();
        style.useBackground = true;
        style.useBadge = true;
        style.badgeOrientation = int(BadgeOrientation::Horizontal);
        style.badgeOrientationHorizontal = position;
        style.borderWidth = borderWidth;
        const QImage image = canvas(style, k);
        const int x = 40 * k;
        QVERIFY(near(pixel(image, x, outlineRow), style.badgeBorderColor, 40));
        QVERIFY(near(pixel(image, x, fillRow), style.badgeBackColor));
        QVERIFY(near(pixel(image, x, backgroundRow), green));
        // The band spans the whole canvas width but is cut at the shape.
        QVERIFY(near(pixel(image, 5, fillRow), clear));
    }

    void diagonalBand_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("corner");
        QTest::addColumn<QPointF>("centre");
        const QPointF toCorner[] = {QPointF(-1, -1), QPointF(1, -1), QPointF(-1, 1), QPointF(1, 1)};
        const QPointF centres[] = {QPointF(72, 70), QPointF(225, 67), QPointF(65, 227),
                                   QPointF(232, 230)};
        const char* names[] = {"top left", "top right", "bottom left", "bottom right"};
        for (int k = 1; k <= 2; ++k) {
            for (int corner = 0; corner < 4; ++corner) {
                const QPointF centre = centres[corner] * k;
                QTest::addRow("%s k%d", names[corner], k) << k << 0 << corner << centre;
                QTest::addRow("%s k%d circle", names[corner], k)
                    << k << 2 << corner << centre - toCorner[corner] * 4 * k;
            }
        }
        QTest::newRow("fallback") << 1 << 0 << 9 << QPointF(152, 150);
    }

    void diagonalBand() {
        QFETCH(int, k);
        QFETCH(int, shape);
        QFETCH(int, corner);
        QFETCH(QPointF, centre);
        IconStyle style = plainStyle();
        style.shape = shape;
        style.useBackground = true;
        style.useBadge = true;
        style.badgeOrientationDiagonal = corner;
        style.borderWidth = 2;
        const QImage image = canvas(style, k);
        QVERIFY(near(pixel(image, int(centre.x()), int(centre.y())), style.badgeBackColor));
        const double half = std::sqrt(0.5);
        const QPointF across =
            corner == 1 || corner == 2 ? QPointF(half, -half) : QPointF(half, half);
        const QPointF middle = bandMiddle(image, centre, across, style.badgeBackColor);
        QVERIFY2(
            QLineF(middle, centre).length() < 2.5,
            qPrintable(QStringLiteral("band middle at %1, %2").arg(middle.x()).arg(middle.y())));
    }

    void picturesAndClip_data() {
        QTest::addColumn<bool>("clip");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, bool clip, QPoint point, const char* expected) {
            QTest::newRow(name) << clip << point << QString::fromLatin1(expected);
        };
        row("clip: round cut", true, QPoint(25, 105), "clear");
        row("clip: inside shape", true, QPoint(60, 150), "blue");
        row("clip: border over picture", true, QPoint(22, 150), "border");
        row("clip: glossy over picture", true, QPoint(150, 60), "glossy");
        row("clip: badge over picture", true, QPoint(232, 230), "badge");
        row("no clip: square cut only", false, QPoint(25, 105), "blue");
        row("no clip: outside square", false, QPoint(15, 150), "clear");
        row("no clip: covers border", false, QPoint(22, 150), "blue");
        row("no clip: covers glossy", false, QPoint(150, 60), "blue");
        row("no clip: covers badge", false, QPoint(232, 230), "blue");
        row("no clip: top layer last", false, QPoint(215, 215), "red");
    }

    void picturesAndClip() {
        QFETCH(bool, clip);
        QFETCH(QPoint, point);
        QFETCH(QString, expected);
        IconStyle style = plainStyle();
        style.shape = int(ContainerShape::Circle);
        style.useBackground = true;
        style.useBorder = true;
        style.useGlossy = true;
        style.useBadge = true;
        style.borderWidth = 6;
        style.clipImage = clip;
        const QList<ImageData> images{picture(QPoint(-30, 100), QSize(100, 100), blue),
                                      picture(QPoint(100, 40), QSize(100, 100), blue),
                                      picture(QPoint(200, 200), QSize(50, 50), blue),
                                      picture(QPoint(210, 210), QSize(10, 10), Qt::red)};
        const QImage image = canvas(style, 1, images);
        const QMap<QString, QColor> colours{{"clear", clear},
                                            {"blue", blue},
                                            {"red", QColor(Qt::red)},
                                            {"border", style.borderColor},
                                            {"badge", style.badgeBackColor},
                                            {"glossy", QColor(128, 128, 255)}};
        const QColor actual = pixel(image, point.x(), point.y());
        QVERIFY2(near(actual, colours.value(expected), 3),
                 qPrintable(actual.name(QColor::HexArgb)));
    }

    void antialiasingFollowsHorizontalBadge_data() {
        QTest::addColumn<bool>("badge");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("smooth");
        QTest::newRow("no badge") << false << 0 << false;
        QTest::newRow("diagonal badge restores hints") << true << 0 << false;
        QTest::newRow("horizontal badge leaves antialiasing on") << true << 1 << true;
    }

    void antialiasingFollowsHorizontalBadge() {
        QFETCH(bool, badge);
        QFETCH(int, orientation);
        QFETCH(bool, smooth);
        IconStyle style = plainStyle();
        style.useGlossy = true;
        style.useBadge = badge;
        style.badgeOrientation = orientation;
        style.badgeOrientationHorizontal = 0;
        style.badgeOrientationDiagonal = 3;
        const QImage image = canvas(style);
        // The glossy ellipse's curved lower edge, away from either band.
        QCOMPARE(hasPartialAlpha(image, QRect(30, 20, 80, 80)), smooth);
    }

    void selectionFrameOnScreenOnly_data() { sizeRows(); }

    void selectionFrameOnScreenOnly() {
        QFETCH(int, k);
        const IconRenderer renderer(k);
        const IconStyle style = plainStyle();
        const QRect frame(50 * k, 50 * k, 100 * k, 100 * k);
        const QImage screen = renderer.renderCanvas(style, {}, frame);
        int black = 0;
        int gaps = 0;
        for (int x = frame.left() + 2 * k; x < frame.right() - 2 * k; ++x) {
            int rows = 0;
            for (int y = frame.top() - 3; y <= frame.top() + 3; ++y)
                rows += near(pixel(screen, x, y), Qt::black) ? 1 : 0;
            if (rows == 0)
                ++gaps;
            else
                black = std::max(black, rows);
        }
        QCOMPARE(black, k);
        QVERIFY(gaps > 10 * k);
        QVERIFY(isTransparent(renderer.renderIcon(style, {})));
    }

    void emptyDocumentIcon_data() { sizeRows(); }

    void emptyDocumentIcon() {
        QFETCH(int, k);
        const QImage icon = renderDocumentIcon(k);
        QCOMPARE(icon.size(), QSize(256 * k, 256 * k));
        QCOMPARE(icon.format(), QImage::Format_ARGB32_Premultiplied);
        QVERIFY(isTransparent(icon));

        KBWidget widget;
        widget.setSizeIndex(k);
        QImage fromWidget;
        widget.renderIcon(fromWidget);
        QCOMPARE(fromWidget, icon);
    }

    void iconIsTheSquareWithoutMargin() {
        LocalGlobal::iconStyle.useBackground = true;
        LocalGlobal::LImageData << picture(QPoint(44, 44), QSize(30, 30), blue);
        KBWidget widget;
        widget.setSizeIndex(2);
        QImage icon;
        widget.renderIcon(icon);
        QCOMPARE(icon.size(), QSize(512, 512));
        QVERIFY(near(pixel(icon, 0, 0), blue));
        QVERIFY(near(pixel(icon, 29, 29), blue));
        QVERIFY(near(pixel(icon, 40, 40), green));
        // The shape sits one pixel up and left of the icon square and is one pixel smaller.
        QVERIFY(near(pixel(icon, 509, 509), green));
        QVERIFY(near(pixel(icon, 510, 510), clear));
    }

    void paintShowsWholeCanvasScaled() {
        LocalGlobal::iconStyle.useBackground = true;
        LocalGlobal::LImageData << picture(QPoint(400, 400), QSize(100, 100), blue);
        KBWidget widget;
        widget.resize(300, 300);
        QVERIFY(!near(widget.grab().toImage().pixelColor(150, 150), green, 10));

        widget.setSizeIndex(2);
        const QImage shown = widget.grab().toImage();
        QCOMPARE(shown.size(), QSize(300, 300));
        QVERIFY(near(shown.pixelColor(150, 150), green, 3));
        QVERIFY(near(shown.pixelColor(225, 225), blue, 3));
        QVERIFY(near(shown.pixelColor(190, 190), green, 3));
        QVERIFY(!near(shown.pixelColor(5, 5), green, 10));
    }
};

QTEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
