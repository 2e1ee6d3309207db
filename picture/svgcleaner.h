#pragma once

#include "picture/svgdrawgraph.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QXmlStreamAttributes>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

// Rewrites untrusted SVG text into a document Qt SVG may draw: nothing in it is fetched, nothing
// expands, nothing animates. Entity declarations are refused before anything is expanded; every
// reference out of the document (an <image> naming a file, an href or url() to anything but
// "#id" or a data: URI) is left out, as Qt SVG would read local files it names; the root gets an
// explicit bounded size and a viewBox, so Qt never works from a huge or unreadable declaration.
class SvgCleaner {
public:
    // Most elements drawn, each <use> counting what it draws again, and the deepest nesting.
    static constexpr qint64 maxDraws = 100000;
    static constexpr int maxDepth = 256;

    explicit SvgCleaner(const QByteArray& xml);

    // Reads the whole document; answers why it is refused, or nothing.
    QString clean();
    // The rewritten document, after clean() answered nothing.
    const QByteArray& cleaned() const { return output; }
    // The size the root declares, bounded (SvgSize::boundedSize).
    QSize naturalSize() const { return natural; }

private:
    QXmlStreamReader reader;
    QByteArray output;
    QXmlStreamWriter writer{&output};
    SvgDrawGraph graph;
    QSize natural;
    // Open elements being left out with everything inside them.
    int leftOutDepth = 0;
    bool inStyle = false;

    QString startElement();
    void endElement();
    void copyText();
    void writeRoot(const QXmlStreamAttributes& attributes);
};
