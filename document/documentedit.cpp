#include "documentedit.h"

#include "document/editeddocument.h"

DocumentEdit::DocumentEdit(EditedDocument& owner, const Document& before, const Document& after,
                           const QString& name, const QString& mergeKey)
    : QUndoCommand(name), owner(owner), before(before), after(after), mergeKey(mergeKey) {}

void DocumentEdit::undo() {
    owner.show(before);
}

void DocumentEdit::redo() {
    owner.show(after);
}

int DocumentEdit::id() const {
    return mergeKey.isEmpty() ? -1 : 1;
}

bool DocumentEdit::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const DocumentEdit*>(other);
    if (next->mergeKey != mergeKey)
        return false;
    after = next->after;
    setObsolete(sameDocument(before, after));
    return true;
}
