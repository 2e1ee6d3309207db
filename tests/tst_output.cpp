// The icon and PNG files, each read back by a reader other than its writer, and the Go button's
// flows through the real dialogs: choices, cancels and failures that keep older files whole.
#include "canvas/iconrenderer.h"
#include "form/brasswickform.h"
#include "model/localglobal.h"
#include "output/exportpngdialog.h"
#include "output/icowriter.h"
#include "output/newresolutiondialog.h"
#include "output/resolutionlist.h"
#include "support/testsupport.h"

#include <Magick++.h>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

namespace {

QByteArray rgba(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888);
    return QByteArray(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes());
}

QImage scaled(const QImage& image, int size) {
    return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Every premultiplied (value, alpha) pair, the range un-premultiplying has to get right.
QImage everyPremultipliedValue(int edge) {
    QImage image(edge, edge, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < edge; ++y) {
        for (int x = 0; x < edge; ++x) {
            const int alpha = y % 256, value = std::min(x % 256, alpha);
            image.setPixel(x, y, qRgba(value, std::min(255 - x % 256, alpha), value / 2, alpha));
        }
    }
    return image;
}

// An icon with every layer of the style, a translucent picture across its edge.
QImage documentIcon(int k) {
    IconStyle style;
    style.useBackground = style.useBack3dEffect = style.useBorder = style.useGlossy = true;
    style.useBadge = true;
    style.backColor2 = QColor(20, 40, 200, 160);
    ImageData picture;
    picture.image = crossPicture(QSize(200, 90) * k, QColor(250, 0, 0, 128));
    picture.position = QPoint(-20, 150) * k;
    return IconRenderer(k).renderIcon(style, {picture});
}

void click(QWidget* dialog, const char* button) {
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

} // namespace

class TestOutput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        initTestEnvironment();
        QLoggingCategory::setFilterRules("qt.core.qmetaobject.connectslotsbyname=false");
    }

    void iconFile_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QImage>("rendering");
        QTest::addColumn<QList<int>>("sizes");
        const QList<int> sizes[] = {
            {16, 32, 48, 256}, {16, 32, 48, 256, 512}, {16, 32, 48, 256, 512, 768}};
        for (int k = 1; k <= 3; ++k) {
            QTest::addRow("document k%d", k) << k << documentIcon(k) << sizes[k - 1];
            QTest::addRow("every premultiplied value k%d", k)
                << k << everyPremultipliedValue(256 * k) << sizes[k - 1];
        }
        QTest::addRow("few colours") << 1 << crossPicture({256, 256}, Qt::transparent) << sizes[0];
    }

    // Every entry, read by Qt's icon reader, holds the rendering scaled to its size, alpha and
    // all; the directory says 32 bits a pixel.
    void iconFile() {
        QFETCH(int, k);
        QFETCH(QImage, rendering);
        QFETCH(QList<int>, sizes);
        QByteArray file = encodeIco(rendering, k);
        QBuffer buffer(&file);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), sizes.size());
        QCOMPARE(file.left(6), QByteArray::fromHex("00000100") + char(sizes.size()) + '\0');
        for (int i = 0; i < sizes.size(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage entry = reader.read();
            QCOMPARE(entry.width(), sizes.at(i));
            QCOMPARE(rgba(entry), rgba(scaled(rendering, sizes.at(i))));
            QCOMPARE(int(quint8(file.at(6 + 16 * i + 6))), 32);
        }
    }

    void goButton_data() {
        QTest::addColumn<int>("output"); // 0: icon file, 1: PNG files
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("choice"); // typed file name or folder; empty cancels
        QTest::addColumn<QString>("edit");   // PNG list: "+N" adds N, "-" removes the first row
        QTest::addColumn<QStringList>("written");
        const QStringList pngs{"16x16.png", "256x256.png", "32x32.png", "48x48.png"};
        QTest::newRow("icon") << 0 << 1 << "made"
                              << "" << QStringList{"made.ico"};
        QTest::newRow("icon 1024") << 0 << 3 << "big.ico"
                                   << "" << QStringList{"big.ico"};
        QTest::newRow("icon cancelled") << 0 << 1 << ""
                                        << "" << QStringList{};
        QTest::newRow("icon below a file") << 0 << 1 << "old/x.ico"
                                           << "" << QStringList{};
        QTest::newRow("png") << 1 << 1 << "."
                             << "" << pngs;
        QTest::newRow("png 64 added, 16 removed")
            << 1 << 2 << "."
            << "+64 +32 -" << QStringList{"256x256.png", "32x32.png", "48x48.png", "64x64.png"};
        QTest::newRow("png cancelled") << 1 << 1 << ""
                                       << "" << QStringList{};
        QTest::newRow("png onto a folder") << 1 << 1 << "full"
                                           << "" << QStringList{};
    }

    // The Go button writes what the user chose, each file the rendering at its size; a cancel
    // writes nothing; a failure tells the user in one warning and leaves older files whole.
    void goButton() {
        QFETCH(int, output);
        QFETCH(int, k);
        QFETCH(QString, choice);
        QFETCH(QString, edit);
        QFETCH(QStringList, written);
        clearSettings();
        QTemporaryDir folder;
        QVERIFY(writeFileBytes(folder.filePath("old"), "older file"));
        QVERIFY(writePicture(folder.filePath("p.png"), {500, 300}, Qt::darkCyan));
        BrasswickForm form;
        form.show();
        child<QComboBox>(&form, "outputComboBox")->setCurrentIndex(output);
        child<QComboBox>(&form, "canvasSizeComboBox")->setCurrentIndex(k - 1);
        QVERIFY(dropFiles(child<QWidget>(&form, "widget"), {150, 150}, {folder.filePath("p.png")}));
        const QImage rendering = renderDocumentIcon(k);
        const QString full = folder.filePath("full");
        QDir().mkdir(full);
        const auto choose = [&](QFileDialog* dialog) {
            if (choice.isEmpty())
                return dialog->reject();
            // A folder whose name is a file inside it: every PNG lands on a folder and fails.
            if (choice == "full")
                QDir().mkpath(full + "/16x16.png");
            chooseInFileDialog(dialog, choice == "full" ? full : folder.path(),
                               output ? QString() : choice);
        };
        if (output == 0)
            whenModal<QFileDialog>(choose);
        else
            whenModal<ExportPNGDialog>([&](ExportPNGDialog* dialog) {
                for (const QString& step : edit.split(' ', Qt::SkipEmptyParts)) {
                    if (step == "-") {
                        child<QListWidget>(dialog, "listWidget")->setCurrentRow(0);
                        click(dialog, "removeButton");
                        continue;
                    }
                    whenModal<NewResolutionDialog>([&](NewResolutionDialog* add) {
                        auto* box = child<QSpinBox>(add, "spinBox");
                        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                        QTest::keyClicks(box, step.mid(1));
                        QCOMPARE(child<QLabel>(add, "pixelLabel")->text(), "x" + step.mid(1));
                        click(add, "addButton");
                    });
                    click(dialog, "addButton");
                }
                whenModal<QFileDialog>(choose);
                click(dialog, "exportButton");
            });
        const QStringList messages = messagesDuring(
            [&] { QTest::mouseClick(child<QPushButton>(&form, "goButton"), Qt::LeftButton); });

        QStringList files = QDir(folder.path()).entryList(QDir::Files, QDir::Name);
        files.removeAll("old");
        files.removeAll("p.png");
        QCOMPARE(files, written);
        QCOMPARE(readFileBytes(folder.filePath("old")), QByteArray("older file"));
        const bool failed = choice == "full" || choice.startsWith("old/");
        QCOMPARE(messages.size(), failed ? 1 : 0);
        if (failed)
            QVERIFY(messages.first().contains(QDir::toNativeSeparators(folder.path())));
        for (const QString& name : written) {
            if (output == 0) {
                QImageReader reader(folder.filePath(name));
                QVERIFY(reader.jumpToImage(reader.imageCount() - 1));
                QCOMPARE(rgba(reader.read()),
                         rgba(rendering.scaled(qMin(768, 256 * k), qMin(768, 256 * k))));
                continue;
            }
            // Read by ImageMagick, which did not write it.
            Magick::Image read(folder.filePath(name).toStdString());
            const int size = name.section('x', 0, 0).toInt();
            QByteArray pixels(size * size * 4, '\0');
            read.write(0, 0, size, size, "RGBA", Magick::CharPixel, pixels.data());
            QCOMPARE(pixels, rgba(scaled(rendering, size)));
        }
        const QString key = output ? "Path/folderPathPNG" : "Path/folderPathIcon";
        QCOMPARE(settingValue(key).isValid(), !choice.isEmpty());
    }

    // Where a new size goes in the list; a stored list no dialog could have written gives way to
    // the defaults, or keeps what is sound in it.
    void resolutionList() {
        const QStringList rows{"16x16", "junk", "48x48"};
        QCOMPARE(ResolutionList::insertionRow(rows, 32), 2);
        QCOMPARE(ResolutionList::insertionRow(rows, 8), 0);
        QVERIFY(!ResolutionList::insertionRow(rows, 48));
        clearSettings();
        setSettings({{"ExportSize/exportSizeCount", "x"}});
        QCOMPARE(ResolutionList::storedRows(), ResolutionList::defaultRows());
        setSettings({{"ExportSize/exportSizeCount", 1000000000},
                     {"ExportSize/exportSize0", 7},
                     {"ExportSize/exportSize3", 7},
                     {"ExportSize/exportSize4", 1025},
                     {"ExportSize/exportSize9", 1024}});
        QCOMPARE(ResolutionList::storedRows(), (QStringList{"7x7", "1024x1024"}));
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
