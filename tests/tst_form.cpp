// The editor form driven as a user drives it: random use with invariants over every control, the
// picture list, the canvas and what is painted; the stored style; the colour dialogs; the layout.
#include "canvas/canvasrules.h"
#include "canvas/canvaswidget.h"
#include "document/editeddocument.h"
#include "document/stylestore.h"
#include "form/colorswatch.h"
#include "form/editorform.h"
#include "form/iconsizesdialog.h"
#include "form/layerlistwidget.h"
#include "form/previewscheduler.h"
#include "form/sizepreview.h"
#include "output/exporttargets.h"
#include "output/iconsizes.h"
#include "render/badgetext.h"
#include "render/icongeometry.h"
#include "render/iconrenderer.h"
#include "render/layerpixels.h"
#include "render/sharpicon.h"
#include "support/referencerender.h"
#include "support/testsupport.h"

#include <QtWidgets>

using namespace TestSupport;

namespace {

// Everything the style store holds. Of the font only the family: a family picked in the font box
// carries the box's pixel size until the text size is set again, as a restart does.
QVariantMap storedStyle() {
    QSettings settings("Kestrelby", "Brasswick");
    QVariantMap values;
    for (const QString& key : settings.allKeys())
        values[key] = settings.value(key).toString().section(',', 0, 0);
    // An alias family ("Monospace") comes back as the family it stands for.
    values["Badge/badgeTextFont"] =
        QFontInfo(QFont(values["Badge/badgeTextFont"].toString())).family();
    return values;
}

// What a control shows, whatever its kind; of a font the family it is drawn in, as an alias
// ("Sans Serif") and the family it stands for are shown alike.
QVariant shownValue(QWidget* control) {
    if (auto* font = qobject_cast<QFontComboBox*>(control))
        return QFontInfo(font->currentFont()).family();
    if (auto* box = qobject_cast<QComboBox*>(control))
        return box->currentIndex();
    if (auto* spin = qobject_cast<QSpinBox*>(control))
        return spin->value();
    if (auto* check = qobject_cast<QCheckBox*>(control))
        return check->isChecked();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    return static_cast<ColorSwatch*>(control)->color;
}

// Seeded, so that a failing run can be replayed.
struct Dice {
    QRandomGenerator random;
    int below(int n) { return int(random.bounded(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
};

} // namespace

class TestForm : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    QStringList files;
    std::unique_ptr<EditedDocument> edited;
    std::unique_ptr<EditorForm> form;
    QString paintedState;

    template <class T = QWidget> T* get(const char* name) { return child<T>(form.get(), name); }
    CanvasWidget* canvas() { return get<CanvasWidget>("canvas"); }
    LayerListWidget* list() { return get<LayerListWidget>("listWidget"); }

    const Document& doc() const { return form->document(); }

    void showForm() {
        form.reset();
        edited = std::make_unique<EditedDocument>();
        form = std::make_unique<EditorForm>(*edited);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        canvas()->installEventFilter(this);
        canvas()->repaint();
    }

    // Keeps what the canvas showed at its last paint.
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            paintedState = documentState();
        return false;
    }

    // The style's fields in the order of the controls showing them.
    QVariantList styleValues() const {
        const IconStyle& s = doc().style;
        const int position =
            s.badgeOrientation == 1 ? s.badgeOrientationHorizontal : s.badgeOrientationDiagonal;
        QVariantList values;
        values << s.shape << s.radius << s.useBackground << s.backStyle << s.backOrientation
               << s.backColor1 << s.backColor2 << s.useBack3dEffect << s.useBorder << s.borderColor
               << s.borderWidth << s.useGlossy << s.clipImage << s.useBadge << s.badgeText
               << s.badgeTextColor << s.badgeTextSize << QFontInfo(s.badgeTextFont).family()
               << s.badgeBackColor << s.badgeBorderColor << s.badgeLineWidth << s.badgeOrientation
               << position << s.canvasFactor - 1;
        return values;
    }

    // All that the canvas shows, to compare what it last painted with what it should show.
    QString documentState() {
        QString text;
        // The size the canvas paints with is its own: the style takes it after the repaint.
        QDebug(&text) << styleValues() << BadgeText::measured(doc().style)
                      << canvas()->selectedRect();
        for (const Layer& object : doc().layers)
            QDebug(&text) << object.rect() << object.index;
        return text;
    }

    // Every control shows its field of the style, and the controls that depend on another
    // show or hide with it.
    void verifyControlsShowStyle() {
        // The canvas paints what changed once the events of the change are handled.
        QCoreApplication::processEvents();
        const IconStyle& s = doc().style;
        const QStringList names =
            QStringLiteral(
                "shapeComboBox radiusSpinBox backCheckBox backStyleComboBox "
                "backOrientationComboBox backColor1Widget backColor2Widget effect3dCheckBox "
                "borderCheckBox borderColorWidget borderWidthSpinBox glossyCheckBox "
                "clipImageCheckBox badgeCheckBox badgeTextLineEdit badgeTextColorWidget "
                "badgeTextSizeSpinBox badgeFontComboBox badgeBackColorWidget "
                "badgeBorderColorWidget badgeLineWidthSpinBox badgeOrientationComboBox "
                "badgePositionComboBox canvasSizeComboBox")
                .split(' ');
        const QVariantList values = styleValues();
        for (int i = 0; i < names.size(); ++i)
            QVERIFY2(shownValue(get(qPrintable(names[i]))) == values[i], qPrintable(names[i]));
        QCOMPARE(get<QComboBox>("badgePositionComboBox")->count(), s.badgeOrientation ? 2 : 4);
        const std::pair<const char*, bool> shown[] = {
            {"radiusSpinBox", s.shape == 1},        {"backGroupBox", s.useBackground},
            {"backColor2Widget", s.backStyle != 0}, {"backOrientationComboBox", s.backStyle},
            {"borderGroupBox", s.useBorder},        {"badgeGroupBox", s.useBadge}};
        for (const auto& [name, visible] : shown)
            QVERIFY2(get(name)->isHidden() != visible, name);
        // The Badge page tells exactly when pictures cover the badge.
        QCOMPARE(get("badgeCoveredLabel")->isHidden(),
                 !IconGeometry::picturesCoverBadge(s, doc().layers));
        QCOMPARE(get<QLabel>("badgeCoveredLabel")->text(),
                 "pictures cover the badge: turn on Clip Image to shape to draw them under it");
        // A family picked in the font box comes with the pixel size the box was last given.
        const int pixels = s.badgeTextFont.pixelSize();
        QVERIFY(pixels == s.badgeTextSize || s.badgeTextSize == 0 ||
                pixels == get<QFontComboBox>("badgeFontComboBox")->currentFont().pixelSize());
        QCOMPARE(s.badgeTextFont.weight(), QFont::Bold);
        QCOMPARE(canvas()->canvasFactor(), s.canvasFactor);
        // Measured with the badge font before the canvas paints, as wide as a label showing it:
        // an italic face's overhang counts, so its ink is centred.
        QLabel label(s.badgeText);
        label.setFont(s.badgeTextFont);
        QCOMPARE(BadgeText::measured(s).width(), label.sizeHint().width());
        // Painted after every change, with the text measured first.
        QCOMPARE(paintedState, documentState());
    }

    // Rows and layers match one to one, top layer first; the selected row, the canvas selection,
    // the Selected Object page and the list buttons agree.
    void verifyListFollowsLayers() {
        QStringList names;
        for (const Layer& object : doc().layers) {
            names.prepend(Document::layerName(object.index));
            const QSize source = object.sourceImage.size();
            QCOMPARE(object.rect(),
                     QRect(object.position, layerSize(source, object.scale, object.rotation)));
            QVERIFY(object.rect().contains(LayerPixels::made(object).rect));
            if (object.rotation % 360 == 0)
                QCOMPARE(object.rect().size(), QSize(source.width() * object.scale / 100,
                                                     source.height() * object.scale / 100));
        }
        QStringList rows;
        for (int row = 0; row < list()->count(); ++row)
            rows << list()->item(row)->text();
        QCOMPARE(rows, names);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        QCOMPARE(get("dropImageLabel")->isHidden(), !names.isEmpty());
        const QList<QListWidgetItem*> selected = list()->selectedItems();
        const int row = selected.isEmpty() ? -1 : list()->row(selected.first());
        QCOMPARE(get("upToolButton")->isEnabled(), row >= 1);
        QCOMPARE(get("downToolButton")->isEnabled(), row >= 0 && row < names.size() - 1);
        QCOMPARE(get("deleteToolButton")->isEnabled(), row >= 0);
        QCOMPARE(get("positionXSpinBox")->isHidden(), row < 0);
        // The page says there is nothing to show only when there is nothing.
        QCOMPARE(get("objectNoteLabel")->isHidden(), row >= 0);
        QCOMPARE(get("objectTipsLabel")->isHidden(), row < 0);
        if (row < 0) {
            QCOMPARE(doc().selected, -1);
            return;
        }
        const int layer = doc().findLayer(names.at(row));
        QCOMPARE(doc().selected, layer);
        const Layer& object = doc().layers.at(layer);
        QCOMPARE(canvas()->selectedRect(), object.rect());
        QCOMPARE(get<QSpinBox>("positionXSpinBox")->value(), object.position.x());
        QCOMPARE(get<QSpinBox>("positionYSpinBox")->value(), object.position.y());
        QCOMPARE(get<QSpinBox>("sizeSpinBox")->value(), object.scale);
        QCOMPARE(get<QSpinBox>("rotateSpinBox")->value(), object.rotation);
        QCOMPARE(get<QLabel>("selectedImageNameLabel")->text(), names.at(row));
    }

    // The canvas on the screen is the composition of the document, selection frame included.
    void verifyCanvasShowsDocument() {
        const int k = doc().style.canvasFactor;
        // On the screen the icon lies over the canvas's checkerboard ground.
        QImage expected =
            CanvasRules::canvasGround().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&expected);
        const QImage composed =
            Reference::canvas(doc().style, doc().layers, canvas()->selectedRect(), k, false);
        painter.drawImage(0, 0, smoothScaled(composed, 300));
        // Framed while it has the keys.
        if (canvas()->hasFocus()) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(canvas()->palette().color(QPalette::Highlight), 2));
            painter.drawRect(QRectF(1, 1, 298, 298));
        }
        painter.end();
        QImage shown(300, 300, QImage::Format_ARGB32_Premultiplied);
        shown.fill(0);
        // Without its children: the "Drop image here" label lies over an empty canvas.
        canvas()->render(&shown, QPoint(), QRegion(), {});
        QCOMPARE(shown, expected);
        QCOMPARE(renderDocumentIcon(doc()), Reference::icon(doc().style, doc().layers, k));
    }

    // One random step of a user; answers what it did, for the failure message.
    QString randomStep(Dice& random) {
        const int count = list()->count();
        const int row = random.below(qMax(1, count));
        const int to = random.below(qMax(1, count));
        const QPoint point(random.between(0, 299), random.between(0, 299));
        const QStringList controls =
            QStringLiteral(
                "upToolButton downToolButton deleteToolButton positionXSpinBox positionYSpinBox "
                "sizeSpinBox rotateSpinBox backCheckBox effect3dCheckBox borderCheckBox "
                "glossyCheckBox clipImageCheckBox badgeCheckBox shapeComboBox backStyleComboBox "
                "backOrientationComboBox badgeOrientationComboBox badgePositionComboBox "
                "badgeFontComboBox radiusSpinBox borderWidthSpinBox badgeTextSizeSpinBox "
                "badgeLineWidthSpinBox canvasSizeComboBox")
                .split(' ');
        QWidget* control = get(qPrintable(controls[random.below(random.chance(95) ? 23 : 24)]));
        switch (random.below(count < 6 ? 9 : 8)) {
        case 0:
            QTest::mouseClick(canvas(), Qt::LeftButton, {}, point);
            return "click canvas";
        case 1:
            QTest::mousePress(canvas(), Qt::LeftButton, {}, point);
            QTest::mouseMove(canvas(), point + QPoint(random.between(-30, 30), 9));
            QTest::mouseRelease(canvas(), Qt::LeftButton, {}, point);
            return "drag";
        case 2:
            wheelOver(canvas(), {0, random.between(-3, 3) * 120},
                      random.chance(50) ? Qt::ShiftModifier : Qt::NoModifier);
            return "wheel";
        case 3:
            if (count)
                QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                                  list()->visualItemRect(list()->item(row)).center());
            return "click row";
        case 4:
            emit list()->moveRequested(row, to);
            return "row dropped";
        case 5: {
            QLineEdit* edit = get<QLineEdit>("badgeTextLineEdit");
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, QStringLiteral("NEW BETA 1.0").left(random.below(13)));
            return "badge text";
        }
        case 6:
        case 7:
            if (auto* box = qobject_cast<QComboBox*>(control))
                box->setCurrentIndex(random.below(box->count()));
            else if (auto* spin = qobject_cast<QSpinBox*>(control))
                spin->setValue(random.between(qMax(-400, spin->minimum()), 400));
            else // a click where the button is, as the mouse or Space gives
                static_cast<QAbstractButton*>(control)->click();
            return control->objectName();
        default:
            dropFiles(canvas(), point, {files.at(random.below(int(files.size())))});
            return "drop";
        }
    }

private Q_SLOTS:
    void initTestCase() {
        initTestEnvironment();
        const char* names[] = {"a.png", "b.jpg", "c.gif", "d.webp"};
        const QSize sizes[] = {{60, 40}, {500, 200}, {30, 90}, {120, 120}};
        for (int i = 0; i < 4; ++i) {
            files << folder.filePath(names[i]);
            // Translucent where the format keeps it, so layers blend.
            QVERIFY(writePicture(files.last(), sizes[i], QColor(200, 90, 30, 250 - 50 * i)));
        }
    }

    void cleanup() { form.reset(); }

    void randomUse_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 4; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    // Seeded random steps through real events and controls, every invariant after every step;
    // then what the form stored comes back whole in a new form.
    void randomUse() {
        QFETCH(quint32, seed);
        clearSettings();
        showForm();
        const QVariantMap start = StyleStore::toMap(doc().style);
        get<QComboBox>("canvasSizeComboBox")->setCurrentIndex(int(seed % 3));
        Dice random{QRandomGenerator(seed)};
#ifdef GLIMMERDOCK_SANITIZE
        const int steps = 60;
#else
        const int steps = 400;
#endif
        for (int step = 0; step < steps; ++step) {
            const QString action = randomStep(random);
            QCoreApplication::processEvents(); // the undo step is recorded once the action is over
            const QByteArray where = QStringLiteral("step %1: %2").arg(step).arg(action).toUtf8();
            verifyControlsShowStyle();
            verifyListFollowsLayers();
            if (step % 5 == 0)
                verifyCanvasShowsDocument();
            QVERIFY2(!QTest::currentTestFailed(), where);
        }
        // Undone step by step back to the start and redone to the end, each state shown whole.
        const QImage end = renderDocumentIcon(doc());
        QUndoStack* history = edited->undoStack();
        for (const bool back : {true, false}) {
            while (back ? history->canUndo() : history->canRedo()) {
                back ? history->undo() : history->redo();
                verifyControlsShowStyle();
                verifyListFollowsLayers();
                QVERIFY2(!QTest::currentTestFailed(), qPrintable(history->undoText()));
            }
            verifyCanvasShowsDocument();
            QCOMPARE(StyleStore::toMap(doc().style) == start && doc().layers.isEmpty(), back);
        }
        QCOMPARE(renderDocumentIcon(doc()), end);
        form.reset();
        const QVariantMap stored = storedStyle();
        showForm();
        verifyControlsShowStyle();
        form.reset();
        QCOMPARE(storedStyle(), stored);
    }

    // Showing a document (opened, undone, redone) sets every control and edits nothing: one
    // change, no step, the document as it was; for every target, and for a newer version's target,
    // shown as the first.
    void showingMakesNoEdit() {
        showForm();
        QVERIFY(dropFiles(canvas(), {100, 100}, {files.at(0), files.at(1)}));
        Document shown = doc();
        shown.output.appleGrid = true;
        shown.style.shape = 1;
        shown.style.useBadge = true;
        shown.style.badgeOrientation = 1;
        shown.style.canvasFactor = 2;
        shown.selected = 0;
        const QStringList targets = ExportTargets::keys() << "vision";
        for (const QString& target : targets) {
            shown.output.target = target;
            QSignalSpy changed(edited.get(), &EditedDocument::changed);
            form->openDocument(shown);
            QCOMPARE(std::tuple(changed.size(), edited->undoStack()->count(), doc().output.target),
                     std::tuple(1, 0, target));
            QVERIFY(sameDocument(doc(), shown) && doc().selected == 0);
            verifyControlsShowStyle();
            verifyListFollowsLayers();
            const int shownIndex =
                int(ExportTargets::all().indexOf(&ExportTargets::of(shown.output)));
            QCOMPARE(get<QComboBox>("outputComboBox")->currentIndex(), shownIndex);
            const int otherIndex = (shownIndex + 1) % int(ExportTargets::all().size());
            const QString other = ExportTargets::at(otherIndex).key();
            get<QComboBox>("outputComboBox")->setCurrentIndex(otherIndex);
            QUndoStack* steps = edited->undoStack();
            for (const bool back : {true, false}) {
                changed.clear();
                back ? steps->undo() : steps->redo();
                QCOMPARE(std::tuple(changed.size(), steps->count(), doc().output.target),
                         std::tuple(1, 1, back ? target : other));
            }
        }
    }

    // Whatever the store holds, the form starts usable and what it saves is sound; every key is
    // written. Values a stored key goes back to the start value with are left invalid here.
    void storedValues() {
        clearSettings();
        showForm();
        form.reset();
        const QVariantMap start = storedStyle();
        QCOMPARE(start.size(), 25);
        // Keys this version does not know stay for the version that wrote them.
        const QVariantMap foreign{{"Container/future", "1"}, {"Future/key", "x"}};
        setSettings(foreign);
        showForm();
        form.reset();
        QVariantMap expected = start;
        expected.insert(foreign);
        QCOMPARE(storedStyle(), expected);
        const std::tuple<const char*, QVariant, QVariant> rows[] = {
            {"Container/shape", 3, 0},
            {"Container/shape", "x", {}},
            {"Container/radius", 9999, 360},
            {"Container/backOrientation", 8, 0},
            {"Container/backColor1", "#ABCDEF", "#abcdef"},
            {"Container/backColor2", "#zzz", {}},
            {"Container/borderWidth", 361, 360},
            {"Badge/badgeText", QString(300, 'x'), QString(256, 'x')},
            {"Badge/badgeTextSize", 1000, 360},
            {"Badge/badgeLineWidth", 21, 20},
            {"Badge/badgeOrientationDiagonal", 4, 0},
            {"Badge/badgeTextFont", "DejaVu Sans,5000,-1,5,700,0,0,0,0,0", {}},
            {"Badge/badgeTextFont", QString(400000, 'A') + ",-1,18,5,700,0,0,0,0,0", {}},
            {"Canvas/canvasSize", 3, 3},
            {"Badge/badgeOrientationHorizontal", 2, 0},
            {"Canvas/canvasSize", 4, 1}};
        for (const auto& [key, stored, saved] : rows) {
            clearSettings();
            setSettings({{key, stored}});
            showForm();
            verifyControlsShowStyle();
            form.reset();
            QVERIFY2(storedStyle().value(key) == (saved.isValid() ? saved.toString() : start[key]),
                     key);
        }
    }

    // A left click on a swatch opens the colour dialog on its colour; the colour chosen goes to
    // the swatch and the style. A right click opens nothing; a cancel changes nothing.
    void colourDialogs() {
        showForm();
        for (const char* name :
             {"backColor1Widget", "backColor2Widget", "borderColorWidget", "badgeTextColorWidget",
              "badgeBackColorWidget", "badgeBorderColorWidget", "cancel"}) {
            auto* swatch = get<ColorSwatch>(name[0] == 'c' ? "borderColorWidget" : name);
            const QColor before = swatch->color;
            QTest::mouseClick(swatch, Qt::RightButton);
            QColor opened;
            whenModal<QColorDialog>([&](QColorDialog* dialog) {
                opened = dialog->currentColor();
                dialog->setCurrentColor(QColor(1, 2, 3));
                name[0] == 'c' ? dialog->reject() : dialog->accept();
            });
            QTest::mouseClick(swatch, Qt::LeftButton);
            QCOMPARE(opened, before);
            QCOMPARE(swatch->color, name[0] == 'c' ? before : QColor(1, 2, 3));
            const QImage painted = swatch->grab().toImage();
            QCOMPARE(painted.pixelColor(painted.rect().center()), swatch->color);
            QCOMPARE(painted.pixelColor(0, 0), QColor(Qt::red));
            verifyControlsShowStyle();
        }
    }

    // A moment after each change (and then no more) the preview shows the export's entries as the
    // writer draws them: scaled from the rendering, or with sharp small sizes drawn at their own
    // size; the dark ground beside the light one, or under it when the two do not fit side by side.
    void sizePreview() {
        clearSettings();
        showForm();
        const auto shown = [this](int i) { return form->sizePreview()->pictures().value(i).image; };
        // An empty document in the start style is shown too: the default entries, as a hint while
        // nothing is visible, then on a light and a dark ground.
        QTRY_COMPARE(form->sizePreview()->pictures().size(), 4);
        const auto darkAt = [this](int x, int y) {
            const QImage shown = form->sizePreview()->grab().toImage();
            return shown.pixelColor(x < 0 ? shown.width() + x : x,
                                    y < 0 ? shown.height() + y : y) == QColor(0x2b, 0x2b, 0x2b);
        };
        QVERIFY(!darkAt(-1, -1));
        QImage dot(16, 16, QImage::Format_ARGB32);
        dot.fill(Qt::transparent);
        QVERIFY(nothingVisible({{dot, "16", {}}, {dot, "16", {}}}));
        dot.setPixel(15, 15, qRgba(0, 0, 0, 1));
        QVERIFY(!nothingVisible({{QImage(), "", {}}, {dot, "16", {}}}));
        QVERIFY(dropFiles(canvas(), {150, 150}, {files.at(1)}));
        get<QCheckBox>("borderCheckBox")->click();
        QTRY_COMPARE(shown(0), smoothScaled(renderDocumentIcon(doc()), 16));
        QVERIFY(!form->findChild<PreviewScheduler*>()->findChild<QTimer*>()->isActive());
        QCOMPARE(shown(3).size(), QSize(48, 48));
        // Windows' sizes, the small ones drawn sharp, on the largest canvas.
        whenModal<IconSizesDialog>([](IconSizesDialog* dialog) {
            click(dialog, "windowsButton");
            child<QCheckBox>(dialog, "sharpCheckBox")->setChecked(true);
            click(dialog, "okButton");
        });
        form->chooseIconSizes();
        get<QComboBox>("canvasSizeComboBox")->setCurrentIndex(2);
        QTRY_COMPARE(shown(1), renderSharpIcon(doc().style, doc().layers, 3, 20));
        QCOMPARE(form->sizePreview()->pictures().size(), 9);
        QCOMPARE(shown(7).size(), QSize(96, 96));
        SizePreview* preview = form->sizePreview();
        preview->resize(preview->sizeHint().width(),
                        preview->heightAt(preview->sizeHint().width()));
        QVERIFY(darkAt(-1, -1));
        const int wide = preview->width();
        preview->resize(wide / 2 + 10, preview->heightAt(wide / 2 + 10));
        QCOMPARE(preview->height(), 2 * preview->heightAt(wide));
        QCOMPARE(std::tuple(darkAt(0, 0), darkAt(0, -1)), std::tuple(false, true));
    }
};

QTEST_MAIN(TestForm)
#include "tst_form.moc"
