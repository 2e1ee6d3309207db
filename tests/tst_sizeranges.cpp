// Pictures drawn at some sizes only, in the window: the Selected Object page's range under real
// keys, the picture list saying it, and the canvas shown at one size, pixel by pixel.
#include "canvas/canvasrules.h"
#include "canvas/canvaswidget.h"
#include "document/editeddocument.h"
#include "form/editorform.h"
#include "render/iconrenderer.h"
#include "render/sizedicon.h"
#include "support/testsupport.h"

#include <QtWidgets>

using namespace TestSupport;

// Down keys on the page's list from "Every size", Up (or Down) keys in the size box then, the
// blue picture's range (minimum, maximum), the size shown at, the icon's middle pixel at that size
// and the blue picture's row in the list.
using SizeRange = std::tuple<int, int, QPoint, int, QRgb, QString>;

class TestSizeRanges : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void sizeRanges_data() {
        QTest::addColumn<SizeRange>("row");
        const QRgb green = qRgb(0, 255, 0), red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
        QTest::newRow("from") << SizeRange{1, 0, {48, 0}, 16, green, "Image1  (from 48 px)"};
        QTest::newRow("up to") << SizeRange{2, 1, {0, 40}, 32, blue, "Image1  (up to 40 px)"};
        QTest::newRow("below 16") << SizeRange{2, -4, {0, 15}, 16, green, "Image1  (up to 15 px)"};
        QTest::newRow("from to") << SizeRange{3, 0, {32, 48}, 32, blue, "Image1  (32 to 48 px)"};
        QTest::newRow("from past to")
            << SizeRange{3, 3, {64, 64}, 256, red, "Image1  (64 to 64 px)"};
    }

    // On an .icns (16 to 1024 px) of a green square, a red picture filling it drawn from 32 px
    // and a blue one in its middle: real keys on the page set the blue one's range as one step,
    // shown again after undo and redo. "Show at" a size shows the icon that size holds, each
    // pixel enlarged, and picks only the pictures drawn there; all sizes is the canvas as edited.
    void sizeRanges() {
        QFETCH(SizeRange, row);
        const auto [kind, steps, range, size, middle, listed] = row;
        EditedDocument edited;
        EditorForm form(edited);
        Document document;
        document.style.useBackground = true;
        document.style.backStyle = 0;
        document.style.backColor1 = Qt::green;
        document.output.target = "icns";
        for (const int edge : {256, 128}) {
            Layer layer = solidLayer({150 - edge / 2, 150 - edge / 2, edge, edge},
                                     edge == 256 ? Qt::red : Qt::blue);
            layer.index = int(document.layers.size());
            layer.minSize = edge == 256 ? 32 : 0;
            document.layers << layer;
        }
        document.selected = 1;
        form.openDocument(document);
        const QList<Layer>& layers = edited.document().layers;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        child<QTabWidget>(&form, "tabWidget")->setCurrentIndex(2);
        auto* kinds = child<QComboBox>(&form, "sizeRangeKind");
        auto* sizes = child<QSpinBox>(&form, kind == 2 ? "sizeRangeTo" : "sizeRangeFrom");
        for (int down = 0; down < kind; ++down)
            QTest::keyClick(kinds, Qt::Key_Down);
        for (int step = 0; step < std::abs(steps); ++step)
            QTest::keyClick(sizes, steps > 0 ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(std::tuple(QPoint(layers.at(1).minSize, layers.at(1).maxSize),
                            layers.at(0).minSize, edited.undoStack()->count()),
                 std::tuple(range, 32, 1));
        auto* list = child<QListWidget>(&form, "listWidget");
        QCOMPARE(list->item(0)->text(), listed);
        QCOMPARE(list->item(1)->text(), "Image0  (from 32 px)");

        // The icon square shown is `icon` enlarged (nearest neighbour) over the ground: its
        // middle pixel, or 0 when it is not.
        auto* canvas = child<CanvasWidget>(&form, "canvas");
        const auto shown = [canvas](const QImage& icon) {
            QImage square(300, 300, QImage::Format_ARGB32_Premultiplied);
            square.fill(0);
            canvas->render(&square, QPoint(), QRegion(), {});
            QImage expected = CanvasRules::canvasGround().convertToFormat(square.format());
            QPainter(&expected).drawImage(22, 22, icon.scaled(256, 256));
            const QRect icons(22, 22, 256, 256);
            return square.copy(icons) == expected.copy(icons) ? square.pixel(150, 150) : 0;
        };
        edited.select(Document::noSelection);
        auto* showAt = child<QComboBox>(&form, "showAtComboBox");
        QCOMPARE(showAt->itemText(7), "1024 px");
        QTest::keyClicks(showAt, QString::number(size));
        QCOMPARE(canvas->shownSize(), size);
        QCOMPARE(shown(iconAtSize(edited.document(), size)), middle);
        QTest::mouseClick(canvas, Qt::LeftButton, {}, {150, 150});
        // The blue picture picked, the red one, or none.
        QCOMPARE(edited.document().selected,
                 int(middle == qRgb(0, 0, 255)) - int(middle == qRgb(0, 255, 0)));
        edited.select(Document::noSelection);
        QTest::keyClick(showAt, Qt::Key_Home);
        QCOMPARE(canvas->shownSize(), 0);
        QCOMPARE(shown(renderDocumentIcon(edited.document())), qRgb(0, 0, 255));

        edited.undoStack()->undo();
        QCOMPARE(std::tuple(hasSizeRange(layers.at(1)), kinds->currentIndex(), sizes->isHidden()),
                 std::tuple(false, 0, true));
        edited.undoStack()->redo();
        QCOMPARE(std::tuple(kinds->currentIndex(), sizes->value(), edited.undoStack()->count()),
                 std::tuple(kind, kind == 2 ? range.y() : range.x(), 1));
    }
};

QTEST_MAIN(TestSizeRanges)
#include "tst_sizeranges.moc"
