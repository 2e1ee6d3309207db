#include "output/filesettarget.h"

#include "output/faviconsvg.h"
#include "output/icowriter.h"
#include "render/platformart.h"

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

QByteArray manifest(const Document& document, const QString& name) {
    const QString colour = PlatformArt::backgroundColor(document).name();
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

// The tags naming the icons; the vector favicon first where there is one, as browsers that take
// it prefer it, or a note why there is none.
QByteArray headTags(const Document& document) {
    const QString obstacle = FaviconSvg::obstacle(document);
    const QByteArray svg =
        obstacle.isEmpty()
            ? QByteArrayLiteral("<link rel=\"icon\" href=\"favicon.svg\" type=\"image/svg+xml\">\n")
            : QByteArrayLiteral("<!-- No favicon.svg: ") + obstacle.toUtf8() +
                  QByteArrayLiteral(". -->\n");
    return svg +
           QByteArrayLiteral(
               "<link rel=\"icon\" href=\"favicon.ico\" sizes=\"48x48\">\n"
               "<link rel=\"icon\" type=\"image/png\" sizes=\"32x32\" href=\"favicon-32x32.png\">\n"
               "<link rel=\"icon\" type=\"image/png\" sizes=\"16x16\" href=\"favicon-16x16.png\">\n"
               "<link rel=\"apple-touch-icon\" href=\"apple-touch-icon.png\">\n"
               "<link rel=\"manifest\" href=\"site.webmanifest\">\n");
}

// What a web site needs: the favicon file and its PNG twins, the home-screen icons of iOS and of
// installed web apps (plain and maskable) with their manifest, and the tags that name them.
class WebTarget : public FileSetTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("Web site icons"); }
    QString key() const override { return QStringLiteral("web"); }

    QList<int> sizes(const Document&) const override { return {16, 32, 48, 180, 192, 512}; }
    bool drawsSharp(const Document& document) const override { return document.output.sharpSizes; }

    QList<File> files(const Document& document, const QImage& rendering,
                      const QString& name) const override {
        using namespace PlatformArt;
        // Sharp small sizes draw the badge's text: on this thread, and only when drawing.
        const QList<QImage> favicons =
            rendering.isNull()
                ? QList<QImage>()
                : iconEntryImages(rendering, faviconSizes, document.output.sharpSizes,
                                  document.style, document.layers, document.style.canvasFactor);
        const QImage front = foregroundFor(document, rendering);
        QList<File> list{
            {QStringLiteral("favicon.ico"), {}, [=] { return encodeIcoEntries(favicons); }},
            {QStringLiteral("favicon-16x16.png"), [=] { return favicons[0]; }, {}},
            {QStringLiteral("favicon-32x32.png"), [=] { return favicons[1]; }, {}},
            {QStringLiteral("apple-touch-icon.png"),
             [=] { return flattened(rendering, background(document, touchIconSize)); },
             {}},
            {QStringLiteral("icon-192.png"), [=] { return scaled(rendering, 192); }, {}},
            {QStringLiteral("icon-512.png"), [=] { return scaled(rendering, 512); }, {}},
            {QStringLiteral("icon-maskable-512.png"),
             [=] {
                 return flattened(fittedInCircle(front, maskableSize, 1.0, maskableSafe),
                                  background(document, maskableSize));
             },
             {}},
            {QStringLiteral("site.webmanifest"), {}, [=] { return manifest(document, name); }},
            {QStringLiteral("head.html"), {}, [=] { return headTags(document); }}};
        if (FaviconSvg::obstacle(document).isEmpty())
            list << File{
                QStringLiteral("favicon.svg"), {}, [=] { return FaviconSvg::encode(document); }};
        return list;
    }

protected:
    QString remark(const Document& document) const override {
        const QString obstacle = FaviconSvg::obstacle(document);
        return obstacle.isEmpty() ? QString() : tr("no favicon.svg: %1").arg(obstacle);
    }
};

} // namespace

const ExportTarget& webTarget() {
    static const WebTarget target;
    return target;
}
