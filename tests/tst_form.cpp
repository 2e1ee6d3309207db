#include "canvas/kbwidget.h"
#include "form/brasswickform.h"
#include "form/kbcolorwidget.h"
#include "model/localglobal.h"
#include "model/stylestore.h"
#include "support/modal.h"
#include "support/shownform.h"
#include "support/testsupport.h"
#include "support/tracelines.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include <functional>

using LocalGlobal::iconStyle;
using TestSupport::setSetting;
using TestSupport::settingValue;

namespace {

struct Form : TestSupport::ShownForm {
    QImage canvasPixels() { return canvas()->grab().toImage(); }

    // Brings the page holding `widget` to the front, as a user has to before touching it.
    void reveal(QWidget* widget) {
        auto* tabs = get<QTabWidget>("tabWidget");
        for (int page = 0; page < tabs->count(); ++page) {
            if (tabs->widget(page)->isAncestorOf(widget))
                tabs->setCurrentIndex(page);
        }
    }

    // Shown as far as the form decides: the tab widget hides the pages that are not in front.
    bool shown(QWidget* widget) {
        auto* tabs = get<QTabWidget>("tabWidget");
        for (int page = 0; page < tabs->count(); ++page) {
            if (tabs->widget(page)->isAncestorOf(widget))
                return widget->isVisibleTo(tabs->widget(page));
        }
        return widget->isVisibleTo(&form);
    }
    bool shown(const QString& name) { return shown(get<QWidget>(name.toLatin1().constData())); }

    void click(const char* name) {
        QWidget* widget = get<QWidget>(name);
        reveal(widget);
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
    }

    // Chooses a list item with the keyboard: Home, then Down to the wanted row.
    void choose(const char* name, int index) {
        auto* box = get<QComboBox>(name);
        reveal(box);
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(box, Qt::Key_Down);
    }

    void type(const char* name, const QString& text) {
        QWidget* widget = get<QWidget>(name);
        reveal(widget);
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(widget, text);
        QTest::keyClick(widget, Qt::Key_Return);
    }

    void nextFont() {
        auto* box = get<QFontComboBox>("badgeFontComboBox");
        reveal(box);
        QTest::keyClick(box, Qt::Key_Down);
    }

    // One user step: "click", "choose N", "type TEXT" or "nextFont" on the named control.
    void perform(const QString& step) {
        const QStringList words = step.split(QLatin1Char(' '));
        const QByteArray control = words.at(0).toLatin1();
        const QString action = words.value(1);
        const QString argument = words.mid(2).join(QLatin1Char(' '));
        if (action == QLatin1String("click"))
            click(control.constData());
        else if (action == QLatin1String("choose"))
            choose(control.constData(), argument.toInt());
        else if (action == QLatin1String("type"))
            type(control.constData(), argument);
        else
            nextFont();
    }
};

// Records the measured badge text at every paint of the widget it watches.
struct PaintProbe : QObject {
    int widthAtPaint = -1;
    int heightAtPaint = -1;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            widthAtPaint = iconStyle.badgeTextWidth;
            heightAtPaint = iconStyle.badgeTextHeight;
        }
        return false;
    }
};

QVariant styleField(const QString& name) {
    const std::map<QString, std::function<QVariant()>> fields = {
        {"shape", [] { return QVariant(iconStyle.shape); }},
        {"radius", [] { return QVariant(iconStyle.radius); }},
        {"useBackground", [] { return QVariant(iconStyle.useBackground); }},
        {"backStyle", [] { return QVariant(iconStyle.backStyle); }},
        {"backOrientation", [] { return QVariant(iconStyle.backOrientation); }},
        {"useBack3dEffect", [] { return QVariant(iconStyle.useBack3dEffect); }},
        {"useBorder", [] { return QVariant(iconStyle.useBorder); }},
        {"borderWidth", [] { return QVariant(iconStyle.borderWidth); }},
        {"useGlossy", [] { return QVariant(iconStyle.useGlossy); }},
        {"clipImage", [] { return QVariant(iconStyle.clipImage); }},
        {"useBadge", [] { return QVariant(iconStyle.useBadge); }},
        {"badgeText", [] { return QVariant(iconStyle.badgeText); }},
        {"badgeTextSize", [] { return QVariant(iconStyle.badgeTextSize); }},
        {"badgeTextFont", [] { return QVariant(iconStyle.badgeTextFont.family()); }},
        {"badgeLineWidth", [] { return QVariant(iconStyle.badgeLineWidth); }},
        {"badgeOrientation", [] { return QVariant(iconStyle.badgeOrientation); }},
        {"badgeOrientationDiagonal", [] { return QVariant(iconStyle.badgeOrientationDiagonal); }},
        {"canvasSizeIndex", [] { return QVariant(iconStyle.canvasSizeIndex); }},
    };
    return fields.at(name)();
}

// A picture layer covering the whole canvas, so clipping to the shape shows.
void addCanvasFillingPicture() {
    LocalGlobal::LImageData.append(TestSupport::solidObject(QRect(0, 0, 300, 300), Qt::darkGreen));
}

} // namespace

class TestForm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::initFormTestEnvironment(); }
    void init() {
        TestSupport::clearSettings();
        LocalGlobal::LImageData.clear();
    }

    void firstStartShowsStartValues() {
        Form f;
        QCOMPARE(f.get<QComboBox>("shapeComboBox")->currentText(), QStringLiteral("Rectangle"));
        QCOMPARE(f.get<QSpinBox>("radiusSpinBox")->value(), 50);
        QCOMPARE(f.get<QComboBox>("backStyleComboBox")->currentText(), QStringLiteral("Gradient"));
        QCOMPARE(f.get<QComboBox>("backOrientationComboBox")->currentText(),
                 QStringLiteral("Top - Down"));
        QCOMPARE(f.get<QSpinBox>("borderWidthSpinBox")->value(), 5);
        QCOMPARE(f.get<QLineEdit>("badgeTextLineEdit")->text(), QStringLiteral("50% OFF"));
        QCOMPARE(f.get<QSpinBox>("badgeTextSizeSpinBox")->value(), 18);
        QCOMPARE(f.get<QSpinBox>("badgeLineWidthSpinBox")->value(), 3);
        QCOMPARE(f.get<QComboBox>("badgeOrientationComboBox")->currentText(),
                 QStringLiteral("Diagonal"));
        auto* position = f.get<QComboBox>("badgePositionComboBox");
        QCOMPARE(position->count(), 4);
        QCOMPARE(position->currentText(), QStringLiteral("Bottom Right"));
        QCOMPARE(f.get<QComboBox>("canvasSizeComboBox")->currentText(), QStringLiteral("256x256"));
        QCOMPARE(f.get<QComboBox>("outputComboBox")->currentText(), QStringLiteral("Windows"));
        QCOMPARE(f.get<QTabWidget>("tabWidget")->currentIndex(), 0);
        QCOMPARE(f.canvas()->getSizeIndex(), 1);
        QCOMPARE(f.get<KBColorWidget>("backColor2Widget")->color, QColor(0xFF, 0xF2, 0x00));
        QCOMPARE(f.get<KBColorWidget>("badgeBackColorWidget")->color, QColor(0xEB, 0x33, 0x24));
        for (const char* box : {"backCheckBox", "_3dEffectCheckBox", "borderCheckBox",
                                "glossyCheckBox", "clipImageCheckBox", "badgeCheckBox"})
            QVERIFY2(!f.get<QCheckBox>(box)->isChecked(), box);
        for (const char* hidden :
             {"radiusSpinBox", "backGroupBox", "borderGroupBox", "badgeGroupBox", "tempLabel",
              "tempLabel2", "positionXSpinBox", "selectedImageLabel", "objectTipsLabel"})
            QVERIFY2(!f.shown(f.get<QWidget>(hidden)), hidden);
        QVERIFY(f.shown(f.get<QLabel>("objectNoteLabel")));
        QVERIFY(f.shown(f.get<QLabel>("dropImageLabel")));
        for (const char* button : {"upToolButton", "downToolButton", "deleteToolButton"})
            QVERIFY2(!f.get<QToolButton>(button)->isEnabled(), button);
        QCOMPARE(f.canvas()->size(), QSize(300, 300));
    }

    void controlWritesFieldAndRepaints_data() {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        const QStringList background{"backCheckBox click"};
        const QStringList badge{"badgeCheckBox click"};
        QTest::newRow("shape") << background << "shapeComboBox choose 2"
                               << "shape" << QVariant(2);
        QTest::newRow("radius") << QStringList{"backCheckBox click", "shapeComboBox choose 1"}
                                << "radiusSpinBox type 120"
                                << "radius" << QVariant(120);
        QTest::newRow("background") << QStringList() << "backCheckBox click"
                                    << "useBackground" << QVariant(true);
        QTest::newRow("back style") << background << "backStyleComboBox choose 0"
                                    << "backStyle" << QVariant(0);
        QTest::newRow("orientation") << background << "backOrientationComboBox choose 2"
                                     << "backOrientation" << QVariant(2);
        QTest::newRow("3d effect") << background << "_3dEffectCheckBox click"
                                   << "useBack3dEffect" << QVariant(true);
        QTest::newRow("border") << QStringList() << "borderCheckBox click"
                                << "useBorder" << QVariant(true);
        QTest::newRow("border width")
            << QStringList{"borderCheckBox click"} << "borderWidthSpinBox type 30"
            << "borderWidth" << QVariant(30);
        QTest::newRow("glossy") << background << "glossyCheckBox click"
                                << "useGlossy" << QVariant(true);
        QTest::newRow("clip") << QStringList{"shapeComboBox choose 2"} << "clipImageCheckBox click"
                              << "clipImage" << QVariant(true);
        QTest::newRow("badge") << QStringList() << "badgeCheckBox click"
                               << "useBadge" << QVariant(true);
        QTest::newRow("badge text") << badge << "badgeTextLineEdit type SALE TODAY"
                                    << "badgeText" << QVariant(QStringLiteral("SALE TODAY"));
        QTest::newRow("text size") << badge << "badgeTextSizeSpinBox type 40"
                                   << "badgeTextSize" << QVariant(40);
        QTest::newRow("font") << badge << "badgeFontComboBox nextFont"
                              << "badgeTextFont" << QVariant();
        QTest::newRow("line width") << badge << "badgeLineWidthSpinBox type 12"
                                    << "badgeLineWidth" << QVariant(12);
        QTest::newRow("badge orientation") << badge << "badgeOrientationComboBox choose 1"
                                           << "badgeOrientation" << QVariant(1);
        QTest::newRow("badge position") << badge << "badgePositionComboBox choose 0"
                                        << "badgeOrientationDiagonal" << QVariant(0);
        QTest::newRow("canvas size")
            << QStringList{"borderCheckBox click"} << "canvasSizeComboBox choose 2"
            << "canvasSizeIndex" << QVariant(3);
    }

    void controlWritesFieldAndRepaints() {
        QFETCH(QStringList, setup);
        QFETCH(QString, step);
        QFETCH(QString, field);
        QFETCH(QVariant, expected);
        if (field == QLatin1String("clipImage"))
            addCanvasFillingPicture();
        Form f;
        for (const QString& before : setup)
            f.perform(before);
        const QVariant old = styleField(field);
        const QImage before = f.canvasPixels();

        f.perform(step);

        if (expected.isValid())
            QCOMPARE(styleField(field), expected);
        else
            QVERIFY(styleField(field) != old);
        QVERIFY2(f.canvasPixels() != before, "the canvas did not change");
        if (field == QLatin1String("canvasSizeIndex"))
            QCOMPARE(f.canvas()->getSizeIndex(), 3);
    }

    void dependentControlsFollow_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        const QStringList radius{"radiusLabel", "radiusSpinBox"};
        const QStringList gradient{"backColor2Label", "backColor2Widget", "backOrientationLabel",
                                   "backOrientationComboBox"};
        const QStringList first{"backColor1Label", "backColor1Widget"};
        QTest::newRow("rectangle") << "shapeComboBox choose 0" << QStringList() << radius;
        QTest::newRow("rounded") << "shapeComboBox choose 1" << radius << QStringList();
        QTest::newRow("circle") << "shapeComboBox choose 2" << QStringList() << radius;
        QTest::newRow("solid") << "backStyleComboBox choose 0" << first << gradient;
        QTest::newRow("gradient") << "backStyleComboBox choose 1" << first + gradient
                                  << QStringList();
    }

    void dependentControlsFollow() {
        QFETCH(QString, step);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        Form f;
        f.click("backCheckBox");
        f.choose("shapeComboBox", 1);
        f.choose("backStyleComboBox", 0);
        f.perform(step);
        for (const QString& name : shown)
            QVERIFY2(f.shown(name), qPrintable(name));
        for (const QString& name : hidden)
            QVERIFY2(!f.shown(name), qPrintable(name));
    }

    void checkBoxesShowTheirGroups_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("group");
        for (const char* part : {"back", "border", "badge"})
            QTest::newRow(part) << QString::fromLatin1(part) + "CheckBox"
                                << QString::fromLatin1(part) + "GroupBox";
    }

    void checkBoxesShowTheirGroups() {
        QFETCH(QString, box);
        QFETCH(QString, group);
        Form f;
        QWidget* groupBox = f.get<QGroupBox>(group.toLatin1());
        f.click(box.toLatin1());
        QVERIFY(f.shown(groupBox));
        const QImage checked = f.canvasPixels();
        f.click(box.toLatin1());
        QVERIFY(!f.shown(groupBox));
        QVERIFY(f.canvasPixels() != checked);
    }

    void badgeOrientationKeepsBothPositions() {
        Form f;
        f.click("badgeCheckBox");
        auto* position = f.get<QComboBox>("badgePositionComboBox");
        f.choose("badgePositionComboBox", 0);
        QCOMPARE(iconStyle.badgeOrientationDiagonal, 0);

        f.choose("badgeOrientationComboBox", 1);
        QCOMPARE(position->count(), 2);
        QCOMPARE(position->itemText(0), QStringLiteral("Bottom"));
        QCOMPARE(position->currentText(), QStringLiteral("Top"));
        QCOMPARE(iconStyle.badgeOrientationDiagonal, 0);
        QCOMPARE(iconStyle.badgeOrientationHorizontal, 1);
        f.choose("badgePositionComboBox", 0);
        QCOMPARE(iconStyle.badgeOrientationHorizontal, 0);

        f.choose("badgeOrientationComboBox", 0);
        QCOMPARE(position->count(), 4);
        QCOMPARE(position->currentText(), QStringLiteral("Top Left"));
        QCOMPARE(iconStyle.badgeOrientationDiagonal, 0);
        QCOMPARE(iconStyle.badgeOrientationHorizontal, 0);
    }

    void textSizeAndFontRules() {
        Form f;
        f.click("badgeCheckBox");
        QCOMPARE(iconStyle.badgeTextFont.pixelSize(), 18);
        QCOMPARE(iconStyle.badgeTextFont.weight(), QFont::Bold);

        f.type("badgeTextSizeSpinBox", QStringLiteral("30"));
        QCOMPARE(iconStyle.badgeTextFont.pixelSize(), 30);
        QCOMPARE(iconStyle.badgeTextFont.weight(), QFont::Bold);

        const QString family = iconStyle.badgeTextFont.family();
        f.nextFont();
        QVERIFY(iconStyle.badgeTextFont.family() != family);
        QCOMPARE(iconStyle.badgeTextFont.weight(), QFont::Bold);
        QCOMPARE(iconStyle.badgeTextFont.pixelSize(), 18); // the start pixel size comes back

        f.type("badgeTextSizeSpinBox", QStringLiteral("31"));
        QCOMPARE(iconStyle.badgeTextFont.pixelSize(), 31);
    }

    void badgeTextMeasuredBeforeRepaint() {
        Form f;
        f.click("badgeCheckBox");
        PaintProbe probe;
        f.canvas()->installEventFilter(&probe);

        const int shortWidth = iconStyle.badgeTextWidth;
        const int startHeight = iconStyle.badgeTextHeight;
        f.type("badgeTextLineEdit", QStringLiteral("A MUCH LONGER BADGE TEXT"));
        QVERIFY(iconStyle.badgeTextWidth > shortWidth);
        QCOMPARE(probe.widthAtPaint, iconStyle.badgeTextWidth);

        f.type("badgeTextSizeSpinBox", QStringLiteral("60"));
        QVERIFY(iconStyle.badgeTextHeight > startHeight);
        QCOMPARE(probe.heightAtPaint, iconStyle.badgeTextHeight);
        QCOMPARE(probe.widthAtPaint, iconStyle.badgeTextWidth);

        // The height follows the text size alone, not the badge font.
        const int height = iconStyle.badgeTextHeight;
        f.nextFont();
        QCOMPARE(iconStyle.badgeTextHeight, height);
        QCOMPARE(probe.widthAtPaint, iconStyle.badgeTextWidth);
        f.canvas()->removeEventFilter(&probe);
    }

    void firstSaveWritesEveryKey() {
        { Form f; }
        const QStringList keys = StyleStore::storedKeys();
        QCOMPARE(keys.size(), 25);
        for (const QString& key : keys)
            QVERIFY2(settingValue(key).isValid(), qPrintable(key));
        QCOMPARE(settingValue("Container/backColor2").toString(), QStringLiteral("#fff200"));
        QCOMPARE(settingValue("Container/borderColor").toString(), QStringLiteral("#3282f6"));
        QCOMPARE(settingValue("Badge/badgeText").toString(), QStringLiteral("50% OFF"));
        QCOMPARE(settingValue("Canvas/canvasSize").toInt(), 1);
        QFont font;
        QVERIFY(font.fromString(settingValue("Badge/badgeTextFont").toString()));
        QCOMPARE(font.pixelSize(), 18);
    }

    void storedStyleComesBack() {
        TestSupport::setSettings({{"Container/shape", 1},
                                  {"Container/radius", 77},
                                  {"Container/useBackground", true},
                                  {"Container/backStyle", 0},
                                  {"Container/backOrientation", 6},
                                  {"Container/backColor1", "#123456"},
                                  {"Container/useBorder", true},
                                  {"Container/borderWidth", 9},
                                  {"Badge/useBadge", true},
                                  {"Badge/badgeText", "Hello, world"},
                                  {"Badge/badgeTextColor", "#ABCDEF"},
                                  {"Badge/badgeTextSize", 25},
                                  {"Badge/badgeLineWidth", 7},
                                  {"Badge/badgeOrientation", 1},
                                  {"Badge/badgeOrientationHorizontal", 0},
                                  {"Canvas/canvasSize", 2}});
        {
            Form f;
            QCOMPARE(f.get<QComboBox>("shapeComboBox")->currentIndex(), 1);
            QVERIFY(f.shown(f.get<QSpinBox>("radiusSpinBox")));
            QCOMPARE(f.get<QSpinBox>("radiusSpinBox")->value(), 77);
            QVERIFY(f.shown(f.get<QGroupBox>("backGroupBox")));
            QVERIFY(!f.shown(f.get<QWidget>("backColor2Widget")));
            QCOMPARE(f.get<QComboBox>("backOrientationComboBox")->currentIndex(), 6);
            QCOMPARE(f.get<KBColorWidget>("backColor1Widget")->color, QColor(0x12, 0x34, 0x56));
            QCOMPARE(f.get<QLineEdit>("badgeTextLineEdit")->text(), QStringLiteral("Hello, world"));
            QCOMPARE(iconStyle.badgeTextColor, QColor(0xAB, 0xCD, 0xEF));
            QCOMPARE(iconStyle.badgeTextFont.pixelSize(), 25);
            QCOMPARE(f.get<QComboBox>("badgePositionComboBox")->currentText(),
                     QStringLiteral("Bottom"));
            QCOMPARE(f.canvas()->getSizeIndex(), 2);
            f.choose("canvasSizeComboBox", 2);
        }
        QCOMPARE(settingValue("Canvas/canvasSize").toInt(), 3);
        QCOMPARE(settingValue("Container/backColor1").toString(), QStringLiteral("#123456"));
        QCOMPARE(settingValue("Badge/badgeTextColor").toString(), QStringLiteral("#abcdef"));
        QCOMPARE(settingValue("Badge/badgeText").toString(), QStringLiteral("Hello, world"));
        QCOMPARE(settingValue("Container/radius").toInt(), 77);
        QCOMPARE(settingValue("Badge/badgeOrientationHorizontal").toInt(), 0);
        QCOMPARE(settingValue("Badge/badgeOrientationDiagonal").toInt(), 3);
    }

    void partialStoreTakesDefaults_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("only the text") << "Badge/badgeText" << QVariant("Only me");
        QTest::newRow("empty font") << "Badge/badgeTextFont" << QVariant("");
    }

    void partialStoreTakesDefaults() {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        setSetting(key, value);
        IconStyle style;
        style.shape = 2;
        style.badgeTextFont = QFont(QStringLiteral("Nimbus Mono PS"), 40);
        StyleStore::loadStyle(style);
        const IconStyle start;
        QCOMPARE(style.badgeText, key == QLatin1String("Badge/badgeText")
                                      ? QStringLiteral("Only me")
                                      : start.badgeText);
        QCOMPARE(style.badgeTextFont, QFont());
        QCOMPARE(style.shape, 0);
        QCOMPARE(style.backColor1, start.backColor1);
        QCOMPARE(style.badgeOrientationDiagonal, 3);
        QCOMPARE(style.canvasSizeIndex, 1);
    }

    // Every stored value is untrusted: unusable text keeps the start value, numbers outside a
    // choice list become its first choice, lengths stay inside their control's range.
    void untrustedStoredValues_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        const auto row = [](const char* name, const char* key, const QVariant& value,
                            const char* field, const QVariant& expected) {
            QTest::newRow(name) << QString::fromLatin1(key) << value << QString::fromLatin1(field)
                                << expected;
        };
        row("canvas 0", "Canvas/canvasSize", 0, "canvasSizeIndex", 1);
        row("canvas 4", "Canvas/canvasSize", 4, "canvasSizeIndex", 1);
        row("canvas -1", "Canvas/canvasSize", -1, "canvasSizeIndex", 1);
        row("canvas text", "Canvas/canvasSize", "big", "canvasSizeIndex", 1);
        row("shape 3", "Container/shape", 3, "shape", 0);
        row("back style 9", "Container/backStyle", 9, "backStyle", 0);
        row("orientation 8", "Container/backOrientation", 8, "backOrientation", 0);
        row("badge orientation -2", "Badge/badgeOrientation", -2, "badgeOrientation", 0);
        row("diagonal 4", "Badge/badgeOrientationDiagonal", 4, "badgeOrientationDiagonal", 0);
        row("radius huge", "Container/radius", 1000000, "radius", 360);
        row("border negative", "Container/borderWidth", -40, "borderWidth", 0);
        row("line width 99", "Badge/badgeLineWidth", 99, "badgeLineWidth", 20);
        row("text size garbage", "Badge/badgeTextSize", "x", "badgeTextSize", 18);
    }

    void untrustedStoredValues() {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, field);
        QFETCH(QVariant, expected);
        setSetting(key, value);
        Form f;
        QCOMPARE(styleField(field), expected);
        for (const char* list :
             {"shapeComboBox", "backStyleComboBox", "backOrientationComboBox",
              "badgeOrientationComboBox", "badgePositionComboBox", "canvasSizeComboBox"})
            QVERIFY2(f.get<QComboBox>(list)->currentIndex() >= 0, list);
        QVERIFY(f.canvas()->getSizeIndex() >= 1 && f.canvas()->getSizeIndex() <= 3);
    }

    void garbageInEveryKey() {
        for (const QString& key : StyleStore::storedKeys())
            setSetting(key, QStringLiteral("#zz%%garbage,\"\\"));
        {
            Form f;
            const IconStyle start;
            QCOMPARE(iconStyle.backColor1, start.backColor1);
            QCOMPARE(iconStyle.badgeBackColor, start.badgeBackColor);
            QCOMPARE(iconStyle.radius, start.radius);
            QCOMPARE(iconStyle.canvasSizeIndex, 1);
            QCOMPARE(f.canvas()->getSizeIndex(), 1);
            QImage icon;
            f.canvas()->renderIcon(icon);
            QCOMPARE(icon.size(), QSize(256, 256));
        }
        // What the next start reads is sound again.
        IconStyle style;
        StyleStore::loadStyle(style);
        QCOMPARE(style.backColor2, IconStyle().backColor2);
        QCOMPARE(settingValue("Container/backColor2").toString(), QStringLiteral("#fff200"));
    }

    void colourDialog_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("accepted with a change") << "accept" << QColor(Qt::blue);
        QTest::newRow("accepted unchanged") << "keep" << QColor(0xFF, 0xFF, 0xFF);
        QTest::newRow("cancelled") << "cancel" << QColor(0xFF, 0xFF, 0xFF);
    }

    void colourDialog() {
        QFETCH(QString, answer);
        QFETCH(QColor, expected);
        Form f;
        f.click("backCheckBox");
        f.choose("backStyleComboBox", 0);
        auto* swatch = f.get<KBColorWidget>("backColor1Widget");
        QSignalSpy updates(swatch, &KBColorWidget::colorUpdated);
        const QImage before = f.canvasPixels();
        // Each "updateData" trace line is one synchronous repaint asked by the form.
        const TestSupport::TraceLines repaints("glimmerdock.canvas");

        TestSupport::whenModal<QColorDialog>([answer](QColorDialog* dialog) {
            QCOMPARE(dialog->currentColor(), QColor(0xFF, 0xFF, 0xFF));
            if (answer == QLatin1String("accept"))
                dialog->setCurrentColor(Qt::blue);
            if (answer == QLatin1String("cancel"))
                dialog->reject();
            else
                dialog->accept();
        });
        f.click("backColor1Widget");

        QCOMPARE(swatch->color, expected);
        QCOMPARE(iconStyle.backColor1, expected);
        QCOMPARE(updates.count(), answer == QLatin1String("cancel") ? 0 : 1);
        QCOMPARE(repaints.count("updateData"), answer == QLatin1String("cancel") ? 0 : 1);
        QCOMPARE(f.canvasPixels() != before, answer == QLatin1String("accept"));
        QCOMPARE(swatch->grab().toImage().pixelColor(20, 10), expected);
    }

    void otherButtonsOpenNoDialog_data() {
        QTest::addColumn<int>("button");
        QTest::newRow("right") << int(Qt::RightButton);
        QTest::newRow("middle") << int(Qt::MiddleButton);
    }

    void otherButtonsOpenNoDialog() {
        QFETCH(int, button);
        KBColorWidget swatch;
        swatch.setFixedSize(40, 20);
        swatch.show();
        QVERIFY(QTest::qWaitForWindowExposed(&swatch));
        QSignalSpy updates(&swatch, &KBColorWidget::colorUpdated);
        bool sawDialog = false;
        QTimer::singleShot(20, [&sawDialog] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                sawDialog = true;
                dialog->reject();
            }
        });
        QTest::mouseClick(&swatch, Qt::MouseButton(button), {}, QPoint(10, 10));
        QTest::qWait(60);
        QVERIFY(!sawDialog);
        QCOMPARE(updates.count(), 0);
        const QImage pixels = swatch.grab().toImage();
        QCOMPARE(pixels.pixelColor(20, 10), QColor(Qt::white));
        QCOMPARE(pixels.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(pixels.pixelColor(39, 19), QColor(Qt::red));
    }
};

QTEST_MAIN(TestForm)
#include "tst_form.moc"
