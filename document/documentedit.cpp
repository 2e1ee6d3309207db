#include "documentedit.h"

#include "document/stylestore.h"

DocumentEdit::DocumentEdit(const Document& before, const Document& after, Show show)
    : before(before), after(after), show(std::move(show)), aspect(changedAspect(before, after)) {}

void DocumentEdit::undo() {
    show(before);
}

void DocumentEdit::redo() {
    if (done) {
        done = false;
        return;
    }
    show(after);
}

void DocumentEdit::dropImagesNotIn(const Document& current) const {
    ::dropImagesNotIn(before, current);
    ::dropImagesNotIn(after, current);
}

int DocumentEdit::id() const {
    return aspect.isEmpty() ? -1 : 1;
}

bool DocumentEdit::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const DocumentEdit*>(other);
    if (next->aspect != aspect)
        return false;
    after = next->after;
    setObsolete(sameDocument(before, after));
    return true;
}

namespace {

// The keys whose values differ between two maps of the same keys.
QStringList differingKeys(const QVariantMap& a, const QVariantMap& b) {
    QStringList keys;
    for (auto it = a.begin(); it != a.end(); ++it) {
        if (b.value(it.key()) != it.value())
            keys << it.key();
    }
    return keys;
}

// The one layer whose zoom or turn alone changed, as "scale:<index>" or "rotation:<index>".
QString layerAspect(const QList<Layer>& before, const QList<Layer>& after) {
    if (before.size() != after.size())
        return QString();
    QString aspect;
    for (int i = 0; i < before.size(); ++i) {
        const Layer& a = before.at(i);
        const Layer& b = after.at(i);
        if (a.index != b.index || a.position != b.position ||
            a.sourceImage.cacheKey() != b.sourceImage.cacheKey())
            return QString();
        const bool scaled = a.scale != b.scale;
        const bool turned = a.rotation != b.rotation;
        if (!scaled && !turned)
            continue;
        if (!aspect.isEmpty() || (scaled && turned))
            return QString();
        aspect = QStringLiteral("%1:%2").arg(scaled ? "scale" : "rotation").arg(a.index);
    }
    return aspect;
}

} // namespace

QString changedAspect(const Document& before, const Document& after) {
    const QStringList styleKeys =
        differingKeys(StyleStore::toMap(before.style), StyleStore::toMap(after.style));
    Document sameStyle = after;
    sameStyle.style = before.style;
    if (styleKeys.size() == 1 && sameDocument(before, sameStyle))
        return QStringLiteral("style:") + styleKeys.first();
    if (styleKeys.isEmpty())
        return layerAspect(before.layers, after.layers);
    return QString();
}
