// The canvas with real drops of real files, real mouse, wheel and key events.
#include "canvas/canvasrules.h"
#include "canvas/canvaswidget.h"
#include "document/editeddocument.h"
#include "render/layerpixels.h"
#include "render/sharpicon.h"
#include "support/testsupport.h"

#include <Magick++.h>
#include <QtWidgets>

#include <vector>

using namespace TestSupport;

namespace {

// A file of a size dropped on a canvas of factor k at a point, and the scale it is added at (0:
// refused).
using Drop = std::tuple<const char*, QSize, int, QPoint, int>;
// A picture's size, whether it is a checkerboard, its zoom, its turn, where its centre is dragged
// from the canvas's, and how far what a canvas shows of it may differ from the whole picture.
using Zoom = std::tuple<QSize, bool, int, int, QPoint, double>;

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<EditedDocument> edited;
    std::unique_ptr<CanvasWidget> canvas;

    const QList<Layer>& layers() const { return edited->document().layers; }
    int steps() const { return edited->undoStack()->index(); }

    // Changes the document as an edit of the user would.
    void change(const std::function<void(Document&)>& edit) { edited->edit({"test", {}, edit}); }

    // A shown canvas of factor k, the document empty.
    void showCanvas(int k) {
        canvas.reset();
        edited = std::make_unique<EditedDocument>();
        Document empty;
        empty.style.canvasFactor = k;
        edited->reset(empty);
        canvas = std::make_unique<CanvasWidget>();
        canvas->setDocument(edited.get());
        canvas->setFixedSize(300, 300);
        canvas->setAcceptDrops(true);
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

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void cleanup() { canvas.reset(); }

    void drops_data() {
        QTest::addColumn<Drop>("drop");
        for (const Drop& drop : {Drop{"a.png", {100, 60}, 1, {150, 150}, 100},
                                 Drop{"b.jpg", {600, 300}, 1, {100, 200}, 50},
                                 Drop{"c.jpeg", {1200, 600}, 2, {150, 150}, 50},
                                 Drop{"d.gif", {40, 40}, 3, {10, 290}, 100},
                                 Drop{"e.tif", {301, 100}, 1, {150, 150}, 99},
                                 Drop{"f.tiff", {900, 900}, 3, {150, 150}, 100},
                                 Drop{"g.webp", {50, 80}, 1, {0, 0}, 100},
                                 Drop{"h.tar.PNG", {3000, 10}, 1, {150, 150}, 10},
                                 Drop{"i.xcf", {50, 50}, 1, {150, 150}, 0},
                                 Drop{"j.png.txt", {50, 50}, 1, {150, 150}, 0},
                                 Drop{"k.png", {3000, 2}, 1, {150, 150}, 10},
                                 Drop{"l.JFIF", {50, 50}, 1, {150, 150}, 100},
                                 Drop{"m.jpe", {50, 50}, 1, {150, 150}, 100},
                                 Drop{"n.Bmp", {50, 50}, 1, {150, 150}, 100}})
            QTest::newRow(std::get<0>(drop)) << drop;
    }

    // A dropped picture is fitted (never enlarged), centred on the drop point in canvas pixels,
    // listed, selected and shown; other files are refused.
    void drops() {
        QFETCH(Drop, drop);
        const auto [name, size, k, at, scale] = drop;
        showCanvas(k);
        const QString path = picture(name, size);
        // Taken either way: what is not added is told.
        QSignalSpy refused(canvas.get(), &CanvasWidget::picturesRefused);
        QVERIFY(dropFiles(canvas.get(), at, {path}));
        QCOMPARE(std::tuple(refused.size(), layers().size(), steps()),
                 std::tuple(scale ? 0 : 1, scale ? 1 : 0, scale ? 1 : 0));
        if (!scale)
            return;
        const Layer& object = layers().at(0);
        // Never less than a pixel each way.
        const QSize fitted(std::max(1, size.width() * scale / 100),
                           std::max(1, size.height() * scale / 100));
        QCOMPARE(std::tuple(object.scale, object.filePath, object.sourceImage.size()),
                 std::tuple(scale, path, size));
        QCOMPARE(LayerPixels::made(object).image.size(), fitted);
        QCOMPARE(object.position, at * k - QPoint(fitted.width() / 2, fitted.height() / 2));
        QCOMPARE(object.rect(), QRect(object.position, fitted));
        QCOMPARE(canvas->selectedRect(), object.rect()); // selected
    }

    // A big picture is read beside the window's thread: the drop returns at once and the status
    // says what is read; Escape stops it (nothing added, and told), the canvas taking the keys
    // meanwhile; while one is read, another drop is told to wait.
    void bigPicturesReadAside() {
        showCanvas(1);
        const QString big = picture("big.jpg", {5000, 4000});
        QSignalSpy reading(canvas.get(), &CanvasWidget::reading);
        QSignalSpy refused(canvas.get(), &CanvasWidget::picturesRefused);
        for (const bool stop : {true, false}) {
            canvas->clearFocus();
            QVERIFY(dropFiles(canvas.get(), {150, 150}, {big}));
            QCOMPARE(std::tuple(layers().size(), canvas->window()->focusWidget()),
                     std::tuple(0, static_cast<QWidget*>(canvas.get())));
            QCOMPARE(reading.last().first(), "Reading big.jpg… (Escape stops it)");
            QVERIFY(dropFiles(canvas.get(), {150, 150}, {picture("small.png", {9, 9})}));
            QCOMPARE(refused.takeLast().first().toStringList(),
                     QStringList{"small.png: another picture is still being read (Escape "
                                 "stops it)"});
            if (stop) {
                QTest::keyClick(canvas.get(), Qt::Key_Escape);
                QCOMPARE(refused.takeLast().first().toStringList(),
                         QStringList{"big.jpg: reading stopped"});
            }
        }
        QTRY_COMPARE(layers().size(), 1);
        QCOMPARE(reading.last().first(), QString());
        QCOMPARE(layers().at(0).sourceImage.size(), QSize(5000, 4000));
        QCOMPARE(steps(), 1);
    }

    // Any picture among the files makes a drag taken; then every picture of it is added at the
    // same point, and what is not taken is told once.
    void severalFilesInOneDrop() {
        showCanvas(1);
        const QString png = picture("one.png", {20, 20});
        const QString jpg = picture("two.jpg", {30, 30});
        const QString txt = picture("three.txt", {10, 10});
        const QString broken = folder.filePath("broken.png");
        QVERIFY(writeFileBytes(broken, "not a picture"));
        // Of an icon file, its largest entry is taken.
        const QString huge = folder.filePath("huge.png"), icon = folder.filePath("four.ICO");
        QVERIFY(QImage(20000, 10, QImage::Format_Mono).save(huge));
        std::vector<Magick::Image> entries;
        for (QSize size : {QSize(16, 16), QSize(64, 48), QSize(32, 32)})
            entries.push_back(magickPicture(crossPicture(size, Qt::blue)));
        Magick::writeImages(entries.begin(), entries.end(), "ico:" + icon.toStdString());
        // Sparse: a file over the limit, refused before it is read, costs no disk.
        const QString vast = folder.filePath("vast.png");
        QVERIFY(writeFileBytes(vast, "") && QFile::resize(vast, PictureLimits::maxFileBytes + 1));
        QSignalSpy refused(canvas.get(), &CanvasWidget::picturesRefused);
        // Files and folders that are no pictures are taken to be told, and add nothing.
        QVERIFY(dropFiles(canvas.get(), {100, 100},
                          {txt, folder.path() + "/gone.png", folder.path(), vast}));
        QCOMPARE(refused.takeFirst().at(0).toStringList(),
                 QStringList({"three.txt: unsupported type", "gone.png: cannot be read",
                              QFileInfo(folder.path()).fileName() + ": a folder, not a picture",
                              "vast.png: larger than 512 MB"}));
        QCOMPARE(steps(), 0);
        QVERIFY(dropFiles(canvas.get(), {100, 100}, {txt, png, broken, jpg, huge, icon}));
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.at(0).at(0).toStringList(),
                 QStringList({"three.txt: unsupported type", "broken.png: cannot be read",
                              "huge.png: too large: 20000 x 10"}));
        // One step for the whole drop, its last picture selected.
        QCOMPARE(std::tuple(steps(), edited->document().selected, layers().size()),
                 std::tuple(1, 2, 3));
        QCOMPARE(layers().last().sourceImage.size(), QSize(64, 48));
        QCOMPARE(
            std::tuple(layers().at(0).rect().center(), layers().at(1).rect(), layers().at(1).index),
            std::tuple(QPoint(99, 99), QRect(85, 85, 30, 30), 1));
    }

    // Behind the icon, squares of 10 pixels alternate grey and light from a grey corner, and a grey
    // dashed line frames the icon square (22..277), so the user sees where the icon ends.
    void groundShowsTheIconSquare() {
        const QImage ground = CanvasRules::canvasGround();
        QCOMPARE(ground.size(), QSize(300, 300));
        int framed = 0;
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 300; ++x) {
                const bool onFrame = (x == 22 || x == 277 || y == 22 || y == 277) &&
                                     std::min(x, y) >= 22 && std::max(x, y) <= 277;
                const QRgb pixel = ground.pixel(x, y);
                framed += onFrame && pixel == qRgb(0x90, 0x90, 0x90);
                if (!onFrame || pixel != qRgb(0x90, 0x90, 0x90))
                    QVERIFY2(pixel == ((x / 10 + y / 10) % 2 ? 0xfffcfcfc : 0xffe4e4e4),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(framed > 500 && framed < 1000); // dashed: about half of the 1020 frame pixels
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
        edited->select(Document::noSelection);
        const QPoint overPosition = layers().at(1).position;

        QTest::mouseClick(canvas.get(), Qt::RightButton, {}, {140, 140});
        QCOMPARE(edited->document().selected, -1);
        wheelOver(canvas.get(), {0, 120});
        QCOMPARE(steps(), 2);

        // A drag is one step, however many moves it makes; the next drag is another.
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {112, 112});
        QCOMPARE(edited->document().selected, 1);
        QTest::mouseMove(canvas.get(), {117, 114});
        QTest::mouseMove(canvas.get(), {122, 117});
        QCOMPARE(layers().at(1).position, overPosition + QPoint(10, 5) * k);
        QCOMPARE(canvas->selectedRect(), layers().at(1).rect());
        QCOMPARE(layers().at(1).rect(), QRect(layers().at(1).position, QSize(60, 60) * k));
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {122, 117});
        QTest::mouseMove(canvas.get(), {40, 40});
        QCOMPARE(layers().at(1).position, overPosition + QPoint(10, 5) * k);
        QCOMPARE(steps(), 3);
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {122, 117});
        QTest::mouseMove(canvas.get(), {121, 117});
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {121, 117});
        QCOMPARE(steps(), 4);
        edited->undoStack()->undo();
        QCOMPARE(layers().at(1).position, overPosition + QPoint(10, 5) * k);
        edited->undoStack()->undo();
        QCOMPARE(layers().at(1).position, overPosition);
        edited->undoStack()->redo();

        // Releasing any button ends a drag: the picture stays where the right click let it go.
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {122, 117});
        QTest::mouseMove(canvas.get(), {124, 117});
        QTest::mousePress(canvas.get(), Qt::RightButton, Qt::NoModifier, {124, 117});
        QTest::mouseRelease(canvas.get(), Qt::RightButton, Qt::NoModifier, {124, 117});
        QMouseEvent stillHeld(QEvent::MouseMove, QPointF(130, 130),
                              canvas->mapToGlobal(QPointF(130, 130)), Qt::NoButton, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(canvas.get(), &stillHeld);
        QCOMPARE(layers().at(1).position, overPosition + QPoint(12, 5) * k);
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {130, 130});
        edited->undoStack()->undo();
        QCOMPARE(layers().at(1).position, overPosition + QPoint(10, 5) * k);

        // Escape selects none; a click where no picture is keeps the selection as it was.
        QTest::keyClick(canvas.get(), Qt::Key_Escape);
        QCOMPARE(edited->document().selected, -1);
        for (const auto& [at, selected] :
             {std::pair(QPoint(290, 10), -1), std::pair(QPoint(60, 60), 0),
              std::pair(QPoint(290, 10), 0), std::pair(QPoint(60, 60), 0)}) {
            QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, at);
            QCOMPARE(edited->document().selected, selected);
        }
        QCOMPARE(steps(), 3);

        // Modifiers: 1 Shift (turn), 2 Ctrl (ten times as far, fifteen when turning).
        const int wheels[][4] = {{0, 120, 0, 101},  {0, 60, 0, 102},   {0, 56, 0, 102},
                                 {0, -240, 0, 100}, {0, 120, 1, 1},    {120, 0, 1, 2},
                                 {0, -360, 1, -1},  {0, -24000, 0, 1}, {0, 120, 2, 11},
                                 {0, 120, 3, 14}};
        for (const auto& wheel : wheels) {
            wheelOver(canvas.get(), {wheel[0], wheel[1]},
                      Qt::KeyboardModifiers((wheel[2] & 1 ? Qt::ShiftModifier : 0) |
                                            (wheel[2] & 2 ? Qt::ControlModifier : 0)));
            const Layer& object = layers().at(0);
            QCOMPARE(wheel[2] & 1 ? object.rotation : object.scale, wheel[3]);
            QCOMPARE(LayerPixels::made(object).rect, object.rect());
            QCOMPARE(canvas->selectedRect(), object.rect());
        }
        // A run of zooms is one step, the turns between them another.
        QCOMPARE(steps(), 6);
        QCOMPARE(CanvasRules::stepped(INT_MAX - 5, 10, 15, INT_MIN, INT_MAX), INT_MAX);
        // The keys act on the selected picture: arrows nudge it, Delete asks to remove it.
        const QPoint before = layers().at(0).position;
        const QString overName = Document::layerName(layers().at(1).index);
        QTest::keyClick(canvas.get(), Qt::Key_Right);
        QTest::keyClick(canvas.get(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(layers().at(0).position, before + QPoint(1, -10));
        QCOMPARE(steps(), 8);
        QTest::keyClick(canvas.get(), Qt::Key_Delete);
        QCOMPARE(layers().size(), 1);
        QCOMPARE(std::tuple(Document::layerName(layers().at(0).index), edited->document().selected),
                 std::tuple(overName, -1));
        QTest::keyClick(canvas.get(), Qt::Key_Delete);
        QCOMPARE(steps(), 9);
    }

    void zoomBoundedByCanvas_data() {
        QTest::addColumn<Zoom>("zoom");
        QTest::newRow("small, whole") << Zoom{{240, 180}, false, 300, 30, {-20, 10}, 0};
        QTest::newRow("zoomed in") << Zoom{{400, 300}, false, 1000, 0, {-90, -60}, 1};
        QTest::newRow("zoomed in, turned") << Zoom{{400, 300}, false, 900, 35, {100, 40}, 1};
        QTest::newRow("zoomed far in") << Zoom{{60, 40}, false, 5000, 10, {0, 0}, 1};
        // A fine checkerboard shrunk without averaging every pixel would show moiré, not grey.
        QTest::newRow("shrunk, in part") << Zoom{{4000, 4000}, true, 48, 0, {30, 30}, 2};
        QTest::newRow("shrunk, whole") << Zoom{{4000, 4000}, true, 9, 0, {0, 0}, 2};
    }

    // However far a picture is zoomed, its layer keeps its whole size for picking, while only
    // what a canvas can show is made; what is shown matches the whole picture scaled and turned
    // at once, after the zoom, the turn and a drag of its centre to `drag` from the canvas's.
    void zoomBoundedByCanvas() {
        QFETCH(Zoom, zoom);
        const auto [size, checkered, scale, rotation, drag, tolerance] = zoom;
        QImage source(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x)
                source.setPixel(x, y,
                                checkered ? ((x + y) % 2 ? 0xffffffff : 0xff000000)
                                          : qRgb(x * 255 / size.width(), (x * y) % 251,
                                                 y * 255 / size.height()));
        }
        const QString path = folder.filePath(QString("zoom%1.png").arg(QTest::currentDataTag()));
        QVERIFY(source.save(path));
        showCanvas(3);
        QVERIFY(dropFiles(canvas.get(), {150, 150}, {path}));
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {150, 150});
        change([scale = scale, rotation = rotation](Document& d) {
            d.layers[0].scale = scale;
            d.layers[0].rotation = rotation;
        });
        const QPoint grip = layers().at(0).rect().center() / 3;
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, grip);
        QTest::mouseMove(canvas.get(), QPoint(150, 150) + drag);
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, QPoint(150, 150) + drag);
        Layer layer = layers().at(0);
        QCOMPARE(canvas->selectedRect(), layer.rect());
        const QTransform turn = QTransform().rotate(rotation);
        const QImage whole =
            source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                .scaled(scaledSize(size, scale), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .transformed(turn, Qt::SmoothTransformation);
        QCOMPARE(whole.size(), layer.rect().size());
        QImage expected(900, 900, QImage::Format_ARGB32_Premultiplied);
        // Far off each way, then where the drag left it: what a canvas shows of the
        // layer is made, the same layer asked again finds it made, and its pixels are the whole
        // picture's.
        for (const QPoint at : {QPoint(-4000, 300), QPoint(500, -9000), layer.position}) {
            layer.position = at;
            const LayerPixels::Made made = LayerPixels::made(layer);
            QVERIFY(qint64(made.image.width()) * made.image.height() <= 1800 * 1800);
            QCOMPARE(LayerPixels::made(Layer(layer)).image.cacheKey(), made.image.cacheKey());
            expected.fill(0);
            QImage shown = expected;
            QPainter(&expected).drawImage(layer.position, whole);
            QPainter(&shown).drawImage(made.rect.topLeft(), made.image);
            QVERIFY(meanDifference(shown, expected) <= tolerance);
        }
        // A sharp small size draws the picture from its source at its own size, however zoomed.
        const QImage small = renderSharpIcon(IconStyle(), {layer}, 3, 32);
        const QImage icon = smoothScaled(expected.copy(66, 66, 768, 768), 32);
        QVERIFY(meanDifference(small, icon) <= 6);
    }
};

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
