// The canvas with real drops of real files, real mouse, wheel and key events; pictures decoded as
// other readers decode them.
#include "canvas/canvasrules.h"
#include "canvas/canvaswidget.h"
#include "document/editeddocument.h"
#include "picture/jpegdecoder.h"
#include "picture/picturedecoder.h"
#include "picture/pngchunks.h"
#include "picture/svgattributes.h"
#include "picture/svgcleaner.h"
#include "picture/vectorpicture.h"
#include "render/sharpicon.h"
#include "support/testsupport.h"

#include <Magick++.h>
#include <QtWidgets>

#include <vector>

using namespace TestSupport;

class TestCanvas : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<EditedDocument> edited;
    std::unique_ptr<CanvasWidget> canvas;

    const QList<Layer>& layers() const { return edited->document().layers; }
    int steps() const { return edited->undoStack()->index(); }

    // Changes the document as an edit of the user would.
    void change(const std::function<void(Document&)>& edit) { edited->edit("test", edit); }

    // A shown canvas of factor k, the document empty.
    void showCanvas(int k) {
        canvas.reset();
        edited = std::make_unique<EditedDocument>();
        Document empty;
        empty.style.canvasFactor = k;
        edited->reset(empty);
        canvas = std::make_unique<CanvasWidget>();
        canvas->setDocument(edited.get());
        canvas->setFixedSize(300, 300);
        canvas->setAcceptDrops(true);
        canvas->show();
        QVERIFY(QTest::qWaitForWindowExposed(canvas.get()));
    }

    QString picture(const QString& name, QSize size, const QColor& color = Qt::red) {
        const QString path = folder.filePath(name);
        // A name Qt cannot write a picture under gets a text file.
        if (!QFileInfo::exists(path) && !writePicture(path, size, color))
            writeFileBytes(path, "not a picture");
        return path;
    }

    static Magick::Image magickPicture(const QImage& image) {
        const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
        return Magick::Image(size_t(rgba.width()), size_t(rgba.height()), "RGBA", Magick::CharPixel,
                             rgba.constBits());
    }

    // A colour profile of Debian's libgs-common.
    static QByteArray iccBytes(const QString& name) {
        return readFileBytes("/usr/share/color/icc/ghostscript/" + name + ".icc");
    }

    static Magick::Blob iccProfile(const QString& name) {
        const QByteArray icc = iccBytes(name);
        return Magick::Blob(icc.constData(), size_t(icc.size()));
    }

    // `jpeg` with the EXIF block a camera writes, tagging it with `orientation`.
    static QByteArray withOrientation(QByteArray jpeg, int orientation) {
        const char exif[] = {'\xff', '\xe1', 0, 34, 'E', 'x', 'i', 'f', 0, 0,
                             'M',    'M',    0, 42, 0,   0,   0,   8,   0, 1,
                             1,      0x12,   0, 3,  0,   0,   0,   1,   0, char(orientation),
                             0,      0,      0, 0,  0,   0};
        return jpeg.insert(2, exif, sizeof exif);
    }

    // Colours that differ from each neighbour, so a pixel out of place shows.
    static QImage noisePicture(QSize size) {
        QImage image(size, QImage::Format_RGB32);
        quint32 state = 12345;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                state = state * 1664525 + 1013904223;
                image.setPixel(x, y, 0xff000000 | state >> 8);
            }
        }
        return image;
    }

    // An SVG document of `root`'s attributes holding `body`.
    static QByteArray svg(const QByteArray& root, const QByteArray& body) {
        return "<svg xmlns=\"http://www.w3.org/2000/svg\" "
               "xmlns:xlink=\"http://www.w3.org/1999/xlink\" " +
               root + ">" + body + "</svg>";
    }

    // `count` attributes: a0="1" a1="1" ...
    static QByteArray attributes(int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += " a" + QByteArray::number(i) + "=\"1\"";
        return text;
    }

    // `count` <use> elements drawing the element of `id` again.
    static QByteArray uses(int count, const QByteArray& id) {
        return QByteArray("<use xlink:href=\"#" + id + "\"/>").repeated(count);
    }

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void cleanup() { canvas.reset(); }

    void drops_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("k");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("scale"); // 0: refused
        const auto row = [](const char* name, QSize size, int k, QPoint at, int scale) {
            QTest::newRow(name) << QString::fromLatin1(name) << size << k << at << scale;
        };
        row("a.png", {100, 60}, 1, {150, 150}, 100);
        row("b.jpg", {600, 300}, 1, {100, 200}, 50);
        row("c.jpeg", {1200, 600}, 2, {150, 150}, 50);
        row("d.gif", {40, 40}, 3, {10, 290}, 100);
        row("e.tif", {301, 100}, 1, {150, 150}, 99);
        row("f.tiff", {900, 900}, 3, {150, 150}, 100);
        row("g.webp", {50, 80}, 1, {0, 0}, 100);
        row("h.tar.PNG", {3000, 10}, 1, {150, 150}, 10);
        row("i.xcf", {50, 50}, 1, {150, 150}, 0);
        row("j.png.txt", {50, 50}, 1, {150, 150}, 0);
        row("k.png", {3000, 2}, 1, {150, 150}, 10);
        row("l.JFIF", {50, 50}, 1, {150, 150}, 100);
        row("m.jpe", {50, 50}, 1, {150, 150}, 100);
        row("n.Bmp", {50, 50}, 1, {150, 150}, 100);
    }

    // A dropped picture is fitted (never enlarged), centred on the drop point in canvas pixels,
    // listed, selected and shown; other files are refused.
    void drops() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(int, k);
        QFETCH(QPoint, at);
        QFETCH(int, scale);
        showCanvas(k);
        const QString path = picture(name, size);
        // Taken either way: what is not added is told.
        QSignalSpy refused(canvas.get(), &CanvasWidget::picturesRefused);
        QVERIFY(dropFiles(canvas.get(), at, {path}));
        QCOMPARE(refused.size(), scale > 0 ? 0 : 1);
        QCOMPARE(layers().size(), scale > 0 ? 1 : 0);
        QCOMPARE(steps(), scale > 0 ? 1 : 0);
        if (!scale)
            return;
        const Layer& object = layers().at(0);
        // Never less than a pixel each way.
        const QSize fitted(std::max(1, size.width() * scale / 100),
                           std::max(1, size.height() * scale / 100));
        QCOMPARE(object.scale, scale);
        QCOMPARE(object.image.size(), fitted);
        QCOMPARE(object.position, at * k - QPoint(fitted.width() / 2, fitted.height() / 2));
        QCOMPARE(object.rect, QRect(object.position, fitted));
        QCOMPARE(object.filePath, path);
        QCOMPARE(object.sourceImage.size(), size);
        QCOMPARE(canvas->selectedRect(), object.rect); // selected
        change([](Document& d) {
            d.layers[0].scale = 1;
            d.layers[0].updateImage();
        });
        QVERIFY(!layers().at(0).image.isNull());
    }

    // A big picture is read beside the window's thread: the drop returns at once and the status
    // says what is read; Escape stops it (nothing added, and told); while one is read, another
    // drop is told to wait.
    void bigPicturesReadAside() {
        showCanvas(1);
        const QString big = picture("big.jpg", {5000, 4000});
        QSignalSpy reading(canvas.get(), &CanvasWidget::reading);
        QSignalSpy refused(canvas.get(), &CanvasWidget::picturesRefused);
        for (const bool stop : {true, false}) {
            QVERIFY(dropFiles(canvas.get(), {150, 150}, {big}));
            QCOMPARE(layers().size(), 0);
            QCOMPARE(reading.last().first(), "Reading big.jpg… (Escape stops it)");
            QVERIFY(dropFiles(canvas.get(), {150, 150}, {picture("small.png", {9, 9})}));
            QCOMPARE(refused.takeLast().first().toStringList(),
                     QStringList{"small.png: another picture is still being read (Escape "
                                 "stops it)"});
            if (stop) {
                QTest::keyClick(canvas.get(), Qt::Key_Escape);
                QCOMPARE(refused.takeLast().first().toStringList(),
                         QStringList{"big.jpg: reading stopped"});
            }
        }
        QTRY_COMPARE(layers().size(), 1);
        QCOMPARE(reading.last().first(), QString());
        QCOMPARE(layers().at(0).sourceImage.size(), QSize(5000, 4000));
        QCOMPARE(steps(), 1);
    }

    // Any picture among the files makes a drag taken; then every picture of it is added at the
    // same point, and what is not taken is told once.
    void severalFilesInOneDrop() {
        showCanvas(1);
        const QString png = picture("one.png", {20, 20});
        const QString jpg = picture("two.jpg", {30, 30});
        const QString txt = picture("three.txt", {10, 10});
        const QString broken = folder.filePath("broken.png");
        QVERIFY(writeFileBytes(broken, "not a picture"));
        // Of an icon file, its largest entry is taken.
        const QString huge = folder.filePath("huge.png"), icon = folder.filePath("four.ICO");
        QVERIFY(QImage(20000, 10, QImage::Format_Mono).save(huge));
        std::vector<Magick::Image> entries;
        for (QSize size : {QSize(16, 16), QSize(64, 48), QSize(32, 32)})
            entries.push_back(magickPicture(crossPicture(size, Qt::blue)));
        Magick::writeImages(entries.begin(), entries.end(), "ico:" + icon.toStdString());
        // Sparse: a file over the limit, refused before it is read, costs no disk.
        const QString vast = folder.filePath("vast.png");
        QVERIFY(writeFileBytes(vast, "") && QFile::resize(vast, PictureLimits::maxFileBytes + 1));
        QSignalSpy refused(canvas.get(), &CanvasWidget::picturesRefused);
        // Files and folders that are no pictures are taken to be told, and add nothing.
        QVERIFY(dropFiles(canvas.get(), {100, 100},
                          {txt, folder.path() + "/gone.png", folder.path(), vast}));
        QCOMPARE(refused.takeFirst().at(0).toStringList(),
                 QStringList({"three.txt: unsupported type", "gone.png: cannot be read",
                              QFileInfo(folder.path()).fileName() + ": a folder, not a picture",
                              "vast.png: larger than 512 MB"}));
        QCOMPARE(steps(), 0);
        QVERIFY(dropFiles(canvas.get(), {100, 100}, {txt, png, broken, jpg, huge, icon}));
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.at(0).at(0).toStringList(),
                 QStringList({"three.txt: unsupported type", "broken.png: cannot be read",
                              "huge.png: too large: 20000 x 10"}));
        // One step for the whole drop, its last picture selected.
        QCOMPARE(steps(), 1);
        QCOMPARE(edited->document().selected, 2);
        QCOMPARE(layers().last().sourceImage.size(), QSize(64, 48));
        QCOMPARE(layers().size(), 3);
        QCOMPARE(layers().at(0).rect.center(), QPoint(99, 99));
        QCOMPARE(layers().at(1).rect, QRect(85, 85, 30, 30));
        QCOMPARE(layers().at(1).index, 1);
    }

    void svgReferences_data() {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("kept");
        const QByteArray rect = "<rect width=\"5\" height=\"5\" fill=\"%\"/>";
        const QByteArray style = "<style>%</style>";
        QTest::newRow("own gradient") << rect << QByteArray("url(#g)") << true;
        QTest::newRow("web gradient")
            << rect << QByteArray("url(http://a.example/p.svg#g)") << false;
        QTest::newRow("file, spaced")
            << rect << QByteArray("URL( 'file:///etc/passwd#g' )") << false;
        QTest::newRow("style sheet, own") << style << QByteArray("rect { fill: url(#g) }") << true;
        QTest::newRow("style sheet, file")
            << style << QByteArray("rect { fill: url(p.svg#g) }") << false;
        QTest::newRow("import") << style << QByteArray("@IMPORT 'a.css';") << false;
        // Only a data: URI is embedded; any other href names a file, whatever it carries.
        const QByteArray image = "<image width=\"5\" height=\"5\" href=\"%\"/>";
        QBuffer png;
        QVERIFY(png.open(QIODevice::WriteOnly) && crossPicture({4, 4}, Qt::red).save(&png, "PNG"));
        const QByteArray base64 = "base64," + png.data().toBase64();
        QTest::newRow("embedded picture") << image << "data:image/png;" + base64 << true;
        QTest::newRow("file, base64 in its name") << image << "red.png#" + base64 << false;
        QTest::newRow("filter's picture of the document")
            << QByteArray("<filter><feImage href=\"%\"/></filter>") << QByteArray("#g") << true;
        // A data: URI holding a document would be drawn past the cleaning.
        QTest::newRow("document in a url()") << rect << "url(data:image/svg+xml;" + base64 << false;
        QTest::newRow("inclusion")
            << QByteArray("<xi:include href=\"%\"/>") << QByteArray("data:text/plain,a") << false;
        QTest::newRow("base") << QByteArray("<g xml:base=\"%\"/>") << QByteArray("file:///tmp/")
                              << false;
    }

    // Nothing an SVG names outside itself stays in what librsvg is given to draw; its own
    // references do.
    void svgReferences() {
        QFETCH(QByteArray, element);
        QFETCH(QByteArray, value);
        QFETCH(bool, kept);
        SvgCleaner cleaner("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"5\" height=\"5\">"
                           "<linearGradient id=\"g\"/>" +
                           QByteArray(element).replace("%", value) + "</svg>");
        QVERIFY(cleaner.clean().isEmpty());
        QCOMPARE(cleaner.cleaned().contains(value), kept);
        QCOMPARE(cleaner.cleaned().contains("<rect"), element.startsWith("<rect"));
    }

    void vectorDrops_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QString>("told"); // the reason it is refused; empty: taken
        const QByteArray square = "width=\"48\" height=\"48\" viewBox=\"0 0 100 100\"";
        // Red over the left half of a 100 x 100 viewBox; the right half must stay transparent.
        const QByteArray red = "<rect width=\"50\" height=\"100\" fill=\"red\"/>";
        const QString redPng = folder.filePath("red.png"), redSvg = folder.filePath("red.svg");
        QVERIFY(crossPicture({8, 8}, Qt::red).save(redPng));
        QVERIFY(writeFileBytes(redSvg, svg("", "<rect id=\"r\" width=\"100\" height=\"100\"/>")));
        const QByteArray right = "<image x=\"50\" width=\"50\" height=\"100\" ";
        const QByteArray outside = right + "xlink:href=\"" + redPng.toUtf8() + "\"/>" + right +
                                   "href=\"file://" + redPng.toUtf8() + "\"/>" + right +
                                   "xlink:href=\"/etc/passwd\"/><use x=\"50\" xlink:href=\"" +
                                   redSvg.toUtf8() + "#r\"/>";
        QImage solidRed(2, 2, QImage::Format_ARGB32);
        solidRed.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && solidRed.save(&buffer, "PNG"));
        const QByteArray embedded =
            "<image width=\"50\" height=\"100\" preserveAspectRatio=\"none\" "
            "xlink:href=\"data:image/png;base64," +
            png.toBase64() + "\"/>" + right + "xlink:href=\"data:image/svg+xml;base64," +
            svg(square, red).toBase64() + "\"/>";
        QByteArray entities = "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY e0 \"lol\">";
        for (int i = 1; i < 10; ++i)
            entities += QByteArray("<!ENTITY e%1 \"").replace("%1", QByteArray::number(i)) +
                        QByteArray("&e" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
        entities += "]>" + svg(square, red + "<text>&e9;</text>");
        QByteArray fanOut = "<defs><g id=\"u0\">" + red + "</g>";
        for (int i = 1; i < 10; ++i)
            fanOut += "<g id=\"u" + QByteArray::number(i) + "\">" +
                      uses(10, "u" + QByteArray::number(i - 1)) + "</g>";
        fanOut += "</defs>" + uses(1, "u9");
        const QString utf16 = QString::fromUtf8(svg(square, red + outside));
        const auto row = [](const char* name, const QByteArray& bytes, QSize natural,
                            const char* told = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << bytes << natural
                                << QString::fromLatin1(told);
        };
        row("red.svg", svg(square, red), {48, 48});
        row("red.svgz", gzipped(svg(square, red)), {48, 48});
        row("UPPER.SVGZ", gzipped(svg(square, red)), {48, 48});
        row("units.svg", svg("width=\"2.54cm\" height=\"36pt\" viewBox=\"0 0 100 50\"", red),
            {96, 48});
        row("viewbox.svg", svg("viewBox=\"0,0 100,50\"", red), {100, 50});
        row("width.svg", svg("width=\"30\" viewBox=\"0 0 100 50\"", red), {30, 15});
        row("bare.svg", svg("", red), {256, 256});
        row("huge.svg", svg("width=\"1e9\" height=\"5e8\" viewBox=\"0 0 100 50\"", red),
            {4096, 2048});
        row("outside.svg", svg(square, red + outside), {48, 48});
        const QByteArray whole = "<rect width=\"100\" height=\"100\" fill=\"red\" ";
        row("mask.svg",
            svg(square, "<mask id=\"m\"><rect width=\"50\" height=\"100\" fill=\"white\"/></mask>" +
                            whole + "mask=\"url(#m)\"/>"),
            {48, 48});
        row("clip.svg",
            svg(square,
                "<clipPath id=\"c\">" + red + "</clipPath>" + whole + "clip-path=\"url(#c)\"/>"),
            {48, 48});
        row("embedded.svg", svg(square, embedded), {48, 48});
        row("entities.svg", entities, {}, "declares XML entities");
        row("bomb.svgz", gzipped("<svg>" + QByteArray(64 << 20, ' ')), {},
            "larger than 16 MB unpacked");
        row("big.svg", svg(square, QByteArray(17 << 20, ' ')), {}, "larger than 16 MB");
        row("cut.svgz", gzipped(svg(square, red)).left(40), {}, "cannot be read");
        row("broken.svg", "<svg><rect></svg>", {}, "cannot be read");
        // Found by fuzzing: a 4 x 4 PNG whose text chunk after the pixels claims 1.7 GB.
        row("text-chunk.png",
            QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAQAAAAEAQAAAACBiqPTAAAABGdBTUEAALGP"
                                   "C/xhBQAAAAJiS0dEAAHdihOkAAAAB3RJTUUH6gwIBDYdllwC2gAAAAxJREFU"
                                   "CNdj+MAAhgAPCAPBXlvjwQAAACV0RVh0ZGF0ZTpjcmVhdGUAMjAyNi0xMi0w"
                                   "OFQwNDo1d2lkdDBoPSIwOCIgaGVpZwAldEVYdGRhdGU6bW9kaWZ5ADIwMjYt"
                                   "MTItMDhUMDQ6NTQ6MjkrMDA6MDACSAI2AAAAAElFTkSuQmCC"),
            {}, "cannot be read");
        row("page.svg", "<html><body/></html>", {}, "not an SVG picture");
        row("utf16.svg",
            QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2)
                .prepend("\xff\xfe"),
            {}, "cannot be read");
        row("fan-out.svg", svg(square, fanOut), {}, "too complex");
        row("cycle.svg",
            svg(square, "<g id=\"a\">" + uses(1, "b") + "</g><g id=\"b\">" + uses(1, "a") + "</g>"),
            {}, "too complex");
        row("deep.svg",
            svg(square, QByteArray("<g>").repeated(300) + red + QByteArray("</g>").repeated(300)),
            {}, "too complex");
        // Refused in one pass before the XML reader, which would take minutes.
        row("attributes.svg", svg(square, "<rect " + attributes(100000) + "/>"), {},
            "too complex: 100005 attributes");
        row("spread.svg", svg(square, ("<rect " + attributes(250) + "/>").repeated(801)), {},
            "too complex: 200255 attributes");
    }

    // A PNG is walked chunk by chunk before libpng sees it: a chunk claiming more than the file
    // holds refuses it; a file cut short inside a chunk's frame is left to libpng.
    void pngChunksWithinTheFile() {
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) &&
                QImage(4, 4, QImage::Format_RGB32).save(&buffer, "PNG"));
        QVERIFY(PngChunks::isPng(png) && !PngChunks::isPng(png.mid(1)));
        QVERIFY(PngChunks::fitTheFile(png) && PngChunks::fitTheFile(png.left(40)));
        // The chunk after the header (at 8 + 25) claims 2 GB.
        const QByteArray claiming = png.left(33) + "\x7f\xff\xff\xff" + png.mid(37);
        QVERIFY(!PngChunks::fitTheFile(claiming));
        QVERIFY(PngChunks::fitTheFile(claiming.left(40)));
        QVERIFY(PngChunks::fitTheFile(png + "trailing bytes after the end"));
    }

    // A dropped SVG becomes a layer drawn at its natural size, bounded, from its own content
    // only; a hostile one is refused with the reason told, or drawn within its bounds.
    void vectorDrops() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, natural);
        QFETCH(QString, told);
        showCanvas(1);
        const QString path = folder.filePath(name);
        QVERIFY(writeFileBytes(path, bytes));
        QSignalSpy refused(canvas.get(), &CanvasWidget::picturesRefused);
        QVERIFY(dropFiles(canvas.get(), {150, 150}, {path}));
        QCOMPARE(refused.size(), told.isEmpty() ? 0 : 1);
        QCOMPARE(layers().size(), told.isEmpty() ? 1 : 0);
        if (!told.isEmpty()) {
            QCOMPARE(refused.at(0).at(0).toStringList(), QStringList(name + ": " + told));
            return;
        }
        const Layer& layer = layers().at(0);
        QVERIFY(layer.vector);
        QCOMPARE(layer.fileBytes, bytes);
        QCOMPARE(layer.sourceImage.size(), natural);
        QCOMPARE(layer.sourceImage.pixel(1, 1), qRgb(255, 0, 0));
        int shown = 0;
        for (int y = 0; y < natural.height(); ++y) {
            for (int x = natural.width() / 2 + 1; x < natural.width(); ++x)
                shown += qAlpha(layer.sourceImage.pixel(x, y)) != 0;
        }
        QCOMPARE(shown, 0);
        // Enlarged ten times through a painter, the red's edge stays sharp where it was: drawn
        // again from the vector.
        int red = 0;
        while (qAlpha(layer.sourceImage.pixel(red, 1)) == 255)
            ++red;
        QImage edge(2, 1, QImage::Format_ARGB32_Premultiplied);
        edge.fill(0);
        QPainter painter(&edge);
        painter.translate(1 - red * 10, -5);
        painter.scale(10, 10);
        layer.vector->render(painter, QRectF(QPointF(), natural));
        painter.end();
        QCOMPARE(edge.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(edge.pixel(1, 0), 0u);
    }

    // Each attribute counted once, whatever quoted values, comments, CDATA sections and a
    // DOCTYPE's internal subset hold.
    void attributesCounted() {
        const QList<std::tuple<QByteArray, qint64, qint64>> rows{
            {"<a b='>=' c=\"'\"/><!-- <d e=1> --><f g='1'>x=1</f>", 2, 3},
            {"<![CDATA[<a b=1 c=2>]]><?p d=1 e=2?><a b='1' />", 1, 1},
            {"<!DOCTYPE a [<!-- ' --><?p \" ?><!ATTLIST a b CDATA 'x'>]><a b='1'/>", 1, 2},
            {"<a b=\"1\"\n c = '2'></a><a d='1' e='2' f='3'/>", 3, 5}};
        for (const auto& [xml, most, total] : rows) {
            const SvgAttributes::Count count = SvgAttributes::count(xml);
            QVERIFY2(count.mostOnOneElement == most && count.total == total, xml);
        }
    }

    // An animated GIF's first frame, smaller than its screen, with a transparent pixel or none,
    // shows on a transparent screen as browsers show it, whatever the background colour.
    void gifFirstFrame() {
        for (int hole = 0; hole < 4; ++hole) {
            std::vector<Magick::Image> frames;
            for (int side : {4, 10}) {
                frames.push_back(magickPicture(crossPicture({side, side}, Qt::red)));
                frames.back().page(Magick::Geometry(10, 10, side == 4 ? 3 : 0, side == 4 ? 3 : 0));
            }
            if (hole % 2)
                frames[0].pixelColor(0, 0, Magick::Color("transparent"));
            Magick::Blob blob;
            frames[0].magick("GIF");
            Magick::writeImages(frames.begin(), frames.end(), &blob);
            QByteArray gif(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
            QCOMPARE(GifScreen::firstFrame(gif), QRect(3, 3, 4, 4));
            gif[11] = char(hole / 2); // the background colour's index: one of these is opaque
            const QImage image = PictureDecoder(gif).read();
            QCOMPARE(image.size(), QSize(10, 10));
            for (int y = 0; y < 10; ++y) {
                for (int x = 0; x < 10; ++x) {
                    const bool shown =
                        QRect(3, 3, 4, 4).contains(x, y) && (hole % 2 == 0 || x + y > 6);
                    QCOMPARE(qAlpha(image.pixel(x, y)), shown ? 255 : 0);
                }
            }
        }
    }

    // Behind the icon, squares of 10 pixels alternate grey and light from a grey corner, and a grey
    // dashed line frames the icon square (22..277), so the user sees where the icon ends.
    void groundShowsTheIconSquare() {
        const QImage ground = CanvasRules::canvasGround();
        QCOMPARE(ground.size(), QSize(300, 300));
        int framed = 0;
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 300; ++x) {
                const bool onFrame = (x == 22 || x == 277 || y == 22 || y == 277) &&
                                     std::min(x, y) >= 22 && std::max(x, y) <= 277;
                const QRgb pixel = ground.pixel(x, y);
                framed += onFrame && pixel == qRgb(0x90, 0x90, 0x90);
                if (!onFrame || pixel != qRgb(0x90, 0x90, 0x90))
                    QVERIFY2(pixel == ((x / 10 + y / 10) % 2 ? 0xfffcfcfc : 0xffe4e4e4),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(framed > 500 && framed < 1000); // dashed: about half of the 1020 frame pixels
    }

    void gestures_data() {
        QTest::addColumn<int>("k");
        for (int k = 1; k <= 3; ++k)
            QTest::addRow("k%d", k) << k;
    }

    // Picks by rectangle, topmost first; drags in canvas pixels; the wheel zooms one percent and,
    // with Shift, turns one degree a notch.
    void gestures() {
        QFETCH(int, k);
        showCanvas(k);
        QVERIFY(dropFiles(canvas.get(), {100, 100},
                          {picture(QString("under%1.png").arg(k), QSize(90, 90) * k)}));
        QVERIFY(dropFiles(canvas.get(), {140, 140},
                          {picture(QString("over%1.png").arg(k), QSize(60, 60) * k)}));
        edited->select(Document::noSelection);
        const QPoint overPosition = layers().at(1).position;

        QTest::mouseClick(canvas.get(), Qt::RightButton, {}, {140, 140});
        QCOMPARE(edited->document().selected, -1);
        wheelOver(canvas.get(), {0, 120});
        QCOMPARE(steps(), 2);

        // A drag is one step, however many moves it makes; the next drag is another.
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {112, 112});
        QCOMPARE(edited->document().selected, 1);
        QTest::mouseMove(canvas.get(), {117, 114});
        QTest::mouseMove(canvas.get(), {122, 117});
        QCOMPARE(layers().at(1).position, overPosition + QPoint(10, 5) * k);
        QCOMPARE(canvas->selectedRect(), layers().at(1).rect);
        QCOMPARE(layers().at(1).rect, QRect(layers().at(1).position, QSize(60, 60) * k));
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {122, 117});
        QTest::mouseMove(canvas.get(), {40, 40});
        QCOMPARE(layers().at(1).position, overPosition + QPoint(10, 5) * k);
        QCOMPARE(steps(), 3);
        QCOMPARE(edited->undoStack()->undoText(), "Move Picture");
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {122, 117});
        QTest::mouseMove(canvas.get(), {121, 117});
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {121, 117});
        QCOMPARE(steps(), 4);
        edited->undoStack()->undo();
        QCOMPARE(layers().at(1).position, overPosition + QPoint(10, 5) * k);
        edited->undoStack()->undo();
        QCOMPARE(layers().at(1).position, overPosition);
        edited->undoStack()->redo();

        // Releasing any button ends a drag: the picture stays where the right click let it go.
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {122, 117});
        QTest::mouseMove(canvas.get(), {124, 117});
        QTest::mousePress(canvas.get(), Qt::RightButton, Qt::NoModifier, {124, 117});
        QTest::mouseRelease(canvas.get(), Qt::RightButton, Qt::NoModifier, {124, 117});
        QMouseEvent stillHeld(QEvent::MouseMove, QPointF(130, 130),
                              canvas->mapToGlobal(QPointF(130, 130)), Qt::NoButton, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(canvas.get(), &stillHeld);
        QCOMPARE(layers().at(1).position, overPosition + QPoint(12, 5) * k);
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {130, 130});
        edited->undoStack()->undo();
        QCOMPARE(layers().at(1).position, overPosition + QPoint(10, 5) * k);

        // Escape selects none; a click where no picture is keeps the selection as it was.
        QTest::keyClick(canvas.get(), Qt::Key_Escape);
        QCOMPARE(edited->document().selected, -1);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {290, 10});
        QCOMPARE(edited->document().selected, -1);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {60, 60});
        QCOMPARE(edited->document().selected, 0);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {290, 10});
        QCOMPARE(edited->document().selected, 0);
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {60, 60});
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {60, 60});
        QCOMPARE(edited->document().selected, 0);
        QCOMPARE(steps(), 3);

        // Modifiers: 1 Shift (turn), 2 Ctrl (ten times as far, fifteen when turning).
        const int wheels[][4] = {{0, 120, 0, 101},  {0, 60, 0, 102},   {0, 56, 0, 102},
                                 {0, -240, 0, 100}, {0, 120, 1, 1},    {120, 0, 1, 2},
                                 {0, -360, 1, -1},  {0, -24000, 0, 1}, {0, 120, 2, 11},
                                 {0, 120, 3, 14}};
        for (const auto& wheel : wheels) {
            wheelOver(canvas.get(), {wheel[0], wheel[1]},
                      Qt::KeyboardModifiers((wheel[2] & 1 ? Qt::ShiftModifier : 0) |
                                            (wheel[2] & 2 ? Qt::ControlModifier : 0)));
            const Layer& object = layers().at(0);
            QCOMPARE(wheel[2] & 1 ? object.rotation : object.scale, wheel[3]);
            QCOMPARE(object.rect.size(), object.image.size());
            QCOMPARE(canvas->selectedRect(), object.rect);
        }
        // A run of zooms is one step, the turns between them another.
        QCOMPARE(steps(), 6);
        QCOMPARE(CanvasRules::stepped(INT_MAX - 5, 10, 15, INT_MIN, INT_MAX), INT_MAX);
        // The keys act on the selected picture: arrows nudge it, Delete asks to remove it.
        const QPoint before = layers().at(0).position;
        const QString overName = Document::layerName(layers().at(1).index);
        QTest::keyClick(canvas.get(), Qt::Key_Right);
        QTest::keyClick(canvas.get(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(layers().at(0).position, before + QPoint(1, -10));
        QCOMPARE(steps(), 8);
        QTest::keyClick(canvas.get(), Qt::Key_Delete);
        QCOMPARE(layers().size(), 1);
        QCOMPARE(Document::layerName(layers().at(0).index), overName);
        QCOMPARE(edited->document().selected, -1);
        QTest::keyClick(canvas.get(), Qt::Key_Delete);
        QCOMPARE(steps(), 9);
    }

    void zoomBoundedByCanvas_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("checkered");
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<QPoint>("drag");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("small, whole")
            << QSize(240, 180) << false << 300 << 30 << QPoint(-20, 10) << 0.0;
        QTest::newRow("zoomed in")
            << QSize(400, 300) << false << 1000 << 0 << QPoint(-90, -60) << 1.0;
        QTest::newRow("zoomed in, turned")
            << QSize(400, 300) << false << 900 << 35 << QPoint(100, 40) << 1.0;
        QTest::newRow("zoomed far in")
            << QSize(60, 40) << false << 5000 << 10 << QPoint(0, 0) << 1.0;
        // A fine checkerboard shrunk without averaging every pixel would show moiré, not grey.
        QTest::newRow("shrunk, in part")
            << QSize(4000, 4000) << true << 48 << 0 << QPoint(30, 30) << 2.0;
        QTest::newRow("shrunk, whole")
            << QSize(4000, 4000) << true << 9 << 0 << QPoint(0, 0) << 2.0;
    }

    // However far a picture is zoomed, its layer keeps its whole size for picking, while only
    // what a canvas can show is made; what is shown matches the whole picture scaled and turned
    // at once, after the zoom, the turn and a drag of its centre to `drag` from the canvas's.
    void zoomBoundedByCanvas() {
        QFETCH(QSize, size);
        QFETCH(bool, checkered);
        QFETCH(int, scale);
        QFETCH(int, rotation);
        QFETCH(QPoint, drag);
        QFETCH(double, tolerance);
        QImage source(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x)
                source.setPixel(x, y,
                                checkered ? ((x + y) % 2 ? 0xffffffff : 0xff000000)
                                          : qRgb(x * 255 / size.width(), (x * y) % 251,
                                                 y * 255 / size.height()));
        }
        const QString path = folder.filePath(QString("zoom%1.png").arg(QTest::currentDataTag()));
        QVERIFY(source.save(path));
        showCanvas(3);
        QVERIFY(dropFiles(canvas.get(), {150, 150}, {path}));
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {150, 150});
        change([&](Document& d) {
            d.layers[0].scale = scale;
            d.layers[0].rotation = rotation;
            d.layers[0].updateImage();
        });
        const QPoint grip = layers().at(0).rect.center() / 3;
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, grip);
        QTest::mouseMove(canvas.get(), QPoint(150, 150) + drag);
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, QPoint(150, 150) + drag);
        const Layer& layer = layers().at(0);
        QCOMPARE(canvas->selectedRect(), layer.rect);
        QVERIFY(qint64(layer.image.width()) * layer.image.height() <= 1800 * 1800);

        QTransform turn;
        turn.rotate(rotation);
        const QImage whole =
            source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                .scaled(scaledSize(size, scale), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .transformed(turn, Qt::SmoothTransformation);
        QCOMPARE(whole.size(), layer.rect.size());
        QImage expected(900, 900, QImage::Format_ARGB32_Premultiplied);
        QImage shown = expected;
        expected.fill(0);
        shown.fill(0);
        QPainter(&expected).drawImage(layer.position, whole);
        QPainter(&shown).drawImage(layer.imageRect().topLeft(), layer.image);
        QVERIFY(meanDifference(shown, expected) <= tolerance);
        // A sharp small size draws the picture from its source at its own size, however zoomed.
        const QImage small = renderSharpIcon(IconStyle(), {layer}, 3, 32);
        const QImage icon = expected.copy(66, 66, 768, 768)
                                .scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY(meanDifference(small, icon) <= 6);
    }

    void decodedAsOthersDecodeIt_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("orientation"); // negative: a progressive JPEG
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("kept"); // percent of the file's bytes; 0: its frame header broken
        for (int o = 1; o <= 8; ++o) {
            for (const char* suffix : {"jpg", "tif"})
                QTest::addRow("%s %d", suffix, o)
                    << QString("%1.%2").arg(o).arg(suffix) << o << "" << 100;
        }
        const auto row = [](const char* name, int orientation, const char* profile, int kept) {
            QTest::newRow(name) << QString::fromLatin1(name) << orientation << profile << kept;
        };
        row("srgb-6.jpg", 6, "srgb", 100);
        row("adobe-8.jpg", 8, "a98", 100);
        row("adobe-6-cut-short.jpg", 6, "a98", 60);
        row("cut-short-5.jpg", 5, "", 40);
        row("header-only.jpg", 6, "", 1);
        row("broken-frame-header.jpg", 6, "a98", 0);
        row("progressive-6.jpg", -6, "a98", 100);
        row("prophoto.png", 1, "rommrgb", 100);
        row("prophoto.tif", 1, "rommrgb", 100);
        row("cmyk.jpg", 1, "default_cmyk", 100);
        row("grey.jpg", 1, "sgray", 100);
    }

    // A picture stored turned with an orientation tag, as a camera writes it, or with a colour
    // profile is taken upright and in sRGB as ImageMagick's colour-managed decode has it, and
    // fitted upright. A colour JPEG is read row by row as stored, and decoded as Qt's reader
    // decodes, turns and converts it, even when its file ends early; what Qt cannot read is
    // refused.
    void decodedAsOthersDecodeIt() {
        QFETCH(QString, name);
        QFETCH(int, orientation);
        QFETCH(QString, profile);
        QFETCH(int, kept);
        Magick::Image picture = magickPicture(noisePicture({203, 170}).scaled(600, 300));
        picture.orientation(Magick::OrientationType(std::abs(orientation)));
        if (!profile.isEmpty()) { // converted into the profile's colours
            picture.profile("ICC", iccProfile("srgb"));
            picture.profile("ICC", iccProfile(profile));
        }
        picture.quality(90);
        if (orientation < 0)
            picture.interlaceType(Magick::PlaneInterlace);
        const QString path = folder.filePath(name);
        picture.write(path.toStdString());
        const bool jpeg = name.endsWith(".jpg");
        const bool colour = profile != "default_cmyk" && profile != "sgray";
        // ImageMagick tags TIFF only; a JPEG gets the EXIF block a camera writes.
        QByteArray bytes = readFileBytes(path);
        if (jpeg)
            bytes = withOrientation(bytes, std::abs(orientation));
        if (kept)
            bytes.truncate(bytes.size() * kept / 100);
        else
            bytes[bytes.indexOf("\xff\xc0") + 4] = 0; // a sample precision of 0 bits
        QVERIFY(writeFileBytes(path, bytes));
        JpegDecoder stored(bytes);
        QCOMPARE(stored.isColour(), jpeg && colour && kept != 0);
        if (jpeg && colour) {
            QBuffer buffer(&bytes);
            QImageReader reader(&buffer);
            // Row by row as stored, with the profile as written.
            QCOMPARE(stored.iccProfile(),
                     kept && !profile.isEmpty() ? iccBytes(profile) : QByteArray());
            QImage rows(stored.size(), QImage::Format_RGB32);
            QCOMPARE(stored.readRows(reinterpret_cast<QRgb*>(rows.bits()), rows.height(),
                                     rows.bytesPerLine() / 4),
                     kept != 0);
            QImage byQt = reader.read();
            byQt.setColorSpace({});
            QVERIFY(kept < 100 || rows == byQt);
            buffer.seek(0);
            reader.setDevice(&buffer);
            reader.setAutoTransform(true);
            QImage expected = reader.read();
            // Qt 6.4 cannot read Ghostscript's Adobe RGB profile; LittleCMS applies it.
            const bool converted = !profile.isEmpty() && profile != "srgb";
            auto* pixels = reinterpret_cast<QRgb*>(expected.bits());
            if (converted)
                littleCmsToSrgb(iccBytes(profile), pixels, pixels, expected.sizeInBytes() / 4);
            expected.convertTo(QImage::Format_ARGB32_Premultiplied);
            const QImage decoded = PictureDecoder(bytes).read();
            QCOMPARE(decoded.isNull(), kept == 0);
            QCOMPARE(decoded.size(), expected.size());
            QVERIFY(decoded.isNull() ||
                    meanDifference(decoded, expected) <= (converted ? 0.25 : 0));
        }
        if (kept < 100)
            return;
        Magick::Image shown(path.toStdString());
        shown.autoOrient();
        if (!profile.isEmpty())
            shown.profile("ICC", iccProfile("srgb"));
        QImage reference(int(shown.columns()), int(shown.rows()), QImage::Format_RGBA8888);
        shown.write(0, 0, shown.columns(), shown.rows(), "RGBA", Magick::CharPixel,
                    reference.bits());
        reference.convertTo(QImage::Format_ARGB32_Premultiplied);
        showCanvas(1);
        QVERIFY(dropFiles(canvas.get(), {150, 150}, {path}));
        QCOMPARE(reference.size(), std::abs(orientation) > 4 ? QSize(300, 600) : QSize(600, 300));
        QCOMPARE(layers().at(0).sourceImage.size(), reference.size());
        QCOMPARE(layers().at(0).image.size(), reference.size() / 2);
        // Opaque, so the alpha bytes agree: four bytes a pixel carry three channels' error.
        const double error = meanDifference(layers().at(0).sourceImage, reference) * 4 / 3;
        QVERIFY2(error <= 1, QByteArray::number(error) + " levels per channel off");
        // Shown as it is stored, a profile's colours would be far off.
        const QImage plain = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY(profile.isEmpty() || profile == "srgb" || meanDifference(plain, reference) > 3);
    }
};

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
