// The document's edits without any widget: each user action's name, change and merging, undo and
// redo back to the very document, reset, and a selection that is never a step.
#include "document/editeddocument.h"
#include "document/useraction.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace TestSupport;
using namespace UserActions;

namespace {

using Check = std::function<bool(const Document&)>;

// Two pictures, the upper one (numbered 7) selected.
Document twoPictures() {
    Document document;
    for (const int number : {3, 7}) {
        Layer layer;
        layer.sourceImage = crossPicture({40, 20}, Qt::blue);
        layer.index = number;
        layer.position = QPoint(10 * number, 5);
        document.layers << layer;
    }
    document.selected = 1;
    return document;
}

// Does `actions` one by one; answers whether each was shown by exactly one change.
bool eachChangedOnce(EditedDocument& edited, const QList<UserAction>& actions) {
    for (const UserAction& action : actions) {
        QSignalSpy changed(&edited, &EditedDocument::changed);
        edited.edit(action);
        if (changed.size() != 1)
            return false;
    }
    return true;
}

// An action of the merge rows by its short name: "radius 60", "zoom 40", "drag1 30", "select 0".
UserAction named(const Document& document, const QString& text) {
    const QStringList words = text.split(' ');
    const int value = words.value(1).toInt();
    const QString what = words.first();
    if (what == "radius")
        return radius(value);
    if (what == "width")
        return borderWidth(value);
    if (what == "shape")
        return shape(value);
    if (what == "text")
        return badgeText(words.value(1));
    if (what == "zoom")
        return zoomSelected(document, value);
    if (what == "turn")
        return turnSelected(document, value);
    if (what == "sizes")
        return sizeRangeSelected(document, value, 0);
    if (what.startsWith("drag"))
        return moveSelected({value, value}, what);
    return moveSelected({value, value});
}

} // namespace

Q_DECLARE_METATYPE(UserAction)
Q_DECLARE_METATYPE(Check)

class TestEdits : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void actions_data() {
        QTest::addColumn<UserAction>("action");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Check>("done");
        const Document start = twoPictures();
        const auto row = [](const char* tag, const UserAction& action, const char* name,
                            const Check& done) {
            QTest::newRow(tag) << action << QString::fromLatin1(name) << done;
        };
        row("shape", shape(2), "Shape", [](auto& d) { return d.style.shape == 2; });
        row("radius", radius(12), "Radius", [](auto& d) { return d.style.radius == 12; });
        row("3d", effect3d(true), "3D Effect", [](auto& d) { return d.style.useBack3dEffect; });
        row("colour", colour(&IconStyle::borderColor, Qt::green), "Colour",
            [](auto& d) { return d.style.borderColor == QColor(Qt::green); });
        row("text size", badgeTextSize(31), "Badge Text Size", [](auto& d) {
            return d.style.badgeTextSize == 31 && d.style.badgeTextFont.pixelSize() == 31 &&
                   d.style.badgeTextFont.weight() == QFont::Bold;
        });
        row("text", badgeText("NEW"), "Badge Text",
            [](auto& d) { return d.style.badgeText == "NEW"; });
        row("font", badgeFont(QFont("DejaVu Serif")), "Badge Font", [](auto& d) {
            return d.style.badgeTextFont.family() == "DejaVu Serif" &&
                   d.style.badgeTextFont.weight() == QFont::Bold;
        });
        row("position, diagonal", badgePosition(0), "Badge Position", [](auto& d) {
            return d.style.badgeOrientationDiagonal == 0 && d.style.badgeOrientationHorizontal == 1;
        });
        row("canvas size", canvasSize(2), "Canvas Size",
            [](auto& d) { return d.style.canvasFactor == 3; });
        row("clip", clipPictures(true), "Clip Pictures", [](auto& d) { return d.style.clipImage; });
        row("output", outputTarget("web"), "Output",
            [](auto& d) { return d.output.target == "web"; });
        row("grid", appleGrid(true), "macOS Grid", [](auto& d) { return d.output.appleGrid; });
        row("png sizes", pngSizes({64, 8}), "PNG Sizes", [](auto& d) {
            return d.output.pngSizes == QList<int>{64, 8};
        });
        row("icon sizes", iconSizes({16, 40}, true), "Icon Sizes", [](auto& d) {
            return d.output.iconSizes == QList<int>{16, 40} && d.output.sharpSizes;
        });
        row("delete", deleteSelected(), "Delete Picture", [](auto& d) {
            return d.layers.size() == 1 && d.layers[0].index == 3 && !d.hasSelection();
        });
        row("move", moveSelected({-4, 9}), "Move Picture", [](auto& d) {
            return d.layers[1].position == QPoint(-4, 9) && d.layers[0].position == QPoint(30, 5);
        });
        row("zoom", zoomSelected(start, 250), "Zoom Picture", [](auto& d) {
            return d.layers[1].scale == 250 && d.layers[1].rect().size() == QSize(100, 50) &&
                   d.layers[0].scale == 100;
        });
        row("turn", turnSelected(start, 90), "Turn Picture", [](auto& d) {
            return d.layers[1].rotation == 90 && d.layers[1].rect().size() == QSize(20, 40);
        });
        row("size range", sizeRangeSelected(start, 16, 32), "Picture Sizes", [](auto& d) {
            return d.layers[1].minSize == 16 && d.layers[1].maxSize == 32 &&
                   !hasSizeRange(d.layers[0]);
        });
        row("stacking", moveLayer(1, 0), "Move Layer", [](auto& d) {
            return d.layers[0].index == 7 && d.layers[1].index == 3 && d.selected == 0;
        });
        PictureIntake::Picture picture;
        picture.image = crossPicture({600, 300}, Qt::red);
        row("add", addPictures({{"a.png", picture}, {"b.png", picture}}, {100, 150}),
            "Add Pictures", [](auto& d) {
                return d.layers.size() == 4 && d.layers[2].index == 0 && d.layers[3].index == 1 &&
                       d.layers[3].rect() == QRect(-50, 75, 300, 150) && d.selected == 3;
            });
    }

    // Moving any layer anywhere in the stack keeps the same picture selected, or none.
    void stackingKeepsSelection() {
        for (int move = 0; move < 36; ++move) {
            const int from = move % 3, to = move / 3 % 3, selected = move / 9 - 1;
            Document document;
            document.layers.resize(3);
            for (int i = 0; i < 3; ++i)
                document.layers[i].index = i;
            document.selected = selected;
            document.moveLayer(from, to);
            QCOMPARE(document.layers.at(to).index, from);
            QCOMPARE(document.selected < 0 ? -1 : document.layers.at(document.selected).index,
                     selected);
        }
    }

    // Each action is one step under its name, shown by one change; undo gives back the very
    // document, redo the changed one.
    void actions() {
        QFETCH(UserAction, action);
        QFETCH(QString, name);
        QFETCH(Check, done);
        EditedDocument edited;
        const Document start = twoPictures();
        edited.reset(start);
        QVERIFY(eachChangedOnce(edited, {action}));
        QCOMPARE(edited.undoStack()->count(), 1);
        QCOMPARE(edited.undoStack()->undoText(), name);
        QVERIFY(done(edited.document()));
        const Document after = edited.document();
        QSignalSpy changed(&edited, &EditedDocument::changed);
        edited.undoStack()->undo();
        QCOMPARE(changed.size(), 1);
        QVERIFY(sameDocument(edited.document(), start));
        QVERIFY(!done(edited.document()));
        edited.undoStack()->redo();
        QCOMPARE(changed.size(), 2);
        QVERIFY(sameDocument(edited.document(), after));
        QVERIFY(done(edited.document()));
    }

    void merges_data() {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("lastStep");
        const auto row = [](const char* tag, const char* actions, int steps, const char* last) {
            QTest::newRow(tag) << QString::fromLatin1(actions).split(", ") << steps
                               << QString::fromLatin1(last);
        };
        row("one box typed", "radius 60, radius 61, radius 62", 1, "Radius");
        row("two boxes", "radius 60, width 8, width 9", 2, "Border Width");
        row("back to a box's start", "radius 60, radius 50", 0, "");
        row("typing", "text A, text AB, text ABC", 1, "Badge Text");
        row("a list each time", "shape 1, shape 2", 2, "Shape");
        row("one drag", "drag1 20, drag1 30, drag1 40", 1, "Move Picture");
        row("two drags", "drag1 20, drag2 30", 2, "Move Picture");
        row("arrow keys", "nudge 20, nudge 21", 2, "Move Picture");
        row("zooms", "zoom 120, zoom 140, zoom 160", 1, "Zoom Picture");
        row("zooms then turns", "zoom 120, turn 5, turn 6", 2, "Turn Picture");
        row("zooms of two pictures", "zoom 120, select 0, zoom 130, zoom 140", 2, "Zoom Picture");
        row("zoom, other, zoom", "zoom 120, radius 9, zoom 130", 3, "Zoom Picture");
        row("size range stepped", "sizes 16, sizes 20, sizes 24", 1, "Picture Sizes");
        row("size ranges of two", "sizes 16, select 0, sizes 16", 2, "Picture Sizes");
    }

    // Actions with one merge key one after another are one step, whose undo goes back to before
    // the first; a run that ends where it began leaves no step.
    void merges() {
        QFETCH(QStringList, actions);
        QFETCH(int, steps);
        QFETCH(QString, lastStep);
        EditedDocument edited;
        const Document start = twoPictures();
        edited.reset(start);
        for (const QString& action : actions) {
            QSignalSpy changed(&edited, &EditedDocument::changed);
            if (action.startsWith("select"))
                edited.select(action.split(' ').last().toInt());
            else
                edited.edit(named(edited.document(), action));
            QCOMPARE(changed.size(), 1);
        }
        QCOMPARE(edited.undoStack()->count(), steps);
        QCOMPARE(edited.undoStack()->undoText(), lastStep);
        while (edited.undoStack()->canUndo())
            edited.undoStack()->undo();
        QVERIFY(sameDocument(edited.document(), start));
    }

    // A selection changes the document's views but is no step and leaves it saved; an action
    // that changes nothing a project keeps makes no step and no change; reset forgets the steps
    // and is shown once.
    void selectionAndReset() {
        EditedDocument edited;
        edited.reset(twoPictures());
        edited.undoStack()->setClean();
        QSignalSpy changed(&edited, &EditedDocument::changed);
        edited.select(0);
        edited.select(0);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(edited.document().selected, 0);
        edited.select(2);
        QCOMPARE(edited.document().selected, Document::noSelection);
        edited.select(-5);
        QCOMPARE(changed.size(), 2);
        // A picture's row dragged onto itself only selects it.
        edited.edit(moveLayer(1, 1));
        QCOMPARE(edited.document().selected, 1);
        QCOMPARE(changed.size(), 3);
        edited.edit(shape(0));
        edited.edit(moveSelected(edited.document().layers[1].position));
        QCOMPARE(changed.size(), 3);
        QCOMPARE(edited.undoStack()->count(), 0);
        QVERIFY(edited.undoStack()->isClean());
        // Nothing selected: the picture's actions do nothing.
        edited.select(Document::noSelection);
        for (const UserAction& action :
             {deleteSelected(), moveSelected({1, 1}), zoomSelected(edited.document(), 300),
              turnSelected(edited.document(), 30), sizeRangeSelected(edited.document(), 16, 0)})
            edited.edit(action);
        QCOMPARE(edited.undoStack()->count(), 0);
        QVERIFY(eachChangedOnce(edited, {radius(1), shape(1)}));
        changed.clear();
        Document other;
        other.output.target = "icns";
        edited.reset(other);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(edited.undoStack()->count(), 0);
        QVERIFY(sameDocument(edited.document(), other));
    }
};

QTEST_MAIN(TestEdits)
#include "tst_edits.moc"
