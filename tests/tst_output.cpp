#include "model/localglobal.h"
#include "output/exportpngdialog.h"
#include "output/icowriter.h"
#include "output/newresolutiondialog.h"
#include "output/outputflow.h"
#include "output/pngwriter.h"
#include "support/dialogdriver.h"
#include "support/dropsupport.h"
#include "support/filesizelimit.h"
#include "support/modal.h"
#include "support/shownform.h"
#include "support/testsupport.h"

#include <QtTest>

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

#include <functional>
#include <iostream>
#include <sstream>

using TestSupport::everyAlphaIs;
using TestSupport::readFileBytes;
using TestSupport::setSetting;
using TestSupport::settingValue;
using TestSupport::whenModal;
using TestSupport::writeFileBytes;

namespace {

enum class Picture { Drawn, Empty, Solid, TwoColours };

// A rendering as the canvas gives it: premultiplied, transparent outside what is drawn.
QImage rendering(int size, Picture picture) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    QPainter painter(&image);
    switch (picture) {
    case Picture::Drawn: {
        painter.setRenderHint(QPainter::Antialiasing);
        QRadialGradient gradient(size / 2.0, size / 2.0, size / 2.0);
        gradient.setColorAt(0, QColor(250, 200, 40));
        gradient.setColorAt(1, QColor(40, 90, 220, 160));
        painter.setBrush(gradient);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(size * 0.1, size * 0.1, size * 0.8, size * 0.8));
        painter.fillRect(QRectF(0, size * 0.7, size * 0.5, size * 0.3), QColor(200, 30, 60, 90));
        break;
    }
    case Picture::Empty:
        break;
    case Picture::Solid:
        painter.fillRect(image.rect(), Qt::white);
        break;
    case Picture::TwoColours:
        painter.fillRect(0, 0, size / 2, size, QColor(255, 0, 0));
        painter.fillRect(size / 2, 0, size - size / 2, size, QColor(0, 0, 255));
        break;
    }
    return image;
}

QList<QImage> readIcoEntries(const QString& path) {
    QImageReader reader(path, "ico");
    QList<QImage> entries;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        entries.append(reader.read());
    }
    return entries;
}

// Bits per pixel of every entry as the file itself states it: the directory's field and the
// entry's own header (the bitmap header's bit count, or 32 for an 8-bit RGBA PNG).
QList<QPair<int, int>> icoEntryDepths(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray data = file.readAll();
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(data.constData() + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(data.constData() + at); };
    QList<QPair<int, int>> depths;
    const int count = data.size() >= 6 ? u16(4) : 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        const int directoryBits = u16(entry + 6);
        const qsizetype offset = u32(entry + 12);
        int ownBits = 0;
        if (data.mid(offset, 4) == QByteArray("\x89PNG", 4)) {
            const int bitDepth = quint8(data.at(offset + 24));
            const int colourType = quint8(data.at(offset + 25));
            ownBits = colourType == 6 ? 4 * bitDepth : 0;
        } else {
            ownBits = u16(offset + 14);
        }
        depths.append({directoryBits, ownBits});
    }
    return depths;
}

// Pixels equal after un-premultiplying; the colour of a fully transparent pixel is no colour.
bool samePixels(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size())
        return false;
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < e.height(); ++y) {
        for (int x = 0; x < e.width(); ++x) {
            const QRgb pa = a.pixel(x, y);
            const QRgb pe = e.pixel(x, y);
            if (qAlpha(pe) == 0 ? qAlpha(pa) != 0 : pa != pe)
                return false;
        }
    }
    return true;
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

void click(QWidget* widget) {
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}

QStringList listRows(QWidget* dialog) {
    return TestSupport::listRowTexts(dialog->findChild<QListWidget*>(QStringLiteral("listWidget")));
}

// Adds `size` through the new-resolution dialog, typed into its spin box.
void addResolution(ExportPNGDialog* dialog, int size) {
    whenModal<NewResolutionDialog>([size](NewResolutionDialog* adder) {
        auto* spin = adder->findChild<QSpinBox*>(QStringLiteral("spinBox"));
        spin->selectAll();
        QTest::keyClicks(spin, QString::number(size));
        click(adder->findChild<QPushButton*>(QStringLiteral("addButton")));
    });
    click(dialog->findChild<QPushButton*>(QStringLiteral("addButton")));
}

// The editor form with one dropped picture on its canvas, set to write `output` (0 "Windows",
// 1 "PNG Files") at canvas size choice `canvasSize`.
struct OutputForm : TestSupport::ShownForm {
    OutputForm(const QString& picture, int output, int canvasSize = 0) {
        get<QComboBox>("canvasSizeComboBox")->setCurrentIndex(canvasSize);
        get<QComboBox>("outputComboBox")->setCurrentIndex(output);
        if (!TestSupport::writePictureFile(picture, QSize(120, 90), QColor(30, 160, 90)) ||
            !TestSupport::dropFiles(canvas(), QPointF(150, 150), {picture}))
            qWarning("no picture on the canvas");
    }
    QImage rendering() {
        QImage image;
        return canvas()->renderIcon(image);
    }
    QStringList pressGo() {
        return TestSupport::messagesDuring(
            [this] { QTest::mouseClick(get<QPushButton>("goButton"), Qt::LeftButton); });
    }
};

} // namespace

using Failure = std::function<OutputFailures(const QString& path)>;
Q_DECLARE_METATYPE(Failure)

class TestOutput : public QObject {
    Q_OBJECT

private:
    QTemporaryDir scratch;
    // Ends a dialog a broken test left waiting, so the test fails instead of hanging.
    QTimer watchdog;

private Q_SLOTS:
    void initTestCase() {
        TestSupport::initTestEnvironment();
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(scratch.isValid());
        watchdog.setInterval(20000);
        connect(&watchdog, &QTimer::timeout, this, [] {
            qWarning("a dialog was left waiting");
            while (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
    }

    void init() {
        TestSupport::clearSettings();
        LocalGlobal::LImageData.clear();
        watchdog.start();
    }

    void cleanup() { watchdog.stop(); }

    void icoFileHoldsEveryEntry_data() {
        QTest::addColumn<int>("canvasSizeIndex");
        QTest::addColumn<int>("picture");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("alpha"); // of every pixel of every entry; -1 for a drawn picture
        const QList<int> sizes512{16, 32, 48, 256, 512};
        const int drawn = int(Picture::Drawn);
        QTest::newRow("256x256") << 1 << drawn << QList<int>{16, 32, 48, 256} << -1;
        QTest::newRow("512x512") << 2 << drawn << sizes512 << -1;
        QTest::newRow("1024x1024") << 3 << drawn << QList<int>{16, 32, 48, 256, 512, 768} << -1;
        // Few colours must not let ImageMagick pick a palette without alpha.
        QTest::newRow("empty canvas") << 2 << int(Picture::Empty) << sizes512 << 0;
        QTest::newRow("one opaque colour") << 2 << int(Picture::Solid) << sizes512 << 255;
        QTest::newRow("two colours") << 2 << int(Picture::TwoColours) << sizes512 << 255;
    }

    void icoFileHoldsEveryEntry() {
        QFETCH(int, canvasSizeIndex);
        QFETCH(int, picture);
        QFETCH(QList<int>, sizes);
        QFETCH(int, alpha);
        const QImage icon = rendering(256 * canvasSizeIndex, Picture(picture));
        const QString path = scratch.filePath(QStringLiteral("entries.ico"));

        QVERIFY(!writeIcon(path, icon, canvasSizeIndex));

        const QList<QImage> entries = readIcoEntries(path);
        QList<int> readSizes;
        for (const QImage& entry : entries) {
            QCOMPARE(entry.width(), entry.height());
            QVERIFY(entry.hasAlphaChannel());
            QVERIFY(alpha < 0 || everyAlphaIs(entry, alpha));
            readSizes.append(entry.width());
        }
        QCOMPARE(readSizes, sizes);
        const QList<QPair<int, int>> depths = icoEntryDepths(path);
        QCOMPARE(depths.size(), sizes.size());
        for (const auto& [directoryBits, ownBits] : depths) {
            QCOMPARE(directoryBits, 32);
            QCOMPARE(ownBits, 32);
        }
        // The large entries come from the one rendering, scaled only where it is wider.
        for (qsizetype i = 3; i < entries.size(); ++i) {
            const int size = sizes.at(i);
            const QImage expected =
                size == icon.width()
                    ? icon
                    : icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            QVERIFY2(samePixels(entries.at(i), expected), qPrintable(QString::number(size)));
        }
        // The small bitmap entries keep the transparent corner too.
        if (alpha < 0)
            QVERIFY(everyAlphaIs(entries.at(0).copy(0, 0, 1, 1), 0));
    }

    void pngFilesHoldTheScaledIcon_data() {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("defaults") << QList<int>{16, 32, 48, 256}
                                  << QStringList{"16x16.png", "32x32.png", "48x48.png",
                                                 "256x256.png"};
        QTest::newRow("larger than the rendering")
            << QList<int>{1, 600} << QStringList{"1x1.png", "600x600.png"};
        QTest::newRow("none") << QList<int>{} << QStringList{};
    }

    void pngFilesHoldTheScaledIcon() {
        QFETCH(QList<int>, sizes);
        QFETCH(QStringList, names);
        QTemporaryDir folder;
        const QImage icon = rendering(512, Picture::Drawn);

        const QList<LExportImage> images = OutputFlow::exportImages(folder.path(), sizes, icon);
        QStringList listed;
        for (const LExportImage& image : images)
            listed.append(QFileInfo(image.fileName).fileName());
        QCOMPARE(listed, names);
        QVERIFY(writePngImages(images).isEmpty());

        QStringList written = entriesOf(folder.path());
        std::sort(written.begin(), written.end());
        QStringList expectedNames = names;
        std::sort(expectedNames.begin(), expectedNames.end());
        QCOMPARE(written, expectedNames);
        for (int size : sizes) {
            QImageReader reader(QDir(folder.path()).filePath(QStringLiteral("%1x%1.png").arg(size)),
                                "png");
            const QImage read = reader.read();
            QCOMPARE(read.size(), QSize(size, size));
            QVERIFY(read.hasAlphaChannel());
            QVERIFY(samePixels(
                read, icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        }
    }

    void fileNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("png in a folder")
            << OutputFlow::pngFileName("/tmp/icons", 48) << "/tmp/icons/48x48.png";
        QTest::newRow("png in a folder with a separator")
            << OutputFlow::pngFileName("/tmp/icons/", 16) << "/tmp/icons/16x16.png";
        QTest::newRow("png at the root") << OutputFlow::pngFileName("/", 256) << "/256x256.png";
        QTest::newRow("ico added")
            << OutputFlow::withIcoSuffix("/tmp/a.b/app") << "/tmp/a.b/app.ico";
        QTest::newRow("ico kept") << OutputFlow::withIcoSuffix("/tmp/app.ico") << "/tmp/app.ico";
        QTest::newRow("other suffix kept")
            << OutputFlow::withIcoSuffix("/tmp/app.icon") << "/tmp/app.icon";
    }

    void fileNames() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(name, expected);
    }

    void failedWritesKeepTheOldFile_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("oldFile");
        QTest::addColumn<Failure>("write");
        const Failure ico = [](const QString& path) {
            OutputFailures failures;
            if (auto failure = writeIcon(path, rendering(256, Picture::Drawn), 1))
                failures.append(*failure);
            return failures;
        };
        const Failure png = [](const QString& path) {
            return writePngImages({{path, rendering(256, Picture::Drawn)}});
        };
        const Failure emptyIco = [](const QString& path) {
            OutputFailures failures;
            if (auto failure = writeIcon(path, QImage(), 1))
                failures.append(*failure);
            return failures;
        };
        const Failure emptyPng = [](const QString& path) {
            return writePngImages({{path, QImage()}});
        };
        for (const auto& [kind, write] : {std::pair{"ico", ico}, std::pair{"png", png}}) {
            QTest::addRow("%s, missing folder", kind) << "missing/new" << false << write;
            QTest::addRow("%s, below a regular file", kind) << "plain/new" << false << write;
            QTest::addRow("%s, read-only folder", kind) << "locked/old" << true << write;
            QTest::addRow("%s, target is a folder", kind) << "folder" << false << write;
            QTest::addRow("%s, disk full while writing", kind) << "full/old" << true << write;
        }
        // Small enough to sit in the file's write buffer until the very end.
        const Failure smallPng = [](const QString& path) {
            return writePngImages({{path, rendering(64, Picture::Drawn)}});
        };
        QTest::newRow("png, disk full at the last bytes") << "full/old" << true << smallPng;
        QTest::newRow("ico, nothing rendered") << "writable/old" << true << emptyIco;
        QTest::newRow("png, nothing rendered") << "writable/old" << true << emptyPng;
    }

    void failedWritesKeepTheOldFile() {
        QFETCH(QString, target);
        QFETCH(bool, oldFile);
        QFETCH(Failure, write);
        QTemporaryDir root;
        const QString path = root.filePath(target);
        const QString folder = QFileInfo(path).path();
        const QByteArray oldBytes("the previous file");
        QVERIFY(writeFileBytes(root.filePath("plain"), "a file, not a folder"));
        QVERIFY(QDir(root.path()).mkpath("folder/inside"));
        for (const char* name : {"locked", "full", "writable"})
            QVERIFY(QDir(root.path()).mkdir(name));
        if (oldFile)
            QVERIFY(writeFileBytes(path, oldBytes));
        if (target.startsWith("locked")) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
            if (writeFileBytes(root.filePath("locked/probe"), "x")) {
                QFile::remove(root.filePath("locked/probe"));
                QSKIP("This user writes into read-only folders; the disk-full rows stand in.");
            }
        }
        const QStringList before = entriesOf(folder);

        std::ostringstream printed;
        std::streambuf* standardOutput = std::cout.rdbuf(printed.rdbuf());
        OutputFailures failures;
        {
            std::optional<TestSupport::FileSizeLimit> limit;
            if (target.startsWith("full"))
                limit.emplace(512);
            failures = write(path);
        }
        std::cout.rdbuf(standardOutput);
        QFile::setPermissions(root.filePath("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures.first().fileName, path);
        QVERIFY(!failures.first().reason.isEmpty());
        const QString message = OutputFlow::failureMessage(failures);
        QVERIFY(message.contains(QDir::toNativeSeparators(path)));
        QVERIFY(message.contains(failures.first().reason));
        if (QTest::currentDataTag() == QLatin1String("ico, nothing rendered"))
            QVERIFY(QString::fromStdString(printed.str()).startsWith("Caught exception: "));
        QCOMPARE(entriesOf(folder), before);
        if (oldFile)
            QCOMPARE(readFileBytes(path), oldBytes);
        if (!oldFile && target != "folder")
            QVERIFY(!QFileInfo::exists(path));
        if (target == "folder")
            QVERIFY(QFileInfo(path).isDir() && QFileInfo::exists(root.filePath("folder/inside")));
    }

    void newResolutionDialogShowsItsSize() {
        QWidget parent;
        auto* dialog = new NewResolutionDialog(&parent);
        QPointer<NewResolutionDialog> alive(dialog);
        QSignalSpy chosen(dialog, &NewResolutionDialog::newResolution);
        auto* spin = dialog->findChild<QSpinBox*>(QStringLiteral("spinBox"));
        auto* pixels = dialog->findChild<QLabel*>(QStringLiteral("pixelLabel"));
        QCOMPARE(dialog->size(), QSize(345, 203));
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 1024);
        QCOMPARE(spin->value(), 128);
        QCOMPARE(pixels->text(), QStringLiteral("x128"));

        whenModal<NewResolutionDialog>([&](NewResolutionDialog* shown) {
            spin->selectAll();
            QTest::keyClicks(spin, QStringLiteral("0"));
            QCOMPARE(spin->value(), 128);
            spin->selectAll();
            QTest::keyClicks(spin, QStringLiteral("64"));
            QCOMPARE(pixels->text(), QStringLiteral("x64"));
            click(shown->findChild<QPushButton*>(QStringLiteral("addButton")));
        });
        dialog->exec();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toInt(), 64);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull());
    }

    void exportDialogKeepsSortedList_data() {
        QTest::addColumn<QList<int>>("storedSizes");
        QTest::addColumn<QList<int>>("added");
        QTest::addColumn<QStringList>("rows");
        const QStringList defaults{"16x16", "32x32", "48x48", "256x256"};
        QTest::newRow("defaults") << QList<int>{} << QList<int>{} << defaults;
        QTest::newRow("64 in sorted place")
            << QList<int>{} << QList<int>{64}
            << QStringList{"16x16", "32x32", "48x48", "64x64", "256x256"};
        QTest::newRow("512 at the end")
            << QList<int>{} << QList<int>{512}
            << QStringList{"16x16", "32x32", "48x48", "256x256", "512x512"};
        QTest::newRow("32 again changes nothing") << QList<int>{} << QList<int>{32} << defaults;
        QTest::newRow("smallest first") << QList<int>{} << QList<int>{1}
                                        << QStringList{"1x1", "16x16", "32x32", "48x48", "256x256"};
        QTest::newRow("stored list in stored order") << QList<int>{24, 64, 1024} << QList<int>{}
                                                     << QStringList{"24x24", "64x64", "1024x1024"};
        QTest::newRow("stored list grows")
            << QList<int>{24, 64} << QList<int>{40} << QStringList{"24x24", "40x40", "64x64"};
        QTest::newRow("damaged store") << QList<int>{0, -5, 5000} << QList<int>{} << defaults;
    }

    void exportDialogKeepsSortedList() {
        QFETCH(QList<int>, storedSizes);
        QFETCH(QList<int>, added);
        QFETCH(QStringList, rows);
        if (!storedSizes.isEmpty()) {
            setSetting("ExportSize/exportSizeCount", storedSizes.size());
            for (int i = 0; i < storedSizes.size(); ++i)
                setSetting(QStringLiteral("ExportSize/exportSize%1").arg(i), storedSizes.at(i));
        }
        QWidget parent;
        auto* dialog = new ExportPNGDialog(&parent);
        QPointer<ExportPNGDialog> alive(dialog);
        QSignalSpy exported(dialog, &ExportPNGDialog::exportImages);
        QCOMPARE(dialog->size(), QSize(480, 472));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Image Resolutions"));

        whenModal<ExportPNGDialog>([&](ExportPNGDialog* shown) {
            for (int size : added)
                addResolution(shown, size);
            QCOMPARE(listRows(shown), rows);
            click(shown->findChild<QPushButton*>(QStringLiteral("exportButton")));
        });
        dialog->exec();

        QCOMPARE(exported.size(), 1);
        QList<int> sizes;
        for (const QString& row : rows)
            sizes.append(row.section('x', 0, 0).toInt());
        QCOMPARE(exported.first().first().value<QList<int>>(), sizes);
        QCOMPARE(settingValue("ExportSize/exportSizeCount").toInt(), sizes.size());
        for (int i = 0; i < sizes.size(); ++i)
            QCOMPARE(settingValue(QStringLiteral("ExportSize/exportSize%1").arg(i)).toInt(),
                     sizes.at(i));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull());

        // What Export stored is what the next dialog starts from.
        ExportPNGDialog reopened(&parent);
        QCOMPARE(listRows(&reopened), rows);
    }

    void exportDialogRemovesRows() {
        setSetting("ExportSize/exportSizeCount", 5);
        for (int i = 0; i < 5; ++i)
            setSetting(QStringLiteral("ExportSize/exportSize%1").arg(i), 16 << i);
        QWidget parent;
        auto* dialog = new ExportPNGDialog(&parent);
        QSignalSpy exported(dialog, &ExportPNGDialog::exportImages);
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("listWidget"));
        auto* add = dialog->findChild<QPushButton*>(QStringLiteral("addButton"));
        auto* remove = dialog->findChild<QPushButton*>(QStringLiteral("removeButton"));

        whenModal<ExportPNGDialog>([&](ExportPNGDialog* shown) {
            QVERIFY(add->isEnabled());
            QVERIFY(!remove->isEnabled());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(1)).center());
            QVERIFY(remove->isEnabled());
            click(remove);
            QCOMPARE(listRows(shown), QStringList({"16x16", "64x64", "128x128", "256x256"}));
            list->selectAll();
            click(remove);
            QCOMPARE(list->count(), 0);
            QVERIFY(!remove->isEnabled());
            // An emptied list can still grow again.
            QVERIFY(add->isEnabled());
            addResolution(shown, 20);
            QCOMPARE(listRows(shown), QStringList({"20x20"}));
            list->selectAll();
            click(remove);
            click(shown->findChild<QPushButton*>(QStringLiteral("exportButton")));
        });
        dialog->exec();

        QCOMPARE(exported.size(), 1);
        QVERIFY(exported.first().first().value<QList<int>>().isEmpty());
        QCOMPARE(settingValue("ExportSize/exportSizeCount").toInt(), 0);
        QVERIFY(!settingValue("ExportSize/exportSize0").isValid());
        ExportPNGDialog reopened(&parent);
        QCOMPARE(listRows(&reopened), QStringList({"16x16", "32x32", "48x48", "256x256"}));
    }

    void exportDialogCancelStoresNothing_data() {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Escape") << true;
    }

    void exportDialogCancelStoresNothing() {
        QFETCH(bool, byEscape);
        QWidget parent;
        auto* dialog = new ExportPNGDialog(&parent);
        QPointer<ExportPNGDialog> alive(dialog);
        QSignalSpy exported(dialog, &ExportPNGDialog::exportImages);
        whenModal<ExportPNGDialog>([&](ExportPNGDialog* shown) {
            addResolution(shown, 64);
            if (byEscape)
                QTest::keyClick(shown, Qt::Key_Escape);
            else
                click(shown->findChild<QPushButton*>(QStringLiteral("cancelButton")));
        });
        dialog->exec();
        QCOMPARE(exported.size(), 0);
        QVERIFY(TestSupport::noSettingsStored());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull());
    }

    void iconFileChoice_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("suffix added") << QStringLiteral("made") << QStringLiteral("made.ico");
        QTest::newRow("suffix kept") << QStringLiteral("made.ico") << QStringLiteral("made.ico");
        QTest::newRow("cancelled") << QString() << QString();
    }

    void iconFileChoice() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        QWidget parent;
        QString startedIn;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Create Icon File"));
            QCOMPARE(dialog->nameFilters(), QStringList{"Icon file (*.ico)"});
            startedIn = dialog->directory().absolutePath();
            if (typed.isEmpty()) {
                dialog->reject();
                return;
            }
            TestSupport::chooseInFileDialog(dialog, folder.path(), typed);
        });
        const QString chosen = OutputFlow::askIconFileName(&parent);
        QCOMPARE(startedIn, QDir::homePath());
        if (expected.isEmpty()) {
            QVERIFY(chosen.isEmpty());
            QVERIFY(!settingValue("Path/folderPathIcon").isValid());
            return;
        }
        QCOMPARE(chosen, QDir(folder.path()).filePath(expected));
        QCOMPARE(settingValue("Path/folderPathIcon").toString(), folder.path());

        // The next save dialog opens where the last one ended.
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            startedIn = dialog->directory().absolutePath();
            dialog->reject();
        });
        QVERIFY(OutputFlow::askIconFileName(&parent).isEmpty());
        QCOMPARE(startedIn, folder.path());
    }

    void exportFolderChoice_data() {
        QTest::addColumn<bool>("remembered");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("first choice") << false << false;
        QTest::newRow("remembered folder") << true << false;
        QTest::newRow("cancelled") << true << true;
    }

    void exportFolderChoice() {
        QFETCH(bool, remembered);
        QFETCH(bool, cancel);
        QTemporaryDir previous;
        QTemporaryDir next;
        if (remembered)
            setSetting("Path/folderPathPNG", previous.path());
        const QString start = remembered ? previous.path() : OutputFlow::documentsFolder();
        QVERIFY(!start.isEmpty());
        QString startedIn;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Select folder ..."));
            startedIn = dialog->directory().absolutePath();
            if (cancel) {
                dialog->reject();
                return;
            }
            TestSupport::chooseInFileDialog(dialog, next.path());
        });
        QString folder;
        const bool chosen = OutputFlow::chooseExportFolder(folder);
        if (QDir(start).exists())
            QCOMPARE(startedIn, QDir(start).absolutePath());
        QCOMPARE(chosen, !cancel);
        if (cancel) {
            QVERIFY(folder.isEmpty());
            QCOMPARE(settingValue("Path/folderPathPNG").toString(), previous.path());
            return;
        }
        QCOMPARE(folder, next.path());
        QCOMPARE(settingValue("Path/folderPathPNG").toString(), next.path());
    }
    void goWritesIconFile_data() {
        QTest::addColumn<int>("canvasSize");
        QTest::addColumn<QString>("name");     // typed into the save dialog; none cancels it
        QTest::addColumn<bool>("diskFull");    // over an older file at the same path
        QTest::addColumn<QList<int>>("sizes"); // of the entries written; none when nothing is
        QTest::newRow("256x256") << 0 << "made" << false << QList<int>{16, 32, 48, 256};
        QTest::newRow("512x512") << 1 << "made" << false << QList<int>{16, 32, 48, 256, 512};
        QTest::newRow("1024x1024") << 2 << "made" << false << QList<int>{16, 32, 48, 256, 512, 768};
        QTest::newRow("cancelled") << 0 << "" << false << QList<int>{};
        QTest::newRow("missing folder") << 0 << "missing/made.ico" << false << QList<int>{};
        QTest::newRow("disk full over an old file") << 0 << "made.ico" << true << QList<int>{};
    }

    void goWritesIconFile() {
        QFETCH(int, canvasSize);
        QFETCH(QString, name);
        QFETCH(bool, diskFull);
        QFETCH(QList<int>, sizes);
        QTemporaryDir folder;
        OutputForm shown(folder.filePath("picture.png"), 0, canvasSize);
        const QString path = OutputFlow::withIcoSuffix(folder.filePath(name));
        const QByteArray oldBytes("the icon of yesterday");
        if (diskFull)
            QVERIFY(writeFileBytes(path, oldBytes));
        const QStringList before = entriesOf(folder.path());
        std::optional<TestSupport::FileSizeLimit> limit;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            if (diskFull)
                limit.emplace(512);
            TestSupport::chooseInFileDialog(dialog, folder.path(), name);
        });
        const QStringList messages = shown.pressGo();
        limit.reset();

        if (sizes.isEmpty()) {
            // One warning naming the file for a failure, silence for a cancel; nothing changed.
            QCOMPARE(messages.size(), name.isEmpty() ? 0 : 1);
            QVERIFY(name.isEmpty() || messages.first().contains(path));
            QCOMPARE(entriesOf(folder.path()), before);
            if (diskFull)
                QCOMPARE(readFileBytes(path), oldBytes);
            if (name.isEmpty())
                QVERIFY(!settingValue("Path/folderPathIcon").isValid());
            return;
        }
        QVERIFY(messages.isEmpty());
        const QList<QImage> entries = readIcoEntries(path);
        QList<int> readSizes;
        for (const QImage& entry : entries)
            readSizes.append(entry.width());
        QCOMPARE(readSizes, sizes);
        const QImage icon = shown.rendering();
        QCOMPARE(icon.width(), sizes.last());
        QVERIFY(!everyAlphaIs(icon, 0));
        QVERIFY(samePixels(entries.at(3),
                           icon.scaled(256, 256, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        QVERIFY(samePixels(entries.last(), icon));
        QCOMPARE(settingValue("Path/folderPathIcon").toString(), folder.path());
    }

    void goExportsPngFiles_data() {
        QTest::addColumn<QList<int>>("added");
        QTest::addColumn<bool>("removeAll");
        QTest::addColumn<bool>("cancelBrowser");
        QTest::addColumn<QList<int>>("written");
        QTest::newRow("defaults") << QList<int>{} << false << false << QList<int>{16, 32, 48, 256};
        QTest::newRow("64 added") << QList<int>{64} << false << false
                                  << QList<int>{16, 32, 48, 64, 256};
        QTest::newRow("empty list") << QList<int>{} << true << false << QList<int>{};
        QTest::newRow("browser cancelled") << QList<int>{} << false << true << QList<int>{};
    }

    void goExportsPngFiles() {
        QFETCH(QList<int>, added);
        QFETCH(bool, removeAll);
        QFETCH(bool, cancelBrowser);
        QFETCH(QList<int>, written);
        QTemporaryDir pictures;
        QTemporaryDir folder;
        OutputForm shown(pictures.filePath("picture.png"), 1);
        const QByteArray oldBytes("an older export");
        QVERIFY(writeFileBytes(folder.filePath("16x16.png"), oldBytes));
        QString browserTitle;
        whenModal<ExportPNGDialog>([&](ExportPNGDialog* dialog) {
            for (int size : added)
                addResolution(dialog, size);
            if (removeAll) {
                dialog->findChild<QListWidget*>(QStringLiteral("listWidget"))->selectAll();
                click(dialog->findChild<QPushButton*>(QStringLiteral("removeButton")));
            }
            whenModal<QFileDialog>([&](QFileDialog* browser) {
                browserTitle = browser->windowTitle();
                if (cancelBrowser)
                    browser->reject();
                else
                    TestSupport::chooseInFileDialog(browser, folder.path());
            });
            click(dialog->findChild<QPushButton*>(QStringLiteral("exportButton")));
        });
        QVERIFY(shown.pressGo().isEmpty());
        QCOMPARE(browserTitle, QStringLiteral("Select folder ..."));

        QStringList names;
        for (int size : written)
            names.append(QStringLiteral("%1x%1.png").arg(size));
        if (!names.contains("16x16.png"))
            names.append("16x16.png");
        names.sort();
        QStringList files = entriesOf(folder.path());
        files.sort();
        QCOMPARE(files, names);
        const QImage icon = shown.rendering();
        for (int size : written) {
            const QImage read(folder.filePath(QStringLiteral("%1x%1.png").arg(size)), "png");
            QVERIFY(samePixels(
                read, icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        }
        if (!written.contains(16))
            QCOMPARE(readFileBytes(folder.filePath("16x16.png")), oldBytes);
        QCOMPARE(settingValue("Path/folderPathPNG").toString(),
                 cancelBrowser ? QString() : folder.path());
        QCOMPARE(settingValue("ExportSize/exportSizeCount").toInt(),
                 removeAll ? 0 : 4 + (added == QList<int>{64}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(shown.form.findChildren<QDialog*>().isEmpty());
    }

    void goReportsPngFailures() {
        QTemporaryDir pictures;
        QTemporaryDir folder;
        OutputForm shown(pictures.filePath("picture.png"), 1);
        QVERIFY(QDir(folder.path()).mkpath("48x48.png/inside"));
        whenModal<ExportPNGDialog>([&](ExportPNGDialog* dialog) {
            whenModal<QFileDialog>([&](QFileDialog* browser) {
                TestSupport::chooseInFileDialog(browser, folder.path());
            });
            click(dialog->findChild<QPushButton*>(QStringLiteral("exportButton")));
        });
        const QStringList messages = shown.pressGo();

        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(folder.filePath("48x48.png")));
        QVERIFY(!messages.first().contains("32x32.png"));
        QStringList files = entriesOf(folder.path());
        files.sort();
        QCOMPARE(files, QStringList({"16x16.png", "256x256.png", "32x32.png", "48x48.png"}));
        QVERIFY(QFileInfo::exists(folder.filePath("48x48.png/inside")));
        QCOMPARE(QImage(folder.filePath("256x256.png")).size(), QSize(256, 256));
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
