// The renderer keeps working images and unchanged layers between paints for speed; it is held
// to a straightforward composition drawn afresh, bit for bit, over random editing sessions.
#include "canvas/iconrenderer.h"
#include "canvas/kbwidget.h"
#include "model/localglobal.h"
#include "support/randomdocument.h"
#include "support/referencerender.h"
#include "support/testsupport.h"

#include <QPainter>
#include <QtTest>

class TestRendering : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void rendererMatchesReference_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<quint32>("seed");
        for (int k = 1; k <= 3; ++k) {
            for (quint32 seed = 1; seed <= (k == 3 ? 6u : 14u); ++seed)
                QTest::addRow("k%d seed %u", k, seed) << k << seed * 7919u + quint32(k);
        }
    }

    // One renderer through a session of styles and documents: screen, container, outline and
    // icon equal the reference, and an image handed out earlier never changes under a later paint.
    void rendererMatchesReference() {
        QFETCH(int, k);
        QFETCH(quint32, seed);
        RandomDocument random(seed);
        IconRenderer renderer(k);
        IconStyle style = random.style();
        QList<ImageData> images = random.pictures(k);
        QImage held;
        QImage heldCopy;
        for (int step = 0; step < 10; ++step) {
            const QRect frame = random.frame(k);
            const QImage screen = renderer.renderCanvas(style, images, frame);
            QCOMPARE(screen, Reference::canvas(style, images, frame, k, false));
            QCOMPARE(held, heldCopy);
            QPainterPath path;
            const QImage container = renderer.renderContainer(style, path);
            QCOMPARE(container, Reference::container(style, k));
            QCOMPARE(path, Reference::outline(style, k));
            QCOMPARE(renderer.renderIcon(style, images), Reference::icon(style, images, k));
            QCOMPARE(renderer.sizeIndex(), k);

            held = screen;
            heldCopy = screen.copy();
            style = random.next(style);
            if (random.chance(15))
                renderer.setSizeIndex(k = random.between(1, 3));
            if (random.chance(40))
                images = random.pictures(k);
            else if (!images.isEmpty())
                images.last().position += QPoint(random.between(-9, 9), random.between(-9, 9)) * k;
        }
    }

    // A few facts of the finished icon that the reference must not get wrong either.
    void iconFacts() {
        for (int k = 1; k <= 3; ++k) {
            IconStyle style;
            QImage icon = IconRenderer(k).renderIcon(style, {});
            QCOMPARE(icon.size(), QSize(256 * k, 256 * k));
            QImage clear(icon.size(), icon.format());
            clear.fill(0);
            QCOMPARE(icon, clear);
            style.useBackground = true;
            style.backOrientation = 0;
            icon = IconRenderer(k).renderIcon(style, {});
            // White at the top, yellow at the bottom; the strip right of and below the container
            // stays transparent.
            QVERIFY(icon.pixelColor(128 * k, 0).blue() > 250);
            QVERIFY(icon.pixelColor(128 * k, 256 * k - 2).blue() < 8);
            QCOMPARE(icon.pixelColor(256 * k - 1, 128 * k).alpha(), 0);
            QCOMPARE(icon.pixelColor(128 * k, 256 * k - 1).alpha(), 0);
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
        QTest::addRow("unknown shape") << 3 << 50 << 1;
    }

    // Every pixel of the area comes through the antialiased clip of the shape whole, and the area
    // is most of the shape, so that opaque pictures really spare the work under them.
    void wholePixelAreaIsWhollyInside() {
        QFETCH(int, shape);
        QFETCH(int, radius);
        QFETCH(int, k);
        IconStyle style;
        style.shape = shape;
        style.radius = radius;
        const QRect rect(22 * k - 1, 22 * k - 1, 256 * k - 1, 256 * k - 1);
        const QRegion area = wholePixelArea(shape, radius, rect);
        QImage clipped(300 * k, 300 * k, QImage::Format_ARGB32_Premultiplied);
        clipped.fill(0);
        QPainter painter(&clipped);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipPath(Reference::outline(style, k));
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
        const qint64 shapePixels = qint64(rect.width()) * rect.height();
        QVERIFY(shape > 2 ? pixels == 0 : pixels > shapePixels / 2);
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

    void screenPaintMatchesReference_data() {
        QTest::addColumn<int>("k");
        for (int k = 1; k <= 3; ++k)
            QTest::addRow("k%d", k) << k;
    }

    // What the canvas shows through its own paint handler while the top picture is dragged.
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
        for (int step = 0; step < 4; ++step) {
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
        LocalGlobal::LImageData.clear();
        LocalGlobal::iconStyle = IconStyle();
    }
};

QTEST_MAIN(TestRendering)
#include "tst_rendering.moc"
