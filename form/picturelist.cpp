#include "picturelist.h"
#include "ui_editorform.h"

#include "document/editeddocument.h"
#include "document/useraction.h"
#include "form/sizerangeedit.h"
#include "form/stylecontrols.h"
#include "render/layerpixels.h"

#include <QPixmap>
#include <QSpinBox>

namespace {

// A layer made only in part shows the whole picture in its row.
QImage rowPicture(const Layer& layer) {
    const LayerPixels::Made made = LayerPixels::made(layer);
    return made.rect == layer.rect() ? made.image : layer.sourceImage;
}

} // namespace

PictureList::PictureList(Ui::EditorForm& ui, EditedDocument& edited, bool& slotsEnabled)
    : ui(ui), edited(edited), slotsEnabled(slotsEnabled) {}

// Made at the size the list shows, so a repaint of the list does not shrink every picture again.
QIcon PictureList::rowIcon(const QImage& image) const {
    const QSize size = ui.listWidget->iconSize() * ui.listWidget->devicePixelRatio();
    if (image.isNull() || size.isEmpty())
        return QIcon(QPixmap::fromImage(image));
    return QIcon(
        QPixmap::fromImage(image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

int PictureList::layerOfRow(int row) const {
    return ui.listWidget->count() - 1 - row;
}

int PictureList::rowOfLayer(int position) const {
    return ui.listWidget->count() - 1 - position;
}

void PictureList::show(const Document& document) {
    const bool wereEnabled = std::exchange(slotsEnabled, false);
    fillRows(document);
    showSelection(document);
    ui.dropImageLabel->setVisible(document.layers.isEmpty());
    slotsEnabled = wereEnabled;
}

// One row per layer, the top layer first. Rows that already name the layers in their order are
// kept: making their icons again is most of the work. A picture drawn at some sizes only says
// which beside its name.
void PictureList::fillRows(const Document& document) {
    LayerListWidget* list = ui.listWidget;
    QStringList names;
    for (const Layer& layer : document.layers)
        names.prepend(Document::layerName(layer.index));
    QStringList rows;
    for (int row = 0; row < list->count(); ++row)
        rows << list->item(row)->data(Qt::UserRole).toString();
    if (rows != names) {
        list->clear();
        for (const Layer& layer : document.layers) {
            auto* item = new QListWidgetItem(rowIcon(rowPicture(layer)), QString());
            item->setData(Qt::UserRole, Document::layerName(layer.index));
            list->insertItem(0, item);
        }
    }
    for (int row = 0; row < list->count(); ++row) {
        const Layer& layer = document.layers.at(layerOfRow(row));
        const QString range = SizeRangeEdit::rangeText(layer.minSize, layer.maxSize);
        const QString text = Document::layerName(layer.index) +
                             (range.isEmpty() ? QString() : QStringLiteral("  (%1)").arg(range));
        if (list->item(row)->text() != text)
            list->item(row)->setText(text);
    }
}

void PictureList::showSelection(const Document& document) {
    LayerListWidget* list = ui.listWidget;
    const int row = document.hasSelection() ? rowOfLayer(document.selected) : -1;
    if (row < 0) {
        list->clearSelection();
        list->setCurrentItem(nullptr);
    } else if (list->currentRow() != row || !list->item(row)->isSelected()) {
        list->setCurrentRow(row);
    }
    list->selectedItem = row < 0 ? nullptr : list->item(row);
    ui.upToolButton->setEnabled(row >= 1);
    ui.downToolButton->setEnabled(row >= 0 && row < list->count() - 1);
    ui.deleteToolButton->setEnabled(row >= 0);
    showControls(row >= 0);
    if (row >= 0)
        showLayer(document.layers.at(document.selected));
}

void PictureList::showControls(bool show) {
    StyleControls::showWidgets({ui.selectedImageLabel, ui.selectedImageNameLabel, ui.positionXLabel,
                                ui.positionXSpinBox, ui.positionYLabel, ui.positionYSpinBox,
                                ui.sizeLabel, ui.sizeSpinBox, ui.sizePercentLabel, ui.rotateLabel,
                                ui.rotateSpinBox, ui.sizeRangeLabel, ui.sizeRangeEdit},
                               show);
    ui.objectNoteLabel->setVisible(!show);
    ui.objectTipsLabel->setVisible(show);
}

void PictureList::showLayer(const Layer& layer) {
    const QString name = Document::layerName(layer.index);
    // The preview shows the picture as loaded, not as zoomed or rotated; made again only for
    // another layer.
    if (ui.selectedImageNameLabel->text() != name ||
        ui.selectedImageLabel->property("picture").toLongLong() != layer.sourceImage.cacheKey()) {
        QPixmap preview;
        if (!layer.sourceImage.isNull())
            preview = QPixmap::fromImage(
                layer.sourceImage.scaled(128, 128, Qt::KeepAspectRatio, Qt::FastTransformation));
        ui.selectedImageLabel->setPixmap(preview);
        ui.selectedImageLabel->setProperty("picture", layer.sourceImage.cacheKey());
        ui.selectedImageNameLabel->setText(name);
    }
    StyleControls::showValue(ui.positionXSpinBox, layer.position.x());
    StyleControls::showValue(ui.positionYSpinBox, layer.position.y());
    StyleControls::showValue(ui.sizeSpinBox, layer.scale);
    StyleControls::showValue(ui.rotateSpinBox, layer.rotation);
    ui.sizeRangeEdit->showRange(layer.minSize, layer.maxSize);
}

void PictureList::selectionChanged() {
    if (!slotsEnabled)
        return;
    const QList<QListWidgetItem*> selected = ui.listWidget->selectedItems();
    edited.select(selected.isEmpty() ? Document::noSelection
                                     : layerOfRow(ui.listWidget->row(selected.first())));
}

void PictureList::moveRow(int oldRow, int newRow) {
    const int count = ui.listWidget->count();
    if (oldRow < 0 || oldRow >= count || newRow < 0 || newRow >= count || oldRow == newRow)
        return;
    const int from = layerOfRow(oldRow);
    const int to = layerOfRow(newRow);
    edited.edit(UserActions::moveLayer(from, to));
}

void PictureList::moveSelectedUp() {
    const int row = ui.listWidget->currentRow();
    if (edited.document().hasSelection())
        moveRow(row, row - 1);
}

void PictureList::moveSelectedDown() {
    const int row = ui.listWidget->currentRow();
    if (edited.document().hasSelection())
        moveRow(row, row + 1);
}

void PictureList::deleteSelected() {
    edited.edit(UserActions::deleteSelected());
}

void PictureList::positionEdited() {
    if (!slotsEnabled || !edited.document().hasSelection())
        return;
    const QPoint position(ui.positionXSpinBox->value(), ui.positionYSpinBox->value());
    edited.edit(UserActions::moveSelected(position));
}

void PictureList::scaleEdited() {
    if (slotsEnabled)
        edited.edit(
            UserActions::zoomSelected(edited.document(), clampedScale(ui.sizeSpinBox->value())));
}

void PictureList::rotationEdited() {
    if (slotsEnabled)
        edited.edit(UserActions::turnSelected(edited.document(), ui.rotateSpinBox->value()));
}
