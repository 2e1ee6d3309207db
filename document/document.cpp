#include "document.h"

#include "document/stylestore.h"

#include <algorithm>

namespace {

bool sameLayer(const Layer& a, const Layer& b) {
    return a.index == b.index && a.position == b.position && a.scale == b.scale &&
           a.rotation == b.rotation && a.minSize == b.minSize && a.maxSize == b.maxSize &&
           a.sourceImage.cacheKey() == b.sourceImage.cacheKey();
}

} // namespace

bool OutputChoice::isWebBase(const QString& text) {
    // Short enough to stay in the JSON text of a project, where longer strings are pictures.
    constexpr int longest = 255;
    if (text.isEmpty() || text.size() > longest)
        return false;
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.isSpace() || c.category() == QChar::Other_Control ||
               QStringView(u"\"<>\\`").contains(c);
    });
}

bool OutputChoice::operator==(const OutputChoice& other) const {
    return target == other.target && iconSizes == other.iconSizes &&
           sharpSizes == other.sharpSizes && pngSizes == other.pngSizes &&
           appleGrid == other.appleGrid && webBase == other.webBase;
}

QString Document::layerName(int number) {
    return QStringLiteral("Image") + QString::number(number);
}

int Document::findLayer(const QString& name) const {
    for (int i = 0; i < layers.size(); ++i) {
        if (layerName(layers.at(i).index).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return noSelection;
}

int Document::nextFreeNumber() const {
    QSet<int> taken;
    for (const Layer& layer : layers)
        taken.insert(layer.index);
    int candidate = 0;
    while (taken.contains(candidate))
        ++candidate;
    return candidate;
}

void Document::moveLayer(int from, int to) {
    const bool movesSelection = selected == from;
    const Layer layer = layers.takeAt(from);
    layers.insert(to, layer);
    if (movesSelection)
        selected = to;
    else if (selected >= 0 && from < selected && to >= selected)
        --selected;
    else if (selected >= 0 && from > selected && to <= selected)
        ++selected;
}

bool sameDocument(const Document& a, const Document& b) {
    // The fields compared first: most edits leave the style alone, and its stored form is dear.
    return a.output == b.output &&
           (a.style == b.style || StyleStore::toMap(a.style) == StyleStore::toMap(b.style)) &&
           std::equal(a.layers.begin(), a.layers.end(), b.layers.begin(), b.layers.end(),
                      sameLayer);
}
