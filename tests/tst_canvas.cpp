// The canvas with real drops of real files, real mouse, wheel and key events; the layer model.
#include "canvas/iconrenderer.h"
#include "canvas/kbwidget.h"
#include "canvas/sharpicon.h"
#include "model/localglobal.h"
#include "support/testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using LocalGlobal::LImageData;
using namespace TestSupport;

class TestCanvas : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<KBWidget> canvas;

    // A shown canvas of factor k, the document empty.
    void showCanvas(int k) {
        LImageData.clear();
        canvas = std::make_unique<KBWidget>();
        canvas->setFixedSize(300, 300);
        canvas->setAcceptDrops(true);
        canvas->setSizeIndex(k);
        canvas->show();
        QVERIFY(QTest::qWaitForWindowExposed(canvas.get()));
    }

    QString picture(const QString& name, QSize size, const QColor& color = Qt::red) {
        const QString path = folder.filePath(name);
        // A name Qt cannot write a picture under gets a text file.
        if (!QFileInfo::exists(path) && !writePicture(path, size, color))
            writeFileBytes(path, "not a picture");
        return path;
    }

    // Pixels neither fully opaque nor fully transparent.
    static int partlyTransparent(const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += qAlpha(image.pixel(x, y)) % 255 != 0;
        }
        return count;
    }

    // Mean absolute difference per channel of two premultiplied images of one size.
    static double meanDifference(const QImage& a, const QImage& b) {
        double sum = 0;
        for (qsizetype i = 0; i < a.sizeInBytes(); ++i)
            sum += std::abs(a.constBits()[i] - b.constBits()[i]);
        return sum / double(a.sizeInBytes());
    }

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void cleanup() { canvas.reset(); }

    void drops_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("k");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("scale"); // 0: refused
        const auto row = [](const char* name, QSize size, int k, QPoint at, int scale) {
            QTest::newRow(name) << QString::fromLatin1(name) << size << k << at << scale;
        };
        row("a.png", {100, 60}, 1, {150, 150}, 100);
        row("b.jpg", {600, 300}, 1, {100, 200}, 50);
        row("c.jpeg", {1200, 600}, 2, {150, 150}, 50);
        row("d.gif", {40, 40}, 3, {10, 290}, 100);
        row("e.tif", {301, 100}, 1, {150, 150}, 99);
        row("f.tiff", {900, 900}, 3, {150, 150}, 100);
        row("g.webp", {50, 80}, 1, {0, 0}, 100);
        row("h.tar.PNG", {3000, 10}, 1, {150, 150}, 10);
        row("i.bmp", {50, 50}, 1, {150, 150}, 0);
        row("j.png.txt", {50, 50}, 1, {150, 150}, 0);
    }

    // A dropped picture is fitted (never enlarged), centred on the drop point in canvas pixels,
    // listed, selected and shown; other files are refused.
    void drops() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(int, k);
        QFETCH(QPoint, at);
        QFETCH(int, scale);
        showCanvas(k);
        const QString path = picture(name, size);
        QSignalSpy added(canvas.get(), &KBWidget::addItem);
        QCOMPARE(dropFiles(canvas.get(), at, {path}), scale > 0);
        QCOMPARE(added.size(), scale > 0 ? 1 : 0);
        if (!scale)
            return;
        const ImageData& object = LImageData.at(0);
        const QSize fitted(size.width() * scale / 100, size.height() * scale / 100);
        QCOMPARE(object.scale, scale);
        QCOMPARE(object.image.size(), fitted);
        QCOMPARE(object.position, at * k - QPoint(fitted.width() / 2, fitted.height() / 2));
        QCOMPARE(object.rect, QRect(object.position, fitted));
        QCOMPARE(object.filePath, path);
        QCOMPARE(object.sourceImage.size(), size);
        QCOMPARE(added.at(0).at(0).toInt(), 0);
        QCOMPARE(added.at(0).at(1).value<QImage>().size(), fitted);
        QCOMPARE(canvas->getSelectedRect(), object.rect);
    }

    // The first file decides whether a drag is taken; then every picture of it is added at the
    // same point, and what does not load is passed over.
    void severalFilesInOneDrop() {
        showCanvas(1);
        const QString png = picture("one.png", {20, 20});
        const QString jpg = picture("two.jpg", {30, 30});
        const QString bmp = picture("three.bmp", {10, 10});
        const QString broken = folder.filePath("broken.png");
        QVERIFY(writeFileBytes(broken, "not a picture"));
        QVERIFY(!dropFiles(canvas.get(), {100, 100}, {bmp, png}));
        QVERIFY(!dropFiles(canvas.get(), {100, 100}, {folder.path() + "/gone.png", png}));
        QVERIFY(dropFiles(canvas.get(), {100, 100}, {png, broken, bmp, jpg}));
        QCOMPARE(LImageData.size(), 2);
        QCOMPARE(LImageData.at(0).rect.center(), QPoint(99, 99));
        QCOMPARE(LImageData.at(1).rect, QRect(85, 85, 30, 30));
        QCOMPARE(LImageData.at(1).index, 1);
    }

    void gestures_data() {
        QTest::addColumn<int>("k");
        for (int k = 1; k <= 3; ++k)
            QTest::addRow("k%d", k) << k;
    }

    // Picks by rectangle, topmost first; drags in canvas pixels; the wheel zooms one percent and,
    // with Shift, turns one degree a notch.
    void gestures() {
        QFETCH(int, k);
        showCanvas(k);
        QVERIFY(dropFiles(canvas.get(), {100, 100},
                          {picture(QString("under%1.png").arg(k), QSize(90, 90) * k)}));
        QVERIFY(dropFiles(canvas.get(), {140, 140},
                          {picture(QString("over%1.png").arg(k), QSize(60, 60) * k)}));
        canvas->selectByName("-1");
        QSignalSpy selected(canvas.get(), &KBWidget::itemSelected);
        QSignalSpy moved(canvas.get(), &KBWidget::itemMoved);
        QSignalSpy scaled(canvas.get(), &KBWidget::itemScaled);
        QSignalSpy rotated(canvas.get(), &KBWidget::itemRotated);
        const QPoint overPosition = LImageData.at(1).position;

        QTest::mouseClick(canvas.get(), Qt::RightButton, {}, {140, 140});
        QCOMPARE(canvas->getSelectIndex(), -1);
        wheelOver(canvas.get(), {0, 120});
        QCOMPARE(scaled.size(), 0);

        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {112, 112});
        QCOMPARE(canvas->getSelectIndex(), 1);
        QTest::mouseMove(canvas.get(), {122, 117});
        QCOMPARE(LImageData.at(1).position, overPosition + QPoint(10, 5) * k);
        QCOMPARE(canvas->getSelectedRect(), LImageData.at(1).rect);
        QCOMPARE(LImageData.at(1).rect, QRect(LImageData.at(1).position, QSize(60, 60) * k));
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {122, 117});
        QTest::mouseMove(canvas.get(), {40, 40});
        QCOMPARE(LImageData.at(1).position, overPosition + QPoint(10, 5) * k);
        QCOMPARE(moved.size(), 1);

        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {60, 60});
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {60, 60});
        QCOMPARE(canvas->getSelectIndex(), 0);
        QCOMPARE(selected.size(), 2);
        QCOMPARE(selected.at(1).at(0).toInt(), 0);

        const int wheels[][4] = {{0, 120, 0, 101},  {0, 60, 0, 102},  {0, 56, 0, 102},
                                 {0, -240, 0, 100}, {0, 120, 1, 1},   {120, 0, 1, 2},
                                 {0, -360, 1, -1},  {0, -24000, 0, 1}};
        for (const auto& wheel : wheels) {
            wheelOver(canvas.get(), {wheel[0], wheel[1]},
                      wheel[2] ? Qt::ShiftModifier : Qt::NoModifier);
            const ImageData& object = LImageData.at(0);
            QCOMPARE(wheel[2] ? object.rotation : object.scale, wheel[3]);
            QCOMPARE(object.rect.size(), object.image.size());
            QCOMPARE(canvas->getSelectedRect(), object.rect);
        }
        QCOMPARE(scaled.size(), 5);
        QCOMPARE(rotated.size(), 3);

        QTest::keyPress(canvas.get(), Qt::Key_Shift);
        QVERIFY(LocalGlobal::isShiftButtonPressed);
        QTest::keyRelease(canvas.get(), Qt::Key_Shift);
        QVERIFY(!LocalGlobal::isShiftButtonPressed);
    }

    void sharpSmallSizes_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("size");
        for (int k : {1, 3}) {
            for (int size : {16, 24, 32, 48, 64})
                QTest::addRow("k%d %dpx", k, size) << k << size;
        }
    }

    // Drawn at its own size, a rectangle container keeps whole pixels where the downscaled big
    // rendering fades at its edge, the border stays a whole pixel, the (turned, sometimes clipped)
    // picture lands where the downscale has it, and the 3D edge and the glossy highlight start at
    // 24 px.
    void sharpSmallSizes() {
        QFETCH(int, k);
        QFETCH(int, size);
        IconStyle style;
        style.useBackground = style.useBorder = true;
        style.backColor1 = style.backColor2 = Qt::darkGreen;
        style.clipImage = (k == 1) == (size < 40);
        ImageData layer;
        layer.sourceImage = crossPicture(QSize(180, 120) * k, Qt::red);
        layer.position = QPoint(100, 110) * k;
        layer.scale = 50;
        layer.rotation = (size - 16) * 5;
        layer.updateImage();
        const QImage sharp = renderSharpIcon(style, {layer}, k, size);
        const QImage big = IconRenderer(k).renderIcon(style, {layer});
        const QImage scaled =
            big.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QCOMPARE(partlyTransparent(sharp), 0);
        QVERIFY(partlyTransparent(scaled) >= size);
        // The edges are meant to differ; inside, only the filtering may.
        const QRect inner = sharp.rect().adjusted(2, 2, -2, -2);
        QVERIFY(meanDifference(sharp.copy(inner), scaled.copy(inner)) < 0.25);
        for (QPoint onBorder : {QPoint(0, size / 2), QPoint(size - 1, size / 2)})
            QCOMPARE(sharp.pixel(onBorder), style.borderColor.rgba());
        for (bool IconStyle::*layerOn : {&IconStyle::useGlossy, &IconStyle::useBack3dEffect}) {
            style.*layerOn = true;
            QCOMPARE(renderSharpIcon(style, {layer}, k, size) == sharp, size < 24);
            style.*layerOn = false;
        }
    }
};

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
