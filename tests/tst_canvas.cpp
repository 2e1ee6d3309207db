#include "canvas/kbwidget.h"
#include "model/localglobal.h"
#include "support/dropsupport.h"
#include "support/testsupport.h"
#include "support/tracelines.h"

#include <QPainter>
#include <QtTest>

#include <memory>

using LocalGlobal::LImageData;
using TestSupport::near;
using TestSupport::wheelOver;
using TestSupport::writeFileBytes;

namespace {

ImageData object(QRect rect, int index, bool transparentCorner = false) {
    ImageData data = TestSupport::solidObject(rect, Qt::darkGreen, index);
    if (transparentCorner) {
        QPainter painter(&data.sourceImage);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillRect(rect.width() * 3 / 4, 0, rect.width() / 4, rect.height() / 4, Qt::black);
        painter.end();
        data.image = data.sourceImage;
    }
    return data;
}

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT

    std::unique_ptr<KBWidget> canvas;
    QTemporaryDir folder;

    // A canvas as the form sets it up: fixed 300 x 300, drops on, shown.
    void makeCanvas(int k) {
        canvas = std::make_unique<KBWidget>();
        canvas->setFixedSize(300, 300);
        canvas->setAcceptDrops(true);
        canvas->setSizeIndex(k);
        canvas->show();
        QVERIFY(QTest::qWaitForWindowExposed(canvas.get()));
    }

    QString file(const QString& name) const { return folder.filePath(name); }

    QString picture(const QString& name, QSize size, const QColor& color = Qt::red) {
        const QString path = file(name);
        if (!TestSupport::writePictureFile(path, size, color))
            qWarning() << "cannot write" << path;
        return path;
    }

    // One spy per signal of the canvas, in declaration order.
    struct Spies {
        explicit Spies(KBWidget* w)
            : addItem(w, &KBWidget::addItem), itemSelected(w, &KBWidget::itemSelected),
              addURLs(w, &KBWidget::addURLs), itemMoved(w, &KBWidget::itemMoved),
              itemScaled(w, &KBWidget::itemScaled), itemRotated(w, &KBWidget::itemRotated) {}
        int total() const {
            return int(addItem.count() + itemSelected.count() + addURLs.count() +
                       itemMoved.count() + itemScaled.count() + itemRotated.count());
        }
        QSignalSpy addItem, itemSelected, addURLs, itemMoved, itemScaled, itemRotated;
    };

private Q_SLOTS:
    void initTestCase() {
        TestSupport::initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void init() {
        LImageData.clear();
        LocalGlobal::iconStyle = IconStyle();
        LocalGlobal::isShiftButtonPressed = false;
    }

    void cleanup() { canvas.reset(); }

    void pickByRectangle_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("selected");
        QTest::newRow("overlap picks the top layer")
            << 1 << Qt::LeftButton << QPoint(120, 120) << 1;
        QTest::newRow("bottom layer alone") << 1 << Qt::LeftButton << QPoint(60, 60) << 0;
        QTest::newRow("transparent corner still hits")
            << 1 << Qt::LeftButton << QPoint(190, 105) << 1;
        QTest::newRow("empty canvas") << 1 << Qt::LeftButton << QPoint(250, 20) << -1;
        QTest::newRow("right button selects nothing")
            << 1 << Qt::RightButton << QPoint(120, 120) << -1;
        QTest::newRow("k1 probes the widget point") << 1 << Qt::LeftButton << QPoint(10, 10) << -1;
        QTest::newRow("k2 probes (20, 20)") << 2 << Qt::LeftButton << QPoint(10, 10) << 2;
        QTest::newRow("k2 overlap") << 2 << Qt::LeftButton << QPoint(60, 60) << 1;
    }

    void pickByRectangle() {
        QFETCH(int, k);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, point);
        QFETCH(int, selected);
        LImageData << object(QRect(50, 50, 100, 100), 0)
                   << object(QRect(100, 100, 100, 100), 1, true)
                   << object(QRect(15, 15, 10, 10), 2);
        makeCanvas(k);
        Spies spies(canvas.get());
        QTest::mousePress(canvas.get(), button, Qt::NoModifier, point);
        QTest::mouseMove(canvas.get(), point + QPoint(3, 0));
        QTest::mouseRelease(canvas.get(), button, Qt::NoModifier, point + QPoint(3, 0));
        QCOMPARE(canvas->getSelectIndex(), selected);
        QCOMPARE(spies.itemSelected.count(), selected < 0 ? 0 : 1);
        // Only a picked object follows the mouse.
        QCOMPARE(spies.itemMoved.count(), selected < 0 ? 0 : 1);
        if (selected >= 0) {
            QCOMPARE(spies.itemSelected.first().first().toInt(), selected);
            QCOMPARE(canvas->getSelectedRect(), LImageData.at(selected).rect);
        } else {
            QCOMPARE(canvas->getSelectedRect(), QRect(-1, -1, -1, -1));
        }
    }

    void dragFollowsMouseInCanvasPixels_data() {
        QTest::addColumn<int>("k");
        for (int k = 1; k <= 3; ++k)
            QTest::addRow("k%d", k) << k;
    }

    void dragFollowsMouseInCanvasPixels() {
        QFETCH(int, k);
        LImageData << object(QRect(100 * k, 100 * k, 60 * k, 40 * k), 0);
        makeCanvas(k);
        Spies spies(canvas.get());
        QTest::mousePress(canvas.get(), Qt::LeftButton, Qt::NoModifier, QPoint(110, 110));
        QTest::mouseMove(canvas.get(), QPoint(115, 110));
        QCOMPARE(LImageData.at(0).position, QPoint(100 * k + 5 * k, 100 * k));
        QTest::mouseMove(canvas.get(), QPoint(115, 118));
        QCOMPARE(LImageData.at(0).position, QPoint(105 * k, 108 * k));
        // No bounds: the picture may leave the canvas.
        QTest::mouseMove(canvas.get(), QPoint(-40, 110));
        QCOMPARE(LImageData.at(0).position, QPoint(100 * k - 150 * k, 100 * k));
        QCOMPARE(LImageData.at(0).rect, QRect(LImageData.at(0).position, QSize(60 * k, 40 * k)));
        QCOMPARE(canvas->getSelectedRect(), LImageData.at(0).rect);
        QCOMPARE(spies.itemMoved.count(), 3);
        QCOMPARE(spies.itemMoved.last().first().toInt(), 0);

        QTest::mouseRelease(canvas.get(), Qt::LeftButton, Qt::NoModifier, QPoint(-40, 110));
        QTest::mouseMove(canvas.get(), QPoint(200, 200));
        QCOMPARE(LImageData.at(0).position, QPoint(-50 * k, 100 * k));
        QCOMPARE(spies.itemMoved.count(), 3);
    }

    void selectionFrameOnScreen() {
        LImageData << object(QRect(60, 60, 100, 100), 0);
        makeCanvas(1);
        const QColor frameless = canvas->grab().toImage().pixelColor(100, 60);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        const QImage shown = canvas->grab().toImage();
        int black = 0;
        for (int x = 62; x < 158; ++x)
            black += near(shown.pixelColor(x, 60), Qt::black, 30) ? 1 : 0;
        QVERIFY(black > 30 && black < 90);
        QVERIFY(!near(frameless, Qt::black, 30));
        QImage icon;
        canvas->renderIcon(icon);
        QVERIFY(!near(icon.pixelColor(100 - 22, 60 - 22), Qt::black, 30));
    }

    void wheel_data() {
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("startScale");
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("scaled");
        QTest::addColumn<int>("rotated");
        const auto row = [](const char* name, QPoint delta, bool shift, int start, int scale,
                            int rotation, int scaled, int rotated) {
            QTest::newRow(name) << delta << shift << start << scale << rotation << scaled
                                << rotated;
        };
        row("notch away zooms in", QPoint(0, 120), false, 100, 101, 0, 1, 0);
        row("notch towards zooms out", QPoint(0, -120), false, 100, 99, 0, 1, 0);
        row("two notches", QPoint(0, 240), false, 100, 102, 0, 1, 0);
        row("delta 60 is one step", QPoint(0, 60), false, 100, 101, 0, 1, 0);
        row("delta 56 is no step but signals", QPoint(0, 56), false, 100, 100, 0, 1, 0);
        row("sideways only zooms by nothing", QPoint(120, 0), false, 100, 100, 0, 1, 0);
        row("no delta does nothing", QPoint(0, 0), false, 100, 100, 0, 0, 0);
        row("never below 1 percent", QPoint(0, -360), false, 2, 1, 0, 1, 0);
        row("shift towards rotates back", QPoint(0, -120), true, 100, 100, -1, 0, 1);
        row("shift away rotates", QPoint(0, 120), true, 100, 100, 1, 0, 1);
        row("shift sideways rotates", QPoint(120, 0), true, 100, 100, 1, 0, 1);
    }

    void wheel() {
        QFETCH(QPoint, delta);
        QFETCH(bool, shift);
        QFETCH(int, startScale);
        QFETCH(int, scale);
        QFETCH(int, rotation);
        QFETCH(int, scaled);
        QFETCH(int, rotated);
        LImageData << object(QRect(50, 50, 200, 100), 0);
        LImageData[0].scale = startScale;
        LImageData[0].updateImage();
        makeCanvas(1);
        canvas->selectByName(QStringLiteral("Image0"));
        // Garbage in the shown picture proves whether the wheel re-derived it.
        LImageData[0].image = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        canvas->clearFocus();
        LocalGlobal::isShiftButtonPressed = !shift;
        Spies spies(canvas.get());

        wheelOver(canvas.get(), delta, shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(LImageData.at(0).scale, scale);
        QCOMPARE(LImageData.at(0).rotation, rotation);
        QCOMPARE(spies.itemScaled.count(), scaled);
        QCOMPARE(spies.itemRotated.count(), rotated);
        QCOMPARE(spies.total(), scaled + rotated);
        if (scaled + rotated == 0)
            return;
        QCOMPARE(LocalGlobal::isShiftButtonPressed, shift);
        QCOMPARE((scaled ? spies.itemScaled : spies.itemRotated).first().first().toInt(), 0);
        ImageData expected = LImageData.at(0);
        expected.updateImage();
        QCOMPARE(LImageData.at(0).image.size(), expected.image.size());
        QCOMPARE(LImageData.at(0).rect, QRect(QPoint(50, 50), expected.image.size()));
        QCOMPARE(canvas->getSelectedRect(), LImageData.at(0).rect);
    }

    void wheelWithoutSelectionDoesNothing() {
        LImageData << object(QRect(50, 50, 100, 100), 0);
        makeCanvas(1);
        Spies spies(canvas.get());
        wheelOver(canvas.get(), QPoint(0, 120), Qt::NoModifier);
        canvas->setSelectedScale(50);
        canvas->setSelectedRotation(30);
        canvas->setSelectedPosition(5, 5);
        QCOMPARE(LImageData.at(0).scale, 100);
        QCOMPARE(LImageData.at(0).rotation, 0);
        QCOMPARE(LImageData.at(0).position, QPoint(50, 50));
        QCOMPARE(spies.total(), 0);
    }

    void shiftKeyIsTracked() {
        makeCanvas(1);
        canvas->setFocus();
        QTest::keyPress(canvas.get(), Qt::Key_Shift);
        QVERIFY(LocalGlobal::isShiftButtonPressed);
        QTest::keyRelease(canvas.get(), Qt::Key_Shift);
        QVERIFY(!LocalGlobal::isShiftButtonPressed);
        QTest::keyClick(canvas.get(), Qt::Key_A);
        QVERIFY(!LocalGlobal::isShiftButtonPressed);
    }

    void selectionOperations() {
        LImageData << object(QRect(10, 10, 40, 40), 0) << object(QRect(100, 100, 80, 60), 3);
        makeCanvas(1);
        Spies spies(canvas.get());

        canvas->selectByName(QStringLiteral("image3"));
        QCOMPARE(canvas->getSelectIndex(), 1);
        QCOMPARE(canvas->getSelectedRect(), QRect(100, 100, 80, 60));
        QCOMPARE(spies.itemSelected.count(), 1);
        QCOMPARE(spies.itemSelected.first().first().toInt(), 1);

        canvas->selectByName(QStringLiteral("Image7"));
        QCOMPARE(canvas->getSelectIndex(), 1);

        canvas->setSelectedPosition(-20, 30);
        QCOMPARE(LImageData.at(1).position, QPoint(-20, 30));
        QCOMPARE(canvas->getSelectedRect(), QRect(-20, 30, 80, 60));

        canvas->setSelectedScale(50);
        QCOMPARE(LImageData.at(1).image.size(), QSize(40, 30));
        QCOMPARE(canvas->getSelectedRect(), QRect(-20, 30, 40, 30));
        canvas->setSelectedScale(0);
        QCOMPARE(LImageData.at(1).scale, 1);

        canvas->setSelectedScale(100);
        canvas->setSelectedRotation(45);
        QCOMPARE(LImageData.at(1).rotation, 45);
        QVERIFY(canvas->getSelectedRect().width() > 80);
        QCOMPARE(canvas->getSelectedRect().topLeft(), QPoint(-20, 30));
        QCOMPARE(spies.total(), 1);

        canvas->selectByName(QStringLiteral("-1"));
        QCOMPARE(canvas->getSelectIndex(), -1);
        QCOMPARE(canvas->getSelectedRect(), QRect(-1, -1, -1, -1));
        QCOMPARE(spies.total(), 1);
    }

    void fileFilter_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        for (const char* name :
             {"Photo.PNG", "a.JPEG", "b.webp", "f.tar.png", "c.tif", "g.gif", "h.tiff", "i.jpg"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        // A folder and a missing file carry a picture's suffix.
        for (const char* name : {"d.bmp", "e.txt", "nosuffix", "folder.png", "missing.png"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }

    void fileFilter() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        const QString path = file(name);
        if (name == QLatin1String("folder.png")) {
            QVERIFY(QDir(folder.path()).mkpath(name));
        } else if (name == QLatin1String("e.txt") || name == QLatin1String("nosuffix")) {
            QVERIFY(writeFileBytes(path, "not a picture\n"));
        } else if (name != QLatin1String("missing.png")) {
            QVERIFY(TestSupport::writePictureFile(path, QSize(20, 10), Qt::blue));
        }
        makeCanvas(1);
        Spies spies(canvas.get());
        QCOMPARE(TestSupport::sendDragEnter(canvas.get(), QPointF(150, 150),
                                            TestSupport::fileUrls({path})),
                 accepted);
        QCOMPARE(TestSupport::dropFiles(canvas.get(), QPointF(150, 150), {path}), accepted);
        QCOMPARE(LImageData.size(), accepted ? 1 : 0);
        QCOMPARE(spies.addItem.count(), accepted ? 1 : 0);
    }

    void firstUrlDecides() {
        const QString png = picture(QStringLiteral("first.png"), QSize(30, 30));
        const QString text = file(QStringLiteral("notes.txt"));
        QVERIFY(writeFileBytes(text, "x"));
        makeCanvas(1);

        QVERIFY(!TestSupport::dropFiles(canvas.get(), QPointF(100, 100), {text, png}));
        QVERIFY(LImageData.isEmpty());
        QVERIFY(!TestSupport::sendDragEnter(canvas.get(), QPointF(100, 100), {}));
        QVERIFY(!TestSupport::sendDragEnter(canvas.get(), QPointF(100, 100),
                                            {QUrl(QStringLiteral("https://example.com/a.png"))}));

        Spies spies(canvas.get());
        QVERIFY(TestSupport::dropFiles(canvas.get(), QPointF(100, 100), {png, text}));
        QCOMPARE(LImageData.size(), 1);
        QCOMPARE(LImageData.at(0).filePath, png);
        QCOMPARE(spies.addItem.count(), 1);
    }

    void fitAndFormats_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QSize>("shown");
        const auto row = [](const char* tag, const char* name, QSize size, int k, int scale,
                            QSize shown) {
            QTest::newRow(tag) << QString::fromLatin1(name) << size << k << scale << shown;
        };
        row("png kept", "fit.png", QSize(200, 100), 1, 100, QSize(200, 100));
        row("jpeg halved", "fit.jpg", QSize(600, 300), 1, 50, QSize(300, 150));
        row("gif a third", "fit.gif", QSize(900, 900), 1, 33, QSize(297, 297));
        row("webp k2", "fit.webp", QSize(900, 900), 2, 66, QSize(594, 594));
        row("tiff exact fit", "fit.tiff", QSize(300, 300), 1, 100, QSize(300, 300));
        row("tif tall", "fit.tif", QSize(100, 640), 1, 46, QSize(46, 294));
        row("not enlarged k3", "small.png", QSize(40, 20), 3, 100, QSize(40, 20));
        row("over 100 times wider stays at 1 percent", "wide.png", QSize(32000, 400), 1, 1,
            QSize(320, 4));
    }

    void fitAndFormats() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(int, k);
        QFETCH(int, scale);
        QFETCH(QSize, shown);
        const QColor colour(40, 90, 200);
        const QString path = picture(name, size, colour);
        makeCanvas(k);
        Spies spies(canvas.get());
        QVERIFY(TestSupport::dropFiles(canvas.get(), QPointF(150, 150), {path}));
        QCOMPARE(LImageData.size(), 1);
        const ImageData& added = LImageData.at(0);
        QCOMPARE(added.sourceImage.size(), size);
        QCOMPARE(added.scale, scale);
        QCOMPARE(added.rotation, 0);
        QCOMPARE(added.image.size(), shown);
        QVERIFY(
            near(added.sourceImage.pixelColor(size.width() / 4, size.height() / 4), colour, 12));
        QCOMPARE(spies.addItem.count(), 1);
        QCOMPARE(spies.addItem.first().at(0).toInt(), 0);
        QCOMPARE(spies.addItem.first().at(1).value<QImage>().size(), shown);
    }

    void dropPlacement_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QPointF>("drop");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("k1") << 1 << QPointF(150, 150) << QPoint(100, 120);
        QTest::newRow("k2") << 2 << QPointF(150, 150) << QPoint(250, 270);
        QTest::newRow("rounded drop point") << 1 << QPointF(150.5, 149.4) << QPoint(101, 119);
    }

    void dropPlacement() {
        QFETCH(int, k);
        QFETCH(QPointF, drop);
        QFETCH(QPoint, position);
        const QString path = picture(QStringLiteral("place.png"), QSize(100, 60));
        makeCanvas(k);
        QVERIFY(TestSupport::dropFiles(canvas.get(), drop, {path}));
        QCOMPARE(LImageData.at(0).position, position);
        QCOMPARE(LImageData.at(0).rect, QRect(position, QSize(100, 60)));
        QCOMPARE(canvas->getSelectedRect(), LImageData.at(0).rect);
        // The form selects the new object in answer to addItem; the canvas does not.
        QCOMPARE(canvas->getSelectIndex(), -1);
        // The new picture is on screen at once.
        const QPoint onScreen = (position + QPoint(50, 30)) / k;
        QVERIFY(near(canvas->grab().toImage().pixelColor(onScreen.x() + 5, onScreen.y() + 5),
                     Qt::red, 20));
    }

    void severalFilesInOneDrop() {
        const QStringList paths{picture(QStringLiteral("one.gif"), QSize(60, 60), Qt::red),
                                picture(QStringLiteral("two.jpg"), QSize(40, 80), Qt::green),
                                picture(QStringLiteral("three.webp"), QSize(20, 20), Qt::blue)};
        makeCanvas(1);
        QList<int> names;
        connect(canvas.get(), &KBWidget::addItem, this, [&](int position, const QImage& image) {
            QCOMPARE(image.size(), LImageData.at(position).image.size());
            names << LImageData.at(position).index;
        });
        Spies spies(canvas.get());
        QVERIFY(TestSupport::dropFiles(canvas.get(), QPointF(120, 130), paths));
        QCOMPARE(LImageData.size(), 3);
        QCOMPARE(names, QList<int>({0, 1, 2}));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(spies.addItem.at(i).at(0).toInt(), i);
            QCOMPARE(LImageData.at(i).filePath, paths.at(i));
            QCOMPARE(LImageData.at(i).rect.center(), QPoint(119, 129));
        }
        QCOMPARE(canvas->getSelectedRect(), LImageData.at(2).rect);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 130));
        QCOMPARE(canvas->getSelectIndex(), 2);
    }

    void undecodableFileIsSkipped() {
        const QString broken = file(QStringLiteral("broken.png"));
        QVERIFY(writeFileBytes(broken, "this is no PNG at all"));
        const QString good = picture(QStringLiteral("good.png"), QSize(30, 30));
        makeCanvas(1);
        Spies spies(canvas.get());

        {
            const TestSupport::TraceLines trace("glimmerdock.canvas");
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Cannot load: .*broken\\.png$"));
            QVERIFY(TestSupport::dropFiles(canvas.get(), QPointF(150, 150), {broken}));
        }
        QVERIFY(LImageData.isEmpty());
        QCOMPARE(spies.total(), 0);
        QCOMPARE(canvas->getSelectedRect(), QRect(-1, -1, -1, -1));

        QVERIFY(TestSupport::dropFiles(canvas.get(), QPointF(150, 150), {broken, good, broken}));
        QCOMPARE(LImageData.size(), 1);
        QCOMPARE(LImageData.at(0).index, 0);
        QCOMPARE(spies.addItem.count(), 1);
    }
};

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
