#include "app/mainwindow.h"
#include "app/windowgeometry.h"
#include "form/brasswickform.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QSettings>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Full HD with a taskbar's worth missing, like a typical primary screen's work area.
constexpr int screenWidth = 1920;
constexpr int screenHeight = 1040;

uint32_t bits(int value) {
    return static_cast<uint32_t>(value);
}

// Lets the shell's trace lines through for as long as it lives, whatever QT_LOGGING_RULES says.
class AppTrace {
public:
    AppTrace() { previous = QLoggingCategory::installFilter(enable); }
    ~AppTrace() { QLoggingCategory::installFilter(previous); }

private:
    static inline QLoggingCategory::CategoryFilter previous = nullptr;
    static void enable(QLoggingCategory* category) {
        // installFilter runs the new filter before it hands back the previous one.
        if (previous)
            previous(category);
        if (qstrcmp(category->categoryName(), "glimmerdock.app") == 0)
            category->setEnabled(QtDebugMsg, true);
    }
};

QVariant storedValue(const char* name) {
    return QSettings(QStringLiteral("Kestrelby"), QStringLiteral("Glimmerdock"))
        .value(QString::fromLatin1(name));
}

} // namespace

Q_DECLARE_METATYPE(WindowGeometry::Stored)

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        TestSupport::initTestEnvironment();
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(),
                 QSize(screenWidth, screenHeight));
    }

    void init() { TestSupport::clearSettings(); }

    void mainWindowFirstStart() {
        AppTrace trace;
        for (const char* name : {"posX", "posY", "width", "height"})
            QTest::ignoreMessage(QtDebugMsg,
                                 qPrintable(QStringLiteral("Software\\Kestrelby\\Glimmerdock : ") +
                                            QString::fromLatin1(name) +
                                            QStringLiteral(" : Cannot read DWORD from settings.")));
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Glimmerdock"));
        QCOMPARE(window.objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(window.centralWidget()->objectName(), QStringLiteral("centralwidget"));
        QCOMPARE(window.menuBar()->objectName(), QStringLiteral("menubar"));
        QCOMPARE(window.statusBar()->objectName(), QStringLiteral("statusbar"));

        auto* stack = qobject_cast<QStackedLayout*>(window.centralWidget()->layout());
        QVERIFY(stack);
        QCOMPARE(stack->count(), 1);
        QVERIFY(qobject_cast<BrasswickForm*>(stack->widget(0)));
        QCOMPARE(window.geometry(), QRect(100, 100, 986, 513));
    }

    void restoreRules_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<WindowGeometry::Stored>("stored");
        QTest::addColumn<QRect>("expected");
        const QSize fullHd(1920, 1040);
        const int sw = fullHd.width();
        const int sh = fullHd.height();
        auto row = [&](const char* name, QSize screen, WindowGeometry::Stored stored,
                       QRect expected) { QTest::newRow(name) << screen << stored << expected; };
        row("nothing stored", fullHd, {}, QRect(100, 100, 986, 513));
        row("fits as stored", fullHd, {150, 120, 1200, 700}, QRect(150, 120, 1200, 700));
        row("negative x", fullHd, {bits(-1700), 80, 1000, 600}, QRect(100, 80, 1000, 600));
        row("negative y", fullHd, {60, bits(-30), 1000, 600}, QRect(60, 100, 1000, 600));
        row("x right of screen", fullHd, {bits(sw + 1), 80, 1000, 600}, QRect(100, 80, 1000, 600));
        row("x at screen edge pulled back", fullHd, {bits(sw), 80, 1000, 600},
            QRect(sw - 1000, 80, 1000, 600));
        row("y below screen", fullHd, {60, bits(sh + 1), 1000, 600}, QRect(60, 100, 1000, 600));
        row("width 500 raised, x as read", fullHd, {1500, 80, 500, 600}, QRect(1500, 80, 986, 600));
        row("width beyond screen cut, x as read", fullHd, {300, 80, 2500, 600},
            QRect(300, 80, sw, 600));
        row("width 0xffffffff cut", fullHd, {300, 80, 0xffffffffu, 600}, QRect(300, 80, sw, 600));
        row("x sw-10 width 1000 moved", fullHd, {bits(sw - 10), 80, 1000, 600},
            QRect(sw - 1000, 80, 1000, 600));
        row("full width moved to 0", fullHd, {50, 80, bits(sw), 600}, QRect(0, 80, sw, 600));
        row("right edge exactly on screen", fullHd, {bits(sw - 1000), 80, 1000, 600},
            QRect(sw - 1000, 80, 1000, 600));
        row("height 300 raised, y as read", fullHd, {60, 900, 1000, 300},
            QRect(60, 900, 1000, 513));
        row("height beyond screen cut, y as read", fullHd, {60, 200, 1000, 5000},
            QRect(60, 200, 1000, sh));
        row("height 600 at sh-100 moved", fullHd, {60, bits(sh - 100), 1000, 600},
            QRect(60, sh - 600, 1000, 600));
        row("minimum exactly", fullHd, {0, 0, 986, 513}, QRect(0, 0, 986, 513));
        // A screen below the minimum: the window takes the whole screen on that axis.
        row("small screen", QSize(800, 480), {150, 120, 1200, 700}, QRect(0, 0, 800, 480));
        row("small screen negative position", QSize(800, 480), {bits(-50), bits(-50), 986, 513},
            QRect(0, 0, 800, 480));
        row("narrow screen only", QSize(900, 1040), {150, 120, 1200, 700}, QRect(0, 120, 900, 700));
        row("short screen only", QSize(1920, 500), {150, 120, 1200, 700}, QRect(150, 0, 1200, 500));
        row("unknown screen", QSize(0, 0), {150, 120, 1200, 700}, QRect(100, 100, 986, 513));
    }

    void restoreRules() {
        QFETCH(QSize, screen);
        QFETCH(WindowGeometry::Stored, stored);
        QFETCH(QRect, expected);
        const GeometryStore::ScreenSize size{bits(screen.width()), bits(screen.height())};
        QCOMPARE(WindowGeometry::restored(size, stored), expected);
    }

    void closeAndReopen_data() {
        QTest::addColumn<QRect>("closedAt");
        QTest::addColumn<QRect>("reopenedAt");
        QTest::newRow("on screen") << QRect(150, 120, 1200, 700) << QRect(150, 120, 1200, 700);
        QTest::newRow("left of the primary screen")
            << QRect(-1500, 120, 1200, 700) << QRect(100, 120, 1200, 700);
        QTest::newRow("above the primary screen")
            << QRect(150, -800, 1200, 700) << QRect(150, 100, 1200, 700);
        QTest::newRow("hanging off the right")
            << QRect(1500, 120, 1000, 700) << QRect(screenWidth - 1000, 120, 1000, 700);
    }

    void closeAndReopen() {
        QFETCH(QRect, closedAt);
        QFETCH(QRect, reopenedAt);
        {
            MainWindow window;
            window.show();
            window.setGeometry(closedAt);
            QCOMPARE(window.geometry(), closedAt);
            AppTrace trace;
            for (int i = 0; i < 4; ++i)
                QTest::ignoreMessage(QtDebugMsg, "true");
            QVERIFY(window.close());
        }
        // Stored as the same 32 bits: a negative position reads back as a large number.
        QCOMPARE(storedValue("posX").toULongLong(), qulonglong(bits(closedAt.x())));
        QCOMPARE(storedValue("posY").toULongLong(), qulonglong(bits(closedAt.y())));
        QCOMPARE(storedValue("width").toInt(), closedAt.width());
        QCOMPARE(storedValue("height").toInt(), closedAt.height());

        MainWindow reopened;
        QCOMPARE(reopened.geometry(), reopenedAt);
    }

    void unreadableStoredValuesKeepDefaults_data() {
        QTest::addColumn<QVariant>("posX");
        QTest::newRow("text") << QVariant(QStringLiteral("left"));
        QTest::newRow("negative text") << QVariant(QStringLiteral("-20"));
        QTest::newRow("beyond 32 bits") << QVariant(qulonglong(1) << 33);
    }

    void unreadableStoredValuesKeepDefaults() {
        QFETCH(QVariant, posX);
        {
            QSettings store(QStringLiteral("Kestrelby"), QStringLiteral("Glimmerdock"));
            store.setValue(QStringLiteral("posX"), posX);
            store.setValue(QStringLiteral("posY"), 40);
        }
        MainWindow window;
        QCOMPARE(window.geometry(), QRect(100, 40, 986, 513));
    }

    void resourcePictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const char* name : {"rocket24.png", "websiteIcon24.png", "About24.png",
                                 "ArrowUp24.png", "ArrowDown24.png", "Delete24.png"})
            QTest::newRow(name) << QString::fromLatin1(name) << QSize(24, 24);
        QTest::newRow("logo") << QStringLiteral("AboutLogo.png") << QSize(131, 131);
    }

    void resourcePictures() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage picture(QStringLiteral(":/resources/images/") + name);
        QCOMPARE(picture.size(), size);
        QVERIFY(picture.hasAlphaChannel());
    }
};

// The offscreen platform's own screen (800 x 600) is smaller than the window's minimum; a screen
// of a common size lets the round trips keep their geometry.
int main(int argc, char** argv) {
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(QStringLiteral("{\"screens\": [{\"name\": \"primary\", \"x\": 0, \"y\": 0, "
                              "\"width\": %1, \"height\": %2, \"logicalDpi\": 96, "
                              "\"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                   .arg(screenWidth)
                   .arg(screenHeight)
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication application(argc, argv);
    TestShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shell.moc"
