#include "editeddocument.h"

#include "document/documentedit.h"

EditedDocument::EditedDocument(QObject* parent) : QObject(parent) {}

void EditedDocument::reset(const Document& document) {
    steps.clear();
    current = document;
    emit changed();
}

void EditedDocument::edit(const UserAction& action) {
    Document after = current;
    action.change(after);
    if (sameDocument(current, after)) {
        select(after.selected);
        return;
    }
    // Pushing shows the new state (the step's redo), which emits the change.
    steps.push(new DocumentEdit(*this, current, after, action.name, action.mergeKey));
}

void EditedDocument::select(int position) {
    if (position < 0 || position >= current.layers.size())
        position = Document::noSelection;
    if (position == current.selected)
        return;
    current.selected = position;
    emit changed();
}

void EditedDocument::show(const Document& state) {
    current = state;
    emit changed();
}
