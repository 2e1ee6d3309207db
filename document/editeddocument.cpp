#include "editeddocument.h"

#include "document/documentedit.h"

EditedDocument::EditedDocument(QObject* parent) : QObject(parent) {}

void EditedDocument::reset(const Document& document) {
    steps.clear();
    current = document;
    emit changed();
}

void EditedDocument::edit(const QString& name, const std::function<void(Document&)>& change,
                          const QString& mergeKey) {
    Document after = current;
    change(after);
    if (sameDocument(current, after)) {
        select(after.selected);
        return;
    }
    // Pushing shows the new state (the step's redo), which emits the change.
    const int stepsBefore = steps.index();
    steps.push(new DocumentEdit(*this, current, after, name, mergeKey));
    // A step merged into the last one holds no picture the steps before it do not: only a new
    // step can leave older ones holding pixels nothing shows.
    if (steps.index() > stepsBefore)
        dropHiddenImages();
}

void EditedDocument::zoomSelected(int scale) {
    remakeSelected(tr("Zoom Picture"), QStringLiteral("scale"), &Layer::scale, scale);
}

void EditedDocument::turnSelected(int rotation) {
    remakeSelected(tr("Turn Picture"), QStringLiteral("rotation"), &Layer::rotation, rotation);
}

// Sets `field` of the selected layer and makes its pixels again; a run of these on one layer is
// one step.
void EditedDocument::remakeSelected(const QString& name, const QString& aspect, int Layer::*field,
                                    int value) {
    if (!current.hasSelection())
        return;
    edit(
        name,
        [field, value](Document& d) {
            d.layers[d.selected].*field = value;
            d.layers[d.selected].updateImage();
        },
        aspect + QLatin1Char(':') + QString::number(current.layers.at(current.selected).index));
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
    remakeDroppedImages(current.layers);
    emit changed();
}

void EditedDocument::dropHiddenImages() {
    for (int i = 0; i < steps.count(); ++i)
        static_cast<const DocumentEdit*>(steps.command(i))->dropImagesNotIn(current);
}
