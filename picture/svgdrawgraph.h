#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The elements of an SVG document as they are drawn: each where it stands, and again wherever an
// element refers to it (a <use>, or a url(#id) naming a mask, clip path, filter, pattern or
// marker). A few bytes of references can ask for billions of drawings or for a recursion without
// end, so a document is measured here before it is drawn.
class SvgDrawGraph {
public:
    // An element starts inside the innermost open one. `id` may be empty; `references` are the
    // ids it draws again.
    void open(const QString& id, const QStringList& references);
    void close();
    int elementCount() const { return int(elements.size()); }

    // Whether drawing the document draws at most `maxDraws` elements, nested at most `maxDepth`
    // deep (a reference nests what it refers to). A reference cycle never fits.
    bool fits(qint64 maxDraws, int maxDepth) const;

private:
    struct Element {
        QList<int> children;
        QStringList references;
    };
    struct Cost {
        qint64 draws;
        int height;
    };
    struct Walk;

    QList<Element> elements;
    QList<int> openElements;
    // Ids may repeat; a reference then counts every element of the id, never less than is drawn.
    QHash<QString, QList<int>> byId;
};
