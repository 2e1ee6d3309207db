#include "support/testsupport.h"

#include "document/droppedlayer.h"
#include "document/editeddocument.h"
#include "document/projectfile.h"
#include "form/editorform.h"
#include "form/sizepreview.h"
#include "output/exporttargets.h"
#include "output/filesettarget.h"
#include "output/icnswriter.h"
#include "output/iconsizes.h"
#include "output/launchermasks.h"
#include "render/iconrenderer.h"
#include "render/platformart.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QFileDialog>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QUndoStack>

#include <cmath>

using namespace TestSupport;

namespace {

enum class Ground { None, Solid, Gradient };
// A target's key, the ground of the icon and the scale of the picture (100 fills the icon).
using Set = std::tuple<QString, Ground, int>;

// An opaque picture filling the whole icon square: the hardest case for safe zones and corners.
Document sample(const QString& picture, Ground ground, int k = 1) {
    Document document;
    document.style.canvasFactor = k;
    document.style.useBackground = ground != Ground::None;
    document.style.backStyle = ground == Ground::Gradient ? 1 : 0;
    document.style.backColor1 = QColor(20, 90, 200);
    document.layers = {iconFillingLayer(picture, PictureIntake::read(picture), k)};
    return document;
}

// The files each set must hold by the platforms' own tables, and their pixel sizes. Android's
// background is a colour when `plain`, its themed layer there when `themed`.
QMap<QString, QSize> expectedFiles(const QString& key, bool plain = false, bool themed = false) {
    QMap<QString, QSize> files;
    const auto square = [&](const QString& name, int edge) { files.insert(name, {edge, edge}); };
    if (key == QLatin1String("android")) {
        const QList<std::pair<QString, int>> densities{
            {"mdpi", 2}, {"hdpi", 3}, {"xhdpi", 4}, {"xxhdpi", 6}, {"xxxhdpi", 8}};
        for (const auto& [name, halves] : densities) {
            const QString folder = QStringLiteral("res/mipmap-%1/ic_launcher").arg(name);
            square(folder + ".png", 24 * halves);
            square(folder + "_round.png", 24 * halves);
            square(folder + "_foreground.png", 54 * halves);
            if (themed)
                square(folder + "_monochrome.png", 54 * halves);
            if (!plain)
                square(folder + "_background.png", 54 * halves);
        }
        files.insert("res/mipmap-anydpi-v26/ic_launcher.xml", {});
        files.insert("res/mipmap-anydpi-v26/ic_launcher_round.xml", {});
        if (plain)
            files.insert("res/values/ic_launcher_background.xml", {});
        square("ic_launcher-playstore.png", 512);
    } else if (key == QLatin1String("apple")) {
        const QString folder = QStringLiteral("AppIcon.appiconset/");
        files.insert(folder + "Contents.json", {});
        for (const char* name :
             {"AppIcon-1024.png", "AppIcon-1024-dark.png", "AppIcon-1024-tinted.png"})
            square(folder + name, 1024);
        for (int points : {16, 32, 128, 256, 512}) {
            square(folder + QStringLiteral("icon_%1x%1.png").arg(points), points);
            square(folder + QStringLiteral("icon_%1x%1@2x.png").arg(points), 2 * points);
        }
    } else if (key == QLatin1String("apple-layered")) {
        files.insert("app.icon/icon.json", {});
        square("app.icon/Assets/image-0.png", 1024);
    } else if (key == QLatin1String("web")) {
        files.insert("site.webmanifest", {});
        files.insert("head.html", {});
        const std::pair<const char*, int> pictures[] = {
            {"favicon.ico", 48}, // its first entry, the largest
            {"favicon-16x16.png", 16}, {"favicon-32x32.png", 32}, {"apple-touch-icon.png", 180},
            {"icon-192.png", 192},     {"icon-512.png", 512},     {"icon-maskable-512.png", 512}};
        for (const auto& [name, edge] : pictures)
            square(name, edge);
    } else if (key == QLatin1String("msix")) {
        for (int size : {16, 24, 32, 48, 256}) {
            square(QStringLiteral("Square44x44Logo.targetsize-%1.png").arg(size), size);
            square(QStringLiteral("Square44x44Logo.targetsize-%1_altform-unplated.png").arg(size),
                   size);
        }
        // Windows' own table of every logo at 100, 125, 150, 200 and 400 %.
        const QList<std::pair<QString, QList<QSize>>> logos{
            {"Square44x44Logo", {{44, 44}, {55, 55}, {66, 66}, {88, 88}, {176, 176}}},
            {"Square71x71Logo", {{71, 71}, {89, 89}, {107, 107}, {142, 142}, {284, 284}}},
            {"Square150x150Logo", {{150, 150}, {188, 188}, {225, 225}, {300, 300}, {600, 600}}},
            {"Wide310x150Logo", {{310, 150}, {388, 188}, {465, 225}, {620, 300}, {1240, 600}}},
            {"Square310x310Logo", {{310, 310}, {388, 388}, {465, 465}, {620, 620}, {1240, 1240}}},
            {"StoreLogo", {{50, 50}, {63, 63}, {75, 75}, {100, 100}, {200, 200}}}};
        const int scales[] = {100, 125, 150, 200, 400};
        for (const auto& [name, sizes] : logos)
            for (int i = 0; i < 5; ++i)
                files.insert(QStringLiteral("%1.scale-%2.png").arg(name).arg(scales[i]), sizes[i]);
    }
    return files;
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The farthest a visible pixel reaches from the image's centre.
double reach(const QImage& image) {
    double farthest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                farthest = std::max(farthest, std::hypot(x + 0.5 - image.width() / 2.0,
                                                         y + 0.5 - image.height() / 2.0));
    return farthest;
}

} // namespace

class TestPlatforms : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    int sets = 0;

    QString path(const QString& name) const { return dir.filePath(name); }

    // `key`'s set of `document`, named "app", in a new folder; a file not written fails the test.
    QDir writtenSet(const QString& key, const Document& document) {
        const QString out = path(QStringLiteral("%1-%2").arg(key).arg(++sets));
        QTest::qVerify(ExportTargets::find(key)
                           ->write(document, renderDocumentIcon(document), {out, "app"})
                           .isEmpty(),
                       "written", "", __FILE__, __LINE__);
        return QDir(out);
    }

private slots:
    void initTestCase() {
        initTestEnvironment();
        QVERIFY(writePicture(path("full.png"), {256, 256}, QColor(230, 120, 20)));
        QVERIFY(writeFileBytes(path("logo.svg"),
                               "<svg xmlns='http://www.w3.org/2000/svg' width='96' height='64'>"
                               "<rect width='96' height='64' fill='orange'/>"
                               "<circle cx='48' cy='32' r='24' fill='navy'/></svg>"));
    }

    // Every set holds exactly the files of the platform's tables, at their pixel sizes, and asks
    // about exactly those before replacing any.
    void setsHoldTheirTables_data() {
        QTest::addColumn<Set>("set");
        for (const char* key : {"android", "apple", "apple-layered", "web", "msix"})
            for (Ground ground : {Ground::None, Ground::Solid, Ground::Gradient})
                // Only Android's set changes with a picture that does not fill the icon.
                for (int scale :
                     QList<int>{100, 50}.mid(0, key == QLatin1String("android") ? 2 : 1))
                    QTest::addRow("%s-%d-%d", key, int(ground), scale) << Set{key, ground, scale};
    }
    void setsHoldTheirTables() {
        QFETCH(Set, set);
        const auto [key, ground, scale] = set;
        Document document = sample(path("full.png"), ground);
        document.layers[0].scale = scale;
        const ExportTarget* target = ExportTargets::find(key);
        const QDir out = writtenSet(key, document);
        const ExportTarget::Destination destination{out.path(), QStringLiteral("app")};
        // A picture filling the icon is Android's background; one that does not is themed.
        const bool filling = scale == 100;
        const auto expected = expectedFiles(key, !filling && ground != Ground::Gradient, !filling);
        QCOMPARE(filesUnder(out.path()), expected.keys());
        QStringList asked;
        for (const QString& file : target->filesBeyondTheChosen(document, destination))
            asked << out.relativeFilePath(file);
        QCOMPARE((asked.sort(), asked), expected.keys());
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            if (it.value().isValid())
                QCOMPARE(QImage(out.filePath(it.key())).size(), it.value());
        }
        // The size preview shows files of the set's own list, those it shows alone as written
        // (the maskable one under its circle).
        QStringList listed;
        for (const auto& file : static_cast<const FileSetTarget*>(target)->files(document, {}, {}))
            listed << file.path;
        const auto pictures = target->previewPictures(document, renderDocumentIcon(document));
        QCOMPARE(pictures.size(),
                 (QMap<QString, int>{
                     {"android", 3}, {"apple", 3}, {"apple-layered", 1}, {"web", 4}, {"msix", 4}}
                      .value(key)));
        for (const auto& picture : pictures) {
            QVERIFY2(listed.contains(picture.file), qPrintable(picture.file));
            const QImage written = QImage(out.filePath(picture.file));
            if (picture.caption != "maskable" && written.size() == picture.image.size())
                QCOMPARE(picture.image.convertToFormat(QImage::Format_ARGB32),
                         written.convertToFormat(QImage::Format_ARGB32));
        }
        if (key == "msix" && ground == Ground::None) {
            // A logo's icon stands in the middle of its tile, to the pixel (its shape does).
            for (const char* logo :
                 {"Wide310x150Logo.scale-100.png", "Square150x150Logo.scale-100.png"}) {
                const QImage tile =
                    QImage(out.filePath(logo)).convertToFormat(QImage::Format_Alpha8);
                QVERIFY2(tile == tile.mirrored(true, true) && !tile.pixelColor(0, 0).alpha(), logo);
            }
        }
        if (key == "android") {
            // Near a corner: outside the circle, inside the squircle. Themed: the foreground in
            // the theme's tint, or the icon as it is where nothing is in front of the photo.
            const int side = pictures[0].image.width();
            const QPoint corner(side * 12 / 100, side * 12 / 100);
            QCOMPARE(qAlpha(pictures[0].image.pixel(corner)), 0);
            QCOMPARE(qAlpha(pictures[1].image.pixel(corner)), 255);
            const QImage& themed = pictures[2].image;
            if (filling) {
                QCOMPARE(themed, pictures[0].image);
            } else {
                QVERIFY(pictures[2].file.endsWith("ic_launcher_monochrome.png"));
                int tinted = 0;
                for (int y = 0; y < side; ++y)
                    for (int x = 0; x < side; ++x)
                        tinted += themed.pixel(x, y) == qRgb(0x04, 0x1e, 0x49);
                QVERIFY(tinted > side * side / 20);
                // A monochrome layer's left half: the tint to the pixel, beside the light ground.
                QImage half(108, 108, QImage::Format_ARGB32_Premultiplied);
                half.fill(Qt::transparent);
                QPainter(&half).fillRect(0, 0, 54, 108, Qt::black);
                const QImage shown = LauncherMasks::themed(half);
                QVERIFY(shown.pixel(35, 36) == qRgb(0x04, 0x1e, 0x49) &&
                        shown.pixel(36, 36) == qRgb(0xd3, 0xe3, 0xfd));
            }
        }
    }

    // The preview of a target of single sizes holds exactly the entries or files written, each
    // as a reader other than ours reads it back.
    void previewShowsTheEntriesWritten() {
        QVERIFY(crossPicture({256, 256}, Qt::darkGreen).save(path("cross.png")));
        const std::pair<const char*, QList<int>> rows[] = {
            {"ico", {}}, {"png", {}}, {"hicolor", {}}, {"ico", IconSizes::windowsSet()}};
        for (const auto& [key, iconSizes] : rows) {
            Document document = sample(path("cross.png"), Ground::Gradient);
            document.output.iconSizes = iconSizes;
            document.output.sharpSizes = !iconSizes.isEmpty();
            const QDir out(path(QStringLiteral("preview-%1").arg(++sets)));
            const ExportTarget* target = ExportTargets::find(key);
            const QImage rendering = renderDocumentIcon(document);
            QVERIFY(target->write(document, rendering, target->destinationIn(out.path(), "app"))
                        .isEmpty());
            QList<QImage> written;
            // Every picture written (the theme's index aside).
            for (const QString& file :
                 filesUnder(out.path()).filter(QRegularExpression("(png|ico)$"))) {
                QImageReader reader(out.filePath(file));
                do
                    written << reader.read().convertToFormat(QImage::Format_ARGB32);
                while (reader.jumpToNextImage());
            }
            std::sort(written.begin(), written.end(),
                      [](const QImage& a, const QImage& b) { return a.width() < b.width(); });
            const auto pictures = target->previewPictures(document, rendering);
            QCOMPARE(pictures.size(), written.size());
            for (int i = 0; i < pictures.size(); ++i) {
                QCOMPARE(pictures[i].caption, QString::number(written[i].width()));
                QCOMPARE(pictures[i].image.convertToFormat(QImage::Format_ARGB32), written[i]);
            }
        }
    }

    void androidSet_data() {
        QTest::addColumn<bool>("photo");
        QTest::addColumn<bool>("turned");
        QTest::addRow("photo") << true << false;
        QTest::addRow("photo under a turned picture") << true << true;
        QTest::addRow("turned picture") << false << true;
    }
    // Android: aapt2 compiles every resource; a photo filling the icon is the background over the
    // whole 108 dp; the foreground keeps the other pictures in the safe circle (66 of 108 dp),
    // scaled in but not more; the themed layer is the foreground's coverage, there only when the
    // foreground shows something.
    void androidSet() {
        QFETCH(bool, photo);
        QFETCH(bool, turned);
        Document document = sample(path("full.png"), Ground::Solid);
        Layer top = document.layers.constFirst();
        top.rotation = 30;
        document.layers =
            QList<Layer>{document.layers.constFirst(), top}.mid(photo ? 0 : 1, int(photo) + turned);
        const QDir out = writtenSet("android", document);
        // aapt2 says on standard error what it refuses.
        QCOMPARE(QProcess::execute("aapt2", {"compile", "--dir", out.filePath("res"), "-o",
                                             out.filePath("c.zip")}),
                 0);
        const QString xml =
            QString::fromUtf8(readFileBytes(out.filePath("res/mipmap-anydpi-v26/ic_launcher.xml")));
        QCOMPARE(xml.contains("@color/ic_launcher_background"), !photo);
        QCOMPARE(xml.contains("@mipmap/ic_launcher_background"), photo);
        QCOMPARE(xml.contains("<monochrome android:drawable=\"@mipmap/ic_launcher_monochrome\"/>"),
                 turned);
        QCOMPARE(readFileBytes(out.filePath("res/values/ic_launcher_background.xml"))
                     .contains("#FF145AC8"),
                 !photo);
        const QColor photoColour(230, 120, 20);
        if (photo) {
            // The whole picture over the whole layer, its corners too.
            const QImage ground =
                QImage(out.filePath("res/mipmap-xxxhdpi/ic_launcher_background.png"))
                    .convertToFormat(QImage::Format_RGB32);
            QCOMPARE(ground.size(), QSize(432, 432));
            QVERIFY(meanDifference(ground, smoothScaled(QImage(path("full.png")), 432)
                                               .convertToFormat(QImage::Format_RGB32)) < 0.5);
            QCOMPARE(ground.pixelColor(0, 0), photoColour);
            QCOMPARE(ground.pixelColor(431, 431), photoColour);
        }
        const QImage front(out.filePath("res/mipmap-xxxhdpi/ic_launcher_foreground.png"));
        const QImage mono(out.filePath("res/mipmap-xxxhdpi/ic_launcher_monochrome.png"));
        QCOMPARE(mono.isNull(), !turned);
        const double safe = 33 * 4;
        QVERIFY2(turned ? reach(front) <= safe + 1 && reach(front) > safe - 3 : reach(front) == 0,
                 qPrintable(QString::number(reach(front))));
        for (int y = 0; turned && y < front.height(); y += 3)
            for (int x = 0; x < front.width(); x += 3) {
                const QRgb white = mono.pixel(x, y);
                QCOMPARE(qAlpha(white), qAlpha(front.pixel(x, y)));
                QVERIFY(qAlpha(white) == 0 || (qRed(white) == 255 && qBlue(white) == 255));
            }
        // Colour type 2 in the header: RGB, no alpha.
        QCOMPARE(int(readFileBytes(out.filePath("ic_launcher-playstore.png")).at(25)), 2);
        // The round icon: the background inside the circle, nothing at the corners.
        const QImage round(out.filePath("res/mipmap-xxxhdpi/ic_launcher_round.png"));
        QCOMPARE(qAlpha(round.pixel(2, 2)), 0);
        QVERIFY(qAlpha(round.pixel(0, 96)) > 0 && qAlpha(round.pixel(0, 96)) < 255); // smooth rim
        QCOMPARE(round.pixelColor(90, 8), photo ? photoColour : QColor(20, 90, 200));
    }

    // The picture that fills the icon: the topmost whose pixels over the icon square (22 to 277)
    // are all opaque, unless a container shape other than the square cuts it.
    void fillingPicture() {
        const QPoint none(-1, -1);
        const QRect square(22, 22, 256, 256), larger(0, 0, 300, 300);
        // The picture's place, a transparent pixel in it, the shape it is clipped to (-1: none)
        // and the layer filling the icon.
        const std::tuple<const char*, QRect, QPoint, int, int> rows[] = {
            {"the square", square, none, -1, 0},
            {"a pixel right", QRect(23, 22, 256, 256), none, -1, -1},
            {"a pixel short", QRect(22, 22, 256, 255), none, -1, -1},
            {"larger", larger, QPoint(21, 278), -1, 0},
            {"hole inside", larger, QPoint(277, 22), -1, -1},
            {"rectangle", square, none, 0, 0},
            {"rounded", square, none, 1, -1},
            {"circle", square, none, 2, -1}};
        for (const auto& [name, place, hole, clippedTo, filling] : rows) {
            Document document;
            document.style.clipImage = clippedTo >= 0;
            document.style.shape = std::max(clippedTo, 0);
            // Under a small opaque picture, which fills nothing.
            for (const QRect rect : {place, QRect(140, 140, 20, 20)}) {
                Layer layer = solidLayer(rect, Qt::darkCyan);
                if (document.layers.isEmpty() && hole != none)
                    layer.sourceImage.setPixel(hole - rect.topLeft(), 0);
                document.layers << layer;
            }
            QVERIFY2(PlatformArt::fillingLayer(document) == filling, name);
        }
    }

    // The macOS grid's shadow is blurred as three rounds of box averages along rows, then
    // columns, edges repeated, each rounded down: to the level, as that done plainly.
    void shadowBlur() {
        QImage expected(24, 17, QImage::Format_Alpha8);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(expected.bits()),
                                      expected.sizeInBytes() / 4);
        const QImage blurred = PlatformArt::blurredAlpha(expected, 2);
        for (int pass = 0; pass < 6; ++pass) {
            const QImage from = expected.copy();
            for (int y = 0; y < from.height(); ++y)
                for (int x = 0; x < from.width(); ++x) {
                    int sum = 0;
                    for (int d = -2; d <= 2; ++d)
                        sum += pass % 2
                                   ? from.constScanLine(std::clamp(y + d, 0, from.height() - 1))[x]
                                   : from.constScanLine(y)[std::clamp(x + d, 0, from.width() - 1)];
                    expected.scanLine(y)[x] = uchar(sum / 5);
                }
        }
        QCOMPARE(blurred, expected);
    }

    // Apple: the catalog names every file at its size; the iOS icon has no alpha channel and
    // shows the container's colour where the icon has none; dark and tinted keep transparency.
    void appleCatalog() {
        Document document = sample(path("full.png"), Ground::Solid);
        document.style.shape = int(ContainerShape::Circle);
        document.style.clipImage = true;
        const QDir out = writtenSet("apple", document);
        const QDir set(out.filePath("AppIcon.appiconset"));
        const QJsonArray images =
            QJsonDocument::fromJson(readFileBytes(set.filePath("Contents.json")))["images"]
                .toArray();
        QCOMPARE(images.size(), 13);
        QStringList ios;
        for (const QJsonValue& value : images) {
            const QJsonObject image = value.toObject();
            if (image["platform"] == QLatin1String("ios"))
                ios << image["filename"].toString() + ' ' +
                           image["appearances"].toArray().at(0)["value"].toString();
            const int points = image["size"].toString().section('x', 0, 0).toInt();
            const int scale = image["scale"].toString("1x").left(1).toInt();
            QCOMPARE(QImage(set.filePath(image["filename"].toString())).width(), points * scale);
        }
        QCOMPARE(ios, QStringList({"AppIcon-1024.png ", "AppIcon-1024-dark.png dark",
                                   "AppIcon-1024-tinted.png tinted"}));
        QCOMPARE(int(readFileBytes(set.filePath("AppIcon-1024.png")).at(25)), 2); // RGB, no alpha
        QCOMPARE(QImage(set.filePath("AppIcon-1024.png")).pixelColor(3, 3), QColor(20, 90, 200));
        QCOMPARE(qAlpha(QImage(set.filePath("AppIcon-1024-dark.png")).pixel(3, 3)), 0);
        QCOMPARE(QImage(set.filePath("AppIcon-1024-dark.png")).pixelColor(300, 300),
                 QColor(230, 120, 20));
        // Rec. 709 luma of (230, 120, 20), rounded.
        QCOMPARE(QImage(set.filePath("AppIcon-1024-tinted.png")).pixelColor(300, 300),
                 QColor(136, 136, 136));
    }

    // The layered icon lists its pictures front first in groups of at most eight, the badge in a
    // group of its own in front, at most four groups: the pictures behind the rest come as one.
    // Its fill is the container's colour, the system's own without a container.
    void appleLayeredGroups() {
        const std::tuple<int, bool, QList<int>> rows[] = {{1, false, {1}},
                                                          {2, true, {1, 2}},
                                                          {9, false, {8, 1}},
                                                          {32, false, {8, 8, 8, 8}},
                                                          {25, true, {1, 8, 8, 8}}};
        for (const auto& [pictures, badge, groups] : rows) {
            Document document = sample(path("logo.svg"), badge ? Ground::Solid : Ground::None);
            document.style.useBadge = badge;
            for (int i = 1; i < pictures; ++i) {
                document.layers << document.layers.constFirst();
                document.layers.last().index = i;
                document.layers.last().vector.reset();
            }
            const QDir out(writtenSet("apple-layered", document).filePath("app.icon"));
            const QJsonObject icon =
                QJsonDocument::fromJson(readFileBytes(out.filePath("icon.json"))).object();
            QCOMPARE(icon["fill"].toVariant(),
                     badge
                         ? QVariant(QVariantMap{{"solid", "srgb:0.07843,0.35294,0.78431,1.00000"}})
                         : QVariant("automatic"));
            QList<int> sizes;
            QStringList names;
            for (const QJsonValue& group : icon["groups"].toArray()) {
                sizes << group["layers"].toArray().size();
                for (const QJsonValue& layer : group["layers"].toArray())
                    names << layer["image-name"].toString();
            }
            QCOMPARE(sizes, groups);
            QStringList expected = badge ? QStringList{"badge.png"} : QStringList();
            const int room = (badge ? 3 : 4) * 8;
            const int single = pictures > room ? room - 1 : pictures;
            for (int i = pictures - 1; i >= pictures - single; --i)
                expected << QStringLiteral("image-%1.%2").arg(i).arg(i ? "png" : "svg");
            if (single < pictures) {
                expected << "images-behind.png";
                const QImage behind(out.filePath("Assets/images-behind.png"));
                QCOMPARE(qAlpha(behind.pixel(512, 512)), 255); // drawn, not left out
            }
            QCOMPARE(names, expected);
            QStringList written = filesUnder(out.filePath("Assets"));
            QCOMPARE(written, (expected.sort(), expected));
        }
    }

    // On the grid the body spans 824 of 1024 pixels, centred, with a shadow below and none far
    // above; off it the icon fills the square, in the catalog, the .icns and the preview alike.
    void appleGrid() {
        Document document = sample(path("full.png"), Ground::None);
        const QImage icon = renderDocumentIcon(document);
        const QImage flat = ExportTargets::find("icns")->artwork(document, icon);
        QCOMPARE(qAlpha(flat.pixel(1, 1)), 255);
        document.output.appleGrid = true;
        const QImage grid = ExportTargets::find("apple")->artwork(document, icon);
        QCOMPARE(grid, ExportTargets::find("icns")->artwork(document, icon));
        const double inset = 256 * (1 - 824.0 / 1024) / 2;
        QCOMPARE(qAlpha(grid.pixel(qRound(inset) + 1, 128)), 255);
        QVERIFY(qAlpha(grid.pixel(qRound(inset) - 2, 128)) < 255);
        QCOMPARE(qAlpha(grid.pixel(128, 5)), 0);
        // The shadow below: at most 30 % black, fading with the distance.
        const int bottom = 256 - qRound(inset);
        QVERIFY(qAlpha(grid.pixel(128, bottom + 1)) > qAlpha(grid.pixel(128, bottom + 8)));
        QVERIFY(qAlpha(grid.pixel(128, bottom + 8)) > 0);
        QVERIFY(qAlpha(grid.pixel(128, bottom + 1)) <= 77);
        QVERIFY(qAlpha(ExportTargets::find("ico")->artwork(document, flat).pixel(1, 1)) == 255);

        EditedDocument edited;
        EditorForm form(edited);
        form.openDocument(sample(path("full.png"), Ground::None));
        form.appleGridAction()->trigger();
        QVERIFY(form.document().output.appleGrid);
        Document icns = form.document();
        icns.output.target = "icns";
        QCOMPARE(qAlpha(previewPictures(icns)[0].image.pixel(0, 0)), 0);
        edited.undoStack()->undo();
        QVERIFY(!form.appleGridAction()->isChecked());
        QVERIFY(ProjectFile::decode(ProjectFile::encode(icns), nullptr)->output.appleGrid);
    }

    // Unplated taskbar icons stand on any colour: their corners are clear even for a picture
    // that fills the icon; plated ones and tiles carry the container's colour.
    void msixCorners() {
        const Document document = sample(path("full.png"), Ground::Solid);
        const QDir out = writtenSet("msix", document);
        for (int size : {16, 24, 32, 48, 256}) {
            const QImage unplated(out.filePath(
                QStringLiteral("Square44x44Logo.targetsize-%1_altform-unplated.png").arg(size)));
            for (QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1),
                                  QPoint(size - 1, size - 1)})
                QCOMPARE(qAlpha(unplated.pixel(corner)), 0);
            QVERIFY(qAlpha(unplated.pixel(size / 2, size / 2)) == 255);
        }
        const QImage wide(out.filePath("Wide310x150Logo.scale-100.png"));
        QCOMPARE(wide.pixelColor(2, 2), QColor(20, 90, 200));
        QCOMPARE(wide.pixelColor(130, 50), QColor(230, 120, 20));
    }

    // The vector favicon comes only where SVG can say every part of the icon, and is named in the
    // tags only then; otherwise the tags say why it is missing. (Its pixels are checked in
    // Chromium, which draws the pictures embedded in it.) Every link starts at the base the set is
    // served from, the favicon file states the sizes it holds, and the theme colour is the
    // manifest's.
    void faviconSvgOnlyWhenExact() {
        // The picture, whether a badge is drawn, whether the vector favicon is written, the base
        // and the folder as the links carry it.
        const std::tuple<QString, bool, bool, QString, QString> rows[] = {
            {"logo.svg", false, true, "/", "/"},
            {"logo.svg", true, false, "https://a.example/i?s=1&t=2",
             "https://a.example/i?s=1&amp;t=2/"},
            {"full.png", false, false, "/static/", "/static/"}};
        for (const auto& [picture, badge, written, base, folder] : rows) {
            Document document = sample(path(picture), Ground::Gradient);
            document.style.useBadge = badge;
            document.style.useBorder = true;
            document.output.webBase = base;
            const QDir out = writtenSet("web", document);
            QCOMPARE(QFile::exists(out.filePath("favicon.svg")), written);
            const QString head = QString::fromUtf8(readFileBytes(out.filePath("head.html")));
            const QByteArray manifest = readFileBytes(out.filePath("site.webmanifest"));
            const QString theme = QJsonDocument::fromJson(manifest)["theme_color"].toString();
            QCOMPARE(theme, "#145ac8");
            const QString svg =
                "<link rel=\"icon\" href=\"" + folder + "favicon.svg\" type=\"image/svg+xml\">\n";
            QCOMPARE(head, "<link rel=\"icon\" href=\"" + folder +
                               "favicon.ico\" sizes=\"16x16 32x32 48x48\">\n" +
                               (written ? svg : head.section('\n', 1, 1) + "\n") +
                               "<link rel=\"apple-touch-icon\" href=\"" + folder +
                               "apple-touch-icon.png\">\n<link rel=\"manifest\" href=\"" + folder +
                               "site.webmanifest\">\n<meta name=\"theme-color\" content=\"" +
                               theme + "\">\n");
            QCOMPARE(head.contains("No favicon.svg"), !written);
            QCOMPARE(ExportTargets::find("web")
                         ->writtenMessage(document, {out.path(), "app"}, {})
                         .contains("no favicon.svg"),
                     !written);
        }
    }

    // Go writes the chosen set into the folder chosen, and the second time asks first, naming
    // how many files would be replaced and the folder they are all in.
    void windowAsksBeforeReplacingASet() {
        EditedDocument edited;
        EditorForm form(edited);
        form.openDocument(sample(path("full.png"), Ground::Solid));
        child<QComboBox>(&form, "outputComboBox")
            ->setCurrentIndex(ExportTargets::all().indexOf(ExportTargets::find("android")));
        QTemporaryDir out;
        const QString count = QString::number(expectedFiles("android").size());
        const QString folder = QDir::toNativeSeparators(out.path());
        for (const bool again : {false, true}) {
            QString question;
            whenModal<QFileDialog>([&](QFileDialog* dialog) {
                if (again)
                    whenModal<QMessageBox>([&](QMessageBox* box) {
                        question = box->text();
                        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
                    });
                chooseInFileDialog(dialog, out.path());
            });
            QSignalSpy told(&form, &EditorForm::told);
            QTest::mouseClick(child<QPushButton>(&form, "goButton"), Qt::LeftButton);
            QCOMPARE(question,
                     again ? QStringLiteral("%1 files in %2 would be replaced. Replace them?")
                                 .arg(count, folder)
                           : QString());
            QCOMPARE(told.value(0).value(0).toString(),
                     QStringLiteral("Wrote %1 file(s) to %2").arg(count, folder));
        }
    }

    // --all writes every target in a folder of its own; a folder that cannot be made is one line
    // on standard error and exit 1, while every other target is still written. An .icns element
    // that cannot be encoded is a failure naming the file, which is not written.
    void allTargetsAndFailures() {
        const QString none = path("none.icns");
        PngEncodings encodings;
        QCOMPARE(IcnsWriter::write(none, QImage(), encodings).value_or(OutputFailure{}).fileName,
                 none);
        QVERIFY(!QFile::exists(none));
        const QString all = path("all");
        QVERIFY(QDir().mkpath(all));
        QVERIFY(writeFileBytes(all + "/web", "a file where the folder should be"));
        QProcess cli;
        cli.start(GLIMMERDOCK_EXECUTABLE, {"render", path("full.png"), "--all", all});
        QVERIFY(cli.waitForFinished(300000));
        QCOMPARE(cli.exitCode(), 1);
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(err.count('\n') == 1 && err.contains(QDir::toNativeSeparators(all + "/web")),
                 qPrintable(err));
        QVERIFY(QFile::exists(all + "/ico/full.ico") && QFile::exists(all + "/icns/full.icns"));
        QVERIFY(QFile::exists(all + "/apple-layered/full.icon/icon.json"));
        QCOMPARE(filesUnder(all + "/android"), expectedFiles("android").keys());
        QCOMPARE(filesUnder(all + "/msix"), expectedFiles("msix").keys());
    }
};

QTEST_MAIN(TestPlatforms)
#include "tst_platforms.moc"
