#include "documenthistory.h"

#include "form/documentcommand.h"

DocumentHistory::DocumentHistory(Capture capture, Show show, Busy busy, QObject* parent)
    : QObject(parent), capture(std::move(capture)), show(std::move(show)), busy(std::move(busy)) {
    pending.setSingleShot(true);
    pending.setInterval(0);
    connect(&pending, &QTimer::timeout, this, &DocumentHistory::record);
}

void DocumentHistory::reset() {
    pending.stop();
    undoStack.clear();
    committed = capture();
}

void DocumentHistory::changed() {
    // Showing a step changes controls too; those changes are the step's, not new ones.
    if (!showing)
        pending.start();
}

void DocumentHistory::record() {
    if (busy())
        return;
    const DocumentSnapshot current = capture();
    if (sameDocument(committed, current)) {
        committed.selected = current.selected;
        return;
    }
    undoStack.push(new DocumentCommand(committed, current,
                                       [this](const DocumentSnapshot& s) { showStep(s); }));
    committed = current;
    dropHiddenImages();
}

void DocumentHistory::showStep(const DocumentSnapshot& snapshot) {
    // The step's dropped pixels made again for the showing only; the step stays light.
    DocumentSnapshot shown = snapshot;
    remakeDroppedImages(shown.layers);
    showing = true;
    show(shown);
    showing = false;
    pending.stop();
    committed = capture();
    dropHiddenImages();
}

void DocumentHistory::dropHiddenImages() {
    for (int i = 0; i < undoStack.count(); ++i)
        static_cast<const DocumentCommand*>(undoStack.command(i))->dropImagesNotIn(committed);
}
