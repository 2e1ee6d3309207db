#include "output/filesettarget.h"

#include "output/faviconsvg.h"
#include "output/icowriter.h"
#include "render/platformart.h"
#include "render/sizedicon.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The favicon file's entries, as browsers pick from them for tabs and bookmarks.
const QList<int> faviconSizes{16, 32, 48};
constexpr int touchIconSize = 180;
constexpr int maskableSize = 512;
// A maskable icon's content stays in the middle circle of 80 % of its width: every mask keeps it.
constexpr double maskableSafe = 0.8;

QJsonObject manifestIcon(const QString& file, int size, const QString& purpose) {
    return {{QStringLiteral("src"), file},
            {QStringLiteral("sizes"), QStringLiteral("%1x%1").arg(size)},
            {QStringLiteral("type"), QStringLiteral("image/png")},
            {QStringLiteral("purpose"), purpose}};
}

// The browser's colour around the page and the installed app's: the container's.
QString themeColour(const Document& document) {
    return PlatformArt::backgroundColor(document).name();
}

QByteArray manifest(const Document& document, const QString& name) {
    const QString colour = themeColour(document);
    const QJsonArray icons{manifestIcon(QStringLiteral("icon-192.png"), 192, QStringLiteral("any")),
                           manifestIcon(QStringLiteral("icon-512.png"), 512, QStringLiteral("any")),
                           manifestIcon(QStringLiteral("icon-maskable-512.png"), maskableSize,
                                        QStringLiteral("maskable"))};
    const QJsonObject root{{QStringLiteral("name"), name},
                           {QStringLiteral("short_name"), name},
                           {QStringLiteral("icons"), icons},
                           {QStringLiteral("start_url"), QStringLiteral(".")},
                           {QStringLiteral("display"), QStringLiteral("standalone")},
                           {QStringLiteral("theme_color"), colour},
                           {QStringLiteral("background_color"), colour}};
    return QJsonDocument(root).toJson();
}

// Why the set holds no favicon.svg, empty when it does. A browser draws the vector favicon at
// every size, its tab's 16 px too, over the favicon file's own entries: a document whose pictures
// differ by size keeps those.
QString svgObstacle(const Document& document) {
    if (!sameLayersAcross(document, faviconSizes.constFirst(), largestIconSize))
        return QCoreApplication::translate("ExportTarget", "its pictures differ by size");
    return FaviconSvg::obstacle(documentAtSize(document, largestIconSize));
}

// `file` as a link from the folder the set is served from: `base` with a slash before the name.
QString linked(const QString& base, const QString& file) {
    const QString folder = base.endsWith(u'/') ? base : base + u'/';
    return (folder + file).toHtmlEscaped();
}

// The tags naming the icons, each from the base the user serves the set at: the favicon file
// stating the sizes it holds, then the vector favicon (or a note why there is none), which
// browsers that draw SVG favicons take over a bitmap of stated sizes (Chromium would keep a file
// stated "any", Firefox the last of equals); the touch icon, the manifest and its theme colour.
// The PNG favicons stay out: a stated 16 x 16 would beat the vector favicon in a 16 px tab.
QByteArray headTags(const Document& document) {
    const QString base = document.output.webBase;
    QStringList favicon;
    for (int size : faviconSizes)
        favicon << QStringLiteral("%1x%1").arg(size);
    QString tags = QStringLiteral("<link rel=\"icon\" href=\"%1\" sizes=\"%2\">\n")
                       .arg(linked(base, QStringLiteral("favicon.ico")), favicon.join(u' '));
    const QString obstacle = svgObstacle(document);
    tags += obstacle.isEmpty()
                ? QStringLiteral("<link rel=\"icon\" href=\"%1\" type=\"image/svg+xml\">\n")
                      .arg(linked(base, QStringLiteral("favicon.svg")))
                : QStringLiteral("<!-- No favicon.svg: %1. -->\n").arg(obstacle);
    tags += QStringLiteral("<link rel=\"apple-touch-icon\" href=\"%1\">\n"
                           "<link rel=\"manifest\" href=\"%2\">\n"
                           "<meta name=\"theme-color\" content=\"%3\">\n")
                .arg(linked(base, QStringLiteral("apple-touch-icon.png")),
                     linked(base, QStringLiteral("site.webmanifest")), themeColour(document));
    return tags.toUtf8();
}

// What a web site needs: the favicon file and its PNG twins, the home-screen icons of iOS and of
// installed web apps (plain and maskable) with their manifest, and the tags that name them.
class WebTarget : public FileSetTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("Web site icons"); }
    QString key() const override { return QStringLiteral("web"); }

    // The tab's favicons, the touch icon and the maskable icon under a launcher's circle.
    QList<PreviewPicture> previewPictures(const Document& document,
                                          const QImage& rendering) const override {
        const QList<File> set = files(document, rendering, QString());
        PreviewPicture maskable =
            previewOf(set, QStringLiteral("icon-maskable-512.png"), tr("maskable"));
        maskable.image = PlatformArt::clippedToCircle(maskable.image);
        return {previewOf(set, QStringLiteral("favicon-16x16.png"), tr("tab")),
                previewOf(set, QStringLiteral("favicon-32x32.png"), tr("tab 32")),
                previewOf(set, QStringLiteral("apple-touch-icon.png"), tr("touch")), maskable};
    }

    QList<File> files(const Document& document, const QImage& rendering,
                      const QString& name) const override {
        using namespace PlatformArt;
        // Sharp small sizes draw the badge's text: on this thread, and only when drawing.
        const SizedIcon icon(document, rendering, SizedIcon::Parts::WithForeground);
        const QList<QImage> favicons = rendering.isNull()
                                           ? QList<QImage>()
                                           : icon.entries(faviconSizes, document.output.sharpSizes);
        QList<File> list{
            {QStringLiteral("favicon.ico"), {}, [=] { return encodeIcoEntries(favicons); }},
            {QStringLiteral("favicon-16x16.png"), [=] { return favicons[0]; }, {}},
            {QStringLiteral("favicon-32x32.png"), [=] { return favicons[1]; }, {}},
            {QStringLiteral("apple-touch-icon.png"),
             [=] { return flattened(icon.at(touchIconSize), background(document, touchIconSize)); },
             {}},
            {QStringLiteral("icon-192.png"), [=] { return icon.at(192); }, {}},
            {QStringLiteral("icon-512.png"), [=] { return icon.at(512); }, {}},
            {QStringLiteral("icon-maskable-512.png"),
             [=] {
                 return flattened(fittedInCircle(icon.foregroundAt(maskableSize), maskableSize, 1.0,
                                                 maskableSafe),
                                  background(document, maskableSize));
             },
             {}},
            {QStringLiteral("site.webmanifest"), {}, [=] { return manifest(document, name); }},
            {QStringLiteral("head.html"), {}, [=] { return headTags(document); }}};
        if (svgObstacle(document).isEmpty())
            list << File{QStringLiteral("favicon.svg"), {}, [=] {
                             return FaviconSvg::encode(documentAtSize(document, largestIconSize));
                         }};
        return list;
    }

protected:
    QString remark(const Document& document) const override {
        const QString obstacle = svgObstacle(document);
        return obstacle.isEmpty() ? QString() : tr("no favicon.svg: %1").arg(obstacle);
    }
};

} // namespace

const ExportTarget& webTarget() {
    static const WebTarget target;
    return target;
}
