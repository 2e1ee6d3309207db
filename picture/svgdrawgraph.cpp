#include "svgdrawgraph.h"

#include <algorithm>

void SvgDrawGraph::open(const QString& id, const QStringList& references) {
    const int element = int(elements.size());
    if (!openElements.isEmpty())
        elements[openElements.constLast()].children << element;
    elements.append({{}, references});
    openElements << element;
    if (!id.isEmpty())
        byId[id] << element;
}

void SvgDrawGraph::close() {
    if (!openElements.isEmpty())
        openElements.removeLast();
}

// A depth-first walk that remembers each element's cost. It gives up as soon as a limit is passed,
// so a cycle ends at the depth limit and its own recursion stays within maxDepth.
struct SvgDrawGraph::Walk {
    const SvgDrawGraph& graph;
    qint64 maxDraws;
    int maxDepth;
    QList<std::optional<Cost>> known;

    std::optional<Cost> cost(int element, int level) {
        if (level >= maxDepth)
            return std::nullopt;
        if (known[element])
            return known[element];
        Cost total{1, 1};
        const auto add = [&](int inner) {
            const std::optional<Cost> part = cost(inner, level + 1);
            if (!part)
                return false;
            total.draws += part->draws;
            total.height = std::max(total.height, part->height + 1);
            return total.draws <= maxDraws && level + total.height <= maxDepth;
        };
        const Element& node = graph.elements[element];
        for (int child : node.children) {
            if (!add(child))
                return std::nullopt;
        }
        for (const QString& id : node.references) {
            for (int target : graph.byId.value(id)) {
                if (!add(target))
                    return std::nullopt;
            }
        }
        known[element] = total;
        return total;
    }
};

bool SvgDrawGraph::fits(qint64 maxDraws, int maxDepth) const {
    if (elements.isEmpty())
        return true;
    Walk walk{*this, maxDraws, maxDepth, QList<std::optional<Cost>>(elements.size())};
    return walk.cost(0, 0).has_value();
}
