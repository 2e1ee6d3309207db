#include "output/filesettarget.h"

#include "output/faviconsvg.h"
#include "render/icongeometry.h"
#include "render/iconrenderer.h"
#include "render/platformart.h"
#include "render/sizedicon.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

namespace {

// Apple's tool draws a layered icon on a square of 1024 points.
constexpr int canvasSide = 1024;

QString folderOf(const QString& name) {
    return (name.isEmpty() ? QStringLiteral("AppIcon") : name) + QStringLiteral(".icon/");
}

const QString badgeAsset = QStringLiteral("badge.png");

// The document with nothing but what a group's layer shows: the container's fill, edge, highlight
// and border belong to the icon's fill and the system's material.
Document bare(const Document& document) {
    Document part = document;
    IconStyle& style = part.style;
    style.useBackground = style.useBack3dEffect = style.useBorder = style.useGlossy = false;
    style.useBadge = false;
    part.layers.clear();
    part.selected = Document::noSelection;
    return part;
}

// The format's known limits: groups, and layers in a group.
constexpr int mostGroups = 4;
constexpr int mostLayers = 8;

// One picture of the document: a layer, or the layers behind the rest drawn as one where there
// are more than the format holds.
struct Picture {
    QString asset;
    QString name;
    Document drawn;
    bool vector = false;
};

// The pictures front first, as the format lists them (the document stacks from the bottom).
QList<Picture> picturesOf(const Document& document) {
    const int room = (mostGroups - (document.style.useBadge ? 1 : 0)) * mostLayers;
    const qsizetype merged = document.layers.size() > room ? document.layers.size() - room + 1 : 0;
    QList<Picture> pictures;
    for (qsizetype i = document.layers.size() - 1; i >= merged; --i) {
        const Layer& layer = document.layers.at(i);
        Document drawn = bare(document);
        drawn.layers = {layer};
        pictures.append({QStringLiteral("image-%1.%2")
                             .arg(layer.index)
                             .arg(layer.vector ? QStringLiteral("svg") : QStringLiteral("png")),
                         Document::layerName(layer.index), drawn, bool(layer.vector)});
    }
    if (merged > 0) {
        Document drawn = bare(document);
        drawn.layers = document.layers.mid(0, merged);
        pictures.append({QStringLiteral("images-behind.png"),
                         QCoreApplication::translate("ExportTarget", "Pictures behind"), drawn});
    }
    return pictures;
}

Document onlyBadge(const Document& document) {
    Document part = bare(document);
    part.style.useBadge = true;
    return part;
}

// A colour as the format writes one: sRGB components and alpha, 0 to 1.
QString colourValue(const QColor& colour) {
    const QColor c = colour.toRgb();
    return QStringLiteral("srgb:%1,%2,%3,%4")
        .arg(c.redF(), 0, 'f', 5)
        .arg(c.greenF(), 0, 'f', 5)
        .arg(c.blueF(), 0, 'f', 5)
        .arg(c.alphaF(), 0, 'f', 5);
}

QJsonObject point(QPointF at, const QRect& square) {
    return {{QStringLiteral("x"), (at.x() - square.x()) / square.width()},
            {QStringLiteral("y"), (at.y() - square.y()) / square.height()}};
}

// The container's fill over the whole square, its gradient running exactly as on the container,
// as fractions of the icon square; without a container, the system's own fill.
QJsonValue fillOf(const IconStyle& style) {
    if (!style.useBackground)
        return QStringLiteral("automatic");
    if (style.backStyle == int(BackStyle::Solid))
        return QJsonObject{{QStringLiteral("solid"), colourValue(style.backColor1)}};
    const int k = style.canvasFactor;
    const QRect square = IconGeometry::iconRect(k);
    const IconGeometry::GradientLine line =
        IconGeometry::gradientLine(style.backOrientation, IconGeometry::shapeRect(k));
    return QJsonObject{{QStringLiteral("linear-gradient"),
                        QJsonArray{colourValue(style.backColor1), colourValue(style.backColor2)}},
                       {QStringLiteral("orientation"),
                        QJsonObject{{QStringLiteral("start"), point(line.start, square)},
                                    {QStringLiteral("stop"), point(line.end, square)}}}};
}

// Every layer's picture is drawn where it sits on the whole square, so it needs no position.
QJsonObject layerEntry(const QString& asset, const QString& name) {
    return {{QStringLiteral("image-name"), asset},
            {QStringLiteral("name"), name},
            {QStringLiteral("glass"), true}};
}

QJsonObject group(const QString& name, const QJsonArray& layers) {
    return {{QStringLiteral("name"), name}, {QStringLiteral("layers"), layers}};
}

QByteArray iconJson(const Document& document) {
    QJsonArray groups;
    if (document.style.useBadge)
        groups << group(QStringLiteral("Badge"),
                        QJsonArray{layerEntry(badgeAsset, QStringLiteral("Badge"))});
    QJsonArray layers;
    for (const Picture& picture : picturesOf(document)) {
        layers << layerEntry(picture.asset, picture.name);
        if (layers.size() == mostLayers) {
            groups << group(QStringLiteral("Pictures"), layers);
            layers = QJsonArray();
        }
    }
    if (!layers.isEmpty())
        groups << group(QStringLiteral("Pictures"), layers);
    const QJsonObject root{
        {QStringLiteral("fill"), fillOf(document.style)},
        {QStringLiteral("groups"), groups},
        {QStringLiteral("supported-platforms"),
         QJsonObject{{QStringLiteral("squares"), QStringLiteral("shared")},
                     {QStringLiteral("circles"), QJsonArray{QStringLiteral("watchOS")}}}}};
    return QJsonDocument(root).toJson();
}

// Apple's layered icon document (iOS 26, macOS 26 and later): the container's fill as the icon's
// fill, the pictures as one group of layers and the badge as a group in front of them, each
// drawn where it sits on the square; the system adds its glass, light and shadow. The system
// draws it at every size from the pictures of its 1024 square: the layers shown at that size.
class AppleLayeredTarget : public FileSetTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("Apple layered icon (iOS 26, macOS 26)"); }
    QString key() const override { return QStringLiteral("apple-layered"); }

    // The layers composed over the fill, as the system composes them (its glass aside).
    QList<PreviewPicture> previewPictures(const Document& whole, const QImage&) const override {
        using PlatformArt::scaled;
        const Document document = documentAtSize(whole, canvasSide);
        QImage composed = PlatformArt::background(document, canvasSide);
        QPainter painter(&composed);
        const QList<Picture> pictures = picturesOf(document);
        for (auto picture = pictures.rbegin(); picture != pictures.rend(); ++picture)
            painter.drawImage(0, 0, scaled(renderDocumentIcon(picture->drawn), canvasSide));
        if (document.style.useBadge)
            painter.drawImage(0, 0, scaled(renderDocumentIcon(onlyBadge(document)), canvasSide));
        painter.end();
        return {{composed, tr("layers"), folderOf(QString()) + QStringLiteral("icon.json")}};
    }

    QList<File> files(const Document& whole, const QImage& rendering,
                      const QString& name) const override {
        using PlatformArt::scaled;
        const Document document = documentAtSize(whole, canvasSide);
        const QString folder = folderOf(name);
        QList<File> list{
            {folder + QStringLiteral("icon.json"), {}, [=] { return iconJson(document); }}};
        for (const Picture& picture : picturesOf(document)) {
            const QString path = folder + QStringLiteral("Assets/") + picture.asset;
            const Document drawn = picture.drawn;
            if (picture.vector)
                list << File{path, {}, [=] {
                                 return FaviconSvg::encode(drawn, canvasSide,
                                                           FaviconSvg::Pictures::Inline);
                             }};
            else
                list << File{
                    path, [=] { return scaled(renderDocumentIcon(drawn), canvasSide); }, {}};
        }
        if (document.style.useBadge) {
            // Drawn here: text is drawn on the calling thread only, and only when writing.
            const QImage badge = rendering.isNull()
                                     ? QImage()
                                     : scaled(renderDocumentIcon(onlyBadge(document)), canvasSide);
            list << File{
                folder + QStringLiteral("Assets/") + badgeAsset, [=] { return badge; }, {}};
        }
        return list;
    }
};

} // namespace

const ExportTarget& appleLayeredTarget() {
    static const AppleLayeredTarget target;
    return target;
}
