#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The elements of an SVG document as Qt SVG draws them: each where it stands, and again wherever
// a <use> refers to it. A few bytes of <use> can ask for billions of drawings or for a recursion
// without end, so a document is measured here before it is drawn.
class SvgDrawGraph {
public:
    // An element starts inside the innermost open one. `id` may be empty; `useTargets` are the ids
    // a <use> refers to, none for any other element.
    void open(const QString& id, const QStringList& useTargets);
    void close();
    int elementCount() const { return int(elements.size()); }

    // Whether drawing the document draws at most `maxDraws` elements, nested at most `maxDepth`
    // deep (a <use> nests what it refers to). A reference cycle never fits.
    bool fits(qint64 maxDraws, int maxDepth) const;

private:
    struct Element {
        QList<int> children;
        QStringList useTargets;
    };
    struct Cost {
        qint64 draws;
        int height;
    };
    struct Walk;

    QList<Element> elements;
    QList<int> openElements;
    // Ids may repeat; a reference then counts every element of the id, never less than Qt draws.
    QHash<QString, QList<int>> byId;
};
