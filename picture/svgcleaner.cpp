#include "svgcleaner.h"

#include "picture/picturelimits.h"
#include "picture/svgsize.h"
#include "trace/trace.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("VectorPicture", text);
}

QStringView localName(QStringView qualifiedName) {
    return qualifiedName.mid(qualifiedName.lastIndexOf(u':') + 1);
}

bool isHref(QStringView qualifiedName) {
    return localName(qualifiedName) == u"href";
}

// Animation makes one picture draw differently from one moment to the next; an icon is still.
bool isAnimation(QStringView name) {
    static const QStringList names{QStringLiteral("animate"), QStringLiteral("animateColor"),
                                   QStringLiteral("animateMotion"),
                                   QStringLiteral("animateTransform"), QStringLiteral("set")};
    return names.contains(name);
}

// A reference Qt SVG resolves inside the document; anything else names a file or a site.
bool isInternal(QStringView reference) {
    const QStringView target = reference.trimmed();
    return target.startsWith(u'#') || target.startsWith(u"data:");
}

// Whether `text` (an attribute value, a style sheet) holds a url() out of the document or an
// @import.
bool refersOutside(QStringView text) {
    static const QRegularExpression url(QStringLiteral("url\\s*\\(\\s*['\"]?([^'\")]*)"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (auto match = url.globalMatch(text); match.hasNext();) {
        if (!isInternal(match.next().capturedView(1)))
            return true;
    }
    return text.contains(u"@import", Qt::CaseInsensitive);
}

// Qt SVG takes an <image> whose href starts "data" as the base64 after its last "base64,",
// decoded by its content, and any other href as a file name. Only a raster picture of a bounded
// size is kept: an embedded SVG would be drawn by Qt's own plugin, past these checks.
bool isEmbeddedRaster(QStringView href) {
    const qsizetype start = href.lastIndexOf(u"base64,");
    if (!href.startsWith(u"data:") || start < 0)
        return false;
    QByteArray data = QByteArray::fromBase64(href.mid(start + 7).toLatin1());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    return !reader.format().startsWith("svg") && size.isValid() &&
           std::max(size.width(), size.height()) <= PictureLimits::maxSide;
}

bool isLeftOut(QStringView name, const QXmlStreamAttributes& attributes) {
    if (isAnimation(name))
        return true;
    return name == u"image" &&
           std::any_of(attributes.begin(), attributes.end(), [](const QXmlStreamAttribute& a) {
               return isHref(a.qualifiedName()) && !isEmbeddedRaster(a.value());
           });
}

QXmlStreamAttributes keptAttributes(const QXmlStreamAttributes& attributes) {
    QXmlStreamAttributes kept;
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QStringView value = attribute.value();
        if (isHref(attribute.qualifiedName()) ? isInternal(value) : !refersOutside(value))
            kept.append(attribute);
        else
            qCDebug(lcPicture).noquote()
                << "SVG reference left out:" << attribute.qualifiedName() << value.left(80);
    }
    return kept;
}

// The id Qt SVG gives an element.
QString elementId(const QXmlStreamAttributes& attributes) {
    const QStringView id = attributes.value(QLatin1String("id"));
    return (id.isEmpty() ? attributes.value(QLatin1String("xml:id")) : id).toString();
}

// The ids a <use> may draw: Qt SVG drops an href's first character, whatever it is.
QStringList useTargets(const QXmlStreamAttributes& attributes) {
    QStringList targets;
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (isHref(attribute.qualifiedName()))
            targets << attribute.value().mid(1).toString();
    }
    return targets;
}

QString number(double value) {
    return QString::number(value, 'g', 17);
}

} // namespace

SvgCleaner::SvgCleaner(const QByteArray& xml) : reader(xml) {
    // Names are copied as written, prefixes and namespace declarations included.
    reader.setNamespaceProcessing(false);
}

QString SvgCleaner::clean() {
    writer.writeStartDocument();
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            // Refused before any entity is expanded: a few of them nested make billions.
            if (!reader.entityDeclarations().isEmpty())
                return tr("declares XML entities");
            break;
        case QXmlStreamReader::StartElement:
            if (QString reason = startElement(); !reason.isEmpty())
                return reason;
            break;
        case QXmlStreamReader::EndElement:
            endElement();
            break;
        case QXmlStreamReader::Characters:
            copyText();
            break;
        default:
            // Comments and processing instructions draw nothing.
            break;
        }
    }
    if (reader.hasError() || natural.isEmpty())
        return tr("cannot be read");
    if (!graph.fits(maxDraws, maxDepth))
        return tr("too complex");
    writer.writeEndDocument();
    return {};
}

QString SvgCleaner::startElement() {
    const QStringView name = localName(reader.qualifiedName());
    const QXmlStreamAttributes attributes = reader.attributes();
    const bool root = graph.elementCount() == 0;
    if (root && name != u"svg")
        return tr("not an SVG picture");
    if (leftOutDepth > 0 || isLeftOut(name, attributes)) {
        if (leftOutDepth++ == 0)
            qCDebug(lcPicture).noquote() << "SVG element left out:" << name;
        return {};
    }
    graph.open(elementId(attributes), name == u"use" ? useTargets(attributes) : QStringList());
    if (graph.elementCount() > maxDraws)
        return tr("too complex");
    inStyle = name == u"style";
    writer.writeStartElement(reader.qualifiedName().toString());
    if (root)
        writeRoot(keptAttributes(attributes));
    else
        writer.writeAttributes(keptAttributes(attributes));
    return {};
}

void SvgCleaner::endElement() {
    inStyle = false;
    if (leftOutDepth > 0) {
        --leftOutDepth;
        return;
    }
    writer.writeEndElement();
    graph.close();
}

void SvgCleaner::copyText() {
    if (leftOutDepth > 0)
        return;
    const QString text = reader.text().toString();
    if (inStyle && refersOutside(text)) {
        qCDebug(lcPicture) << "SVG style sheet left out: it refers to other files";
        return;
    }
    if (reader.isCDATA())
        writer.writeCDATA(text);
    else
        writer.writeCharacters(text);
}

// The declared size, bounded, as width and height, and what they show as the viewBox: the
// declared one, or the declared size in user units as SVG has it without one.
void SvgCleaner::writeRoot(const QXmlStreamAttributes& attributes) {
    const std::optional<QRectF> box = SvgSize::viewBox(attributes.value(QLatin1String("viewBox")));
    const QSizeF declared = SvgSize::declaredSize(
        SvgSize::lengthInPixels(attributes.value(QLatin1String("width"))),
        SvgSize::lengthInPixels(attributes.value(QLatin1String("height"))), box);
    natural = SvgSize::boundedSize(declared);
    const QRectF shown = box.value_or(QRectF(QPointF(), declared));
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QStringView name = attribute.qualifiedName();
        if (name != u"width" && name != u"height" && name != u"viewBox")
            writer.writeAttribute(attribute);
    }
    writer.writeAttribute(QStringLiteral("width"), QString::number(natural.width()));
    writer.writeAttribute(QStringLiteral("height"), QString::number(natural.height()));
    writer.writeAttribute(QStringLiteral("viewBox"),
                          QStringList{number(shown.x()), number(shown.y()), number(shown.width()),
                                      number(shown.height())}
                              .join(u' '));
}
