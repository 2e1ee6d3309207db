#include "canvas/kbwidget.h"
#include "form/brasswickform.h"
#include "form/kblistwidget.h"
#include "model/localglobal.h"
#include "support/dropsupport.h"
#include "support/shownform.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using LocalGlobal::imageName;
using LocalGlobal::LImageData;

namespace {

QStringList rowTexts(const QListWidget* list) {
    return TestSupport::listRowTexts(list);
}

// The form with its picture list, fed by real drops of real files on the canvas.
struct Form : TestSupport::ShownForm {
    QTemporaryDir folder;
    int files = 0;

    KBListWidget* list() { return get<KBListWidget>("listWidget"); }
    QSpinBox* spin(const char* name) { return get<QSpinBox>(name); }
    bool enabled(const char* button) { return get<QToolButton>(button)->isEnabled(); }
    bool shown(const char* name) {
        QWidget* widget = get<QWidget>(name);
        return widget->isVisibleTo(widget->parentWidget());
    }

    // Writes a picture and drops it on the canvas at widget point `at`.
    bool drop(QSize size, const QColor& color, QPoint at = QPoint(150, 150)) {
        const QString path = folder.filePath(QStringLiteral("picture%1.png").arg(files++));
        return TestSupport::writePictureFile(path, size, color) &&
               TestSupport::dropFiles(canvas(), at, {path});
    }

    void clickRow(int row) {
        QListWidget* l = list();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualItemRect(l->item(row)).center());
    }
    void press(const char* button) { QTest::mouseClick(get<QToolButton>(button), Qt::LeftButton); }

    void type(const char* name, int value) {
        QSpinBox* box = spin(name);
        get<QTabWidget>("tabWidget")->setCurrentIndex(2);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::number(value));
        QTest::keyClick(box, Qt::Key_Return);
    }

    void wheel(int angle) { TestSupport::wheelOver(canvas(), QPoint(0, angle)); }

    QColor canvasPixel(QPoint at) { return canvas()->grab().toImage().pixelColor(at); }
    QString selectedRow() {
        const QList<QListWidgetItem*> selected = list()->selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text();
    }
    const ImageData& object(const QString& name) {
        return LImageData.at(LocalGlobal::findImageByName(name));
    }
};

// Rows and objects correspond one to one by name in reverse order; the selected row's object is
// the canvas's selection and fills the Selected Object page; no selected row, no selection.
void checkInvariant(Form& f) {
    const int count = LImageData.size();
    QCOMPARE(f.list()->count(), count);
    for (int row = 0; row < count; ++row)
        QCOMPARE(f.list()->item(row)->text(), imageName(LImageData.at(count - 1 - row).index));
    const QList<QListWidgetItem*> selected = f.list()->selectedItems();
    if (selected.isEmpty()) {
        QCOMPARE(f.canvas()->getSelectIndex(), -1);
        return;
    }
    const int row = f.list()->row(selected.first());
    QCOMPARE(f.canvas()->getSelectIndex(), count - 1 - row);
    const ImageData& object = LImageData.at(count - 1 - row);
    QCOMPARE(f.canvas()->getSelectedRect(), object.rect);
    QCOMPARE(f.get<QLabel>("selectedImageNameLabel")->text(), selected.first()->text());
    QCOMPARE(f.spin("positionXSpinBox")->value(), object.position.x());
    QCOMPARE(f.spin("positionYSpinBox")->value(), object.position.y());
    QCOMPARE(f.spin("rotateSpinBox")->value(), object.rotation);
    QVERIFY(f.shown("positionXSpinBox"));
    QVERIFY(!f.shown("objectNoteLabel"));
    QCOMPARE(f.enabled("upToolButton"), row >= 1);
    QCOMPARE(f.enabled("downToolButton"), row < count - 1);
    QVERIFY(f.enabled("deleteToolButton"));
}

#define CHECK_INVARIANT(form)                                                                      \
    do {                                                                                           \
        checkInvariant(form);                                                                      \
        if (QTest::currentTestFailed())                                                            \
            return;                                                                                \
    } while (false)

// Three pictures stacked on the drop point: Image0 red, Image1 green, Image2 blue on top.
void dropThree(Form& f) {
    for (const QColor& color : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
        if (!f.drop(QSize(100, 100), color))
            qWarning("drop refused");
    }
}

const QPoint centre(140, 140); // inside every stacked picture, off its black cross

} // namespace

class TestImageList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::initFormTestEnvironment(); }
    void init() {
        TestSupport::clearSettings();
        LImageData.clear();
    }

    void threeDropsListTopLayerFirst() {
        Form f;
        dropThree(f);
        QCOMPARE(rowTexts(f.list()), QStringList({"Image2", "Image1", "Image0"}));
        // The invariant checks the buttons for the selected row.
        QCOMPARE(f.selectedRow(), QStringLiteral("Image2"));
        QVERIFY(!f.shown("dropImageLabel"));
        QVERIFY(!f.list()->item(0)->icon().isNull());
        CHECK_INVARIANT(f);
        QCOMPARE(f.canvasPixel(centre), QColor(Qt::blue));
    }

    void dropOfSeveralFilesAtOnce() {
        Form f;
        QStringList paths;
        for (const char* name : {"many0.png", "many1.png", "many2.png"}) {
            paths << f.folder.filePath(QString::fromLatin1(name));
            QVERIFY(TestSupport::writePictureFile(paths.last(), QSize(40, 40), Qt::red));
        }
        QVERIFY(TestSupport::dropFiles(f.canvas(), QPointF(100, 100), paths));
        QCOMPARE(rowTexts(f.list()), QStringList({"Image2", "Image1", "Image0"}));
        QCOMPARE(f.selectedRow(), QStringLiteral("Image2"));
        CHECK_INVARIANT(f);
    }

    void previewFitsLoadedPicture() {
        Form f;
        QVERIFY(f.drop(QSize(200, 100), Qt::red));
        auto* preview = f.get<QLabel>("selectedImageLabel");
        QCOMPARE(preview->pixmap().size(), QSize(128, 64));
        f.wheel(120 * 20);
        QCOMPARE(f.object("Image0").scale, 120);
        QCOMPARE(f.spin("sizeSpinBox")->value(), 120);
        QVERIFY(f.drop(QSize(50, 120), Qt::blue));
        QCOMPARE(preview->pixmap().size(), QSize(53, 128));
        f.clickRow(1);
        QCOMPARE(preview->pixmap().size(), QSize(128, 64));
        QCOMPARE(f.get<QLabel>("selectedImageNameLabel")->text(), QStringLiteral("Image0"));
    }

    void buttonsMoveLayers_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QColor>("top");
        const QStringList unmoved{"Image2", "Image1", "Image0"};
        const QStringList swapped{"Image1", "Image2", "Image0"};
        const auto row = [](const char* name, int row, const char* button, const QStringList& rows,
                            Qt::GlobalColor top) {
            QTest::newRow(name) << row << QString::fromLatin1(button) << rows << QColor(top);
        };
        row("up on Image1", 1, "upToolButton", swapped, Qt::green);
        row("down on Image2", 0, "downToolButton", swapped, Qt::green);
        row("down on Image1", 1, "downToolButton", {"Image2", "Image0", "Image1"}, Qt::blue);
        row("up at the top", 0, "upToolButton", unmoved, Qt::blue);
        row("down at the bottom", 2, "downToolButton", unmoved, Qt::blue);
    }

    void buttonsMoveLayers() {
        QFETCH(int, row);
        QFETCH(QString, button);
        QFETCH(QStringList, rows);
        QFETCH(QColor, top);
        Form f;
        dropThree(f);
        f.clickRow(row);
        const QString moved = f.selectedRow();
        // A button that cannot act is disabled, so the user cannot press it; its slot stays safe.
        if (f.enabled(button.toLatin1().constData()))
            f.press(button.toLatin1().constData());
        else
            QMetaObject::invokeMethod(&f.form,
                                      ("on_" + button + "_clicked").toLatin1().constData());
        QCOMPARE(rowTexts(f.list()), rows);
        QCOMPARE(f.selectedRow(), moved);
        CHECK_INVARIANT(f);
        QCOMPARE(f.canvasPixel(centre), top);
    }

    // The drop rules for every place a dragged row can be let go.
    void rowDropTargets_data() {
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("oldPos");
        QTest::addColumn<int>("overRow");
        QTest::addColumn<int>("newPos");
        const int onItem = int(RowDropPlace::OnItem);
        const int above = int(RowDropPlace::AboveItem);
        const int below = int(RowDropPlace::BelowItem);
        const int viewport = int(RowDropPlace::OnViewport);
        QTest::newRow("bottom row on the top row") << onItem << 2 << 0 << 0;
        QTest::newRow("on empty viewport") << viewport << 0 << -1 << 2;
        QTest::newRow("row 0 below row 1") << below << 0 << 1 << 1;
        QTest::newRow("row 2 above row 1") << above << 2 << 1 << 1;
        QTest::newRow("row 0 above row 2") << above << 0 << 2 << 1;
        QTest::newRow("row 2 below row 0") << below << 2 << 0 << 1;
        QTest::newRow("above itself") << above << 1 << 1 << 1;
        QTest::newRow("below the last row") << below << 2 << 2 << 2;
    }

    void rowDropTargets() {
        QFETCH(int, place);
        QFETCH(int, oldPos);
        QFETCH(int, overRow);
        QFETCH(int, newPos);
        QCOMPARE(droppedRowTarget(RowDropPlace(place), oldPos, overRow, 3), newPos);
        QCOMPARE(receiverMovesDroppedRow(RowDropPlace(place)),
                 place == int(RowDropPlace::OnItem) || place == int(RowDropPlace::OnViewport));
    }

    // The offscreen platform cannot run a drag between press and release, so these rows stand in
    // for the list's drop handler: they send the signal it sends for the row drop, and for the
    // places where the list moves the row itself they then move the row as the view does.
    void rowDropsMoveLayers_data() {
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("oldPos");
        QTest::addColumn<int>("overRow");
        QTest::addColumn<QStringList>("rows");
        const auto row = [](const char* name, RowDropPlace place, int oldPos, int overRow,
                            const QStringList& rows) {
            QTest::newRow(name) << int(place) << oldPos << overRow << rows;
        };
        row("OnItem: bottom row on the top row", RowDropPlace::OnItem, 2, 0,
            {"Image0", "Image2", "Image1"});
        row("OnViewport: top row below the last", RowDropPlace::OnViewport, 0, -1,
            {"Image1", "Image0", "Image2"});
        row("BelowItem: row 0 below row 1", RowDropPlace::BelowItem, 0, 1,
            {"Image1", "Image2", "Image0"});
        row("AboveItem: row 2 above row 1", RowDropPlace::AboveItem, 2, 1,
            {"Image2", "Image0", "Image1"});
    }

    void rowDropsMoveLayers() {
        QFETCH(int, place);
        QFETCH(int, oldPos);
        QFETCH(int, overRow);
        QFETCH(QStringList, rows);
        Form f;
        dropThree(f);
        f.clickRow(oldPos);
        const QString dragged = f.selectedRow();
        QCOMPARE(f.list()->selectedItem->text(), dragged);
        const int newPos = droppedRowTarget(RowDropPlace(place), oldPos, overRow, 3);
        if (receiverMovesDroppedRow(RowDropPlace(place))) {
            Q_EMIT f.list()->needToMoveitem(oldPos, newPos);
        } else {
            Q_EMIT f.list()->itemMoved(oldPos, newPos);
            QVERIFY(f.list()->model()->moveRow(QModelIndex(), oldPos, QModelIndex(),
                                               newPos > oldPos ? newPos + 1 : newPos));
        }
        QCOMPARE(rowTexts(f.list()), rows);
        QCOMPARE(f.selectedRow(), dragged);
        CHECK_INVARIANT(f);
        const QColor colors[] = {Qt::red, Qt::green, Qt::blue};
        QCOMPARE(f.canvasPixel(centre), colors[QStringView(rows.first()).mid(5).toInt()]);
    }

    void desktopFilesRefusedByList() {
        Form f;
        const QString path = f.folder.filePath(QStringLiteral("desk.png"));
        QVERIFY(TestSupport::writePictureFile(path, QSize(20, 20), Qt::red));
        QWidget* viewport = f.list()->viewport();
        QVERIFY(
            !TestSupport::sendDragEnter(viewport, QPointF(20, 20), TestSupport::fileUrls({path})));
        QVERIFY(!TestSupport::dropFiles(viewport, QPointF(20, 20), {path}));
        QCOMPARE(f.list()->count(), 0);
        QVERIFY(LImageData.isEmpty());
    }

    // A drop that did not start in the list (no drag source) moves no row, even over rows.
    void foreignDropMovesNothing() {
        Form f;
        dropThree(f);
        QSignalSpy moved(f.list(), &KBListWidget::itemMoved);
        QSignalSpy needed(f.list(), &KBListWidget::needToMoveitem);
        QMimeData data;
        data.setUrls(TestSupport::fileUrls({f.folder.filePath(QStringLiteral("picture0.png"))}));
        const QPoint over = f.list()->visualItemRect(f.list()->item(2)).center();
        QDropEvent drop(over, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.list()->viewport(), &drop);
        QVERIFY(!drop.isAccepted());
        QCOMPARE(moved.count() + needed.count(), 0);
        QCOMPARE(rowTexts(f.list()), QStringList({"Image2", "Image1", "Image0"}));
        CHECK_INVARIANT(f);
    }

    void canvasClickAndDragSelect() {
        Form f;
        QVERIFY(f.drop(QSize(40, 40), Qt::red, QPoint(60, 60)));
        QVERIFY(f.drop(QSize(40, 40), Qt::blue, QPoint(220, 220)));
        QCOMPARE(f.selectedRow(), QStringLiteral("Image1"));

        QTest::mouseClick(f.canvas(), Qt::LeftButton, {}, QPoint(55, 55));
        QCOMPARE(f.selectedRow(), QStringLiteral("Image0"));
        CHECK_INVARIANT(f);

        QTest::mousePress(f.canvas(), Qt::LeftButton, {}, QPoint(55, 55));
        QTest::mouseMove(f.canvas(), QPoint(75, 95));
        QTest::mouseRelease(f.canvas(), Qt::LeftButton, {}, QPoint(75, 95));
        QCOMPARE(f.object("Image0").position, QPoint(60, 80));
        CHECK_INVARIANT(f);

        // A later move of the selected row moves that very picture.
        f.press("upToolButton");
        QCOMPARE(rowTexts(f.list()), QStringList({"Image0", "Image1"}));
        CHECK_INVARIANT(f);
    }

    void spinBoxesEditSelectedPicture() {
        Form f;
        QVERIFY(f.drop(QSize(40, 40), Qt::red, QPoint(100, 100)));
        const QColor before = f.canvasPixel(QPoint(230, 100));
        f.type("positionXSpinBox", 210);
        QCOMPARE(f.object("Image0").position, QPoint(210, 80));
        QCOMPARE(f.canvasPixel(QPoint(225, 95)), QColor(Qt::red));
        QVERIFY(f.canvasPixel(QPoint(230, 100)) != before || before == QColor(Qt::red));
        f.type("positionYSpinBox", 150);
        QCOMPARE(f.object("Image0").position, QPoint(210, 150));
        f.type("sizeSpinBox", 200);
        QCOMPARE(f.object("Image0").scale, 200);
        QCOMPARE(f.object("Image0").rect.size(), QSize(80, 80));
        f.type("rotateSpinBox", 45);
        QCOMPARE(f.object("Image0").rotation, 45);
        QVERIFY(f.object("Image0").rect.width() > 80);
        CHECK_INVARIANT(f);
    }

    void valuesBeyondRangesSurviveOtherEdits() {
        Form f;
        QVERIFY(f.drop(QSize(20, 20), Qt::red));
        f.wheel(120 * 1100);
        QCOMPARE(f.object("Image0").scale, 1200);
        QCOMPARE(f.spin("sizeSpinBox")->value(), f.spin("sizeSpinBox")->maximum());
        f.type("rotateSpinBox", 10);
        QCOMPARE(f.object("Image0").scale, 1200);
        QCOMPARE(f.object("Image0").rotation, 10);
        f.type("positionXSpinBox", 33);
        QCOMPARE(f.object("Image0").scale, 1200);
        QCOMPARE(f.object("Image0").position.x(), 33);
        CHECK_INVARIANT(f);
    }

    void farPositionSurvivesOtherBox() {
        Form f;
        f.get<QTabWidget>("tabWidget")->setCurrentIndex(0);
        QComboBox* sizes = f.get<QComboBox>("canvasSizeComboBox");
        QTest::keyClick(sizes, Qt::Key_End);
        QCOMPARE(f.canvas()->getSizeIndex(), 3);
        QVERIFY(f.drop(QSize(60, 60), Qt::red, QPoint(150, 150)));
        QTest::mousePress(f.canvas(), Qt::LeftButton, {}, QPoint(150, 150));
        QTest::mouseMove(f.canvas(), QPoint(290, 150));
        QTest::mouseRelease(f.canvas(), Qt::LeftButton, {}, QPoint(290, 150));
        const QPoint far = f.object("Image0").position;
        QVERIFY(far.x() > 360);
        QCOMPARE(f.spin("positionXSpinBox")->value(), far.x());
        f.type("positionYSpinBox", 100);
        QCOMPARE(f.object("Image0").position, QPoint(far.x(), 100));
        CHECK_INVARIANT(f);
    }

    void deleteKeepsNamesAndReusesFreed() {
        Form f;
        dropThree(f);
        f.clickRow(1);
        f.press("deleteToolButton");
        QCOMPARE(rowTexts(f.list()), QStringList({"Image2", "Image0"}));
        QVERIFY(f.list()->selectedItems().isEmpty());
        QCOMPARE(f.canvas()->getSelectIndex(), -1);
        QVERIFY(!f.shown("selectedImageLabel"));
        QVERIFY(f.shown("objectNoteLabel"));
        QCOMPARE(f.get<QLabel>("objectNoteLabel")->text(), QStringLiteral("No object selected."));
        QVERIFY(!f.shown("dropImageLabel"));
        for (const char* button : {"upToolButton", "downToolButton", "deleteToolButton"})
            QVERIFY2(!f.enabled(button), button);
        CHECK_INVARIANT(f);

        QVERIFY(f.drop(QSize(100, 100), Qt::yellow));
        QCOMPARE(rowTexts(f.list()), QStringList({"Image1", "Image2", "Image0"}));
        QCOMPARE(f.selectedRow(), QStringLiteral("Image1"));
        CHECK_INVARIANT(f);
        QCOMPARE(f.canvasPixel(centre), QColor(Qt::yellow));

        for (int i = 0; i < 3; ++i) {
            f.clickRow(0);
            f.press("deleteToolButton");
            CHECK_INVARIANT(f);
        }
        QVERIFY(f.shown("dropImageLabel"));
        QVERIFY(LImageData.isEmpty());
    }

    // A drag starting on a row the list still shows after a deletion must not use a row that no
    // longer exists.
    void dropAfterDeletionIsSafe() {
        Form f;
        dropThree(f);
        f.clickRow(0);
        f.press("deleteToolButton");
        QVERIFY(f.list()->selectedItem == nullptr);
        Q_EMIT f.list()->needToMoveitem(-1, 0);
        Q_EMIT f.list()->itemMoved(5, 0);
        QCOMPARE(rowTexts(f.list()), QStringList({"Image1", "Image0"}));
        CHECK_INVARIANT(f);
    }
};

QTEST_MAIN(TestImageList)
#include "tst_imagelist.moc"
