#include "editeddocument.h"

#include "document/documentedit.h"

EditedDocument::EditedDocument(Capture capture, Show show, Busy busy, QObject* parent)
    : QObject(parent), capture(std::move(capture)), show(std::move(show)), busy(std::move(busy)) {
    pending.setSingleShot(true);
    pending.setInterval(0);
    connect(&pending, &QTimer::timeout, this, &EditedDocument::record);
}

void EditedDocument::reset() {
    pending.stop();
    undoStack.clear();
    committed = capture();
}

void EditedDocument::changed() {
    // Showing a step changes controls too; those changes are the step's, not new ones.
    if (!showing)
        pending.start();
}

void EditedDocument::record() {
    if (busy())
        return;
    const Document current = capture();
    if (sameDocument(committed, current)) {
        committed.selected = current.selected;
        return;
    }
    undoStack.push(
        new DocumentEdit(committed, current, [this](const Document& s) { showStep(s); }));
    committed = current;
    dropHiddenImages();
}

void EditedDocument::showStep(const Document& snapshot) {
    // The step's dropped pixels made again for the showing only; the step stays light.
    Document shown = snapshot;
    remakeDroppedImages(shown.layers);
    showing = true;
    show(shown);
    showing = false;
    pending.stop();
    committed = capture();
    dropHiddenImages();
}

void EditedDocument::dropHiddenImages() {
    for (int i = 0; i < undoStack.count(); ++i)
        static_cast<const DocumentEdit*>(undoStack.command(i))->dropImagesNotIn(committed);
}
