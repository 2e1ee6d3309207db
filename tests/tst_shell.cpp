#include "app/aboutdialog.h"
#include "app/applicationicon.h"
#include "app/mainwindow.h"
#include "app/otherappsdialog.h"
#include "app/windowgeometry.h"
#include "form/brasswickform.h"
#include "support/modal.h"
#include "support/shownform.h"
#include "support/testsupport.h"
#include "support/tracelines.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

// Full HD with a taskbar's worth missing, like a typical primary screen's work area.
constexpr int screenWidth = 1920;
constexpr int screenHeight = 1040;

uint32_t bits(int value) {
    return static_cast<uint32_t>(value);
}

// Stands in for the browser: every address the desktop is asked to open ends up here.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher() {
        for (const char* scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlCatcher() override {
        for (const char* scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

using TestSupport::child;

QVariant storedValue(const char* name) {
    return TestSupport::settingValue(QString::fromLatin1(name), "Glimmerdock");
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
        const TestSupport::TraceLines trace("glimmerdock.app");
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
            const TestSupport::TraceLines trace("glimmerdock.app");
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
        TestSupport::setSettings({{"posX", posX}, {"posY", 40}}, "Glimmerdock");
        MainWindow window;
        QCOMPARE(window.geometry(), QRect(100, 40, 986, 513));
    }

    void aboutWidgets_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, QRect geometry, const char* text) {
            QTest::newRow(name) << QString::fromLatin1(name) << geometry << QString::fromUtf8(text);
        };
        row("versionLabel", QRect(180, 110, 121, 16), "Version: 1.0.0");
        row("label_3", QRect(180, 220, 351, 16), "Made by Kestrelby. Free to use; no warranty.");
        row("label_4", QRect(20, 30, 131, 131), "");
        row("label_2", QRect(180, 150, 61, 16), "Website:");
        row("label_5", QRect(180, 70, 231, 21), "for Windows 11 and 10");
        row("closeButton", QRect(430, 300, 75, 24), "Close");
        row("line", QRect(180, 200, 331, 20), "");
        row("webLabel", QRect(230, 150, 111, 16),
            "<a href=\"https://kestrelby.example/\">kestrelby.example</a>");
    }

    void aboutWidgets() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QWidget form;
        AboutDialog dialog(&form);
        auto* widget = child<QWidget>(&dialog, qPrintable(name));
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->property("text").toString(), text);
    }

    void aboutDialog() {
        QWidget form;
        AboutDialog dialog(&form);
        QCOMPARE(dialog.objectName(), QStringLiteral("AboutDialog"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About"));
        QCOMPARE(dialog.size(), QSize(523, 343));
        QCOMPARE(dialog.parentWidget(), &form);

        auto* title = child<QLabel>(&dialog, "label");
        QCOMPARE(title->text(), QStringLiteral("Glimmerdock"));
        QCOMPARE(title->pos(), QPoint(180, 20));
        QCOMPARE(title->size(), title->sizeHint());
        QCOMPARE(title->font().pointSize(), 20);
        QCOMPARE(title->font().weight(), QFont::Bold);
        QCOMPARE(child<QLabel>(&dialog, "label_5")->font().pointSize(), 16);
        QCOMPARE(child<QLabel>(&dialog, "label_5")->font().weight(), QFont::Normal);

        QCOMPARE(child<QLabel>(&dialog, "label_4")
                     ->pixmap()
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32),
                 QImage(QStringLiteral(":/resources/images/AboutLogo.png"))
                     .convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(child<QFrame>(&dialog, "line")->frameShape(), QFrame::HLine);
        QCOMPARE(child<QFrame>(&dialog, "line")->frameShadow(), QFrame::Sunken);

        auto* web = child<QLabel>(&dialog, "webLabel");
        QCOMPARE(web->textFormat(), Qt::RichText);
        QCOMPARE(int(web->textInteractionFlags()), 13);
        QVERIFY(web->openExternalLinks());
        QVERIFY(web->font().underline());
    }

    void aboutLinkOpensWebsite() {
        UrlCatcher browser;
        QWidget form;
        AboutDialog dialog(&form);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* web = child<QLabel>(&dialog, "webLabel");
        QTest::mouseClick(web, Qt::LeftButton, {}, QPoint(10, web->height() / 2));
        QCOMPARE(browser.opened, QList<QUrl>{QUrl(QStringLiteral("https://kestrelby.example/"))});
    }

    // Every way out of a dialog frees it, so repeated clicks on the form leave nothing behind.
    void dialogsFreeThemselves_data() {
        QTest::addColumn<bool>("promotional");
        QTest::addColumn<bool>("escape");
        QTest::newRow("About, Close") << false << false;
        QTest::newRow("About, Escape") << false << true;
        QTest::newRow("promotional, Close") << true << false;
        QTest::newRow("promotional, Escape") << true << true;
    }

    void dialogsFreeThemselves() {
        QFETCH(bool, promotional);
        QFETCH(bool, escape);
        QWidget form;
        QPointer<QDialog> dialog;
        if (promotional)
            dialog = new OtherAppsDialog(&form);
        else
            dialog = new AboutDialog(&form);
        TestSupport::whenModal<QDialog>([escape](QDialog* modal) {
            if (escape)
                QTest::keyClick(modal, Qt::Key_Escape);
            else
                child<QPushButton>(modal, "closeButton")->click();
        });
        dialog->exec();
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(form.findChildren<QDialog*>().isEmpty());
    }

    void promotionalDialog() {
        UrlCatcher browser;
        QWidget form;
        auto* dialog = new OtherAppsDialog(&form);
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Optimize Windows Performance"));
        QCOMPARE(child<QLabel>(dialog, "titleLabel")->text(),
                 QStringLiteral("Kestrelby Hoverwing"));
        QVERIFY(child<QLabel>(dialog, "descriptionLabel")->text().contains("Windows"));
        QCOMPARE(child<QLabel>(dialog, "logoLabel")->pixmap().size(), QSize(96, 96));
        QCOMPARE(child<QLabel>(dialog, "screenshotLabel")->pixmap().size(), QSize(400, 250));

        TestSupport::whenModal<QDialog>([](QDialog* modal) {
            QTest::mouseClick(child<QPushButton>(modal, "productButton"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(modal, "orderButton"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(modal, "closeButton"), Qt::LeftButton);
        });
        dialog->exec();
        QCOMPARE(browser.opened,
                 QList<QUrl>({QUrl(QStringLiteral("https://kestrelby.example/hoverwing/")),
                              QUrl(QStringLiteral("https://kestrelby.example/hoverwing/order/"))}));
        QVERIFY(TestSupport::noSettingsStored());
    }

    // The form's buttons build a new modal dialog on every click, parented to the form.
    void formButtonsOpenDialogs_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialogClass");
        QTest::newRow("About") << QStringLiteral("aboutButton") << QStringLiteral("AboutDialog");
        QTest::newRow("promotional")
            << QStringLiteral("tarnhillButton") << QStringLiteral("OtherAppsDialog");
    }

    void formButtonsOpenDialogs() {
        QFETCH(QString, button);
        QFETCH(QString, dialogClass);
        MainWindow window;
        window.show();
        auto* form = window.findChild<BrasswickForm*>();
        QVERIFY(form);
        auto* opener = child<QAbstractButton>(form, qPrintable(button));
        QList<QPointer<QWidget>> opened;
        for (int click = 0; click < 2; ++click) {
            TestSupport::whenModal<QDialog>([&](QDialog* modal) {
                opened.append(modal);
                QCOMPARE(QString::fromLatin1(modal->metaObject()->className()), dialogClass);
                QCOMPARE(modal->parentWidget(), form);
                QVERIFY(modal->isModal());
                QTest::mouseClick(child<QPushButton>(modal, "closeButton"), Qt::LeftButton);
            });
            QTest::mouseClick(opener, Qt::LeftButton);
            QCOMPARE(opened.size(), click + 1);
            QTRY_VERIFY(opened.last().isNull());
        }
        QVERIFY(form->findChildren<QDialog*>().isEmpty());
    }

    void websiteButtonOpensWebsite() {
        UrlCatcher browser;
        MainWindow window;
        window.show();
        QTest::mouseClick(child<QToolButton>(&window, "websiteButton"), Qt::LeftButton);
        QCOMPARE(browser.opened, QList<QUrl>{QUrl(QStringLiteral("https://kestrelby.example/"))});
    }

    void applicationIconSizes() {
        const QIcon icon = applicationIcon();
        QList<QSize> expected;
        for (int edge : {16, 22, 24, 32, 48, 64, 128, 256})
            expected << QSize(edge, edge);
        QList<QSize> sizes = icon.availableSizes();
        std::sort(sizes.begin(), sizes.end(),
                  [](QSize a, QSize b) { return a.width() < b.width(); });
        QCOMPARE(sizes, expected);
        // Drawn afresh at each size: the small one is no blurred copy of the large one.
        const QImage small = icon.pixmap(QSize(16, 16)).toImage();
        QCOMPARE(small.size(), QSize(16, 16));
        QCOMPARE(small.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(small.pixelColor(8, 14).alpha(), 255);
    }

    void resourcePictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const char* name : {"rocket24.png", "websiteIcon24.png", "About24.png",
                                 "ArrowUp24.png", "ArrowDown24.png", "Delete24.png"})
            QTest::newRow(name) << QString::fromLatin1(name) << QSize(24, 24);
        QTest::newRow("logo") << QStringLiteral("AboutLogo.png") << QSize(131, 131);
        QTest::newRow("promoted logo") << QStringLiteral("HoverwingLogo.png") << QSize(96, 96);
        QTest::newRow("screenshot") << QStringLiteral("HoverwingScreenshot.png") << QSize(400, 250);
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
