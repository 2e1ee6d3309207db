// Bytes to picture: hostile and damaged files are refused with a reason by the picture helper
// without harm to the program, the helper is confined by the system, what is taken in shows no
// pixel the file did not give, and pictures are decoded as other readers decode them.
#include "document/droppedlayer.h"
#include "picture/gifscreen.h"
#include "picture/helperprocess.h"
#include "picture/helperprotocol.h"
#include "picture/helpersandbox.h"
#include "picture/jpegdecoder.h"
#include "picture/picturedecoder.h"
#include "picture/pictureintake.h"
#include "picture/pngchunks.h"
#include "picture/srgbconversion.h"
#include "picture/svgattributes.h"
#include "picture/svgcleaner.h"
#include "picture/vectorpicture.h"
#include "render/iconrenderer.h"
#include "render/layerpixels.h"
#include "render/sharpicon.h"
#include "support/testsupport.h"
#include "trace/printablename.h"

#include <Magick++.h>
#include <QtWidgets>

using namespace TestSupport;

namespace {

// A BMP of `width` x `height` (negative: stored top-down) at `bits` a pixel holding `pixels`.
QByteArray bmp(int width, int height, int bits, const QByteArray& pixels) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0x4d42) << quint32(54 + pixels.size()) << quint32(0) << quint32(54)
        << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(bits);
    return bytes + QByteArray(24, '\0') + pixels;
}

// The ids of this process's children: its picture helpers.
QStringList helperProcesses() {
    QStringList ids;
    for (const QFileInfo& task :
         QDir(QStringLiteral("/proc/self/task")).entryInfoList(QDir::Dirs)) {
        QFile list(task.filePath() + QStringLiteral("/children"));
        if (list.open(QIODevice::ReadOnly))
            ids += QString::fromLatin1(list.readAll()).split(u' ', Qt::SkipEmptyParts);
    }
    return ids;
}

Magick::Blob iccProfile(const QString& name) {
    const QByteArray icc = iccBytes(name);
    return Magick::Blob(icc.constData(), size_t(icc.size()));
}

// `jpeg` with the EXIF block a camera writes, tagging it with `orientation`.
QByteArray withOrientation(QByteArray jpeg, int orientation) {
    const char exif[] = {'\xff', '\xe1', 0, 34, 'E', 'x', 'i', 'f', 0, 0,
                         'M',    'M',    0, 42, 0,   0,   0,   8,   0, 1,
                         1,      0x12,   0, 3,  0,   0,   0,   1,   0, char(orientation),
                         0,      0,      0, 0,  0,   0};
    return jpeg.insert(2, exif, sizeof exif);
}

// Colours that differ from each neighbour, so a pixel out of place shows.
QImage noisePicture(QSize size) {
    QImage image(size, QImage::Format_RGB888);
    QRandomGenerator(12345).fillRange(reinterpret_cast<quint32*>(image.bits()),
                                      image.sizeInBytes() / 4);
    return image;
}

// An SVG document of `root`'s attributes (or 64 x 64) holding `body`.
QByteArray svg(const QByteArray& root, const QByteArray& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" " +
           root + ">" + body + "</svg>";
}

QByteArray svg(const QByteArray& body) {
    return svg("width=\"64\" height=\"64\"", body);
}

// `count` attributes: a0="1" a1="1" ...
QByteArray attributes(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += " a" + QByteArray::number(i) + "=\"1\"";
    return text;
}

// `count` <use> elements drawing the element of `id` again.
QByteArray uses(int count, const QByteArray& id) {
    return QByteArray("<use xlink:href=\"#" + id + "\"/>").repeated(count);
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void initTestCase() { initTestEnvironment(); }

    // A file's name is shown with its control and direction characters escaped, in refusals too.
    void printableNames() {
        const std::pair<QString, QString> rows[] = {
            {"Grüße 写真.png", "Grüße 写真.png"},
            {"\x1b]0;owned\x07.png", "\\x1b]0;owned\\x07.png"},
            {"a\x1b[2J\r\n.svg", "a\\x1b[2J\\x0d\\x0a.svg"},
            {QString::fromUtf16(u"a\u0000b.png", 7), "a\\x00b.png"},
            {QString::fromUtf16(u"logo\u202egnp.exe"), "logo\\u202egnp.exe"},
            {QString::fromUtf16(u"\u2066a\u2069\u200f\u0085"), "\\u2066a\\u2069\\u200f\\x85"}};
        for (const auto& [name, shown] : rows) {
            QCOMPARE(printableName(name), shown);
            QCOMPARE(PictureIntake::refusalMessage(name, "cannot be read"),
                     shown + ": cannot be read");
        }
    }

    // Rows stored top-down (a negative height) read as every viewer shows them; a picture that
    // says it is sRGB keeps every level as stored, one with a profile that is not RGB is not
    // converted by ours.
    void readAsStored() {
        const QByteArray rows("\x00\x00\xff\xff\x00\xff\x00\xff"
                              "\xff\x00\x00\xff\xff\xff\xff\x80",
                              16);
        const QImage image = PictureIntake::decode(bmp(2, -2, 32, rows)).image;
        QCOMPARE(image.size(), QSize(2, 2));
        QCOMPARE(QList<QRgb>({image.pixel(0, 0), image.pixel(1, 0), image.pixel(0, 1)}),
                 QList<QRgb>({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}));
        // Bottom-up, and a picture of one pixel.
        QCOMPARE(
            QList<QRgb>({PictureIntake::decode(bmp(2, 2, 32, rows)).image.pixel(0, 1),
                         PictureIntake::decode(bmp(1, 1, 32, rows.left(4))).image.pixel(0, 0)}),
            QList<QRgb>({qRgb(255, 0, 0), qRgb(255, 0, 0)}));
        const QImage noise = noisePicture({64, 48}).convertToFormat(QImage::Format_RGB32);
        Magick::Image srgb = magickPicture(noise);
        srgb.profile("ICC", iccProfile("srgb"));
        Magick::Blob png;
        srgb.write(&png, "PNG");
        const QByteArray bytes(static_cast<const char*>(png.data()), qsizetype(png.length()));
        QCOMPARE(meanDifference(PictureIntake::decode(bytes).image, noise), 0.0);
        // Bytes that are no profile, and profiles of other colours, convert nothing themselves.
        for (const QByteArray& icc :
             {QByteArray("not a profile"), iccBytes("default_cmyk"), iccBytes("sgray")})
            QVERIFY(!SrgbConversion::fromIcc(icc));
    }

    // The helpers run with their limits and system call filter in force (AddressSanitizer's build
    // goes without both: its shadow memory and leak check need them). A drawing past the address
    // space (a gigabyte canvas and another for what is drawn before it is blended in: a
    // translucent group, a mask, a filter) fails with a reason, and the next draws.
    void helperConfined() {
#ifdef GLIMMERDOCK_SANITIZE
        QSKIP("the sanitizer build's helpers run without the address space limit and filter");
#endif
        QVERIFY(!PictureIntake::decode(svg("<circle r=\"9\"/>")).image.isNull());
        const QStringList helpers = helperProcesses();
        QVERIFY(!helpers.isEmpty());
        for (const QString& id : helpers) {
            QFile status(QStringLiteral("/proc/%1/status").arg(id));
            QFile limits(QStringLiteral("/proc/%1/limits").arg(id));
            const QByteArray space = QByteArray::number(qulonglong(HelperSandbox::maxAddressSpace));
            QVERIFY(status.open(QIODevice::ReadOnly) && limits.open(QIODevice::ReadOnly) &&
                    status.readAll().contains("Seccomp:\t2") &&
                    limits.readAll().contains("Max address space         " + space));
        }
        const QByteArray square = "<rect width=\"64\" height=\"64\" ";
        for (const QByteArray& body :
             {"<g opacity=\".5\">" + square + "/><circle r=\"60\"/></g>",
              "<mask id=\"m\">" + square + "fill=\"#888\"/></mask>" + square + "mask=\"url(#m)\"/>",
              "<filter id=\"b\"><feGaussianBlur stdDeviation=\"4\"/></filter>" + square +
                  "filter=\"url(#b)\"/>"}) {
            const auto picture = VectorPicture::read(svg(body), nullptr);
            QVERIFY2(picture, body);
            QString failure;
            QVERIFY2(picture->image(QSize(16000, 16000), &failure).isNull(), body);
            QVERIFY2(!failure.isEmpty(), "no reason");
            QVERIFY(!picture->image(QSize(32, 32)).isNull());
        }
    }

    // A layer the SVG library fails on at some sizes (a real Adwaita icon turned 45 degrees) is
    // drawn crossed out in red there, and the picture tells why; the other sizes draw it.
    void placeholderWhereDrawingFails() {
        const QString name = QStringLiteral(
            "/usr/share/icons/Adwaita/scalable/legacy/preferences-color-symbolic.svg");
        const PictureIntake::Picture picture = PictureIntake::read(name);
        QVERIFY2(picture.vector, qPrintable(picture.refusal));
        Layer layer = droppedLayer(name, picture, QPoint(48, 48), 1, 0);
        layer.rotation = 45;
        int red = 0; // pixels of the cross, at all sizes together
        for (int size : {23, 46, 51}) {
            const QImage icon = renderSharpIcon(IconStyle(), {layer}, 1, size);
            for (int i = 0; i < size * size; ++i) {
                const QColor colour = icon.pixelColor(i % size, i / size);
                red += colour.alpha() > 128 && colour.red() > 2 * colour.green() + 40;
            }
        }
        QVERIFY(red > 0);
        QCOMPARE(picture.vector->drawingFailure(),
                 QStringLiteral("the SVG drawing library failed on it"));
    }

    // A reply that does not agree with itself or with its pixels is no answer at all: a wrong
    // magic, status, width (or a negative one), height or reason length.
    void malformedReplies() {
        const std::pair<int, qint32> rows[] = {{0, 0x12345678}, {1, 9},      {2, 5},
                                               {2, -4},         {3, 100000}, {4, 245}};
        for (const auto& [field, value] : rows) {
            HelperProtocol::Reply reply =
                HelperProtocol::reply(HelperProtocol::Status::done, QString(), QSize(4, 4));
            QVector<uchar> pixels(64, 0x7f);
            QVERIFY(HelperProtocol::answerOf(reply, pixels.data(), 64, nullptr, nullptr));
            qint32* fields[] = {reinterpret_cast<qint32*>(&reply.magic),
                                reinterpret_cast<qint32*>(&reply.status), &reply.width,
                                &reply.height, reinterpret_cast<qint32*>(&reply.reasonBytes)};
            *fields[field] = value;
            QVERIFY2(!HelperProtocol::answerOf(reply, pixels.data(), 64, nullptr, nullptr),
                     qPrintable(QString::number(field)));
        }
    }

    // Shared memory takes bytes until it is sealed and none after; it is mapped only sealed and at
    // its own size, holding what was written.
    void sealedMemory() {
        const int fd = SharedMemory::create(8);
        QVERIFY(fd >= 0 && !SharedMemory::map(fd, 8) && SharedMemory::write(fd, 2, "glim", 4));
        QVERIFY(SharedMemory::seal(fd) && !SharedMemory::write(fd, 0, "x", 1));
        QVERIFY(!SharedMemory::map(fd, 16));
        void* mapped = SharedMemory::map(fd, 8);
        QVERIFY(mapped &&
                QByteArray(static_cast<const char*>(mapped), 8) == QByteArray("\0\0glim\0\0", 8));
        SharedMemory::unmap(mapped, 8);
        SharedMemory::close(fd);
    }

    // Whatever its size, the picture on the command line covers the icon square edge to edge.
    void fillingLayerFills() {
        for (const QByteArray& bytes :
             {qtPngBytes(crossPicture(QSize(3000, 3000), Qt::green)),
              qtPngBytes(crossPicture(QSize(10000, 100), Qt::blue)),
              svg("viewBox=\"0 0 22 22\"", "<rect width=\"22\" height=\"22\" fill=\"#08f\"/>")}) {
            const PictureIntake::Picture picture = PictureIntake::decode(bytes);
            QVERIFY2(picture.refusal.isEmpty(), qPrintable(picture.refusal));
            for (int k : {1, 2, 3}) {
                const QImage icon = IconRenderer(k).renderIcon(
                    IconStyle(), {iconFillingLayer(QStringLiteral("p"), picture, k)});
                const int middle = icon.height() / 2;
                QVERIFY(qAlpha(icon.pixel(0, middle)) == 255 &&
                        qAlpha(icon.pixel(icon.width() - 1, middle)) == 255);
            }
        }
    }

    // Nothing an SVG names outside itself stays in what librsvg is given to draw; its own
    // references do. Only a data: URI is embedded; any other href names a file, whatever it
    // carries; a data: URI holding a document would be drawn past the cleaning.
    void svgReferences() {
        const QByteArray rect = "<rect width=\"5\" height=\"5\" fill=\"%\"/>";
        const QByteArray style = "<style>%</style>";
        const QByteArray image = "<image width=\"5\" height=\"5\" href=\"%\"/>";
        const QByteArray base64 = "base64," + qtPngBytes(crossPicture({4, 4}, Qt::red)).toBase64();
        const std::tuple<QByteArray, QByteArray, bool> rows[] = {
            {rect, "url(#g)", true},
            {rect, "url(http://a.example/p.svg#g)", false},
            {rect, "URL( 'file:///etc/passwd#g' )", false},
            {style, "rect { fill: url(#g) }", true},
            {style, "rect { fill: url(p.svg#g) }", false},
            {style, "@IMPORT 'a.css';", false},
            {image, "data:image/png;" + base64, true},
            {image, "red.png#" + base64, false},
            {"<filter><feImage href=\"%\"/></filter>", "#g", true},
            {rect, "url(data:image/svg+xml;" + base64, false},
            {"<xi:include href=\"%\"/>", "data:text/plain,a", false},
            {"<g xml:base=\"%\"/>", "file:///tmp/", false}};
        for (const auto& [element, value, kept] : rows) {
            SvgCleaner cleaner("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"5\" height=\"5\">"
                               "<linearGradient id=\"g\"/>" +
                               QByteArray(element).replace("%", value) + "</svg>");
            QVERIFY2(cleaner.clean().isEmpty() && cleaner.cleaned().contains(value) == kept &&
                         cleaner.cleaned().contains("<rect") == element.startsWith("<rect"),
                     value);
        }
    }

    void drops_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QString>("told"); // the reason it is refused; empty: taken
        const QByteArray square = "width=\"48\" height=\"48\" viewBox=\"0 0 100 100\"";
        // Red over the left half of a 100 x 100 viewBox; the right half must stay transparent.
        const QByteArray red = "<rect width=\"50\" height=\"100\" fill=\"red\"/>";
        const QByteArray right = "<image x=\"50\" width=\"50\" height=\"100\" ";
        QImage solidRed(2, 2, QImage::Format_ARGB32);
        solidRed.fill(Qt::red);
        const QByteArray embedded =
            "<image width=\"50\" height=\"100\" preserveAspectRatio=\"none\" "
            "xlink:href=\"data:image/png;base64," +
            qtPngBytes(solidRed).toBase64() + "\"/>" + right +
            "xlink:href=\"data:image/svg+xml;base64," + svg(square, red).toBase64() + "\"/>";
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
        const QString utf16 = QString::fromUtf8(svg(square, red));
        const auto row = [](const char* name, const QByteArray& bytes, QSize natural,
                            const char* told = "") {
            QTest::newRow(name) << QString::fromLatin1(name) << bytes << natural
                                << QString::fromLatin1(told);
        };
        // Hostile pictures first: each is refused and the program carries on to draw the rest.
        // A BMP claiming 1030 x 4 pixels and holding a row of them; one whose rows, multiplied
        // out, pass what 64 bits hold.
        row("short.bmp", bmp(1030, 4, 24, QByteArray(3092, '\x10')), {}, "the file ends early");
        row("wide.bmp", bmp(0x7fffffff, 0x7fffffff, 0xffff, QByteArray(8, '\xff')), {},
            "the file ends early");
        const QByteArray text = "<text y=\"30\"";
        row("font-size.svg", svg(text + " font-size=\"1e9\">W</text>"), {},
            "text too large: font size above 16384");
        row("style-sheet.svg", svg("<style>text{font-size:1e9px}</style>" + text + ">W</text>"), {},
            "text too large: font size above 16384");
        row("million.svg", svg(text + ">" + QByteArray(1000000, 'W') + "</text>"), {},
            "too much text: more than 10000 characters");
        row("font.svg", svg(text + " style=\"font:1e9px sans-serif\">W</text>"), {},
            "the SVG drawing library failed on it");
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
        const QByteArray png = qtPngBytes(QImage(4, 4, QImage::Format_RGB32));
        QVERIFY(PngChunks::isPng(png) && !PngChunks::isPng(png.mid(1)));
        QVERIFY(PngChunks::fitTheFile(png) && PngChunks::fitTheFile(png.left(40)));
        // The chunk after the header (at 8 + 25) claims 2 GB.
        const QByteArray claiming = png.left(33) + "\x7f\xff\xff\xff" + png.mid(37);
        QVERIFY(!PngChunks::fitTheFile(claiming) && PngChunks::fitTheFile(claiming.left(40)) &&
                PngChunks::fitTheFile(png + "trailing bytes after the end"));
    }

    // An SVG file becomes a picture drawn at its natural size, bounded, from its own content
    // only; a hostile picture is refused with the reason told, or drawn within its bounds.
    void drops() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, natural);
        QFETCH(QString, told);
        const QString path = folder.filePath(name);
        QVERIFY(writeFileBytes(path, bytes));
        const PictureIntake::Picture picture = PictureIntake::read(path);
        QCOMPARE(std::tuple(picture.refusal, picture.image.isNull(), bool(picture.vector)),
                 std::tuple(told, !told.isEmpty(), told.isEmpty()));
        if (!told.isEmpty())
            return;
        QVERIFY(picture.bytes == bytes && picture.image.size() == natural);
        QCOMPARE(picture.image.pixel(1, 1), qRgb(255, 0, 0));
        int shown = 0;
        for (int y = 0; y < natural.height(); ++y) {
            for (int x = natural.width() / 2 + 1; x < natural.width(); ++x)
                shown += qAlpha(picture.image.pixel(x, y)) != 0;
        }
        QCOMPARE(shown, 0);
        // Enlarged ten times through a painter, the red's edge stays sharp where it was: drawn
        // again from the vector.
        int red = 0;
        while (qAlpha(picture.image.pixel(red, 1)) == 255)
            ++red;
        QImage edge(2, 1, QImage::Format_ARGB32_Premultiplied);
        edge.fill(0);
        QPainter painter(&edge);
        painter.translate(1 - red * 10, -5);
        painter.scale(10, 10);
        picture.vector->render(painter, QRectF(QPointF(), natural));
        painter.end();
        QCOMPARE(edge.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(edge.pixel(1, 0), 0u);
    }

    // Each attribute counted once, whatever quoted values, comments, CDATA sections and a
    // DOCTYPE's internal subset hold; a subset cut short is read to its end and no further.
    void attributesCounted() {
        const QList<std::tuple<QByteArray, qint64, qint64>> rows{
            {"<a b='>=' c=\"'\"/><!-- <d e=1> --><f g='1'>x=1</f>", 2, 3},
            {"<![CDATA[<a b=1 c=2>]]><?p d=1 e=2?><a b='1' />", 1, 1},
            {"<!DOCTYPE a [<!-- ' --><?p \" ?><!ATTLIST a b CDATA 'x'>]><a b='1'/>", 1, 2},
            {"<a b=\"1\"\n c = '2'></a><a d='1' e='2' f='3'/>", 3, 5},
            {"<!DOCTYPE a [<", 0, 0}};
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
            for (int i = 0; i < 100; ++i) {
                const int x = i % 10, y = i / 10;
                const bool shown = QRect(3, 3, 4, 4).contains(x, y) && (hole % 2 == 0 || x + y > 6);
                QCOMPARE(qAlpha(image.pixel(x, y)), shown ? 255 : 0);
            }
        }
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
    // fitted upright. A colour JPEG, read row by row with the profile it carries, is decoded as
    // Qt's reader decodes, turns and converts it, even when its file ends early; what Qt cannot
    // read is refused.
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
            QCOMPARE(stored.iccProfile(),
                     kept && !profile.isEmpty() ? iccBytes(profile) : QByteArray());
            QBuffer buffer(&bytes);
            QImageReader reader(&buffer);
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
        const Layer layer = droppedLayer(path, PictureIntake::read(path), {150, 150}, 1, 0);
        QCOMPARE(reference.size(), std::abs(orientation) > 4 ? QSize(300, 600) : QSize(600, 300));
        QCOMPARE(layer.sourceImage.size(), reference.size());
        QCOMPARE(LayerPixels::made(layer).image.size(), reference.size() / 2);
        // Opaque, so the alpha bytes agree: four bytes a pixel carry three channels' error.
        const double error = meanDifference(layer.sourceImage, reference) * 4 / 3;
        QVERIFY2(error <= 1, QByteArray::number(error) + " levels per channel off");
        // Shown as it is stored, a profile's colours would be far off.
        const QImage plain = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY(profile.isEmpty() || profile == "srgb" || meanDifference(plain, reference) > 3);
    }
};

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"
