#include "svgcleaner.h"

#include "picture/picturelimits.h"
#include "picture/svgattributes.h"
#include "picture/svgsize.h"
#include "trace/trace.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

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

// A reference inside the document. Anything else names a file or a site, or (a data: URI) a
// document of its own that would be drawn past these checks.
bool isInternal(QStringView reference) {
    return reference.trimmed().startsWith(u'#');
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

// The ids `text` refers to by url(#id).
QStringList urlTargets(QStringView text) {
    static const QRegularExpression url(QStringLiteral("url\\s*\\(\\s*['\"]?#([^'\")\\s]*)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QStringList targets;
    for (auto match = url.globalMatch(text); match.hasNext();)
        targets << match.next().captured(1);
    return targets;
}

// The pixels of the raster picture a data: URI embeds ("data:image/png;base64,..."), when its
// bytes are the type it declares (librsvg picks the decoder by it) and no side passes the limit;
// nothing otherwise, an embedded SVG above all, which would be drawn past these checks.
std::optional<qint64> embeddedRasterPixels(QStringView href) {
    static const QRegularExpression uri(QStringLiteral("^\\s*data:image/(png|jpeg|gif);base64,"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = uri.match(href);
    if (!match.hasMatch())
        return std::nullopt;
    QByteArray base64 = href.mid(match.capturedEnd()).toLatin1();
    base64.removeIf([](char c) { return std::isspace(uchar(c)); });
    auto data = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!data)
        return std::nullopt;
    QBuffer buffer(&*data);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    const QSize size = QImageReader(&buffer, format).size();
    if (format != match.captured(1).toLower().toLatin1() || size.isEmpty() ||
        std::max(size.width(), size.height()) > PictureLimits::maxSide)
        return std::nullopt;
    return qint64(size.width()) * size.height();
}

// The attributes that refer to nothing outside the document; a picture element's hrefs were
// checked when it was kept.
QXmlStreamAttributes keptAttributes(const QXmlStreamAttributes& attributes, bool picture) {
    QXmlStreamAttributes kept;
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QStringView value = attribute.value();
        const QStringView name = attribute.qualifiedName();
        const bool href = isHref(name);
        if (name != u"xml:base" && (href ? picture || isInternal(value) : !refersOutside(value)))
            kept.append(attribute);
        else
            qCDebug(lcPicture).noquote()
                << "SVG reference left out:" << attribute.qualifiedName() << value.left(80);
    }
    return kept;
}

// The id an element is referred to by.
QString elementId(const QXmlStreamAttributes& attributes) {
    const QStringView id = attributes.value(QLatin1String("id"));
    return (id.isEmpty() ? attributes.value(QLatin1String("xml:id")) : id).toString();
}

// The ids an element draws again where it stands: its href ("#id", as kept) and its url(#id)s.
QStringList references(const QXmlStreamAttributes& attributes) {
    QStringList targets;
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (isHref(attribute.qualifiedName()) && isInternal(attribute.value()))
            targets << attribute.value().trimmed().mid(1).toString();
        else
            targets << urlTargets(attribute.value());
    }
    return targets;
}

// The largest font size an attribute sets, as "font-size" itself or as a property of a style
// (an attribute or a style sheet), in user units whatever unit follows; 0 when it sets none.
double largestFontSize(QStringView name, QStringView value) {
    static const QRegularExpression property(QStringLiteral("font-size\\s*:\\s*([-+.0-9eE]+)"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression plain(QStringLiteral("^\\s*([-+.0-9eE]+)"));
    double largest = 0;
    const QRegularExpression& pattern = name == u"font-size" ? plain : property;
    for (auto match = pattern.globalMatch(value); match.hasNext();)
        largest = std::max(largest, std::abs(match.next().capturedView(1).toDouble()));
    return largest;
}

QString number(double value) {
    return QString::number(value, 'g', 17);
}

} // namespace

SvgCleaner::SvgCleaner(const QByteArray& text) : xml(text), reader(text) {
    // Names are copied as written, prefixes and namespace declarations included.
    reader.setNamespaceProcessing(false);
}

QString SvgCleaner::clean() {
    // UTF-8 has no zero byte; a text in UTF-16 or UTF-32 is not taken.
    if (xml.contains('\0'))
        return tr("cannot be read");
    const SvgAttributes::Count attributes = SvgAttributes::count(xml);
    if (attributes.mostOnOneElement > maxAttributes || attributes.total > maxTotalAttributes)
        return tr("too complex: %1 attributes").arg(attributes.total);
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
            if (QString reason = copyText(); !reason.isEmpty())
                return reason;
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
    const QXmlStreamAttributes kept =
        keptAttributes(attributes, name == u"image" || name == u"feImage");
    if (textDepth > 0 || name == u"text")
        ++textDepth;
    for (const QXmlStreamAttribute& attribute : kept) {
        if (largestFontSize(attribute.qualifiedName(), attribute.value()) > maxFontSize)
            return tr("text too large: font size above %1").arg(maxFontSize);
    }
    graph.open(elementId(kept), references(kept));
    if (graph.elementCount() > maxDraws || embeddedPixels > maxEmbeddedPixels)
        return tr("too complex");
    inStyle = name == u"style";
    writer.writeStartElement(reader.qualifiedName().toString());
    if (root)
        writeRoot(kept);
    else
        writer.writeAttributes(kept);
    return {};
}

// Animation; an inclusion of another file; a picture element unless it embeds a raster picture
// within the limits (a filter's picture may show an element of the document instead).
bool SvgCleaner::isLeftOut(QStringView name, const QXmlStreamAttributes& attributes) {
    if (isAnimation(name) || name == u"include")
        return true;
    if (name != u"image" && name != u"feImage")
        return false;
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (!isHref(attribute.qualifiedName()) ||
            (name == u"feImage" && isInternal(attribute.value())))
            continue;
        const std::optional<qint64> pixels = embeddedRasterPixels(attribute.value());
        if (!pixels)
            return true;
        embeddedPixels += *pixels;
    }
    return false;
}

void SvgCleaner::endElement() {
    inStyle = false;
    if (leftOutDepth > 0) {
        --leftOutDepth;
        return;
    }
    writer.writeEndElement();
    graph.close();
    textDepth = std::max(0, textDepth - 1);
}

QString SvgCleaner::copyText() {
    if (leftOutDepth > 0)
        return {};
    const QString text = reader.text().toString();
    if (inStyle && refersOutside(text)) {
        qCDebug(lcPicture) << "SVG style sheet left out: it refers to other files";
        return {};
    }
    if (inStyle && largestFontSize(u"style", text) > maxFontSize)
        return tr("text too large: font size above %1").arg(maxFontSize);
    if (textDepth > 0 && (textCharacters += text.size()) > maxTextCharacters)
        return tr("too much text: more than %1 characters").arg(maxTextCharacters);
    if (reader.isCDATA())
        writer.writeCDATA(text);
    else
        writer.writeCharacters(text);
    return {};
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
