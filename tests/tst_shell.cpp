// The main window and its geometry between runs, the About and promotional dialogs and the
// addresses they open, the pictures compiled in.
#include "app/mainwindow.h"
#include "app/windowgeometry.h"
#include "form/colorswatch.h"
#include "form/editorform.h"
#include "form/formlayout.h"
#include "support/testsupport.h"

#include <QtWidgets>

using namespace TestSupport;

class TestShell : public QObject {
    Q_OBJECT

    QList<QUrl> opened;

    // The named controls of `form` on the screen, not the insides of compound ones.
    static QList<QWidget*> shownControls(QWidget* form) {
        QList<QWidget*> shown;
        for (QWidget* widget : form->findChildren<QWidget*>()) {
            if (widget->isVisible() && !widget->objectName().isEmpty() &&
                !widget->objectName().startsWith("qt_") &&
                !widget->parentWidget()->objectName().startsWith("qt_"))
                shown << widget;
        }
        return shown;
    }

    // Runs `open` on the main window's form and then `use` on the modal dialog that comes up.
    void inDialog(const char* button, const std::function<void(QDialog*)>& use) {
        MainWindow window;
        window.show();
        QPointer<QDialog> shown;
        bool seen = false;
        whenModal<QDialog>([&](QDialog* dialog) {
            shown = dialog;
            seen = true;
            use(dialog);
        });
        QTest::mouseClick(child<QAbstractButton>(&window, button), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(seen && !shown); // every ending frees it
    }

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }

private Q_SLOTS:
    void initTestCase() {
        initTestEnvironment();
        // Stands in for the browser.
        QDesktopServices::setUrlHandler("https", this, "open");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }

    void init() {
        clearSettings();
        opened.clear();
    }

    // Screen, stored x, y, width, height, then the geometry the window opens with.
    void restoreRules() {
        const qint64 rows[][10] = {{1920, 1040, 100, 100, 986, 513, 100, 100, 986, 513},
                                   {1920, 1040, -1700, 80, 1000, 600, 100, 80, 1000, 600},
                                   {1920, 1040, 60, -30, 1000, 600, 60, 100, 1000, 600},
                                   {1920, 1040, 1920, 80, 1000, 600, 920, 80, 1000, 600},
                                   {1920, 1040, 60, 1041, 1000, 600, 60, 100, 1000, 600},
                                   {1920, 1040, 1500, 80, 500, 600, 1500, 80, 986, 600},
                                   {1920, 1040, 300, 80, 0xffffffff, 600, 300, 80, 1920, 600},
                                   {1920, 1040, 60, 940, 1000, 600, 60, 440, 1000, 600},
                                   {1920, 1040, 50, 80, 1920, 600, 0, 80, 1920, 600},
                                   {800, 480, -50, -50, 986, 513, 0, 0, 800, 480},
                                   {0, 0, 150, 120, 1200, 700, 100, 100, 986, 513}};
        for (const auto& r : rows) {
            const WindowGeometry::Stored stored{uint32_t(r[2]), uint32_t(r[3]), uint32_t(r[4]),
                                                uint32_t(r[5])};
            QCOMPARE(WindowGeometry::restored({uint32_t(r[0]), uint32_t(r[1])}, stored),
                     QRect(int(r[6]), int(r[7]), int(r[8]), int(r[9])));
        }
    }

    // Window, frame (none or 8, 31, 8, 8), available area, then where the window goes so its frame
    // is on the screen.
    void frameKeptOnScreen() {
        const int rows[][13] = {
            {100, 100, 986, 513, 1, 0, 0, 1920, 1040, 100, 100, 986, 513},
            {0, 0, 986, 513, 1, 0, 0, 1920, 1040, 8, 31, 986, 513},       // title bar above
            {100, 10, 986, 513, 1, 0, 32, 1920, 1008, 100, 63, 986, 513}, // panel on top
            // 1600 x 1000 at 200 %, the task bar taken off: the window shrinks into the screen.
            {0, 0, 800, 476, 1, 0, 0, 800, 476, 8, 31, 784, 437},
            {1800, 1000, 986, 513, 1, 0, 0, 1920, 1040, 926, 519, 986, 513},
            {-1500, 50, 800, 600, 0, -1920, 0, 1920, 1080, -1500, 50, 800, 600},
            {0, 0, 986, 513, 1, 0, 0, 10, 20, 8, 31, 1, 1}}; // screen smaller than the frame
        for (const auto& r : rows)
            QCOMPARE(WindowGeometry::keptOnScreen(QRect(r[0], r[1], r[2], r[3]),
                                                  r[4] ? QMargins(8, 31, 8, 8) : QMargins(),
                                                  QRect(r[5], r[6], r[7], r[8])),
                     QRect(r[9], r[10], r[11], r[12]));
    }

    // Closed, the window leaves its geometry as four 32-bit numbers; a new one opens from them.
    void closeAndReopen() {
        const QRect closedAt(-40, 30, 1100, 650);
        {
            MainWindow window;
            window.show();
            // Fits a 1600 x 1000 screen at 200 %, its task bar and the frame taken off: the form
            // scrolls.
            QVERIFY(window.minimumSizeHint().width() <= 784 &&
                    window.minimumSizeHint().height() <= 437);
            window.setGeometry(closedAt);
            // The form takes the window's whole width and scrolls only when the window is smaller.
            QTRY_COMPARE(window.findChild<EditorForm*>()->width(), window.centralWidget()->width());
            QVERIFY(window.close());
        }
        const char* names[] = {"posX", "posY", "width", "height"};
        const int values[] = {closedAt.x(), closedAt.y(), closedAt.width(), closedAt.height()};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(settingValue(names[i], "Glimmerdock").toLongLong(),
                     qint64(uint32_t(values[i])));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const auto opensAt = [&](WindowGeometry::Stored stored) {
            return WindowGeometry::keptOnScreen(
                WindowGeometry::restored(GeometryStore::screenSize(), stored),
                WindowGeometry::frameEstimate, available);
        };
        MainWindow reopened;
        QCOMPARE(reopened.geometry(), opensAt({uint32_t(-40), 30, 1100, 650}));
        QVERIFY(
            available.contains(reopened.geometry().marginsAdded(WindowGeometry::frameEstimate)));
        clearSettings();
        setSettings({{"posX", "left"}, {"posY", 40}, {"width", qint64(1) << 33}}, "Glimmerdock");
        QCOMPARE(MainWindow().geometry(), opensAt({100, 40, 986, 513}));
    }

    void brokenStoreHeals_data() {
        QTest::addColumn<QByteArray>("stored");
        QByteArray noise(4096, 0);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), 1024);
        QTest::newRow("random bytes") << noise;
        QTest::newRow("bloated value") << "[General]\nposX=" + QByteArray(2'000'000, '7') + "\n";
    }

    // A store that cannot be used gives the first window the default geometry, and closing that
    // window leaves a store the next one opens from.
    void brokenStoreHeals() {
        QFETCH(QByteArray, stored);
        const QString file = QSettings("Kestrelby", "Glimmerdock").fileName();
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && writeFileBytes(file, stored));
        const QRect closedAt(120, 140, 1000, 600);
        {
            MainWindow window;
            QCOMPARE(window.size(), QSize(986, 513));
            window.show();
            window.setGeometry(closedAt);
            QVERIFY(window.close());
        }
        QSettings healed("Kestrelby", "Glimmerdock");
        QCOMPARE(healed.status(), QSettings::NoError);
        QCOMPARE(healed.value("posX").toInt(), 120);
        QCOMPARE(MainWindow().geometry().size(), closedAt.size());
    }

    // At its first size the window shows every control of every page whole, without scrolling:
    // a picture selected, the background, border and badge on.
    void firstWindowWhole() {
        MainWindow window;
        window.show();
        QCOMPARE(window.size(), QSize(986, 513));
        const QString picture = QDir(QDir::tempPath()).filePath("whole.png");
        QVERIFY(writePicture(picture, {64, 64}, Qt::red));
        auto* canvas = child<QWidget>(&window, "canvas");
        QVERIFY(dropFiles(canvas, canvas->rect().center(), {picture}));
        QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->rect().center());
        for (const char* box : {"backCheckBox", "borderCheckBox", "badgeCheckBox"})
            child<QCheckBox>(&window, box)->setChecked(true);
        auto* scroller = window.findChild<QScrollArea*>();
        auto* tabs = child<QTabWidget>(&window, "tabWidget");
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            QTRY_VERIFY(!scroller->verticalScrollBar()->isVisible());
            QVERIFY(!scroller->horizontalScrollBar()->isVisible());
            QCOMPARE(FormLayout::cutControls(scroller->widget(), scroller->viewport()),
                     QStringList());
            // Clear of each other, and what has no caption saying what it does explains itself.
            const QList<QWidget*> shown = shownControls(scroller->widget());
            for (QWidget* control : shown) {
                for (QWidget* other : shown) {
                    QVERIFY2(other == control || other->parentWidget() != control->parentWidget() ||
                                 !control->geometry().intersects(other->geometry()),
                             qPrintable(control->objectName() + " " + other->objectName()));
                }
                auto* button = qobject_cast<QAbstractButton*>(control);
                if ((button && button->text().isEmpty()) ||
                    qobject_cast<QAbstractSpinBox*>(control) ||
                    qobject_cast<QAbstractItemView*>(control) ||
                    qobject_cast<ColorSwatch*>(control))
                    QVERIFY2(!control->toolTip().isEmpty(), qPrintable(control->objectName()));
            }
        }
        // Smaller, it scrolls, and what is cut is named.
        window.resize(986, 420);
        QTRY_VERIFY(scroller->verticalScrollBar()->isVisible());
        QVERIFY(FormLayout::cutControls(scroller->widget(), scroller->viewport())
                    .contains("tabWidget"));
    }

    // The About and promotional dialogs open their addresses, and every ending frees them.
    void dialogs() {
        inDialog("aboutButton", [&](QDialog* about) {
            QCOMPARE(child<QLabel>(about, "versionLabel")->text(), "Version: " GLIMMERDOCK_VERSION);
            QVERIFY(!child<QLabel>(about, "logoLabel")->pixmap().isNull());
            auto* link = child<QLabel>(about, "webLabel");
            QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(8, link->height() / 2));
            QTest::mouseClick(child<QPushButton>(about, "closeButton"), Qt::LeftButton);
        });
        inDialog("aboutButton", [](QDialog* about) { QTest::keyClick(about, Qt::Key_Escape); });
        inDialog("otherAppsButton", [](QDialog* promotion) {
            QTest::mouseClick(child<QPushButton>(promotion, "productButton"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(promotion, "orderButton"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(promotion, "closeButton"), Qt::LeftButton);
        });
        MainWindow window;
        QTest::mouseClick(child<QAbstractButton>(&window, "websiteButton"), Qt::LeftButton);
        QCOMPARE(opened, (QList<QUrl>{QUrl("https://kestrelby.example/"),
                                      QUrl("https://kestrelby.example/hoverwing/"),
                                      QUrl("https://kestrelby.example/hoverwing/order/"),
                                      QUrl("https://kestrelby.example/")}));
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
