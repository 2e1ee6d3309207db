#include "output/filesettarget.h"

#include "output/launchermasks.h"
#include "render/platformart.h"
#include "render/sizedicon.h"

#include <QCoreApplication>
#include <QPainter>

#include <iterator>
#include <map>

namespace {

// Android's screen densities: the mipmap folder's qualifier and its pixels per dp.
struct Density {
    const char* name;
    double scale;
};
constexpr Density densities[] = {
    {"mdpi", 1.0}, {"hdpi", 1.5}, {"xhdpi", 2.0}, {"xxhdpi", 3.0}, {"xxxhdpi", 4.0}};

// A launcher icon is 48 dp; an adaptive icon's layers are 108 dp, of which the launcher's mask
// shows the middle 72 dp and any mask keeps the middle circle of 66 dp.
constexpr int legacyDp = 48;
constexpr int layerDp = 108;
constexpr double viewShare = 72.0 / layerDp;
constexpr double safeShare = 66.0 / layerDp;
constexpr int playStoreSize = 512;

int pixels(int dp, double scale) {
    return int(dp * scale + 0.5);
}

QString mipmap(const Density& density, const char* file) {
    return QStringLiteral("res/mipmap-%1/%2.png")
        .arg(QLatin1String(density.name), QLatin1String(file));
}

// The themed (monochrome) layer only when the foreground shows something: a launcher shows an
// adaptive icon without one as it is, where an empty one would leave a blank themed icon.
QByteArray adaptiveIcon(bool plainBackground, bool themed) {
    const QByteArray background = plainBackground
                                      ? QByteArrayLiteral("@color/ic_launcher_background")
                                      : QByteArrayLiteral("@mipmap/ic_launcher_background");
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                             "<adaptive-icon "
                             "xmlns:android=\"http://schemas.android.com/apk/res/android\">\n"
                             "    <background android:drawable=\"") +
           background +
           QByteArrayLiteral(
               "\"/>\n"
               "    <foreground android:drawable=\"@mipmap/ic_launcher_foreground\"/>\n") +
           (themed ? QByteArrayLiteral(
                         "    <monochrome android:drawable=\"@mipmap/ic_launcher_monochrome\"/>\n")
                   : QByteArray()) +
           QByteArrayLiteral("</adaptive-icon>\n");
}

QByteArray colourResource(const QColor& colour) {
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<resources>\n"
                             "    <color name=\"ic_launcher_background\">") +
           colour.name(QColor::HexArgb).toUpper().toLatin1() +
           QByteArrayLiteral("</color>\n</resources>\n");
}

// What the adaptive icon's layers of one size are made of, from the document as that size shows
// it: a picture that fills the icon goes full bleed as the background, the rest is the foreground.
struct Adaptive {
    Document shown;
    QImage front;
    QImage photo;
    bool plain = false;
    bool themed = false;

    // The background `size` pixels wide.
    QImage ground(int size) const {
        return photo.isNull() ? PlatformArt::background(shown, size)
                              : PlatformArt::scaled(photo, size);
    }
};

// The pictures are drawn only when `draw`: the paths alone need none.
Adaptive adaptiveParts(const Document& shown, bool draw) {
    using namespace PlatformArt;
    const int filling = fillingLayer(shown);
    const Document rest = above(shown, filling);
    Adaptive parts{shown, QImage(), QImage(), filling < 0 && hasPlainBackground(shown),
                   showsForeground(rest)};
    if (draw) {
        parts.front = foreground(rest);
        parts.photo = filling < 0 ? QImage() : bleed(shown, filling);
    }
    return parts;
}

// The launcher icon set of an Android app: legacy and round icons per density, the adaptive icon
// with its background, foreground and themed (monochrome) layers, and the Play Store icon. A
// picture that fills the icon is the background, full bleed under the launcher's mask; the
// foreground keeps the rest in the safe circle.
class AndroidTarget : public FileSetTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("Android launcher icons"); }
    QString key() const override { return QStringLiteral("android"); }

    // The adaptive icon of the largest density as launchers show it: under a circle, under a
    // squircle, and themed.
    QList<PreviewPicture> previewPictures(const Document& document,
                                          const QImage& rendering) const override {
        using LauncherMasks::Mask;
        const Density& largest = densities[std::size(densities) - 1];
        const QList<File> set = files(document, rendering, QString());
        const PreviewPicture front = previewOf(set, mipmap(largest, "ic_launcher_foreground"), {});
        const PreviewPicture back = previewOf(set, mipmap(largest, "ic_launcher_background"), {});
        const PreviewPicture mono = previewOf(set, mipmap(largest, "ic_launcher_monochrome"), {});
        // A plain background is a colour resource, not a picture.
        QImage layers = back.image.isNull()
                            ? PlatformArt::background(document, front.image.width())
                            : back.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter(&layers).drawImage(0, 0, front.image);
        // Without a monochrome layer themed launchers show the icon as it is.
        PreviewPicture themed{LauncherMasks::shown(layers, Mask::Circle), tr("themed"), front.file};
        if (!mono.image.isNull())
            themed = {LauncherMasks::themed(mono.image), tr("themed"), mono.file};
        return {{LauncherMasks::shown(layers, Mask::Circle), tr("circle"), front.file},
                {LauncherMasks::shown(layers, Mask::Squircle), tr("squircle"), front.file},
                themed};
    }

    QList<File> files(const Document& document, const QImage& rendering,
                      const QString&) const override {
        using namespace PlatformArt;
        const SizedIcon icon(document, rendering);
        // Sizes that show the same layers share their parts, drawn here for the badge's text.
        std::map<int, Adaptive> parts;
        const auto partsAt = [&](int size) {
            const int set = icon.layerSetAt(size);
            if (parts.find(set) == parts.end())
                parts.emplace(set, adaptiveParts(icon.documentAt(size), !rendering.isNull()));
            return parts.at(set);
        };
        // One adaptive icon names the layers of every density.
        bool plain = true, themed = false;
        for (const Density& density : densities) {
            const Adaptive layers = partsAt(pixels(layerDp, density.scale));
            plain = plain && layers.plain;
            themed = themed || layers.themed;
        }
        QList<File> list;
        for (const Density& density : densities) {
            const int legacy = pixels(legacyDp, density.scale);
            const int layer = pixels(layerDp, density.scale);
            const Adaptive small = partsAt(legacy);
            const Adaptive large = partsAt(layer);
            const auto layerFront = [=] {
                return fittedInCircle(large.front, layer, viewShare, safeShare);
            };
            const auto round = [=] {
                return clippedToCircle(
                    flattened(fittedInCircle(small.front, legacy, 1.0, safeShare / viewShare),
                              small.ground(legacy)));
            };
            list << File{mipmap(density, "ic_launcher"), [=] { return icon.at(legacy); }, {}}
                 << File{mipmap(density, "ic_launcher_round"), round, {}}
                 << File{mipmap(density, "ic_launcher_foreground"), layerFront, {}};
            if (themed)
                list << File{mipmap(density, "ic_launcher_monochrome"),
                             [=] { return coverage(layerFront()); },
                             {}};
            if (!plain)
                list << File{mipmap(density, "ic_launcher_background"),
                             [=] { return large.ground(layer); },
                             {}};
        }
        const auto adaptive = [plain, themed] { return adaptiveIcon(plain, themed); };
        list << File{QStringLiteral("res/mipmap-anydpi-v26/ic_launcher.xml"), {}, adaptive}
             << File{QStringLiteral("res/mipmap-anydpi-v26/ic_launcher_round.xml"), {}, adaptive};
        if (plain)
            list << File{QStringLiteral("res/values/ic_launcher_background.xml"), {}, [document] {
                             return colourResource(backgroundColor(document));
                         }};
        list << File{
            QStringLiteral("ic_launcher-playstore.png"),
            [=] { return flattened(icon.at(playStoreSize), background(document, playStoreSize)); },
            {}};
        return list;
    }
};

} // namespace

const ExportTarget& androidTarget() {
    static const AndroidTarget target;
    return target;
}
