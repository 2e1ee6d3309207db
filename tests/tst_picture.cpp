// Untrusted pictures: hostile and damaged files are refused with a reason by the picture helper
// without harm to the program, the helper is confined by the system, and what is taken in shows
// no pixel the file did not give.
#include "document/droppedlayer.h"
#include "picture/helperprotocol.h"
#include "picture/helpersandbox.h"
#include "picture/pictureintake.h"
#include "picture/vectorpicture.h"
#include "render/iconrenderer.h"
#include "render/sharpicon.h"
#include "support/testsupport.h"
#include "trace/printablename.h"

#include <QtWidgets>

using namespace TestSupport;

namespace {

QByteArray littleEndian(quint32 value, int bytes) {
    QByteArray text;
    for (int i = 0; i < bytes; ++i)
        text += char(value >> (8 * i));
    return text;
}

// A 32-bit BMP of `width` x `height` (negative: stored top-down) whose pixels are `pixels`.
QByteArray bmp(int width, int height, int bits, const QByteArray& pixels) {
    const QByteArray info = littleEndian(40, 4) + littleEndian(quint32(width), 4) +
                            littleEndian(quint32(height), 4) + littleEndian(1, 2) +
                            littleEndian(quint32(bits), 2) + QByteArray(24, '\0');
    return "BM" + littleEndian(quint32(54 + pixels.size()), 4) + littleEndian(0, 4) +
           littleEndian(54, 4) + info + pixels;
}

QByteArray svg(const QByteArray& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\">" + body +
           "</svg>";
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

} // namespace

class TestPicture : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void printableNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "Grüße 写真.png"
                               << "Grüße 写真.png";
        QTest::newRow("terminal title") << "\x1b]0;owned\x07.png"
                                        << "\\x1b]0;owned\\x07.png";
        QTest::newRow("clear screen") << "a\x1b[2J\r\n.svg"
                                      << "a\\x1b[2J\\x0d\\x0a.svg";
        QTest::newRow("nul") << QString::fromUtf16(u"a\u0000b.png", 7) << "a\\x00b.png";
        QTest::newRow("right-to-left override")
            << QString::fromUtf16(u"logo\u202egnp.exe") << "logo\\u202egnp.exe";
        QTest::newRow("isolates and marks")
            << QString::fromUtf16(u"\u2066a\u2069\u200f\u0085") << "\\u2066a\\u2069\\u200f\\x85";
    }

    void printableNames() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QCOMPARE(printableName(name), shown);
        QCOMPARE(PictureIntake::refusalMessage(name, QStringLiteral("cannot be read")),
                 shown + QStringLiteral(": cannot be read"));
    }

    // Each is refused with its reason and the program carries on: a plain picture still decodes.
    void hostilePictures_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        // A BMP claiming 1030 x 4 pixels and holding 7 bytes of them.
        QTest::newRow("bmp short of its pixels")
            << bmp(1030, 4, 24, QByteArray("\x10\x20\x30\x40\x50\x60\x70", 7))
            << "the file ends early";
        QTest::newRow("font size 1e9")
            << svg("<text y=\"30\" font-size=\"1e9\">W</text>") << "text too large";
        QTest::newRow("font size in a style sheet")
            << svg("<style>text{font-size:1e9px}</style><text y=\"30\">W</text>")
            << "text too large";
        QTest::newRow("million characters")
            << svg("<text y=\"30\">" + QByteArray(1000000, 'W') + "</text>") << "too much text";
        QTest::newRow("font shorthand 1e9")
            << svg("<text y=\"30\" style=\"font:1e9px sans-serif\">W</text>")
            << "the SVG drawing library failed on it";
    }

    void hostilePictures() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const PictureIntake::Picture picture = PictureIntake::decode(bytes);
        QVERIFY(picture.image.isNull() && !picture.vector);
        QVERIFY2(picture.refusal.contains(reason), qPrintable(picture.refusal));
        const QByteArray plain = svg("<rect width=\"64\" height=\"64\" fill=\"red\"/>");
        QCOMPARE(PictureIntake::decode(plain).image.pixel(5, 5), qRgb(255, 0, 0));
    }

    // Rows stored top-down (a negative height) read as every viewer shows them.
    void topDownBmp() {
        const QByteArray rows("\x00\x00\xff\xff\x00\xff\x00\xff"
                              "\xff\x00\x00\xff\xff\xff\xff\x80",
                              16);
        const QImage image = PictureIntake::decode(bmp(2, -2, 32, rows)).image;
        QCOMPARE(image.size(), QSize(2, 2));
        QCOMPARE(image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(0, 1), qRgb(0, 0, 255));
        const QImage bottomUp = PictureIntake::decode(bmp(2, 2, 32, rows)).image;
        QCOMPARE(bottomUp.pixel(0, 1), qRgb(255, 0, 0));
    }

    // The helpers run with their limits and system call filter in force (AddressSanitizer's build
    // goes without both: its shadow memory and leak check need them).
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
            QVERIFY(status.open(QIODevice::ReadOnly) && limits.open(QIODevice::ReadOnly));
            QVERIFY(status.readAll().contains("Seccomp:\t2"));
            const QByteArray space = QByteArray::number(qulonglong(HelperSandbox::maxAddressSpace));
            QVERIFY(limits.readAll().contains("Max address space         " + space));
        }
    }

    // A drawing past the helper's address space (a gigabyte canvas and another for what is drawn
    // before it is blended in) fails with a reason, and the next draws.
    void helperLimitHolds_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("translucent group") << QByteArray(
            "<g opacity=\".5\"><rect width=\"64\" height=\"40\"/><circle r=\"60\"/></g>");
        QTest::newRow("mask") << QByteArray("<mask id=\"m\"><rect width=\"64\" height=\"64\" "
                                            "fill=\"#888\"/></mask><rect width=\"64\" "
                                            "height=\"64\" mask=\"url(#m)\"/>");
        QTest::newRow("blur") << QByteArray(
            "<filter id=\"b\"><feGaussianBlur stdDeviation=\"4\"/></filter><rect "
            "width=\"64\" height=\"64\" filter=\"url(#b)\"/>");
    }

    void helperLimitHolds() {
#ifdef GLIMMERDOCK_SANITIZE
        QSKIP("the sanitizer build's helpers run without the address space limit");
#endif
        QFETCH(QByteArray, body);
        const auto picture = VectorPicture::read(svg(body), nullptr);
        QVERIFY(picture);
        QString failure;
        QVERIFY(picture->image(QSize(16000, 16000), &failure).isNull());
        QVERIFY2(!failure.isEmpty(), "no reason");
        QVERIFY(!picture->image(QSize(32, 32)).isNull());
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
        layer.updateImage();
        int crossedOut = 0;
        for (int size : {23, 46, 51}) {
            const QImage icon = renderSharpIcon(IconStyle(), {layer}, 1, size);
            bool red = false;
            for (int y = 0; y < size && !red; ++y) {
                for (int x = 0; x < size && !red; ++x) {
                    const QColor colour = icon.pixelColor(x, y);
                    red = colour.alpha() > 128 && colour.red() > 2 * colour.green() + 40;
                }
            }
            crossedOut += red;
        }
        QVERIFY(crossedOut > 0);
        QCOMPARE(picture.vector->drawingFailure(),
                 QStringLiteral("the SVG drawing library failed on it"));
    }

    void malformedReplies_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<qint64>("value");
        QTest::newRow("magic") << 0 << qint64(0x12345678);
        QTest::newRow("status") << 1 << qint64(9);
        QTest::newRow("width") << 2 << qint64(5);
        QTest::newRow("negative") << 2 << qint64(-4);
        QTest::newRow("huge") << 3 << qint64(100000);
        QTest::newRow("reason length") << 4 << qint64(245);
    }

    // A reply that does not agree with itself or with its pixels is no answer at all.
    void malformedReplies() {
        QFETCH(int, field);
        QFETCH(qint64, value);
        HelperProtocol::Reply reply =
            HelperProtocol::reply(HelperProtocol::Status::done, QString(), QSize(4, 4));
        QVector<uchar> pixels(64, 0x7f);
        QVERIFY(HelperProtocol::answerOf(reply, pixels.data(), 64, nullptr, nullptr));
        qint32* fields[] = {reinterpret_cast<qint32*>(&reply.magic),
                            reinterpret_cast<qint32*>(&reply.status), &reply.width, &reply.height,
                            reinterpret_cast<qint32*>(&reply.reasonBytes)};
        *fields[field] = qint32(value);
        QVERIFY(!HelperProtocol::answerOf(reply, pixels.data(), 64, nullptr, nullptr));
    }

    // Whatever its size, the picture on the command line covers the icon square edge to edge.
    void fillingLayerFills_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("k");
        const QByteArray wide = qtPngBytes(crossPicture(QSize(10000, 100), Qt::blue));
        const QByteArray square = qtPngBytes(crossPicture(QSize(3000, 3000), Qt::green));
        const QByteArray units("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 22 22\">"
                               "<rect width=\"22\" height=\"22\" fill=\"#08f\"/></svg>");
        for (int k : {1, 2, 3}) {
            QTest::addRow("3000 x 3000 at k %d", k) << square << k;
            QTest::addRow("10000 x 100 at k %d", k) << wide << k;
            QTest::addRow("22-unit SVG at k %d", k) << units << k;
        }
    }

    void fillingLayerFills() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, k);
        const PictureIntake::Picture picture = PictureIntake::decode(bytes);
        QVERIFY2(picture.refusal.isEmpty(), qPrintable(picture.refusal));
        Document document;
        document.layers = {iconFillingLayer(QStringLiteral("p"), picture, k)};
        const QImage icon = IconRenderer(k).renderIcon(document.style, document.layers);
        const int last = icon.width() - 1, middle = icon.height() / 2;
        QCOMPARE(qAlpha(icon.pixel(0, middle)), 255);
        QCOMPARE(qAlpha(icon.pixel(last, middle)), 255);
    }
};

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"
