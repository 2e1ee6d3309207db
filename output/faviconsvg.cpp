#include "faviconsvg.h"

#include "picture/vectorpicture.h"
#include "render/icongeometry.h"

#include <QCoreApplication>
#include <QPainterPath>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

struct Translation {
    Q_DECLARE_TR_FUNCTIONS(FaviconSvg)
};

QString number(double value) {
    return QString::number(value, 'g', 10);
}

// The outline as SVG path data: Qt's paths are lines and cubic curves.
QString pathData(const QPainterPath& path) {
    QStringList parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        const QString point = number(element.x) + QLatin1Char(' ') + number(element.y);
        if (element.isMoveTo())
            parts << QStringLiteral("M") + point;
        else if (element.isLineTo())
            parts << QStringLiteral("L") + point;
        else if (element.isCurveTo())
            parts << QStringLiteral("C") + point;
        else
            parts << point;
    }
    return parts.join(QLatin1Char(' ')) + QStringLiteral(" Z");
}

QString colour(const QColor& c) {
    return c.name(QColor::HexRgb);
}

void writeColour(QXmlStreamWriter& xml, const char* attribute, const QColor& c) {
    xml.writeAttribute(QString::fromLatin1(attribute), colour(c));
    if (c.alpha() < 255)
        xml.writeAttribute(QString::fromLatin1(attribute) + QStringLiteral("-opacity"),
                           number(c.alphaF()));
}

void writeGradient(QXmlStreamWriter& xml, const IconStyle& style, const QRect& rect) {
    const IconGeometry::GradientLine line = IconGeometry::gradientLine(style.backOrientation, rect);
    xml.writeStartElement(QStringLiteral("linearGradient"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("fill"));
    xml.writeAttribute(QStringLiteral("gradientUnits"), QStringLiteral("userSpaceOnUse"));
    xml.writeAttribute(QStringLiteral("x1"), number(line.start.x()));
    xml.writeAttribute(QStringLiteral("y1"), number(line.start.y()));
    xml.writeAttribute(QStringLiteral("x2"), number(line.end.x()));
    xml.writeAttribute(QStringLiteral("y2"), number(line.end.y()));
    for (const auto& [offset, c] :
         {std::pair{0, style.backColor1}, std::pair{1, style.backColor2}}) {
        xml.writeEmptyElement(QStringLiteral("stop"));
        xml.writeAttribute(QStringLiteral("offset"), QString::number(offset));
        writeColour(xml, "stop-color", c);
    }
    xml.writeEndElement();
}

void writeOutline(QXmlStreamWriter& xml, const QString& d) {
    xml.writeEmptyElement(QStringLiteral("path"));
    xml.writeAttribute(QStringLiteral("d"), d);
}

// Where the canvas draws a picture: its scaled size centred on its layer.
QRectF placeOf(const Layer& layer) {
    const QSizeF size = scaledSize(layer.sourceImage.size(), layer.scale);
    const QPointF centre = QRectF(layer.rect()).center();
    return {centre - QPointF(size.width(), size.height()) / 2, size};
}

void writePlace(QXmlStreamWriter& xml, const QRectF& place) {
    xml.writeAttribute(QStringLiteral("x"), number(place.x()));
    xml.writeAttribute(QStringLiteral("y"), number(place.y()));
    xml.writeAttribute(QStringLiteral("width"), number(place.width()));
    xml.writeAttribute(QStringLiteral("height"), number(place.height()));
}

// The turn about the picture's centre, as the canvas turns it.
QString turnOf(const Layer& layer) {
    const QPointF centre = QRectF(layer.rect()).center();
    return QStringLiteral("rotate(%1 %2 %3)")
        .arg(layer.rotation)
        .arg(number(centre.x()), number(centre.y()));
}

void writeEmbedded(QXmlStreamWriter& xml, const Layer& layer) {
    xml.writeEmptyElement(QStringLiteral("image"));
    writePlace(xml, placeOf(layer));
    if (layer.rotation % 360 != 0)
        xml.writeAttribute(QStringLiteral("transform"), turnOf(layer));
    xml.writeAttribute(QStringLiteral("href"),
                       QStringLiteral("data:image/svg+xml;base64,") +
                           QString::fromLatin1(layer.vector->cleanedSvg().toBase64()));
}

// The cleaned SVG's elements as they are, its root a nested <svg> at the picture's place (the
// root's viewBox maps the picture into it).
void writeInline(QXmlStreamWriter& xml, const Layer& layer) {
    xml.writeStartElement(QStringLiteral("g"));
    if (layer.rotation % 360 != 0)
        xml.writeAttribute(QStringLiteral("transform"), turnOf(layer));
    QXmlStreamReader reader(layer.vector->cleanedSvg());
    bool root = true;
    while (reader.readNext() != QXmlStreamReader::Invalid && !reader.atEnd()) {
        if (reader.isStartDocument() || reader.isEndDocument() || reader.isDTD())
            continue;
        if (!root || !reader.isStartElement()) {
            xml.writeCurrentToken(reader);
            continue;
        }
        root = false;
        xml.writeStartElement(QStringLiteral("svg"));
        for (const QXmlStreamNamespaceDeclaration& space : reader.namespaceDeclarations()) {
            if (!space.prefix().isEmpty())
                xml.writeNamespace(space.namespaceUri().toString(), space.prefix().toString());
        }
        for (const QXmlStreamAttribute& attribute : reader.attributes()) {
            const QStringView name = attribute.qualifiedName();
            if (name != u"x" && name != u"y" && name != u"width" && name != u"height")
                xml.writeAttribute(attribute);
        }
        writePlace(xml, placeOf(layer));
    }
    xml.writeEndElement();
}

void writePictures(QXmlStreamWriter& xml, const QList<Layer>& layers, bool clipped,
                   FaviconSvg::Pictures pictures) {
    xml.writeStartElement(QStringLiteral("g"));
    if (clipped)
        xml.writeAttribute(QStringLiteral("clip-path"), QStringLiteral("url(#shape)"));
    for (const Layer& layer : layers) {
        if (pictures == FaviconSvg::Pictures::Inline)
            writeInline(xml, layer);
        else
            writeEmbedded(xml, layer);
    }
    xml.writeEndElement();
}

} // namespace

namespace FaviconSvg {

QString obstacle(const Document& document) {
    for (const Layer& layer : document.layers) {
        if (!layer.vector)
            return Translation::tr("a picture is not an SVG");
    }
    const IconStyle& style = document.style;
    if (style.useBadge || style.useGlossy || (style.useBackground && style.useBack3dEffect))
        return Translation::tr("the badge, the highlight and the 3D edge are drawn as pixels");
    if (style.shape < 0 || style.shape > 2)
        return Translation::tr("the container has no shape");
    return QString();
}

QByteArray encode(const Document& document, int side, Pictures pictures) {
    if (!obstacle(document).isEmpty())
        return QByteArray();
    const IconStyle& style = document.style;
    const int k = style.canvasFactor;
    const QRect icon = IconGeometry::iconRect(k);
    const QRect shapeRect = IconGeometry::shapeRect(k);
    const QString outline = pathData(IconGeometry::shapePath(style.shape, style.radius, shapeRect));
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    // A size of its own, so readers that need one (an <img> without a size) draw it at the icon's.
    const int drawnSide = side > 0 ? side : icon.width();
    xml.writeAttribute(QStringLiteral("width"), QString::number(drawnSide));
    xml.writeAttribute(QStringLiteral("height"), QString::number(drawnSide));
    xml.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("%1 %2 %3 %4")
                                                      .arg(icon.x())
                                                      .arg(icon.y())
                                                      .arg(icon.width())
                                                      .arg(icon.height()));
    xml.writeStartElement(QStringLiteral("defs"));
    xml.writeStartElement(QStringLiteral("clipPath"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("shape"));
    writeOutline(xml, outline);
    xml.writeEndElement();
    if (style.backStyle != int(BackStyle::Solid))
        writeGradient(xml, style, shapeRect);
    xml.writeEndElement();
    if (style.useBackground) {
        writeOutline(xml, outline);
        if (style.backStyle == int(BackStyle::Solid))
            writeColour(xml, "fill", style.backColor1);
        else
            xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("url(#fill)"));
    }
    if (style.clipImage)
        writePictures(xml, document.layers, true, pictures);
    if (style.useBorder) {
        // The stroke's outer half falls outside the container and is cut off, as on the canvas.
        writeOutline(xml, outline);
        xml.writeAttribute(QStringLiteral("clip-path"), QStringLiteral("url(#shape)"));
        xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        writeColour(xml, "stroke", style.borderColor);
        xml.writeAttribute(QStringLiteral("stroke-width"), QString::number(style.borderWidth));
    }
    if (!style.clipImage)
        writePictures(xml, document.layers, false, pictures);
    xml.writeEndDocument();
    return bytes;
}

} // namespace FaviconSvg
