// The icon and PNG files, each read back by a reader other than its writer, and the Go button's
// flows through the real dialogs: choices, cancels and failures that keep older files whole.
#include "document/editeddocument.h"
#include "form/editorform.h"
#include "form/exportpngdialog.h"
#include "form/iconsizesdialog.h"
#include "form/newresolutiondialog.h"
#include "output/iconsizes.h"
#include "output/icowriter.h"
#include "output/pngencoder.h"
#include "output/pngencodings.h"
#include "output/resolutionlist.h"
#include "render/iconrenderer.h"
#include "support/testsupport.h"

#include <QtConcurrent>
#include <QtWidgets>

#include <algorithm>
#include <numeric>

using namespace TestSupport;

namespace {

QByteArray rgba(const QImage& image) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGBA8888);
    return QByteArray(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes());
}

// The pixels as every reader shows them: RGBA, fully transparent ones as transparent black.
QByteArray visible(const QImage& image) {
    QByteArray pixels = rgba(image);
    for (qsizetype i = 0; i < pixels.size(); i += 4) {
        if (pixels.at(i + 3) == 0)
            pixels.replace(i, 3, QByteArray(3, '\0'));
    }
    return pixels;
}

// A random picture of 4 x 4 blocks, each one of `count` random colours (`count` 0: a gradient
// between two random colours, across and down), grey when `grey`, opaque unless `alpha`. Not
// premultiplied, so every colour is kept exactly.
QImage randomPicture(QSize size, int count, bool grey, bool alpha, quint32 seed) {
    QRandomGenerator random(seed);
    const auto colour = [&] {
        const int red = random.bounded(256), alphaValue = alpha ? random.bounded(256) : 255;
        return grey ? qRgba(red, red, red, alphaValue)
                    : qRgba(red, random.bounded(256), random.bounded(256), alphaValue);
    };
    QList<QRgb> colours;
    for (int i = 0; i < count; ++i)
        colours << colour();
    QImage image(size, QImage::Format_ARGB32);
    const QRgb from = colour(), to = colour();
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int block = y / 4 * ((size.width() + 3) / 4) + x / 4;
            const double across = double(x) / size.width(),
                         down = grey ? across : double(y) / size.height();
            const auto mix = [](int a, int b, double t) { return int(a + t * (b - a)); };
            image.setPixel(x, y,
                           count ? colours.at(block < count ? block : random.bounded(count))
                                 : qRgba(mix(qRed(from), qRed(to), across),
                                         mix(qGreen(from), qGreen(to), down),
                                         mix(qBlue(from), qBlue(to), down),
                                         mix(qAlpha(from), qAlpha(to), across)));
        }
    }
    return image;
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

// Every layer of the style, a translucent picture across its edge.
IconStyle documentStyle() {
    IconStyle style;
    style.useBackground = style.useBack3dEffect = style.useBorder = style.useGlossy = true;
    style.useBadge = true;
    style.backColor2 = QColor(20, 40, 200, 160);
    return style;
}

QList<Layer> documentLayers(int k) {
    Layer picture;
    picture.sourceImage = crossPicture(QSize(200, 90) * k, QColor(250, 0, 0, 128));
    picture.position = QPoint(-20, 150) * k;
    return {picture};
}

QImage documentIcon(int k) {
    return IconRenderer(k).renderIcon(documentStyle(), documentLayers(k));
}

// Pixels of a bitmap entry that a reader going by its mask alone gets wrong: shown although
// transparent in `pixels` (RGBA), or hidden although not.
int maskErrors(const QByteArray& bitmap, const QByteArray& pixels, int size) {
    const int row = (size + 31) / 32 * 4, bits = bitmap.at(14);
    const char* mask = bitmap.constData() + 40 + (bits == 1 ? 8 + row * size : 4 * size * size);
    int errors = 0;
    for (int i = 0; i < size * size; ++i) {
        const bool hidden = mask[(size - 1 - i / size) * row + i % size / 8] & 0x80 >> i % size % 8;
        errors += hidden != (pixels.at(4 * i + 3) == 0);
    }
    return errors;
}

QList<int> listedSizes(const QListWidget* list) {
    QList<int> sizes;
    for (int i = 0; i < list->count(); ++i)
        sizes.append(ResolutionList::rowValue(list->item(i)->text()).value_or(-1));
    return sizes;
}

// Edits the size list of `dialog`: "-" removes its first row (Remove acts on a selected row
// only), "+N" adds N as typed, answering the question about sizes above 256 with No ("+N!": with
// Yes); any other step clicks the button of that name.
void editSizes(QWidget* dialog, const QString& steps) {
    auto* list = child<QListWidget>(dialog, "listWidget");
    auto* remove = child<QPushButton>(dialog, "removeButton");
    for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
        const QString size = step.mid(1).remove('!');
        if (step == "-") {
            list->clearSelection();
            QVERIFY(!remove->isEnabled());
            list->setCurrentRow(0);
            QVERIFY(remove->isEnabled());
            click(dialog, "removeButton");
            QVERIFY(!remove->isEnabled());
        } else if (step.startsWith('+')) {
            whenModal<NewResolutionDialog>([size](NewResolutionDialog* add) {
                auto* box = child<QSpinBox>(add, "spinBox");
                QCOMPARE(box->value(), 128); // a size to start from
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(box, size);
                QCOMPARE(child<QLabel>(add, "pixelLabel")->text(), "x" + size);
                click(add, "addButton");
            });
            const auto answer = step.endsWith('!') ? QMessageBox::Yes : QMessageBox::No;
            if (size.toInt() > IconSizes::largestUsedByWindows)
                whenModal<QMessageBox>([=](QMessageBox* box) { box->button(answer)->click(); });
            click(dialog, "addButton");
        } else {
            child<QAbstractButton>(dialog, step.toLatin1())->click();
        }
    }
}

} // namespace

class TestOutput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void iconFile_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<QImage>("rendering");
        QTest::addColumn<bool>("sharp");
        QTest::addColumn<QList<int>>("sizes");
        const QList<int> sizes{16, 32, 48, 256}; // the default on every canvas
        for (int k = 1; k <= 3; ++k) {
            QTest::addRow("document k%d", k) << k << documentIcon(k) << false << sizes;
            QTest::addRow("every premultiplied value k%d", k)
                << k << everyPremultipliedValue(256 * k) << false << sizes;
        }
        QTest::addRow("few colours")
            << 1 << crossPicture({256, 256}, Qt::transparent) << false << sizes;
        QImage empty(256, 256, QImage::Format_ARGB32_Premultiplied);
        empty.fill(Qt::transparent);
        QTest::addRow("transparent") << 1 << empty << false << sizes;
        QImage corner = empty.copy();
        QPainter(&corner).fillRect(0, 0, 4, 4, Qt::red);
        QTest::addRow("only the first pixel seen at 16") << 1 << corner << false << sizes;
        QTest::addRow("windows set, sharp")
            << 1 << documentIcon(1) << true << IconSizes::windowsSet();
    }

    // Every entry, read by Qt's icon reader (ImageMagick and three more read the command line's
    // icons), holds its image exactly, alpha and all: scaled from the rendering unless drawn sharp.
    // Bitmaps up to 64 px carry a mask that hides exactly the transparent pixels; larger entries
    // are PNG no larger than Qt's own, except invisible ones, which stay masked bitmaps for readers
    // that ignore alpha.
    void iconFile() {
        QFETCH(int, k);
        QFETCH(QImage, rendering);
        QFETCH(bool, sharp);
        QFETCH(QList<int>, sizes);
        const QList<QImage> entries =
            iconEntryImages(rendering, sizes, sharp, documentStyle(), documentLayers(k), k);
        QTemporaryDir folder;
        const QString path = folder.filePath("icon.ico");
        QVERIFY(!(sharp ? writeIconEntries(path, entries) : writeIcon(path, rendering, k)));
        const QByteArray file = readFileBytes(path);
        QImageReader reader(path, "ico");
        QCOMPARE(file.left(6), QByteArray::fromHex("00000100") + char(sizes.size()) + '\0');
        // The file holds the entries largest first, ties in the order given.
        QList<int> order(sizes.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return sizes.at(a) > sizes.at(b); });
        for (int i = 0; i < sizes.size(); ++i) {
            const int size = sizes.at(order.at(i));
            const QByteArray expected = rgba(entries.at(order.at(i)));
            QVERIFY(reader.jumpToImage(i));
            QCOMPARE(rgba(reader.read()), expected);
            QCOMPARE(expected == rgba(scaled(rendering, size)), !sharp || size > 64);
            const bool invisible = expected.count('\0') == expected.size();
            const char* at = file.constData() + 6 + 16 * i;
            QCOMPARE(int(at[6]), invisible ? 1 : 32);
            const QByteArray bytes =
                file.mid(qFromLittleEndian<quint32>(at + 12), qFromLittleEndian<quint32>(at + 8));
            QCOMPARE(bytes.startsWith("\x89PNG"), size > 64 && !invisible);
            if (bytes.startsWith("\x89PNG")) {
                QCOMPARE_LE(bytes.size(), qtPngBytes(entries.at(order.at(i))).size());
            } else {
                QCOMPARE(maskErrors(bytes, expected, size), 0);
                // The bitmap header's own counts: twice the height (colour and mask), its bits
                // per pixel, and its image size the bytes after the header and the palette.
                const int bits = qFromLittleEndian<quint16>(bytes.constData() + 14);
                QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 8), 2 * size);
                QCOMPARE(bits, invisible ? 1 : 32);
                QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 20),
                         quint32(bytes.size() - 40 - (bits == 1 ? 8 : 0)));
            }
        }
    }

    void pngEncoding_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("colours");      // a PngColours
        QTest::addColumn<QByteArray>("types"); // the colour types it may choose, in IHDR's numbers
        QTest::addColumn<int>("depth");
        const QSize odd(37, 23), square(96, 96);
        const auto row = [](const char* name, const QImage& picture, const QByteArray& types,
                            int depth, PngColours colours = PngColours::Any) {
            QTest::newRow(name) << picture << int(colours) << types << depth;
        };
        row("2 colours", randomPicture(odd, 2, false, true, 1), "\3", 1);
        row("3 colours", randomPicture(odd, 3, false, true, 2), "\3", 2);
        row("5 colours", randomPicture(odd, 5, false, false, 3), "\3", 4);
        row("17 colours", randomPicture(odd, 17, false, true, 4), "\3", 8);
        row("256 colours", randomPicture(square, 256, false, true, 5), "\3", 8);
        row("257 colours", randomPicture(square, 257, false, false, 6), "\2", 8);
        row("grey", randomPicture(square, 0, true, false, 7), QByteArray("\0\3", 2), 8);
        row("grey, alpha", randomPicture(square, 600, true, true, 8), "\4", 8);
        row("many colours", randomPicture(square, 0, false, false, 9), "\2", 8);
        row("many colours, alpha", randomPicture(square, 0, false, true, 10), "\6", 8);
        const PngColours truecolour = PngColours::Truecolour, ico = PngColours::OpaquePalette;
        row("few colours as truecolour", randomPicture(odd, 3, false, true, 11), "\6", 8,
            truecolour);
        row("grey as truecolour", randomPicture(square, 0, true, false, 12), "\2", 8, truecolour);
        row("few opaque colours, .ico", randomPicture(odd, 5, false, false, 13), "\3", 4, ico);
        row("few colours, alpha, .ico", randomPicture(odd, 3, false, true, 14), "\6", 8, ico);
        row("few greys, alpha, .ico", randomPicture(odd, 3, true, true, 15), "\4", 8, ico);
        QImage premultiplied = everyPremultipliedValue(256);
        row("premultiplied", premultiplied, "\6", 8);
    }

    // Read back by Qt (libpng), every picture holds its pixels exactly in the smallest colour
    // type that can, at the palette's fewest bits an index, never larger than Qt's own PNG.
    void pngEncoding() {
        QFETCH(QImage, picture);
        QFETCH(int, colours);
        QFETCH(QByteArray, types);
        QFETCH(int, depth);
        for (const PngEffort effort :
             {PngEffort::Smallest, PngEffort::Balanced, PngEffort::Quick}) {
            const EncodedFile encoded = encodePng(picture, effort, PngColours(colours));
            QVERIFY(encoded.failure.isEmpty());
            QCOMPARE(visible(QImage::fromData(encoded.bytes, "PNG")), visible(picture));
            QVERIFY2(types.contains(encoded.bytes.at(25)),
                     qPrintable(encoded.bytes.mid(24, 2).toHex()));
            QCOMPARE(int(encoded.bytes.at(24)), depth);
            QCOMPARE_LE(encoded.bytes.size(), qtPngBytes(picture).size());
        }
        QCOMPARE(encodePng(QImage()).failure, "no picture to encode");
    }

    // Targets written together share one set of encodings, asked from many threads at once: each
    // answer is encodePng's for its own pixels, effort and colours, whichever copy of the pixels
    // asked first. The same bits in a premultiplied format are other pixels.
    void sharedEncodings() {
        const QImage few = randomPicture(QSize(40, 40), 5, false, true, 21);
        QImage straight(2, 2, QImage::Format_ARGB32);
        straight.fill(qRgba(100, 60, 20, 128));
        QImage bitsAsPremultiplied = straight.copy();
        QVERIFY(bitsAsPremultiplied.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied));
        const QList<QImage> pictures{few, randomPicture(QSize(64, 48), 0, false, true, 22),
                                     straight, bitsAsPremultiplied};
        struct Request {
            QImage picture;
            PngEffort effort;
            PngColours colours;
        };
        QList<Request> requests;
        QRandomGenerator random(23);
        for (int i = 0; i < 96; ++i) {
            requests.append({pictures[random.bounded(pictures.size())].copy(),
                             PngEffort(random.bounded(3)), PngColours(random.bounded(3))});
        }
        PngEncodings encodings;
        const QList<QByteArray> shared =
            QtConcurrent::blockingMapped(requests, [&](const Request& r) {
                return encodings.encode(r.picture, r.effort, r.colours).bytes;
            });
        for (qsizetype i = 0; i < requests.size(); ++i) {
            const Request& r = requests[i];
            QCOMPARE(shared[i], encodePng(r.picture, r.effort, r.colours).bytes);
        }
        const QRgb read = QImage::fromData(encodings.encode(bitsAsPremultiplied).bytes).pixel(0, 0);
        QCOMPARE(read, qUnpremultiply(bitsAsPremultiplied.pixel(0, 0)));
        QCOMPARE_NE(read, straight.pixel(0, 0));
        QCOMPARE(encodings.encode(QImage()).failure, "no picture to encode");
    }

    void goButton_data() {
        QTest::addColumn<int>("output"); // 0: icon file, 1: PNG files
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("choice"); // typed file name or folder; empty cancels
        QTest::addColumn<QString>("edit");   // the PNG list's steps, as editSizes takes them
        QTest::addColumn<QStringList>("written");
        const auto row = [](const char* name, int output, int k, const char* choice,
                            const char* edit, const QStringList& written) {
            QTest::newRow(name) << output << k << choice << edit << written;
        };
        row("icon", 0, 1, "made", "", {"made.ico"});
        row("icon 1024", 0, 3, "big.ico", "", {"big.ico"});
        row("icon cancelled", 0, 1, "", "", {});
        row("icon below a file", 0, 1, "old/x.ico", "", {});
        row("icns", 2, 1, "app", "", {"app.icns"});
        row("icon theme", 3, 2, "app", "", {});
        row("png", 1, 1, ".", "", {"16x16.png", "256x256.png", "32x32.png", "48x48.png"});
        row("png 64 added, 16 removed", 1, 2, ".", "+64 +32 -",
            {"256x256.png", "32x32.png", "48x48.png", "64x64.png"});
        row("png cancelled", 1, 1, "", "", {});
        row("png onto a folder", 1, 1, "full", "", {});
        row("png, every file onto a folder", 1, 1, "full", "- - - - +16", {});
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
        // A count its rows do not fill, a row of a longer earlier list, a key of another version.
        setSettings({{"ExportSize/exportSizeCount", 1},
                     {"ExportSize/exportSize7", 999},
                     {"ExportSize/exportSizeFuture", "x"}});
        QTemporaryDir folder;
        QVERIFY(writeFileBytes(folder.filePath("old"), "older file"));
        QVERIFY(writePicture(folder.filePath("p.jpg"), {500, 300}, Qt::darkCyan));
        EditedDocument edited;
        EditorForm form(edited);
        form.show();
        child<QComboBox>(&form, "outputComboBox")->setCurrentIndex(output);
        child<QComboBox>(&form, "canvasSizeComboBox")->setCurrentIndex(k - 1);
        QVERIFY(dropFiles(child<QWidget>(&form, "canvas"), {150, 150}, {folder.filePath("p.jpg")}));
        const QImage rendering = renderDocumentIcon(documentOf(&form));
        const QString full = folder.filePath("full");
        QDir().mkdir(full);
        const auto choose = [&](QFileDialog* dialog) {
            if (choice.isEmpty())
                return dialog->reject();
            // A folder whose name is a file inside it: every PNG lands on a folder and fails.
            if (choice == "full")
                QDir().mkpath(full + "/16x16.png");
            chooseInFileDialog(dialog, choice == "full" ? full : folder.path(),
                               output == 1 ? QString() : choice);
        };
        if (output != 1)
            whenModal<QFileDialog>(choose);
        else
            whenModal<ExportPNGDialog>([&](ExportPNGDialog* dialog) {
                editSizes(dialog, edit);
                whenModal<QFileDialog>(choose);
                click(dialog, "exportButton");
            });
        QSignalSpy told(&form, &EditorForm::told);
        const QStringList messages = messagesDuring(
            [&] { QTest::mouseClick(child<QPushButton>(&form, "goButton"), Qt::LeftButton); });

        const QStringList kinds{"*.png", "*.ico", "*.icns"};
        QCOMPARE(QDir(folder.path()).entryList(kinds, QDir::Files, QDir::Name), written);
        if (output == 1 && !written.isEmpty()) {
            // The list as edited is the document's, for the next export and the project, and the
            // settings store's for new documents.
            QCOMPARE(settingValue("ExportSize/exportSizeCount").toInt(), written.size());
            QVERIFY(!settingValue("ExportSize/exportSize7").isValid());
            QCOMPARE(settingValue("ExportSize/exportSizeFuture"), "x");
            QStringList stored;
            for (int size : documentOf(&form).output.pngSizes)
                stored << QStringLiteral("%1x%1.png").arg(size);
            QCOMPARE((stored.sort(), stored), written);
        }
        // A status-bar message whenever something was written (three PNGs beside the failed one).
        const QString to = choice == "full" ? full : folder.path();
        const int pngs = QDir(to).entryList({"*.png"}, QDir::Files).size();
        QCOMPARE(told.size(),
                 choice.isEmpty() || choice.startsWith("old/") || (output == 1 && !pngs) ? 0 : 1);
        if (output == 1 && !told.isEmpty()) {
            // It counts the PNG files written, not those asked for.
            QCOMPARE(told.first().first().toString(), QStringLiteral("Wrote %1 PNG file(s) to %2")
                                                          .arg(pngs)
                                                          .arg(QDir::toNativeSeparators(to)));
        }
        if (output == 0 && !told.isEmpty()) {
            // It names the entries, smallest first; the file starts with the largest, the
            // document's rendering, scaled down to 256 on the larger canvases.
            QCOMPARE(rgba(QImage(folder.filePath(written.first()))), rgba(scaled(rendering, 256)));
            QCOMPARE(told.first().first().toString(),
                     QStringLiteral("Wrote %1: 16, 32, 48, 256").arg(written.first()));
        }
        QCOMPARE(readFileBytes(folder.filePath("old")), QByteArray("older file"));
        const bool failed = choice == "full" || choice.startsWith("old/");
        QCOMPARE(messages.size(), failed ? 1 : 0);
        if (failed)
            QVERIFY(messages.first().contains(QDir::toNativeSeparators(folder.path())));
        const QString key = output == 1 ? "Path/folderPathPNG" : "Path/folderPathIcon";
        QCOMPARE(settingValue(key).isValid(), !choice.isEmpty());
    }

    // The dialog shows the canvas size's defaults until the user chooses; OK answers the choice,
    // Default as no choice at all. Each row: the steps, as editSizes takes them, whether OK ends
    // them, the sizes shown then and those chosen.
    void iconSizesDialog() {
        struct Row {
            QString steps;
            bool ok;
            QList<int> shown, stored;
        };
        const QList<int> windows = IconSizes::windowsSet(), chosen = windows.mid(1) << 512;
        const Row rows[] = {{"windowsButton +512! - sharpCheckBox", true, chosen, chosen},
                            {"windowsButton +256 defaultButton", true, icoEntrySizes(512), {}},
                            {"windowsButton +512 sharpCheckBox", false, windows, {}}};
        for (const Row& row : rows) {
            clearSettings();
            whenModal<IconSizesDialog>([&](IconSizesDialog* dialog) {
                auto* list = child<QListWidget>(dialog, "listWidget");
                QCOMPARE(listedSizes(list), icoEntrySizes(512));
                editSizes(dialog, row.steps);
                QCOMPARE(listedSizes(list), row.shown);
                click(dialog, row.ok ? "okButton" : "cancelButton");
            });
            IconSizesDialog dialog({}, 2);
            QVERIFY2((dialog.exec() == QDialog::Accepted) == row.ok, qPrintable(row.steps));
            if (row.ok) {
                QCOMPARE(dialog.choice().sizes, row.stored);
                QCOMPARE(dialog.choice().sharp, row.steps.contains("sharp"));
            }
        }
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
