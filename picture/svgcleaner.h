#pragma once

#include "picture/svgdrawgraph.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QXmlStreamAttributes>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

// Rewrites untrusted SVG text into a document librsvg may draw: nothing in it is fetched, nothing
// expands, nothing animates. Attributes are counted and entity declarations refused before
// anything is parsed or expanded; every reference out of the document (an href or url() to
// anything but "#id", an inclusion, a base) is left out, and so is an <image> or <feImage> unless
// it embeds a raster picture of a bounded size as a data: URI; the root gets an explicit bounded
// size and a viewBox, so nothing is drawn from a huge or unreadable declaration.
class SvgCleaner {
public:
    // Most elements drawn, each reference (<use>, url(#id)) counting what it draws again, and the
    // deepest nesting.
    static constexpr qint64 maxDraws = 100000;
    static constexpr int maxDepth = 256;
    // Most attributes on one element and in the whole document.
    static constexpr qint64 maxAttributes = 256;
    static constexpr qint64 maxTotalAttributes = 200000;
    // Most pixels of all embedded pictures together: each is decoded whole to be drawn.
    static constexpr qint64 maxEmbeddedPixels = qint64(4096) * 4096;
    // Most characters of all text drawn, and the largest font size: text is laid out whole by a
    // library whose time and memory grow with both, far past what an icon's words need.
    static constexpr qint64 maxTextCharacters = 10000;
    static constexpr double maxFontSize = 16384;

    explicit SvgCleaner(const QByteArray& xml);

    // Reads the whole document; answers why it is refused, or nothing.
    QString clean();
    // The rewritten document, after clean() answered nothing.
    const QByteArray& cleaned() const { return output; }
    // The size the root declares, bounded (SvgSize::boundedSize).
    QSize naturalSize() const { return natural; }

private:
    QByteArray xml;
    QXmlStreamReader reader;
    QByteArray output;
    QXmlStreamWriter writer{&output};
    SvgDrawGraph graph;
    QSize natural;
    qint64 embeddedPixels = 0;
    // Open elements being left out with everything inside them.
    int leftOutDepth = 0;
    // Open elements inside a <text>, and the characters drawn as text so far.
    int textDepth = 0;
    qint64 textCharacters = 0;
    bool inStyle = false;

    QString startElement();
    void endElement();
    QString copyText();
    bool isLeftOut(QStringView name, const QXmlStreamAttributes& attributes);
    void writeRoot(const QXmlStreamAttributes& attributes);
};
