#include "app/mainwindow.h"
#include "canvas/kbwidget.h"
#include "form/brasswickform.h"
#include "model/localglobal.h"
#include "output/exportpngdialog.h"
#include "support/dialogdriver.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <functional>
#include <memory>

using LocalGlobal::iconStyle;

namespace {

using TestSupport::setSetting;
using TestSupport::settingValue;

// What a stored key may hold once the program has written it: checked here on its own, from what
// the controls offer, not from the program's own table.
struct KeyRule {
    enum Kind { Int, Bool, Colour, Font, Text };
    const char* key;
    Kind kind;
    int min = 0;
    int max = 0;
};

// The badge is a band across a corner of the icon: no sane text is longer than this.
constexpr int badgeTextLimit = 256;

const KeyRule styleKeys[] = {
    {"Container/shape", KeyRule::Int, 0, 2},
    {"Container/radius", KeyRule::Int, 0, 360},
    {"Container/useBackground", KeyRule::Bool},
    {"Container/backStyle", KeyRule::Int, 0, 1},
    {"Container/backOrientation", KeyRule::Int, 0, 7},
    {"Container/backColor1", KeyRule::Colour},
    {"Container/backColor2", KeyRule::Colour},
    {"Container/useBack3dEffect", KeyRule::Bool},
    {"Container/useBorder", KeyRule::Bool},
    {"Container/borderColor", KeyRule::Colour},
    {"Container/borderWidth", KeyRule::Int, 0, 360},
    {"Container/useGlossy", KeyRule::Bool},
    {"Container/clipImage", KeyRule::Bool},
    {"Badge/useBadge", KeyRule::Bool},
    {"Badge/badgeText", KeyRule::Text, 0, badgeTextLimit},
    {"Badge/badgeTextColor", KeyRule::Colour},
    {"Badge/badgeTextSize", KeyRule::Int, 0, 360},
    {"Badge/badgeTextFont", KeyRule::Font},
    {"Badge/badgeBackColor", KeyRule::Colour},
    {"Badge/badgeBorderColor", KeyRule::Colour},
    {"Badge/badgeLineWidth", KeyRule::Int, 0, 20},
    {"Badge/badgeOrientation", KeyRule::Int, 0, 1},
    {"Badge/badgeOrientationHorizontal", KeyRule::Int, 0, 1},
    {"Badge/badgeOrientationDiagonal", KeyRule::Int, 0, 3},
    {"Canvas/canvasSize", KeyRule::Int, 1, 3},
};

// Why a stored value breaks its rule, or an empty text when it keeps it.
QString breach(const KeyRule& rule, const QVariant& value) {
    if (!value.isValid())
        return QStringLiteral("missing");
    const QString text = value.toString();
    switch (rule.kind) {
    case KeyRule::Int: {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok || number < rule.min || number > rule.max)
            return QStringLiteral("number out of range: ") + text.left(40);
        return {};
    }
    case KeyRule::Bool:
        return text == QLatin1String("true") || text == QLatin1String("false")
                   ? QString()
                   : QStringLiteral("not a truth value: ") + text.left(40);
    case KeyRule::Colour:
        return QRegularExpression(QStringLiteral("^#[0-9a-f]{6}$")).match(text).hasMatch()
                   ? QString()
                   : QStringLiteral("not a colour: ") + text.left(40);
    case KeyRule::Font: {
        QFont font;
        if (!font.fromString(text))
            return QStringLiteral("not a font: ") + text.left(40);
        if (font.pixelSize() > 360 || font.pointSize() > 360)
            return QStringLiteral("font too large: ") + text.left(40);
        return {};
    }
    case KeyRule::Text:
        return text.size() <= rule.max ? QString()
                                       : QStringLiteral("text of %1 characters").arg(text.size());
    }
    return {};
}

QVariant garbageValue(const QString& kind) {
    if (kind == QLatin1String("bad colour"))
        return QStringLiteral("#zzz");
    if (kind == QLatin1String("words"))
        return QStringLiteral("twelve, or so");
    if (kind == QLatin1String("largest int"))
        return INT_MAX;
    if (kind == QLatin1String("smallest int"))
        return INT_MIN;
    if (kind == QLatin1String("overflowing number"))
        return QStringLiteral("99999999999999999999999");
    if (kind == QLatin1String("huge double"))
        return 1e300;
    if (kind == QLatin1String("list"))
        return QStringList{QStringLiteral("1"), QStringLiteral("#ffffff"), QStringLiteral("x")};
    if (kind == QLatin1String("bytes"))
        return QByteArray("\x00\xff\xfe\x80garbage\x00", 12);
    if (kind == QLatin1String("size"))
        return QSize(-3, 1000000);
    if (kind == QLatin1String("empty"))
        return QString();
    if (kind == QLatin1String("unparsable font"))
        return QStringLiteral("Sans,abc,-7,,,,zz");
    if (kind == QLatin1String("font of a million points"))
        return QStringLiteral("Sans,1000000,-1,5,700,0,0,0,0,0");
    if (kind == QLatin1String("font of a million pixels"))
        return QStringLiteral("Sans,-1,1000000,5,700,0,0,0,0,0");
    if (kind == QLatin1String("10 MB text"))
        return QString(10 * 1024 * 1024, QLatin1Char('W'));
    return QStringLiteral("%1 times two").arg(kind);
}

const char* const garbageKinds[] = {
    "bad colour", "words", "largest int", "smallest int", "overflowing number", "huge double",
    "list",       "bytes", "size",        "empty",        "unparsable font",
};

// Every list of the form has a current item, every number a control shows is the record's, the
// canvas is sized and a render comes out whole.
void checkUsable(BrasswickForm* form) {
    for (QComboBox* list : form->findChildren<QComboBox*>()) {
        QVERIFY2(list->currentIndex() >= 0 && list->currentIndex() < list->count(),
                 qPrintable(list->objectName()));
    }
    const std::pair<const char*, int> numbers[] = {
        {"radiusSpinBox", iconStyle.radius},
        {"borderWidthSpinBox", iconStyle.borderWidth},
        {"badgeTextSizeSpinBox", iconStyle.badgeTextSize},
        {"badgeLineWidthSpinBox", iconStyle.badgeLineWidth},
    };
    for (const auto& [name, value] : numbers)
        QCOMPARE(form->findChild<QSpinBox*>(QString::fromLatin1(name))->value(), value);
    QCOMPARE(form->findChild<QComboBox*>(QStringLiteral("shapeComboBox"))->currentIndex(),
             iconStyle.shape);
    QCOMPARE(
        form->findChild<QComboBox*>(QStringLiteral("badgeOrientationComboBox"))->currentIndex(),
        iconStyle.badgeOrientation);
    QVERIFY(form->findChild<QLineEdit*>(QStringLiteral("badgeTextLineEdit"))->text().size() <=
            badgeTextLimit);
    QVERIFY(iconStyle.badgeText.size() <= badgeTextLimit);
    QVERIFY(iconStyle.badgeTextFont.pixelSize() <= 360 &&
            iconStyle.badgeTextFont.pointSize() <= 360);

    auto* canvas = form->findChild<KBWidget*>(QStringLiteral("widget"));
    const int k = canvas->getSizeIndex();
    QVERIFY(k >= 1 && k <= 3);
    QCOMPARE(form->findChild<QComboBox*>(QStringLiteral("canvasSizeComboBox"))->currentIndex(),
             k - 1);
    QImage icon;
    QCOMPARE(canvas->renderIcon(icon).size(), QSize(256 * k, 256 * k));
}

// What the program left in the store is sound for the next start.
void checkStored() {
    for (const KeyRule& rule : styleKeys) {
        const QString why = breach(rule, settingValue(QString::fromLatin1(rule.key)));
        QVERIFY2(why.isEmpty(), qPrintable(QString::fromLatin1(rule.key) + ": " + why));
    }
}

// Largest edge length the export list offers.
constexpr int largestResolution = 1024;

// "64x64" with the same number twice, in the range the list offers; 0 for anything else.
int resolutionOfRow(const QString& text) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^(\\d+)x\\1$")).match(text);
    const int size = match.hasMatch() ? match.captured(1).toInt() : 0;
    return size <= largestResolution ? size : 0;
}

// Why the stored export list could not be the one a dialog wrote, or an empty text.
QString exportListBreach() {
    const QVariant stored = settingValue(QStringLiteral("ExportSize/exportSizeCount"));
    bool ok = false;
    const int count = stored.toInt(&ok);
    if (!ok || count < 0 || count > largestResolution)
        return QStringLiteral("count ") + stored.toString().left(40);
    QSet<int> seen;
    for (int i = 0; i < count; ++i) {
        const int size = settingValue(QStringLiteral("ExportSize/exportSize%1").arg(i)).toInt(&ok);
        if (!ok || size < 1 || size > largestResolution || seen.contains(size))
            return QStringLiteral("entry %1").arg(i);
        seen.insert(size);
    }
    return {};
}

} // namespace

// A settings store is only text on disk: whatever it holds, the program starts with a form the
// user can work with and leaves a store that the next start reads as it was meant.
class TestBadSettings : public QObject {
    Q_OBJECT

    // Starts the real window on the store as it is, lets `use` work with its form, closes it.
    void runProgram(const std::function<void(BrasswickForm*)>& use) {
        auto window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* form = window->findChild<BrasswickForm*>();
        QVERIFY(form);
        use(form);
        window->close();
    }

private Q_SLOTS:
    void initTestCase() {
        TestSupport::initTestEnvironment();
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }
    void init() { TestSupport::clearSettings(); }

    void garbageInOneKey_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("kind");
        for (const KeyRule& rule : styleKeys) {
            for (const char* kind : garbageKinds)
                QTest::addRow("%s %s", rule.key, kind)
                    << QString::fromLatin1(rule.key) << QString::fromLatin1(kind);
        }
        for (const char* kind :
             {"font of a million points", "font of a million pixels", "10 MB text"})
            QTest::addRow("Badge/badgeTextFont %s", kind)
                << QStringLiteral("Badge/badgeTextFont") << QString::fromLatin1(kind);
        for (const char* key : {"Badge/badgeText", "Container/backColor1", "Canvas/canvasSize"})
            QTest::addRow("%s 10 MB text", key)
                << QString::fromLatin1(key) << QStringLiteral("10 MB text");
    }

    void garbageInOneKey() {
        QFETCH(QString, key);
        QFETCH(QString, kind);
        setSetting(key, garbageValue(kind));
        runProgram([](BrasswickForm* form) { checkUsable(form); });
        if (QTest::currentTestFailed())
            return;
        checkStored();
    }

    // Every key spoilt at once, each kind in turn; a second start on what the first one saved
    // shows the same style.
    void garbageEverywhere_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : garbageKinds)
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void garbageEverywhere() {
        QFETCH(QString, kind);
        for (const KeyRule& rule : styleKeys)
            setSetting(QString::fromLatin1(rule.key), garbageValue(kind));
        runProgram([](BrasswickForm* form) { checkUsable(form); });
        if (QTest::currentTestFailed())
            return;
        checkStored();
        QMap<QString, QString> saved;
        for (const KeyRule& rule : styleKeys)
            saved[QString::fromLatin1(rule.key)] =
                settingValue(QString::fromLatin1(rule.key)).toString();
        runProgram([](BrasswickForm* form) { checkUsable(form); });
        for (const KeyRule& rule : styleKeys)
            QCOMPARE(settingValue(QString::fromLatin1(rule.key)).toString(),
                     saved[QString::fromLatin1(rule.key)]);
    }

    // A text size of 0 leaves the stored font's own size in place: it must still be one the badge
    // can be drawn with.
    void hugeFontWithoutTextSize_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("points") << QStringLiteral("font of a million points");
        QTest::newRow("pixels") << QStringLiteral("font of a million pixels");
    }

    void hugeFontWithoutTextSize() {
        QFETCH(QString, kind);
        setSetting("Badge/useBadge", true);
        setSetting("Badge/badgeTextSize", 0);
        setSetting("Badge/badgeTextFont", garbageValue(kind));
        runProgram([](BrasswickForm* form) { checkUsable(form); });
        if (QTest::currentTestFailed())
            return;
        checkStored();
    }

    // The export dialog starts from the stored list: whatever that holds, it shows a list the user
    // can work with, without building a row per claimed entry, and Export stores a sound one.
    void exportListGarbage_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("kind");
        for (const char* key : {"ExportSize/exportSizeCount", "ExportSize/exportSize1"}) {
            for (const char* kind : garbageKinds)
                QTest::addRow("%s %s", key, kind)
                    << QString::fromLatin1(key) << QString::fromLatin1(kind);
            QTest::addRow("%s 10 MB text", key)
                << QString::fromLatin1(key) << QStringLiteral("10 MB text");
        }
        QTest::newRow("a million rows claimed")
            << QStringLiteral("ExportSize/exportSizeCount") << QStringLiteral("1000000");
    }

    void exportListGarbage() {
        QFETCH(QString, key);
        QFETCH(QString, kind);
        TestSupport::setSettings({{"ExportSize/exportSizeCount", 3},
                                  {"ExportSize/exportSize0", 24},
                                  {"ExportSize/exportSize1", 64},
                                  {"ExportSize/exportSize2", 24}});
        setSetting(key, kind == QLatin1String("1000000") ? QVariant(1000000) : garbageValue(kind));
        runProgram([](BrasswickForm* form) {
            auto* dialog = new ExportPNGDialog(form);
            dialog->show();
            auto* list = dialog->findChild<QListWidget*>(QStringLiteral("listWidget"));
            QVERIFY(list->count() >= 1 && list->count() <= largestResolution);
            QSet<int> sizes;
            for (int row = 0; row < list->count(); ++row) {
                const int size = resolutionOfRow(list->item(row)->text());
                QVERIFY2(size >= 1 && !sizes.contains(size), qPrintable(list->item(row)->text()));
                sizes.insert(size);
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("exportButton")),
                              Qt::LeftButton);
        });
        const QString why = exportListBreach();
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    // The remembered folders only say where the Go button's file dialog starts: whatever they
    // hold, the dialog opens, the user picks a folder, the files are written there, and that
    // folder is what is remembered next.
    void folderGarbage_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("kind");
        for (const char* key : {"Path/folderPathIcon", "Path/folderPathPNG"}) {
            for (const char* kind : garbageKinds)
                QTest::addRow("%s %s", key, kind)
                    << QString::fromLatin1(key) << QString::fromLatin1(kind);
            for (const char* kind : {"10 MB text", "missing folder", "a file"})
                QTest::addRow("%s %s", key, kind)
                    << QString::fromLatin1(key) << QString::fromLatin1(kind);
        }
    }

    void folderGarbage() {
        QFETCH(QString, key);
        QFETCH(QString, kind);
        QTemporaryDir scratch;
        QVERIFY(QFile(scratch.filePath("plain")).open(QIODevice::WriteOnly));
        QVariant value = garbageValue(kind);
        if (kind == QLatin1String("missing folder"))
            value = scratch.filePath("gone/away");
        else if (kind == QLatin1String("a file"))
            value = scratch.filePath("plain");
        setSetting(key, value);
        QTemporaryDir chosen;
        const bool icon = key.endsWith(QLatin1String("Icon"));
        runProgram([&](BrasswickForm* form) {
            form->findChild<QComboBox*>(QStringLiteral("outputComboBox"))
                ->setCurrentIndex(icon ? 0 : 1);
            const auto choose = [&chosen, icon] {
                TestSupport::whenModal<QFileDialog>([&chosen, icon](QFileDialog* dialog) {
                    TestSupport::chooseInFileDialog(dialog, chosen.path(), icon ? "made" : "");
                });
            };
            if (icon) {
                choose();
            } else {
                TestSupport::whenModal<ExportPNGDialog>([&](ExportPNGDialog* dialog) {
                    choose();
                    QTest::mouseClick(
                        dialog->findChild<QPushButton*>(QStringLiteral("exportButton")),
                        Qt::LeftButton);
                });
            }
            const QStringList messages = TestSupport::messagesDuring([form] {
                QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("goButton")),
                                  Qt::LeftButton);
            });
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
        });
        QVERIFY(QFileInfo::exists(chosen.filePath(icon ? "made.ico" : "256x256.png")));
        QCOMPARE(settingValue(key).toString(), chosen.path());
    }

    // A long stored text is cut to the badge's limit, and the user cannot type past it either.
    void longBadgeTextIsCut() {
        setSetting("Badge/useBadge", true);
        setSetting("Badge/badgeText", QString(100000, QLatin1Char('M')));
        runProgram([](BrasswickForm* form) {
            checkUsable(form);
            auto* edit = form->findChild<QLineEdit*>(QStringLiteral("badgeTextLineEdit"));
            QCOMPARE(edit->text(), QString(badgeTextLimit, QLatin1Char('M')));
            QTest::keyClick(edit, Qt::Key_End);
            QTest::keyClicks(edit, QStringLiteral("more"));
            QCOMPARE(iconStyle.badgeText.size(), badgeTextLimit);
            QVERIFY(iconStyle.badgeTextWidth > 0);
        });
        QCOMPARE(settingValue("Badge/badgeText").toString(),
                 QString(badgeTextLimit, QLatin1Char('M')));
    }
};

QTEST_MAIN(TestBadSettings)
#include "tst_badsettings.moc"
