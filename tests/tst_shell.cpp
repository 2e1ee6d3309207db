#include "app/mainwindow.h"
#include "form/brasswickform.h"
#include "support/testsupport.h"

#include <QMenuBar>
#include <QStackedLayout>
#include <QStatusBar>
#include <QtTest>

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    void mainWindowFirstStart() {
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

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
