// The icon drawn from its style: the small sharp entries, pictures turned upright and converted,
// and the parts of pictures an opaque picture hides left undrawn.
#include "output/icowriter.h"
#include "picture/srgbconversion.h"
#include "picture/uprightpicture.h"
#include "render/badgetext.h"
#include "render/icongeometry.h"
#include "render/iconrenderer.h"
#include "render/sharpicon.h"
#include "render/sizedicon.h"
#include "support/referencerender.h"
#include "support/testsupport.h"

#include <QtWidgets>

#include <cmath>
#include <vector>

using namespace TestSupport;

// A picture's size, whether it is see-through, the padding after each of its rows, and the profile
// it is converted from to sRGB on the way (none when empty).
using Stored = std::tuple<QSize, bool, int, QString>;
// A container's shape, whether a clipped picture fills it (or the container is decorated), and k.
using Sharp = std::tuple<int, bool, int>;

class TestRender : public QObject {
    Q_OBJECT

    // A picture of random premultiplied pixels, all opaque or of random alpha.
    static QImage noise(QSize size, bool allOpaque, QRandomGenerator& random) {
        QImage image(size, QImage::Format_ARGB32);
        auto* pixels = reinterpret_cast<quint32*>(image.bits());
        random.fillRange(pixels, image.sizeInBytes() / 4);
        for (qsizetype i = 0; allOpaque && i < image.sizeInBytes() / 4; ++i)
            pixels[i] |= 0xff000000;
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    // Mean square of the grey Laplacian on white: how much fine detail and how crisp edges are.
    static double laplacianEnergy(const QImage& image) {
        QImage onWhite(image.size(), QImage::Format_RGB32);
        onWhite.fill(Qt::white);
        QPainter(&onWhite).drawImage(onWhite.rect(), image);
        const QImage grey = onWhite.convertToFormat(QImage::Format_Grayscale8);
        double sum = 0;
        const auto at = [&](int x, int y) { return int(grey.constScanLine(y)[x]); };
        for (int y = 1; y + 1 < grey.height(); ++y)
            for (int x = 1; x + 1 < grey.width(); ++x)
                sum += std::pow(
                    4 * at(x, y) - at(x - 1, y) - at(x + 1, y) - at(x, y - 1) - at(x, y + 1), 2);
        return sum / (double(grey.width()) * grey.height());
    }

private slots:
    void initTestCase() { initTestEnvironment(); }

    // The band's middle lands where worked out by hand for every corner, edge and canvas factor:
    // a diagonal band turned -45 or 45 degrees about the canvas origin, its middle going to
    // (150·√2, 0) or (0, 150·√2), then moved with the corner's translation (d = 80·k, 76·k for a
    // circle) and on by as far as the container's corner lies beyond the square those were
    // measured on (1 at the left or top, 2 at the right or bottom); a horizontal one a pixel inside
    // the container's top edge or two pixels beyond its bottom one. Both renderers place it so.
    void badgePlacement() {
        const int h = 76; // two line widths and 1.4 text heights
        QCOMPARE(IconGeometry::bandHeight(IconStyle().badgeLineWidth, 50), h);
        const QPointF middles[2][4] = {{{72.13, 70}, {225, 67.13}, {65, 227.13}, {232.13, 230}},
                                       {{76.13, 74}, {221, 71.13}, {69, 223.13}, {228.13, 226}}};
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(IconGeometry::horizontalBandTop(0, k, h), 278 * k + 2 - h);
            QCOMPARE(IconGeometry::horizontalBandTop(1, k, h), 22 * k + 1);
            for (int corner = 0; corner < 8; ++corner) {
                const auto placement =
                    IconGeometry::diagonalPlacement(corner % 4, k, corner / 4 * 2);
                QTransform placed;
                placed.translate(placement.translation.x(), placement.translation.y());
                placed.rotate(placement.rotation);
                const QPointF mid =
                    placed.map(QPointF(150 * k, IconGeometry::diagonalBandTop(k, h) + h / 2));
                const QPointF beyond(corner % 2 + 1, corner % 4 / 2 + 1);
                QVERIFY(QLineF(mid, middles[corner / 4][corner % 4] * k + beyond).length() <
                        0.02 * k);
            }
        }
    }

    // A picture covers the badge where a pixel of it that shows lies on the band as drawn.
    void picturesCoverBadge() {
        // The badge (-1: none; 0, 1: bottom or top band; 3: bottom right), the container's shape,
        // whether it clips, the picture's place, the transparent rows at its top and whether it
        // covers the badge. The top band runs from y = 23 to 57, its outline 1.5 beyond.
        const std::tuple<const char*, int, int, bool, QRect, int, bool> rows[] = {
            {"on the top band", 1, 0, false, QRect(100, 30, 10, 10), 0, true},
            {"no badge", -1, 0, false, QRect(100, 30, 10, 10), 0, false},
            {"clipped", 1, 0, true, QRect(100, 30, 10, 10), 0, false},
            {"below it", 1, 0, false, QRect(100, 60, 10, 10), 0, false},
            {"clear over it", 1, 0, false, QRect(100, 11, 10, 90), 50, false},
            {"ink on its edge", 1, 0, false, QRect(100, 7, 10, 90), 50, true},
            {"square corner", 1, 0, false, QRect(22, 22, 12, 12), 0, true},
            {"circle cuts it", 1, 2, false, QRect(22, 22, 12, 12), 0, false},
            {"bottom band", 0, 0, false, QRect(100, 250, 10, 10), 0, true},
            {"ribbon", 3, 0, false, QRect(228, 226, 10, 10), 0, true},
            {"across it", 3, 0, false, QRect(60, 60, 10, 10), 0, false}};
        for (const auto& [name, badge, shape, clip, place, clearRows, covers] : rows) {
            IconStyle style;
            style.useBadge = badge >= 0;
            style.badgeOrientation =
                int(badge == 3 ? BadgeOrientation::Diagonal : BadgeOrientation::Horizontal);
            style.badgeOrientationHorizontal = style.badgeOrientationDiagonal = badge;
            // A text 20 px high in the test fonts: a band of 34 px.
            style.badgeTextSize = 17;
            QCOMPARE(IconGeometry::badgeBandHeight(style), 34);
            style.borderWidth = 2;
            style.shape = shape;
            style.clipImage = clip;
            Layer layer = solidLayer(place, Qt::darkRed);
            std::fill_n(layer.sourceImage.bits(), clearRows * layer.sourceImage.bytesPerLine(), 0);
            QVERIFY2(IconGeometry::picturesCoverBadge(style, {layer}) == covers, name);
        }
    }

    // In every family the test fonts hold (an italic script face, a symbol face and dingbats
    // among them), the badge's text is centred in its band and stays inside it, read from the
    // pixels: a white band, black text, nothing else drawn.
    void badgeTextCentredInEveryFamily() {
        const QStringList families = QFontDatabase::families();
        QVERIFY(families.contains("Z003") && families.contains("Standard Symbols PS"));
        for (const QString& family : families) {
            for (const QString text : {"50% OFF", "N", "Beta"}) {
                IconStyle style;
                style.useBadge = true;
                style.badgeOrientation = int(BadgeOrientation::Horizontal);
                style.badgeOrientationHorizontal = 1;
                style.badgeText = text;
                style.badgeBackColor = style.badgeBorderColor = Qt::white;
                style.badgeTextColor = Qt::black;
                style.badgeTextFont = QFont(family);
                style.badgeTextFont.setPixelSize(style.badgeTextSize);
                style.badgeTextFont.setWeight(QFont::Bold);
                const int k = style.canvasFactor = 2;
                const QImage icon = IconRenderer(k).renderIcon(style, {});
                const int bandBottom = IconGeometry::drawnBandHeight(
                    IconGeometry::badgeBandHeight(style), style.borderWidth);
                QRect ink;
                for (int y = 0; y < icon.height(); ++y) {
                    const auto* row = reinterpret_cast<const QRgb*>(icon.constScanLine(y));
                    for (int x = 0; x < icon.width(); ++x) {
                        if (qAlpha(row[x]) > 128 && qGray(row[x]) < 128)
                            ink |= QRect(x, y, 1, 1);
                    }
                }
                const QByteArray what = (family + ": " + text).toUtf8();
                QVERIFY2(!ink.isEmpty(), what);
                // A pixel either way at k = 2: the ink, not the advance, is what is centred.
                QVERIFY2(qAbs(ink.left() - (icon.width() - 1 - ink.right())) <= 2, what);
                QVERIFY2(ink.top() >= 0 && ink.bottom() < bandBottom, what);
            }
        }
    }

    void containerCentred_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("k");
        for (int k = 1; k <= 3; ++k)
            for (int shape = 0; shape < 3; ++shape)
                QTest::addRow("shape %d, k=%d", shape, k) << shape << k;
    }

    // A full container fills the icon square exactly: a rectangle leaves no pixel of it
    // transparent, and every outline is centred, each pixel's alpha mirrored left to right and top
    // to bottom (Qt's rasterizer rounds the two sides of a curve up to 3 of 255 apart; a pixel's
    // shift is far more), the middle row and column reaching the square's edges (a circle's
    // curve leaves a few steps of 255 out of the pixel there).
    void containerCentred() {
        QFETCH(int, shape);
        QFETCH(int, k);
        IconStyle style;
        style.shape = shape;
        style.radius = 40 * k;
        style.useBackground = true;
        const QImage icon = IconRenderer(k).renderIcon(style, {});
        const int last = 256 * k - 1;
        QCOMPARE(icon.size(), QSize(last + 1, last + 1));
        const QImage alpha = icon.convertToFormat(QImage::Format_Alpha8);
        const auto at = [&](int x, int y) { return int(alpha.constScanLine(y)[x]); };
        int transparent = 0, worst = 0;
        QPoint worstAt;
        for (int y = 0; y <= last; ++y) {
            for (int x = 0; x <= last; ++x) {
                transparent += at(x, y) == 0;
                const int off = std::max(std::abs(at(x, y) - at(last - x, y)),
                                         std::abs(at(x, y) - at(x, last - y)));
                if (off > worst)
                    std::tie(worst, worstAt) = std::pair(off, QPoint(x, y));
            }
        }
        QVERIFY2(worst <= 3, qPrintable(QString::asprintf("%d of 255 off its mirror at %d, %d",
                                                          worst, worstAt.x(), worstAt.y())));
        for (QPoint edge : {QPoint(0, last / 2), QPoint(last, last / 2), QPoint(last / 2, 0),
                            QPoint(last / 2, last)})
            QVERIFY(at(edge.x(), edge.y()) >= 250);
        if (shape == 0)
            QCOMPARE(transparent, 0);
    }

    void sharpSmallSizes_data() {
        QTest::addColumn<Sharp>("icon");
        const char* shapes[] = {"rectangle", "rounded", "circle"};
        for (int k = 1; k <= 3; ++k)
            for (int shape = 0; shape < 3; ++shape)
                for (const bool picture : {false, true})
                    QTest::addRow("%s, %s, k=%d", shapes[shape],
                                  picture ? "clipped picture" : "decorated", k)
                        << Sharp{shape, picture, k};
    }

    // A small sharp entry is drawn at its own size. Its outline, filled by the background or
    // cutting a picture, fades each pixel as much as it covers it (measured on a 16 x 16 grid in
    // the pixel): a rectangle keeps whole pixels, as the downscaled big rendering does, a curve
    // crosses partly transparent pixels, the badge stays inside. A rectangle's border stays a
    // whole pixel, inside it the (turned, sometimes clipped) picture and the band (across each
    // corner or along each edge) land where the downscale has them, and the 3D edge and the glossy
    // highlight start at 24 px. The big rendering's band is placed as the reference composition of
    // tst_form has it.
    void sharpSmallSizes() {
        QFETCH(Sharp, icon);
        const auto [shape, picture, k] = icon;
        IconStyle style;
        style.shape = shape;
        style.radius = 64 * k; // a quarter of the icon's side
        style.useBackground = style.useBorder = !picture;
        style.backColor1 = style.backColor2 = Qt::darkGreen;
        Layer layer;
        layer.sourceImage =
            crossPicture((picture ? QSize(400, 400) : QSize(180, 120)) * k, Qt::red);
        layer.position = (picture ? QPoint(-50, -50) : QPoint(100, 110)) * k;
        layer.scale = picture ? 100 : 50;
        const QList<int> sizes{16, 20, 24, 32, 40, 48, 64};
        for (int i = 0; i < sizes.size(); ++i) {
            const int size = sizes[i];
            style.clipImage = picture || (k == 1) == (size < 40);
            // The band, at every corner and edge over the rows, must sit where the downscale has
            // it.
            style.useBadge = !picture && size >= 32;
            style.badgeOrientation = i % 2;
            style.badgeOrientationDiagonal = style.badgeOrientationHorizontal =
                (i + k) % (i % 2 ? 2 : 4);
            layer.rotation = picture ? 0 : (size - 16) * 5;
            const QImage sharp = renderSharpIcon(style, {layer}, k, size);
            // The container fills the entry's square.
            const double half = size / 2.0, r = shape == 2 ? half : shape ? half / 2 : 0;
            const auto distance = [&](double x, double y) {
                const double dx = std::abs(x - half) - (half - r);
                const double dy = std::abs(y - half) - (half - r);
                return std::hypot(std::max(dx, 0.0), std::max(dy, 0.0)) +
                       std::min(std::max(dx, dy), 0.0) - r;
            };
            int edge = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    int covered = 0;
                    for (int sy = 0; sy < 16; ++sy) {
                        for (int sx = 0; sx < 16; ++sx)
                            covered += distance(x + (sx + 0.5) / 16, y + (sy + 0.5) / 16) < 0;
                    }
                    const double coverage = covered / 256.0, centre = distance(x + 0.5, y + 0.5);
                    const int alpha = qAlpha(sharp.pixel(x, y));
                    const QByteArray where = QString::asprintf("%d where %g is covered, at %d, %d",
                                                               alpha, coverage, x, y)
                                                 .toUtf8();
                    // Qt fills the curve as chords, up to a ninth of a pixel inside it. The border
                    // and the band, cut out along the outline, lie over the container's own edge
                    // there: coverage a shows as much as a + a (1 - a).
                    const double over = picture ? coverage : coverage * (2 - coverage);
                    QVERIFY2(alpha / 255.0 > coverage - 0.15 && alpha / 255.0 < over + 0.15, where);
                    if (centre > M_SQRT1_2)
                        QVERIFY2(alpha == 0, where);
                    else if (centre < -M_SQRT1_2)
                        QVERIFY2(alpha == 255, where);
                    else if (coverage > 0.1 && coverage < 0.9) {
                        QVERIFY2(alpha > 0 && alpha < 255, where);
                        ++edge;
                    }
                }
            }
            // Such pixels all along a curved outline; none on a rectangle's.
            QVERIFY(shape ? edge >= size : partlyTransparent(sharp) == 0);
            if (picture)
                continue;
            for (bool IconStyle::*layerOn : {&IconStyle::useGlossy, &IconStyle::useBack3dEffect}) {
                style.*layerOn = true;
                QCOMPARE(renderSharpIcon(style, {layer}, k, size) == sharp, size < 24);
                style.*layerOn = false;
            }
            if (shape)
                continue;
            // Where it is drawn, the highlight is as strong as the big rendering's.
            style.useGlossy = size >= 24;
            const QImage scaled = smoothScaled(IconRenderer(k).renderIcon(style, {layer}), size);
            // The big rendering's container fills its square too: no pixel fades at the edges.
            QCOMPARE(partlyTransparent(scaled), 0);
            // The edges are meant to differ; inside, only the filtering may. A band drawn without
            // its small text, or the highlight's curve, differs a little more; a misplaced band or
            // a highlight of another strength far more.
            const QRect inner = sharp.rect().adjusted(2, 2, -2, -2);
            QVERIFY(meanDifference(renderSharpIcon(style, {layer}, k, size).copy(inner),
                                   scaled.copy(inner)) < (size >= 24 ? 1.25 : 0.25));
            style.useGlossy = false;
            for (QPoint onBorder : {QPoint(0, size / 2), QPoint(size - 1, size / 2)})
                QCOMPARE(sharp.pixel(onBorder), style.borderColor.rgba());
        }
        // The pictures are shrunk once for the largest size, whichever sizes are asked for.
        QCOMPARE(renderSharpIcons(style, {layer}, k, {16, 64}).first(),
                 renderSharpIcon(style, {layer}, k, 16));
    }

    void handDrawnEntries_data() {
        QTest::addColumn<QString>("change"); // from a 16 x 16 picture for 16 px filling the icon
        QTest::addColumn<bool>("asDrawn");
        QTest::newRow("as drawn") << "" << true;
        QTest::newRow("half a pixel off") << "x+8" << true;
        QTest::newRow("more than half a pixel off") << "x+9" << false;
        QTest::newRow("for every size") << "no range" << false;
        QTest::newRow("17 x 17 filling the icon") << "17" << false;
        QTest::newRow("turned") << "90" << false;
        QTest::newRow("turned once round") << "360" << true;
        QTest::newRow("a picture over it") << "covered" << false;
        QTest::newRow("clipped to a square") << "clip" << true;
        QTest::newRow("clipped under a border") << "clip border" << false;
        QTest::newRow("over a container") << "container" << true;
    }

    // The 16 px entry of a document of a detailed picture from 48 px and a small one for 16 px
    // alone holds the small picture pixel for pixel over what lies under it, sharp or not, where
    // it fills the icon with nothing over it; otherwise the small picture scaled as any.
    void handDrawnEntries() {
        QFETCH(QString, change);
        QFETCH(bool, asDrawn);
        QRandomGenerator random(7);
        Document document;
        Layer detailed, hand, over;
        detailed.sourceImage = noise(QSize(90, 70), true, random);
        detailed.position = QPoint(40, 60);
        detailed.minSize = 48;
        hand.sourceImage = noise(QSize(16, 16) + QSize(1, 1) * (change == "17"), false, random);
        hand.scale = change == "17" ? 1506 : 1600;
        hand.position = QPoint(22 + 8 * change.startsWith("x+") + (change == "x+9"), 22);
        hand.rotation = change == "90" || change == "360" ? change.toInt() : 0;
        hand.maxSize = change == "no range" ? 0 : 16;
        over.sourceImage = noise(QSize(20, 20), true, random);
        document.layers = {detailed, hand};
        if (change == "covered")
            document.layers << over;
        document.style.clipImage = change.startsWith("clip");
        document.style.useBorder = change.endsWith("border");
        document.style.useBackground = change == "container";
        Document shown = documentAtSize(document, 16);
        const auto scaled = [](const Document& drawn, int size) {
            return smoothScaled(renderDocumentIcon(drawn), size);
        };
        QImage expected = scaled(shown, 16);
        if (asDrawn) {
            shown.layers.removeLast();
            expected = scaled(shown, 16).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QPainter(&expected).drawImage(0, 0, hand.sourceImage);
        }
        const SizedIcon icon(document, renderDocumentIcon(document));
        QCOMPARE(icon.at(16), expected);
        QCOMPARE(iconAtSize(document, 16), expected);
        QCOMPARE(icon.entries({16}, true).constFirst(),
                 asDrawn ? expected : renderSharpIcon(shown.style, shown.layers, 1, 16));
        if (!change.isEmpty())
            return;
        // Nothing at 32 px, the detailed picture alone from 48, drawn sharp up to 64 px.
        for (const bool sharp : {false, true}) {
            const QList<QImage> entries = icon.entries({16, 32, 48, 256}, sharp);
            QCOMPARE(entries[0], expected);
            for (int i = 1; i < 4; ++i) {
                Document alone = document;
                alone.layers = i > 1 ? QList<Layer>{detailed} : QList<Layer>();
                const int size = entries[i].width();
                QCOMPARE(entries[i], sharp && size <= 64
                                         ? renderSharpIcon(alone.style, alone.layers, 1, size)
                                         : scaled(alone, size));
            }
        }
        // A scalable file says the document exactly only where 16 to 1024 px show the same.
        const std::tuple<int, int, bool> ranges[] = {{0, 0, true},     {0, 15, true},
                                                     {16, 0, true},    {17, 0, false},
                                                     {0, 1023, false}, {1, 1024, true}};
        document.layers = {detailed};
        for (const auto& [min, max, same] : ranges) {
            document.layers[0].minSize = min;
            document.layers[0].maxSize = max;
            QCOMPARE(sameLayersAcross(document, 16, 1024), same);
        }
    }

    void uprightAsQtTurnsIt_data() {
        QTest::addColumn<Stored>("picture");
        // The turn moves blocks of 4 x 4 pixels, then the rest one by one, in bands of 32 rows:
        // sides a multiple of 4 or not, the last band whole or not, tiny pictures.
        int n = 0;
        for (QSize size :
             {QSize(1, 1), QSize(1, 7), QSize(7, 1), QSize(4, 1), QSize(1, 4), QSize(3, 2),
              QSize(8, 5), QSize(5, 8), QSize(8, 8), QSize(4, 33), QSize(33, 4), QSize(64, 37),
              QSize(37, 64), QSize(36, 66), QSize(67, 33), QSize(64, 64), QSize(203, 170)}) {
            const QString profile = ++n % 2 ? "a98" : "rommrgb";
            QTest::addRow("%dx%d", size.width(), size.height()) << Stored{size, false, 0, ""};
            QTest::addRow("%dx%d, see-through, rows apart", size.width(), size.height())
                << Stored{size, true, 3, ""};
            QTest::addRow("%dx%d, %s", size.width(), size.height(), qPrintable(profile))
                << Stored{size, n % 3 > 0, n % 3, profile};
        }
    }

    // Every orientation puts each pixel where Qt's own mirroring and turning puts it, converted
    // from an RGB profile as LittleCMS's own unoptimised transform converts it (alpha untouched),
    // and nothing is written beyond the picture (the sanitizer build tells).
    void uprightAsQtTurnsIt() {
        QFETCH(Stored, picture);
        const auto [size, seeThrough, padding, profile] = picture;
        QRandomGenerator random(size.width() * 1000 + size.height());
        const int stride = size.width() + padding;
        std::vector<QRgb> pixels(size_t(stride) * size.height());
        for (QRgb& pixel : pixels)
            pixel = random.generate() | (seeThrough ? 0 : 0xff000000);
        const QImage stored(reinterpret_cast<const uchar*>(pixels.data()), size.width(),
                            size.height(), stride * 4,
                            seeThrough ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        // Profiles of other kinds are left to others.
        for (const char* other : {"default_cmyk", "sgray", "none"})
            QVERIFY(!SrgbConversion::fromIcc(iccBytes(other)));
        const std::optional<SrgbConversion> conversion =
            profile.isEmpty() ? std::nullopt : SrgbConversion::fromIcc(iccBytes(profile));
        QCOMPARE(conversion.has_value(), !profile.isEmpty());
        QImage mapped = stored.copy();
        if (conversion)
            littleCmsToSrgb(iccBytes(profile), reinterpret_cast<const QRgb*>(mapped.constBits()),
                            reinterpret_cast<QRgb*>(mapped.bits()), mapped.sizeInBytes() / 4);
        for (int flags = 0; flags < 8; ++flags) {
            const auto transformation = QImageIOHandler::Transformations(flags);
            QImage expected =
                mapped.mirrored(transformation & QImageIOHandler::TransformationMirror,
                                transformation & QImageIOHandler::TransformationFlip);
            if (transformation & QImageIOHandler::TransformationRotate90)
                expected = expected.transformed(QTransform().rotate(90));
            const QImage upright =
                uprightPixels(stored, transformation, conversion ? &*conversion : nullptr);
            QCOMPARE(upright.size(), expected.size());
            QCOMPARE(upright.format(), expected.format());
            for (int y = 0; y < upright.height(); ++y) {
                for (int x = 0; x < upright.width(); ++x) {
                    const QRgb a = upright.pixel(x, y), b = expected.pixel(x, y);
                    const int off =
                        std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
                    QVERIFY2(qAlpha(a) == qAlpha(b) && off <= (conversion ? 1 : 0),
                             qPrintable(
                                 QString::asprintf("%d off at %d, %d, turn %d", off, x, y, flags)));
                }
            }
        }
    }

    // Random layouts of opaque and see-through pictures, turned and zoomed, the top one opaque
    // until an edge of it is changed in place between two paints of one renderer: the icon and
    // the canvas come out as drawing every picture whole does.
    // On a screen of two pixels per canvas pixel the canvas is drawn at those pixels: the same
    // picture, with clearly sharper edges than the plain one enlarged; the icon stays as it is.
    void screenPixels() {
        IconStyle style;
        style.useBadge = style.useBorder = true;
        style.badgeText = "Beta";
        Layer layer;
        layer.sourceImage = crossPicture({90, 90}, Qt::blue);
        layer.position = {40, 60};
        IconRenderer screen(1);
        screen.setPixelRatio(2);
        const QImage sharp = screen.renderCanvas(style, {layer}, layer.rect());
        const QImage plain = IconRenderer(1).renderCanvas(style, {layer}, layer.rect());
        QCOMPARE(sharp.size(), QSize(600, 600));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QVERIFY(meanDifference(smoothScaled(sharp, 300), plain) < 3);
        const QImage enlarged = smoothScaled(plain, 600);
        // Round the badge's text.
        const QRect badge(420, 420, 90, 90);
        QVERIFY(laplacianEnergy(sharp.copy(badge)) > 1.3 * laplacianEnergy(enlarged.copy(badge)));
        QCOMPARE(screen.renderIcon(style, {layer}), Reference::icon(style, {layer}, 1));
        // A photo's detail shown at half its size is drawn from the source at the screen's pixels;
        // the icon written stays the same to the byte.
        Layer photo;
        QRandomGenerator grain(17);
        photo.sourceImage = noise({400, 400}, true, grain);
        photo.scale = 50;
        photo.position = {50, 50};
        const QRect detail(120, 120, 240, 240);
        const double gain =
            laplacianEnergy(screen.renderCanvas(style, {photo}, {}).copy(detail)) /
            laplacianEnergy(
                smoothScaled(IconRenderer(1).renderCanvas(style, {photo}, {}), 600).copy(detail));
        qInfo("photo detail at 200 %%: %.2f x the 100 %% canvas enlarged", gain);
        QVERIFY(gain >= 1.3);
        QCOMPARE(encodeIco(screen.renderIcon(style, {photo}), 1),
                 encodeIco(IconRenderer(1).renderIcon(style, {photo}), 1));
    }

    void picturesUnderOpaqueOnes() {
        QRandomGenerator random(4711);
        IconRenderer renderer;
        for (int round = 0; round < 40; ++round) {
            const int k = 1 + int(random.bounded(3));
            renderer.setCanvasFactor(k);
            IconStyle style;
            style.shape = int(random.bounded(3));
            style.radius = int(random.bounded(200));
            style.clipImage = random.bounded(2);
            style.useBackground = style.useBack3dEffect = random.bounded(2);
            style.useBadge = style.useBorder = random.bounded(2);
            style.badgeOrientation = int(random.bounded(2));
            QList<Layer> layers;
            for (int i = 0, count = 2 + int(random.bounded(4)); i < count; ++i) {
                const bool top = i == count - 1;
                Layer layer;
                layer.sourceImage = noise(QSize(40 + random.bounded(220), 40 + random.bounded(220)),
                                          top || random.bounded(3) > 0, random);
                layer.scale = QList<int>{100, 100, 60, 170}.at(random.bounded(4));
                layer.rotation = QList<int>{0, 90, 180, 270, 33}.at(random.bounded(top ? 4 : 5));
                layer.position = QPoint(random.bounded(-50, 200), random.bounded(-50, 200)) * k;
                layers << layer;
            }
            QImage& top = layers.last().sourceImage;
            // Opaque: no alpha lost without one.
            QCOMPARE(top.convertToFormat(QImage::Format_RGB32).convertToFormat(top.format()), top);
            const QRect frame = layers.first().rect();
            for (int paint = 0; paint < 2; ++paint) {
                QCOMPARE(renderer.renderIcon(style, layers), Reference::icon(style, layers, k));
                QCOMPARE(renderer.renderCanvas(style, layers, frame),
                         Reference::canvas(style, layers, frame, k, false));
                // Each round another edge, the first or last column or row, barely see-through.
                const bool column = round % 2, last = round / 2 % 2;
                for (int i = 0; i < (column ? top.height() : top.width()); ++i) {
                    const int across = last ? (column ? top.width() : top.height()) - 1 : 0;
                    top.setPixel(column ? across : i, column ? i : across, qRgba(0, 0, 0, 254));
                }
            }
        }
    }
};

QTEST_MAIN(TestRender)
#include "tst_render.moc"
